// skimbler-cli as a user runs it, with no display: its pictures against the
// editor's export drawing, its verdicts and messages on good and bad files,
// its JSON and shader listings, and its answers to a wrong command line.

#include "common/CliRunner.h"
#include "common/MessageRecorder.h"
#include "common/OutputKinds.h"
#include "common/TgaTestFiles.h"
#include "render/BackgroundCache.h"
#include "render/CodeListingVulkan.h"
#include "render/ExportDrawing.h"
#include "render/GraphicalInterface.h"
#include "render/HeadlessContext.h"
#include "surface/CSkimblerDoc.h"
#include "surface/DocumentLoader.h"
#include "surface/Surface.h"

#include <skimbler/SurfaceFile.h>

#include <QtTest>

#include <GL/gl.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// A 64 x 48 card: colour ramps, a blue checker and an alpha that varies from
// pixel to pixel, so filters and blend factors show.
QImage Card()
{
    QImage image(64, 48, QImage::Format_RGBA8888);
    for (int y = 0; y < image.height(); ++y) {
        uchar *p = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x, p += 4) {
            p[0] = uchar(x * 4);
            p[1] = uchar(y * 5);
            p[2] = ((x / 4 + y / 4) & 1) ? 230 : 20;
            p[3] = uchar(80 + 175 * ((x + 2 * y) % 5) / 4);
        }
    }
    return image;
}

// The picture the editor's File > Export Image makes of `input` at zoom 1
// without pan: its document opens the file, its drawing interface draws.
QImage EditorExport(const QString &input, const QSize &size, bool transparent, bool projective, float zoom = 1.0f,
                    QPointF pan = QPointF())
{
    HeadlessContext context;
    std::string why;
    if (!context.Create(HeadlessContext::Api::Compatibility, size.width(), size.height(), &why))
        return QImage();
    GraphicalInterface gi;
    gi.Init(size.width(), size.height());
    gi.ProjectiveTexture = projective;
    const std::vector<unsigned char> tilePixels = BackgroundCache::TilePixels();
    TextureImage tile = gi.CreateImage(tilePixels.data(), BackgroundCache::TileSize, BackgroundCache::TileSize, 32);
    CSkimblerDoc document;
    MessageRecorder messages(&document);
    if (!DocumentLoader(&document).Open(input) || !messages.messages.isEmpty())
        return QImage();
    ExportDrawing::Picture picture;
    picture.Width = size.width();
    picture.Height = size.height();
    picture.Background = !transparent;
    picture.Zoom = zoom;
    picture.PanX = float(pan.x());
    picture.PanY = float(pan.y());
    QString error;
    const QImage image = ExportDrawing::Render(&gi, &document.GetSurface(), tile, picture, &error);
    gi.Release();
    const GLuint name = tile.Texture;
    glDeleteTextures(1, &name);
    return image;
}

QStringList Strings(std::initializer_list<const char *> texts)
{
    QStringList list;
    for (const char *text : texts)
        list << QString::fromUtf8(text);
    return list;
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }
    bool writeSurface(const QString &name, const QString &image, const std::function<void(Surface *)> &edit);

private Q_SLOTS:
    void initTestCase();
    void renderIsTheEditorsExport_data();
    void renderIsTheEditorsExport();
    void gltfSaysThePanItLeavesOut();
    void renderOfSeveralNamesEachPicture();
    void checkSaysWhatIsWrong_data();
    void checkSaysWhatIsWrong();
    void infoIsTheResolvedDrawState_data();
    void infoIsTheResolvedDrawState();
    void shaderCodeCompilesAndLinks_data();
    void shaderCodeCompilesAndLinks();
    void listingsHaveTheViewsProjection();
    void renderNeverWritesOverWhatItReads_data();
    void renderNeverWritesOverWhatItReads();
    void exportSuffixDecidesTheFormat_data();
    void exportSuffixDecidesTheFormat();
    void usageErrorsExitTwo_data();
    void usageErrorsExitTwo();
    void eachTexelLandsWhereTheDrawingRulesSay();
};

bool TestCli::writeSurface(const QString &name, const QString &image, const std::function<void(Surface *)> &edit)
{
    Surface surface;
    surface.Width = 64;
    surface.Height = 48;
    surface.ApplyDefaults();
    edit(&surface);
    std::string error;
    return skimbler::SurfaceFile::Write(QFile::encodeName(path(name)).toStdString(), surface, surface.Width,
                                        surface.Height, QFile::encodeName(image).toStdString(), &error);
}

