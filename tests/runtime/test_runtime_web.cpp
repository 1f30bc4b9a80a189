// The runtime built as WebAssembly and the code --api webgl2 function, both
// drawn by headless Chromium on SwiftShader (a rasteriser of its own),
// against the editor's fixed-function frame, row by row of the runtime
// table. One browser run draws the whole table; the rows then compare.

#include "common/EditorPicture.h"
#include "common/RuntimeSurfaceCases.h"

#include "render/CodeListingWebGl.h"

#include "skimbler/SurfaceFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace skimbler;
using namespace runtimecases;

namespace {

// Pixels whose centre lies this close to the quad's outline count as its
// edge, where coverage and the texel picked may differ.
constexpr double kEdgeWidth = 1.0;
// The worst difference measured there on SwiftShader over the table: a
// pixel on the small lifted quad's outline the two cover differently.
constexpr int kEdgeBound = 130;

// Rows where SwiftShader itself parts from Mesa inside the quad, with the
// bound measured: its level of detail and its filter weights are worked out
// in fewer bits, which shows where a quad is steeply lifted (the level the
// mag/min switch and the mipmap blend pick) and between two mipmap levels.
// The runtime and the webgl2 function draw these rows alike.
const std::map<QString, int> kSwiftShaderBounds{
    {QStringLiteral("min nearest mipmap linear"), 3},
    {QStringLiteral("min linear mipmap linear"), 3},
    {QStringLiteral("lifted linear"), 5},
    {QStringLiteral("lifted projective"), 25},
    {QStringLiteral("lifted mipmaps"), 194},
    {QStringLiteral("nine-digit corner"), 12},
    {QStringLiteral("small lifted GL_NEAREST_MIPMAP_NEAREST"), 97},
    {QStringLiteral("small lifted GL_LINEAR_MIPMAP_NEAREST"), 4},
    {QStringLiteral("small lifted GL_NEAREST_MIPMAP_LINEAR"), 71},
    {QStringLiteral("small lifted GL_LINEAR_MIPMAP_LINEAR"), 4},
};

View TableView()
{
    View view;
    view.Width = kWidth;
    view.Height = kHeight;
    return view;
}

QString JsString(const QString &text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('\''), QStringLiteral("\\'"));
    quoted.replace(QLatin1Char('\n'), QStringLiteral("\\n")).replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

bool Copy(const QString &from, const QString &to)
{
    QFile::remove(to);
    return QFile::copy(from, to);
}

} // namespace

class TestRuntimeWeb : public QObject
{
    Q_OBJECT

private:
    EditorPicture m_editor;
    std::vector<NamedCase> m_cases;
    std::map<QString, Pixels> m_runtime, m_snippet;
    std::map<QString, QString> m_errors;
    int m_edgeWorst = 0;

    // cases.js: every row as the page draws it.
    QByteArray CasesScript() const
    {
        QStringList rows;
        for (const NamedCase &row : m_cases) {
            const Image &image = Images().at(row.surface.image);
            std::string file, error;
            SurfaceFile::Serialise(SettingsOf(row.surface), std::uint32_t(image.Width), std::uint32_t(image.Height),
                                   "/images/" + row.surface.image.toStdString() + ".png", "/", &file, &error);
            const QString code = CodeListing::WebGl2Code(EditorPicture::State(row.surface),
                                                         row.surface.image + QStringLiteral(".png"),
                                                         image.Components == 3, kWidth, kHeight);
            const QByteArray pixels(reinterpret_cast<const char *>(image.Bytes.data()), int(image.Bytes.size()));
            rows << QStringLiteral("{name: %1, surface: %2, width: %3, height: %4, components: %5, pixels: '%6', "
                                   "projective: %7,\nsnippet: (function () {\n%8return skimblerSurface;\n})()}")
                        .arg(JsString(QString::fromLatin1(row.name)), JsString(QString::fromStdString(file)))
                        .arg(image.Width)
                        .arg(image.Height)
                        .arg(image.Components)
                        .arg(QString::fromLatin1(pixels.toBase64()))
                        .arg(row.surface.projective ? QStringLiteral("true") : QStringLiteral("false"))
                        .arg(code);
        }
        QStringList quadrants;
        for (const float *colour : kQuadrantColours)
            quadrants << QStringLiteral("[%1, %2, %3, %4]").arg(colour[0]).arg(colour[1]).arg(colour[2]).arg(colour[3]);
        return QStringLiteral("'use strict';\nconst skimblerFrameSize = [%1, %2];\nconst skimblerQuadrants = [%3];\n"
                              "const skimblerCases = [\n%4\n];\n")
            .arg(kWidth)
            .arg(kHeight)
            .arg(quadrants.join(QStringLiteral(", ")), rows.join(QStringLiteral(",\n")))
            .toUtf8();
    }

private slots:
    void initTestCase()
    {
        std::string error;
        QVERIFY2(m_editor.Create(&error), error.c_str());
        m_cases = AllCases();

        QTemporaryDir page;
        QVERIFY(page.isValid());
        const QDir dir(page.path());
        QVERIFY(Copy(QStringLiteral(SKIMBLER_WEB_DIR "/skimbler_web.js"), dir.filePath(QStringLiteral("skimbler_web.js"))));
        QVERIFY(Copy(QStringLiteral(SKIMBLER_HARNESS), dir.filePath(QStringLiteral("table.html"))));
        QFile cases(dir.filePath(QStringLiteral("cases.js")));
        QVERIFY(cases.open(QIODevice::WriteOnly));
        cases.write(CasesScript());
        cases.close();

        QProcess chromium;
        chromium.start(QStringLiteral(SKIMBLER_CHROMIUM),
                       {QStringLiteral("--headless=new"), QStringLiteral("--no-sandbox"),
                        QStringLiteral("--use-angle=swiftshader"), QStringLiteral("--enable-unsafe-swiftshader"),
                        QStringLiteral("--allow-file-access-from-files"), QStringLiteral("--virtual-time-budget=10000"),
                        QStringLiteral("--user-data-dir=") + dir.filePath(QStringLiteral("profile")),
                        QStringLiteral("--dump-dom"), QUrl::fromLocalFile(dir.filePath(QStringLiteral("table.html"))).toString()});
        QVERIFY2(chromium.waitForFinished(180000), "chromium did not finish in three minutes");
        const QString dom = QString::fromUtf8(chromium.readAllStandardOutput());
        const QRegularExpressionMatch results =
            QRegularExpression(QStringLiteral("<pre id=\"results\">([^<]*)</pre>")).match(dom);
        QVERIFY2(results.hasMatch(), chromium.readAllStandardError().right(2000).constData());
        const QStringList lines = results.captured(1).split(QLatin1Char('\n'));
        QVERIFY2(lines.contains(QStringLiteral("DONE")), qPrintable(results.captured(1).left(2000)));
        for (const QString &line : lines) {
            const QStringList parts = line.split(QLatin1Char(' '));
            if (parts.size() < 3)
                continue;
            const int index = parts[1].toInt();
            QVERIFY2(index >= 0 && index < int(m_cases.size()), qPrintable(line));
            const QString name = QString::fromLatin1(m_cases[std::size_t(index)].name);
            if (parts[0] == QLatin1String("E")) {
                m_errors[name] = parts.mid(2).join(QLatin1Char(' '));
                continue;
            }
            const QByteArray bytes = QByteArray::fromBase64(parts[2].toLatin1());
            (parts[0] == QLatin1String("R") ? m_runtime : m_snippet)[name] = Pixels(bytes.begin(), bytes.end());
        }
    }