void TestCli::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(Card().save(path(QStringLiteral("card.png"))));
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("other")));
    QVERIFY(Card().mirrored(true, false).save(path(QStringLiteral("other/card.png"))));
    // Alpha blending, a lifted corner, nearest magnification, mipmapped
    // minification and corner colours with alpha.
    QVERIFY(writeSurface(QStringLiteral("blended.skimbler"), path(QStringLiteral("card.png")), [](Surface *s) {
        s->Flags = 0x3F;
        s->SrcFactor = GL_SRC_ALPHA;
        s->DestFactor = GL_ONE_MINUS_SRC_ALPHA;
        s->MagFilter = GL_NEAREST;
        s->MinFilter = GL_LINEAR_MIPMAP_LINEAR;
        s->Points[1][0] = -0.9f;
        s->Points[2][1] = 0.6f;
        s->Points[2][2] = 0.4f;
        s->Colors[0][3] = 0.5f;
        s->Colors[3][2] = 0.25f;
    }));
    // Only the corner colours in force: the image-sized quad, alpha blending
    // and linear filters, whatever is stored.
    QVERIFY(writeSurface(QStringLiteral("loose.skimbler"), path(QStringLiteral("card.png")), [](Surface *s) {
        s->Flags = skimbler::SURFACE_FLAG_COLORS;
        s->SrcFactor = GL_ONE;
        s->DestFactor = GL_ONE;
        s->MagFilter = GL_NEAREST;
    }));
    QVERIFY(Card().save(path(QStringLiteral("gone.png"))));
    QVERIFY(writeSurface(QStringLiteral("orphan.skimbler"), path(QStringLiteral("gone.png")), [](Surface *) {}));
    QVERIFY(QFile::remove(path(QStringLiteral("gone.png"))));
    QFile bad(path(QStringLiteral("bad.skimbler")));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("{ \"format\": \"skimbler-surface\", ");
    bad.close();
    QVERIFY(QFile::link(path(QStringLiteral("loop.png")), path(QStringLiteral("loop.png"))));
    QVERIFY(QFile::link(path(QStringLiteral("nothing.png")), path(QStringLiteral("dangling.png"))));
    QVERIFY(QFile::copy(path(QStringLiteral("card.png")), path(QStringLiteral("locked.png"))));
    QVERIFY(QFile::setPermissions(path(QStringLiteral("locked.png")), QFile::WriteOwner));
    // A comment chunk whose checksum is wrong, after the header.
    QFile card(path(QStringLiteral("card.png")));
    QVERIFY(card.open(QIODevice::ReadOnly));
    QByteArray warns = card.readAll();
    warns.insert(33, QByteArray("\0\0\0\2tEXta\0\0\0\0\0", 14));
    QFile warnsFile(path(QStringLiteral("warns.png")));
    QVERIFY(warnsFile.open(QIODevice::WriteOnly) && warnsFile.write(warns) == warns.size());
    warnsFile.close();
    QFile text(path(QStringLiteral("notes.png")));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("not a picture at all\n");
    text.close();
}

void TestCli::renderIsTheEditorsExport_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("transparent");
    QTest::addColumn<bool>("projective");
    QTest::addColumn<QStringList>("view");  // --zoom and --pan, as the editor's export is drawn:
    QTest::addColumn<float>("zoom");
    QTest::addColumn<QPointF>("pan");
    const QStringList none;
    QTest::newRow("image, 320 x 240") << QStringLiteral("card.png") << QSize(320, 240) << false << false << none << 1.0f << QPointF();
    QTest::newRow("surface, 320 x 240") << QStringLiteral("blended.skimbler") << QSize(320, 240) << false << false << none << 1.0f << QPointF();
    QTest::newRow("surface, 97 x 61") << QStringLiteral("blended.skimbler") << QSize(97, 61) << false << false << none << 1.0f << QPointF();
    QTest::newRow("surface, transparent") << QStringLiteral("blended.skimbler") << QSize(200, 150) << true << false << none << 1.0f << QPointF();
    QTest::newRow("image-sized quad, transparent") << QStringLiteral("loose.skimbler") << QSize(160, 120) << true << false << none << 1.0f << QPointF();
    QTest::newRow("surface, projective") << QStringLiteral("blended.skimbler") << QSize(160, 120) << false << true << none << 1.0f << QPointF();
    QTest::newRow("surface, zoomed in") << QStringLiteral("blended.skimbler") << QSize(160, 120) << false << false
                                        << Strings({"--zoom", "2.5"}) << 2.5f << QPointF();
    QTest::newRow("image, zoomed out by percentage") << QStringLiteral("card.png") << QSize(160, 120) << true << false
                                                     << Strings({"--zoom=40%"}) << 0.4f << QPointF();
    QTest::newRow("surface, panned") << QStringLiteral("blended.skimbler") << QSize(160, 120) << false << false
                                     << Strings({"--pan", "24,-10.5"}) << 1.0f << QPointF(24.0, -10.5);
    QTest::newRow("image, zoomed and panned") << QStringLiteral("card.png") << QSize(200, 150) << true << false
                                              << Strings({"--pan=-30,12", "--zoom", "0.7"}) << 0.7f << QPointF(-30.0, 12.0);
}

void TestCli::renderIsTheEditorsExport()
{
    QFETCH(QString, input);
    QFETCH(QSize, size);
    QFETCH(bool, transparent);
    QFETCH(bool, projective);
    QFETCH(QStringList, view);
    QFETCH(float, zoom);
    QFETCH(QPointF, pan);
    const QString out = path(QStringLiteral("out.png"));
    QFile::remove(out);
    const CliRun run = RunCli(RenderArguments(path(input), out, size, transparent, projective) + view);
    QVERIFY2(run.exitCode == 0, run.err.constData());
    QVERIFY(run.err.isEmpty());

    const QImage rendered(out);
    QCOMPARE(rendered.size(), size);
    QCOMPARE(rendered.hasAlphaChannel(), transparent);
    const QImage expected = EditorExport(path(input), size, transparent, projective, zoom, pan);
    QVERIFY(!expected.isNull());
    QVERIFY(LargestDifference(rendered, expected) <= 1);
    if (!view.isEmpty())
        QVERIFY(LargestDifference(rendered, EditorExport(path(input), size, transparent, projective)) > 1);
    if (transparent) {
        // Outside the quad nothing was drawn.
        QCOMPARE(qAlpha(rendered.pixel(0, size.height() - 1)), 0);
    }
}

// A glTF camera cannot shift its picture: the pan is left out, and said.
void TestCli::gltfSaysThePanItLeavesOut()
{
    const QString panned = path(QStringLiteral("panned.gltf")), plain = path(QStringLiteral("plain.gltf"));
    const CliRun run = RunCli({QStringLiteral("export"), path(QStringLiteral("blended.skimbler")), QStringLiteral("-o"),
                               panned, QStringLiteral("--pan"), QStringLiteral("40,0")});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.errorLines().size(), 1);
    QVERIFY2(run.errorLines().first().contains(QStringLiteral("pan is left out")), run.err.constData());
    QCOMPARE(RunCli({QStringLiteral("export"), path(QStringLiteral("blended.skimbler")), QStringLiteral("-o"), plain})
                 .exitCode,
             0);
    QFile a(panned), b(plain);
    QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    QCOMPARE(a.readAll(), b.readAll());
}

void TestCli::renderOfSeveralNamesEachPicture()
{
    // One call, one context: each picture must be what a call of its own
    // gives, and two inputs of one name must not overwrite each other.
    const QString folder = path(QStringLiteral("several"));
    const QStringList inputs = {path(QStringLiteral("card.png")), path(QStringLiteral("blended.skimbler")),
                                path(QStringLiteral("other/card.png")), path(QStringLiteral("loose.skimbler"))};
    const CliRun run = RunCli(QStringList{QStringLiteral("render")} + inputs
                              + QStringList{QStringLiteral("-o"), folder, QStringLiteral("--size"), QStringLiteral("120x90")});
    QVERIFY2(run.exitCode == 0, run.err.constData());
    const QStringList names = {QStringLiteral("card.png"), QStringLiteral("blended.png"), QStringLiteral("card-2.png"),
                               QStringLiteral("loose.png")};
    QStringList sorted = names;
    sorted.sort();
    QCOMPARE(QDir(folder).entryList(QDir::Files, QDir::Name), sorted);
    for (int i = 0; i < inputs.size(); ++i) {
        const QImage expected = EditorExport(inputs[i], QSize(120, 90), false, false);
        QVERIFY2(LargestDifference(QImage(QDir(folder).filePath(names[i])), expected) <= 1, qPrintable(names[i]));
    }
    // The two cards differ, so neither picture is the other's.
    QVERIFY(LargestDifference(QImage(QDir(folder).filePath(names[0])), QImage(QDir(folder).filePath(names[2]))) > 1);
}

void TestCli::checkSaysWhatIsWrong_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<int>("exitCode");
    // One pattern per line expected on standard error, in order.
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("image and surface") << Strings({"card.png", "blended.skimbler"}) << 0 << QStringList();
    QTest::newRow("missing file") << Strings({"missing.png"}) << 1
                                  << Strings({"^Could not open \"\\S*missing\\.png\": the file does not exist\\.$"});
    QTest::newRow("broken surface file")
        << Strings({"bad.skimbler"}) << 1 << Strings({"^Could not open \"\\S*bad\\.skimbler\": .+"});
    QTest::newRow("surface whose image is gone")
        << Strings({"orphan.skimbler"}) << 1 << Strings({"^\\S*orphan\\.skimbler: .+ \\(\\S*gone\\.png\\)$"});
    QTest::newRow("text named as an image")
        << Strings({"notes.png"}) << 1 << Strings({"^\\S*notes\\.png: not a readable image .+"});
    // libpng's warning about a damaged comment is not the user's business.
    // What really happened, not "does not exist" or "file not found".
    QTest::newRow("symbolic link loop") << Strings({"loop.png"}) << 1
                                        << Strings({"^Could not open \"\\S*loop\\.png\": Too many levels of symbolic links\\.$"});
    QTest::newRow("link to nothing") << Strings({"dangling.png"}) << 1
                                     << Strings({"^Could not open \"\\S*dangling\\.png\": it is a symbolic link to a file that does not exist\\.$"});
    QTest::newRow("picture without read permission") << Strings({"locked.png"}) << 1
                                                     << Strings({"^\\S*locked\\.png: not a readable image \\(Permission denied\\)$"});
    QTest::newRow("image libpng warns about") << Strings({"warns.png"}) << 0 << QStringList();
    QTest::newRow("good and bad mixed") << Strings({"card.png", "missing.png", "loose.skimbler", "bad.skimbler"}) << 1
                                        << Strings({"^Could not open \"\\S*missing\\.png\"", "^Could not open \"\\S*bad\\.skimbler\""});
}