    void cleanupTestCase()
    {
        qInfo("worst difference at the quad's edge over the table: %d levels", m_edgeWorst);
    }

    void sameFrame_data()
    {
        QTest::addColumn<Case>("surface");
        QTest::addColumn<bool>("snippet");
        for (const NamedCase &row : AllCases()) {
            QTest::addRow("%s: runtime", row.name.constData()) << row.surface << false;
            QTest::addRow("%s: webgl2 code", row.name.constData()) << row.surface << true;
        }
    }

    // Inside the quad and around it within 2 levels (the rows above: their
    // bound); at its edge within the bound measured on SwiftShader.
    void sameFrame()
    {
        QFETCH(Case, surface);
        QFETCH(bool, snippet);
        QString name = QString::fromLatin1(QTest::currentDataTag());
        name.chop(snippet ? int(qstrlen(": webgl2 code")) : int(qstrlen(": runtime")));
        const auto error = m_errors.find(name);
        QVERIFY2(error == m_errors.end(), qPrintable(error == m_errors.end() ? QString() : error->second));
        const Pixels &web = (snippet ? m_snippet : m_runtime)[name];
        QCOMPARE(int(web.size()), kWidth * kHeight * 4);
        const Pixels editor = m_editor.Frame(surface);

        const View view = TableView();
        const DrawState state = EditorPicture::State(surface);
        const std::vector<bool> edge = NearOutline(state, view, kEdgeWidth);
        const std::vector<bool> ties = NearestTies(state, view, true);
        auto atEdge = [&edge](int x, int y) { return bool(edge[std::size_t(y) * kWidth + x]); };
        auto atTie = [&ties](int x, int y) { return bool(ties[std::size_t(y) * kWidth + x]); };
        const Difference inside = Compare(editor, web, [&](int x, int y) { return atEdge(x, y) || atTie(x, y); });
        const auto own = kSwiftShaderBounds.find(name);
        // SwiftShader's blend rounds a product of two colours its own way.
        const int bound = own != kSwiftShaderBounds.end() ? own->second : name.startsWith(QLatin1String("blend ")) ? 3 : 2;
        const Difference atOutline = Compare(editor, web, [&](int x, int y) { return !atEdge(x, y) || atTie(x, y); });
        m_edgeWorst = std::max(m_edgeWorst, atOutline.worst);
        const QString failure = QStringLiteral("off by %1 at %2; %3 channels off by more than %4; at the edge %5")
                                    .arg(inside.worst)
                                    .arg(inside.where)
                                    .arg(inside.overTwo)
                                    .arg(2)
                                    .arg(atOutline.where);
        QVERIFY2(inside.worst <= bound && atOutline.worst <= std::max(kEdgeBound, bound), qPrintable(failure));
    }
};

QTEST_GUILESS_MAIN(TestRuntimeWeb)
#include "test_runtime_web.moc"