void TestCli::checkSaysWhatIsWrong()
{
    QFETCH(QStringList, files);
    QFETCH(int, exitCode);
    QFETCH(QStringList, lines);
    if (files.contains(QStringLiteral("locked.png")) && ::geteuid() == 0)
        QSKIP("this user reads files without read permission");
    QStringList arguments{QStringLiteral("check")};
    for (const QString &file : files)
        arguments << path(file);
    const CliRun run = RunCli(arguments);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY(run.out.isEmpty());
    const QStringList said = run.errorLines();
    QCOMPARE(said.size(), lines.size());
    for (int i = 0; i < lines.size(); ++i)
        QVERIFY2(QRegularExpression(lines[i]).match(said[i]).hasMatch(), qPrintable(said[i]));
}

void TestCli::infoIsTheResolvedDrawState_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QJsonValue>("expected");
    QTest::newRow("stored blend") << QStringLiteral("blended.skimbler") << QStringList() << QStringLiteral("srcFactor") << QJsonValue(QStringLiteral("GL_SRC_ALPHA"));
    QTest::newRow("stored mipmap filter") << QStringLiteral("blended.skimbler") << QStringList() << QStringLiteral("needsMipmaps") << QJsonValue(true);
    QTest::newRow("blend flag off") << QStringLiteral("loose.skimbler") << QStringList() << QStringLiteral("destFactor")
                                    << QJsonValue(QStringLiteral("GL_ONE_MINUS_SRC_ALPHA"));
    QTest::newRow("mag flag off") << QStringLiteral("loose.skimbler") << QStringList() << QStringLiteral("magFilter") << QJsonValue(QStringLiteral("GL_LINEAR"));
    QTest::newRow("image defaults") << QStringLiteral("card.png") << QStringList() << QStringLiteral("srcFactor") << QJsonValue(QStringLiteral("GL_ONE"));
    QTest::newRow("image size") << QStringLiteral("card.png") << QStringList() << QStringLiteral("imageHeight") << QJsonValue(48);
    // 64 image pixels from the centre of a 256-pixel-wide window: half of
    // the plane's half-width.
    QTest::newRow("image-sized quad in the window")
        << QStringLiteral("loose.skimbler") << Strings({"--size", "256x192"}) << QStringLiteral("vertices/3/position/0") << QJsonValue(0.6666666865348816);
    QTest::newRow("largest size") << QStringLiteral("card.png") << Strings({"--size", "8192x8192"}) << QStringLiteral("viewHeight") << QJsonValue(8192);
    QTest::newRow("projective q") << QStringLiteral("blended.skimbler") << Strings({"--projective"}) << QStringLiteral("projective") << QJsonValue(true);
}

void TestCli::infoIsTheResolvedDrawState()
{
    QFETCH(QString, input);
    QFETCH(QStringList, options);
    QFETCH(QString, key);
    QFETCH(QJsonValue, expected);
    const CliRun run = RunCli(QStringList{QStringLiteral("info"), path(input)} + options);
    QCOMPARE(run.exitCode, 0);
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(run.out, &error);
    QVERIFY2(json.isObject(), qPrintable(error.errorString()));
    QCOMPARE(json[QStringLiteral("vertices")].toArray().size(), 4);
    QJsonValue value = json.object();
    for (const QString &step : key.split(QLatin1Char('/'))) {
        bool index = false;
        const int n = step.toInt(&index);
        value = index ? value.toArray().at(n) : value.toObject().value(step);
    }
    if (expected.isDouble())
        QCOMPARE(float(value.toDouble()), float(expected.toDouble()));
    else
        QCOMPARE(value, expected);
}

void TestCli::shaderCodeCompilesAndLinks_data()
{
    QTest::addColumn<QString>("api");
    QTest::addColumn<int>("context");
    QTest::newRow("gl33") << QStringLiteral("gl33") << int(HeadlessContext::Api::Core33);
    QTest::newRow("gles3") << QStringLiteral("gles3") << int(HeadlessContext::Api::Es30);
}

void TestCli::shaderCodeCompilesAndLinks()
{
    QFETCH(QString, api);
    QFETCH(int, context);
    const CliRun run = RunCli({QStringLiteral("code"), QStringLiteral("--api"), api, path(QStringLiteral("blended.skimbler"))});
    QCOMPARE(run.exitCode, 0);
    const QString listing = QString::fromUtf8(run.out);
    const QRegularExpression shader(QStringLiteral("R\"glsl\\((.*?)\\)glsl\""),
                                    QRegularExpression::DotMatchesEverythingOption);
    QStringList sources;
    for (auto match = shader.globalMatch(listing); match.hasNext();)
        sources << match.next().captured(1);
    QCOMPARE(sources.size(), 2);
    // A browser's compiler takes #version on the very first line only.
    for (const QString &source : sources)
        QVERIFY2(source.startsWith(QStringLiteral("#version ")), qPrintable(source.left(40)));

    HeadlessContext gl;
    std::string why;
    QVERIFY2(gl.Create(HeadlessContext::Api(context), 8, 8, &why), why.c_str());
    using CreateShader = GLuint (*)(GLenum);
    using ShaderSource = void (*)(GLuint, GLsizei, const char *const *, const GLint *);
    using Compile = void (*)(GLuint);
    using GetIv = void (*)(GLuint, GLenum, GLint *);
    using GetLog = void (*)(GLuint, GLsizei, GLsizei *, char *);
    using CreateProgram = GLuint (*)();
    using Attach = void (*)(GLuint, GLuint);
    using Location = GLint (*)(GLuint, const char *);
    const auto load = [](const char *name) { return HeadlessContext::GetProcAddress(name); };
    const auto createShader = reinterpret_cast<CreateShader>(load("glCreateShader"));
    const auto shaderSource = reinterpret_cast<ShaderSource>(load("glShaderSource"));
    const auto compile = reinterpret_cast<Compile>(load("glCompileShader"));
    const auto shaderIv = reinterpret_cast<GetIv>(load("glGetShaderiv"));
    const auto shaderLog = reinterpret_cast<GetLog>(load("glGetShaderInfoLog"));
    const auto createProgram = reinterpret_cast<CreateProgram>(load("glCreateProgram"));
    const auto attach = reinterpret_cast<Attach>(load("glAttachShader"));
    const auto link = reinterpret_cast<Compile>(load("glLinkProgram"));
    const auto programIv = reinterpret_cast<GetIv>(load("glGetProgramiv"));
    const auto programLog = reinterpret_cast<GetLog>(load("glGetProgramInfoLog"));
    const auto uniformLocation = reinterpret_cast<Location>(load("glGetUniformLocation"));

    const GLuint program = createProgram();
    const GLenum stages[2] = {0x8B31 /* GL_VERTEX_SHADER */, 0x8B30 /* GL_FRAGMENT_SHADER */};
    char log[2048] = {};
    for (int i = 0; i < 2; ++i) {
        const QByteArray source = sources[i].toUtf8();
        const char *text = source.constData();
        const GLuint name = createShader(stages[i]);
        shaderSource(name, 1, &text, nullptr);
        compile(name);
        GLint ok = 0;
        shaderIv(name, 0x8B81 /* GL_COMPILE_STATUS */, &ok);
        shaderLog(name, sizeof log, nullptr, log);
        QVERIFY2(ok, log);
        attach(program, name);
    }
    link(program);
    GLint linked = 0;
    programIv(program, 0x8B82 /* GL_LINK_STATUS */, &linked);
    programLog(program, sizeof log, nullptr, log);
    QVERIFY2(linked, log);
    // Every uniform the state calls set is one the program has.
    const QRegularExpression uniform(QStringLiteral("glGetUniformLocation\\(program, \"(\\w+)\"\\)"));
    int uniforms = 0;
    for (auto match = uniform.globalMatch(listing); match.hasNext(); ++uniforms) {
        const QByteArray name = match.next().captured(1).toLatin1();
        QVERIFY2(uniformLocation(program, name.constData()) >= 0, name.constData());
    }
    QVERIFY(uniforms >= 3);
}

// The WebGL 2 and Vulkan listings carry the projection the OpenGL listing
// sets, --true-shape included (its first entry is the same in every clip
// space).
void TestCli::listingsHaveTheViewsProjection()
{
    const QRegularExpression first(QStringLiteral(
        "(?:skimblerProjection\\[16\\] = \\{|const projection = new Float32Array\\(\\[)\\s*([0-9.eE+-]+)"));
    QStringList apis = {QStringLiteral("gl33"), QStringLiteral("webgl2")};
    if (CodeListing::HasVulkanCode())
        apis << QStringLiteral("vulkan");
    QStringList shapes;
    for (const QStringList &view : {Strings({"--size", "200x100"}), Strings({"--size", "200x100", "--true-shape"})}) {
        QStringList entries;
        for (const QString &api : apis) {
            const CliRun run = RunCli(QStringList{QStringLiteral("code"), QStringLiteral("--api"), api} + view
                                      + QStringList{path(QStringLiteral("blended.skimbler"))});
            QVERIFY2(run.exitCode == 0, run.err.constData());
            const QRegularExpressionMatch match = first.match(QString::fromUtf8(run.out));
            QVERIFY2(match.hasMatch(), qPrintable(api));
            entries << match.captured(1);
        }
        for (const QString &entry : entries)
            QCOMPARE(entry, entries.at(0));
        shapes << entries.at(0);
    }
    QVERIFY(shapes.at(0) != shapes.at(1));
}

void TestCli::renderNeverWritesOverWhatItReads_data()
{
    // Names are files in a fresh folder, "." the folder itself.
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("named");   // the file the one line on standard error names
    QTest::addColumn<bool>("rewritten");  // own.png replaced by a 40 x 30 picture
    QTest::newRow("image onto itself") << Strings({"own.png", "-o", "own.png"}) << 1 << "own.png" << false;
    QTest::newRow("another spelling") << Strings({"own.png", "-o", "sub/../own.png"}) << 1 << "own.png" << false;
    QTest::newRow("surface file onto itself") << Strings({"own.skimbler", "-o", "own.skimbler"}) << 2 << "own.skimbler" << false;
    QTest::newRow("surface's image, -o its folder") << Strings({"own.skimbler", "-o", "."}) << 1 << "own.png" << false;
    // The refused output comes second: the first must not be written either.
    QTest::newRow("several, the last refused") << Strings({"other.skimbler", "own.skimbler", "-o", "."}) << 1 << "own.png" << false;
    QTest::newRow("symbolic link to an input") << Strings({"own.png", "-o", "link.png"}) << 1 << "link.png" << false;
    QTest::newRow("input through a link") << Strings({"link.png", "-o", "own.png"}) << 1 << "own.png" << false;
    QTest::newRow("hard link to an input") << Strings({"own.png", "-o", "hard.png"}) << 1 << "hard.png" << false;
    QTest::newRow("--force") << Strings({"own.png", "-o", "own.png", "--force"}) << 0 << "" << true;
    QTest::newRow("named pipe") << Strings({"own.png", "-o", "pipe.png"}) << 1 << "pipe.png" << false;
    QTest::newRow("named pipe, --force") << Strings({"own.png", "-o", "pipe.png", "--force"}) << 1 << "pipe.png" << false;
    QTest::newRow("new file, suffix in capitals") << Strings({"own.png", "-o", "NEW.PNG"}) << 0 << "" << false;
    QTest::newRow("surface that cannot be opened") << Strings({"missing.skimbler", "-o", "new.png"}) << 1 << "missing.skimbler" << false;
}

void TestCli::renderNeverWritesOverWhatItReads()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, named);
    QFETCH(bool, rewritten);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const auto in = [&dir](const char *name) { return dir.filePath(QString::fromUtf8(name)); };
    QVERIFY(Card().save(in("own.png")));
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("sub")));
    std::string why;
    for (const char *surface : {"own.skimbler", "other.skimbler"}) {
        Surface settings;
        settings.Width = 64;
        settings.Height = 48;
        settings.ApplyDefaults();
        QVERIFY(skimbler::SurfaceFile::Write(QFile::encodeName(in(surface)).toStdString(), settings, 64, 48,
                                             QFile::encodeName(in("own.png")).toStdString(), &why));
    }
    QVERIFY(QFile::link(in("own.png"), in("link.png")));
    QCOMPARE(::link(QFile::encodeName(in("own.png")).constData(), QFile::encodeName(in("hard.png")).constData()), 0);
    QCOMPARE(::mkfifo(QFile::encodeName(in("pipe.png")).constData(), 0600), 0);
    const auto bytes = [&in](const char *name) {
        QFile file(in(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray image = bytes("own.png");
    const QByteArray surface = bytes("own.skimbler");
    const QStringList before = QDir(dir.path()).entryList(QDir::Files | QDir::System);

    QStringList command{QStringLiteral("render"), QStringLiteral("--size"), QStringLiteral("40x30")};
    for (const QString &argument : arguments)
        command << (argument.startsWith(QLatin1Char('-')) ? argument : dir.filePath(argument));
    const CliRun run = RunCli(command);
    QCOMPARE(run.exitCode, exitCode);
    const QStringList lines = run.errorLines();
    QCOMPARE(lines.size(), named.isEmpty() ? 0 : 1);
    if (!named.isEmpty())
        QVERIFY2(lines[0].contains(named), qPrintable(lines[0]));
    QCOMPARE(bytes("own.skimbler"), surface);
    if (rewritten) {
        QCOMPARE(QImage(in("own.png")).size(), QSize(40, 30));
        return;
    }
    QCOMPARE(bytes("own.png"), image);
    QFileInfo pipe(in("pipe.png"));
    QVERIFY(!pipe.isFile() && pipe.exists());
    if (exitCode != 0)  // a refusal writes nothing at all
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::System), before);
}

void TestCli::exportSuffixDecidesTheFormat_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("output");  // empty: the file names nothing Skimbler writes, a usage error
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("warning");  // on standard error, or empty for none
    QTest::newRow("png") << "blended.skimbler" << QStringList() << "x.png" << "png" << "";
    QTest::newRow("gltf") << "blended.skimbler" << QStringList() << "x.gltf" << "gltf" << "";
    QTest::newRow("glb, in capitals") << "blended.skimbler" << QStringList() << "x.GLB" << "glb" << "";
    QTest::newRow("--format agrees") << "blended.skimbler" << Strings({"--format", "glb"}) << "x.glb" << "glb" << "";
    // An image's ONE / ONE has no glTF alpha mode: said once, and the file
    // still written. Without the blend flag the surface blends as glTF can.
    QTest::newRow("gltf of an image") << "card.png" << QStringList() << "x.gltf" << "gltf" << "blending GL_ONE / GL_ONE is kept";
    QTest::newRow("gltf, blend flag off") << "loose.skimbler" << QStringList() << "x.gltf" << "gltf" << "";
    QTest::newRow("glb of an image") << "card.png" << QStringList() << "x.glb" << "glb" << "blending GL_ONE / GL_ONE";
    QTest::newRow("png of an additive surface") << "loose.skimbler" << QStringList() << "x.png" << "png" << "";
    QTest::newRow("unknown suffix") << "blended.skimbler" << QStringList() << "x.jpg" << "" << "must end in .png, .gltf or .glb";
    QTest::newRow("no suffix") << "blended.skimbler" << QStringList() << "x" << "" << "must end in .png, .gltf or .glb";
    QTest::newRow("--format disagrees") << "blended.skimbler" << Strings({"--format", "gltf"}) << "x.glb" << ""
                                        << "is not a glTF 2.0 file";
}

void TestCli::exportSuffixDecidesTheFormat()
{
    QFETCH(QString, input);
    QFETCH(QStringList, options);
    QFETCH(QString, output);
    QFETCH(QString, kind);
    QFETCH(QString, warning);
    QTemporaryDir dir;
    const QString out = dir.filePath(output);
    const CliRun run = RunCli(QStringList{QStringLiteral("export"), path(input), QStringLiteral("-o"), out,
                                          QStringLiteral("--size"), QStringLiteral("64x48")}
                              + options);
    QCOMPARE(run.exitCode, kind.isEmpty() ? 2 : 0);
    const QStringList lines = run.errorLines();
    QCOMPARE(lines.size(), warning.isEmpty() ? 0 : 1);
    if (!warning.isEmpty())
        QVERIFY2(lines[0].contains(warning), qPrintable(lines[0]));
    QFile file(out);
    QCOMPARE(file.open(QIODevice::ReadOnly), !kind.isEmpty());
    QCOMPARE(OutputKindOf(file.readAll()), kind);
}

void TestCli::usageErrorsExitTwo_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("says");
    QTest::newRow("nothing") << QStringList() << QStringLiteral("no command");
    QTest::newRow("unknown command") << Strings({"draw", "a.png"}) << QStringLiteral("unknown command \"draw\"");
    QTest::newRow("unknown option") << Strings({"render", "--rotate", "2", "a.png", "-o", "x.png"}) << QStringLiteral("unknown option \"--rotate\"");
    QTest::newRow("render without -o") << Strings({"render", "a.png"}) << QStringLiteral("render needs -o OUT");
    QTest::newRow("-o without a value") << Strings({"render", "a.png", "-o"}) << QStringLiteral("-o needs a value");
    QTest::newRow("no file") << Strings({"check"}) << QStringLiteral("check needs a file");
    QTest::newRow("size of zero") << Strings({"render", "a.png", "-o", "x.png", "--size", "0x10"}) << QStringLiteral("--size must be");
    QTest::newRow("size too large") << Strings({"render", "a.png", "-o", "x.png", "--size=9000x10"}) << QStringLiteral("--size must be");
    QTest::newRow("size not a size") << Strings({"info", "a.png", "--size", "big"}) << QStringLiteral("--size must be");
    QTest::newRow("zoom of zero") << Strings({"render", "a.png", "-o", "x.png", "--zoom", "0"}) << QStringLiteral("--zoom must be");
    QTest::newRow("zoom past the editor's") << Strings({"export", "a.png", "-o", "x.gltf", "--zoom=10001%"}) << QStringLiteral("--zoom must be");
    QTest::newRow("zoom not a number") << Strings({"render", "a.png", "-o", "x.png", "--zoom", "-2"}) << QStringLiteral("--zoom must be");
    QTest::newRow("pan of one number") << Strings({"render", "a.png", "-o", "x.png", "--pan", "3"}) << QStringLiteral("--pan must be");
    QTest::newRow("pan past any picture") << Strings({"export", "a.png", "-o", "x.png", "--pan=0,-9000"}) << QStringLiteral("--pan must be");
    QTest::newRow("zoom for a listing") << Strings({"code", "--api", "gl33", "--zoom", "2", "a.png"})
                                        << QStringLiteral("code does not take --zoom");
    QTest::newRow("code without --api") << Strings({"code", "a.png"}) << QStringLiteral("code needs --api");
    QTest::newRow("unknown api") << Strings({"code", "--api", "metal", "a.png"}) << QStringLiteral("--api must be gl11, gl33, gles3, webgl2 or vulkan");
    QTest::newRow("two surfaces for info") << Strings({"info", "a.png", "b.png"}) << QStringLiteral("info takes one surface");
    QTest::newRow("option of another command") << Strings({"check", "--transparent", "a.png"})
                                               << QStringLiteral("check does not take --transparent");
    QTest::newRow("output of another format") << Strings({"render", "a.png", "-o", "x.jpg"}) << QStringLiteral("must end in .png");
    QTest::newRow("output without a suffix") << Strings({"render", "a.png", "-o", "noext"}) << QStringLiteral("must end in .png");
    QTest::newRow("export into a folder, no --format") << Strings({"export", "a.png", "b.png", "-o", "out"})
                                                       << QStringLiteral("needs --format png, gltf or glb");
    QTest::newRow("unknown format") << Strings({"export", "--format", "jpg", "a.png", "-o", "x.jpg"})
                                    << QStringLiteral("--format must be png, gltf or glb");
    QTest::newRow("value for a switch") << Strings({"render", "a.png", "-o", "x.png", "--projective=yes"})
                                        << QStringLiteral("--projective takes no value");
}

void TestCli::usageErrorsExitTwo()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, says);
    const CliRun run = RunCli(arguments);
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.out.isEmpty());
    const QStringList lines = run.errorLines();
    QCOMPARE(lines.size(), 1);
    QVERIFY2(lines[0].startsWith(QStringLiteral("skimbler-cli: ")) && lines[0].contains(says), qPrintable(lines[0]));
}

// Not a comparison with the editor's own drawing (which shares this code and
// would agree with a picture turned over): worked out from the drawing rules.
// The image-sized quad hangs right and down from the window's centre, one
// pixel a texel; rows stay in file order and row 0 takes t = 0, the bottom
// corners, so the file's first row is the quad's bottom row.
void TestCli::eachTexelLandsWhereTheDrawingRulesSay()
{
    const int width = 5, height = 3;
    const QByteArray texels = TgaTestFiles::PixelBytes(width * height, 4, 3);
    QVERIFY(TgaTestFiles::Write(path(QStringLiteral("texels.tga")),
                                TgaTestFiles::Header(2) + TgaTestFiles::Info(width, height, 32) + texels));
    Surface surface;
    surface.Width = width;
    surface.Height = height;
    surface.ApplyDefaults();
    surface.Flags = skimbler::SURFACE_FLAG_COLORS | skimbler::SURFACE_FLAG_MAG | skimbler::SURFACE_FLAG_MIN
                    | skimbler::SURFACE_FLAG_BLEND;
    for (auto &colour : surface.Colors)
        colour[0] = colour[1] = colour[2] = colour[3] = 1.0f;
    surface.MagFilter = surface.MinFilter = GL_NEAREST;
    surface.SrcFactor = GL_ONE;
    surface.DestFactor = GL_ZERO;
    std::string error;
    const QString input = path(QStringLiteral("texels.skimbler"));
    QVERIFY(skimbler::SurfaceFile::Write(QFile::encodeName(input).toStdString(), surface, width, height,
                                         QFile::encodeName(path(QStringLiteral("texels.tga"))).toStdString(), &error));
    const QString out = path(QStringLiteral("texels.png"));
    QFile::remove(out);
    const CliRun run = RunCli(RenderArguments(input, out, QSize(320, 240), false, false));
    QVERIFY2(run.exitCode == 0, run.err.constData());
    const QImage rendered(out);
    for (int row = 0; row < height; ++row) {
        for (int x = 0; x < width; ++x) {
            const char *bgra = texels.constData() + (row * width + x) * 4;
            const QRgb pixel = rendered.pixel(160 + x, 120 + height - 1 - row);
            const QRgb expected = qRgb(uchar(bgra[2]), uchar(bgra[1]), uchar(bgra[0]));
            QVERIFY2(pixel == expected, qPrintable(QStringLiteral("texel %1,%2: %3 not %4")
                                                      .arg(x).arg(row).arg(pixel, 0, 16).arg(expected, 0, 16)));
        }
    }
}

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
