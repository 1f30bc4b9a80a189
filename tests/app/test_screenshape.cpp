#include "common/SettingsThroughCommand.h"
#include "app/ExportImage.h"
#include "app/ScreenShapeMenu.h"
#include "common/CliRunner.h"
#include "render/GraphicalInterface.h"
#include "common/ViewHost.h"

#include <QtTest>

#include <algorithm>
#include <cmath>
#include <memory>

using skimbler::SURFACE_FLAG_BLEND;
using skimbler::SURFACE_FLAG_COLORS;

using namespace ViewTest;

// The view letter-boxed to a target screen's shape as Export Image and the
// command line draw it, and the shapes View > Target Screen takes typed.
class TestScreenShape : public BareViewTest
{
    Q_OBJECT

    // A new document on a white image with a black disc filling most of its
    // height, shown in a window of this size.
    bool open(int windowWidth, int windowHeight, int imageWidth = 64, int imageHeight = 48)
    {
        const double radius = imageHeight * 0.4;
        const auto disc = [&](int x, int y) {
            const double dx = x + 0.5 - imageWidth * 0.5;
            const double dy = y + 0.5 - imageHeight * 0.5;
            return dx * dx + dy * dy <= radius * radius ? qRgba(0, 0, 0, 255) : qRgba(255, 255, 255, 255);
        };
        return TgaTestFiles::WritePainted(m_dir.filePath(QStringLiteral("a.tga")), imageWidth, imageHeight, disc)
            && openView(windowWidth, windowHeight);
    }

    // The bounding box of the dark pixels within `area`; `pixel(x, y)`
    // gives a pixel's first three bytes (in any order).
    template <typename Pixel>
    static QRect DarkBox(Pixel pixel, const QRect &area)
    {
        int left = area.right() + 1, right = -1, top = area.bottom() + 1, bottom = -1;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                const unsigned char *p = pixel(x, y);
                if (p[0] + p[1] + p[2] < 3 * 64) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
        }
        return right >= left ? QRect(QPoint(left, top), QPoint(right, bottom)) : QRect();
    }

private Q_SLOTS:
    void squareStaysSquare_data();
    void squareStaysSquare();
    void typedShapes_data();
    void typedShapes();
};

void TestScreenShape::squareStaysSquare_data()
{
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QSize>("screen");
    QTest::newRow("4:3 in a wide window") << QSize(1000, 450) << QSize(4, 3);
    QTest::newRow("16:9 in a square window") << QSize(600, 600) << QSize(16, 9);
    QTest::newRow("16:9 in a wide window") << QSize(900, 400) << QSize(16, 9);
    QTest::newRow("16:10 in a tall window") << QSize(500, 700) << QSize(16, 10);
    QTest::newRow("typed 1920 x 1200") << QSize(900, 400) << QSize(1920, 1200);
}

void TestScreenShape::squareStaysSquare()
{
    QFETCH(QSize, window);
    QFETCH(QSize, screen);
    // A square quad showing a square image of a disc.
    QVERIFY(open(window.width(), window.height(), 64, 64));
    const float corners[4][2] = {{-0.8f, 0.8f}, {-0.8f, -0.8f}, {0.8f, 0.8f}, {0.8f, -0.8f}};
    EditThroughCommand(*m_document, [&](auto &surface) {
        surface.Flags &= ~(SURFACE_FLAG_BLEND | SURFACE_FLAG_COLORS);
        for (int i = 0; i < 4; ++i) {
            surface.Points[i][0] = corners[i][0];
            surface.Points[i][1] = corners[i][1];
            surface.Points[i][2] = 0.0f;
        }
    });
    m_view->SetShowAxes(false);
    m_view->SetShowHandles(false);
    m_view->SetScreenShape(screen.width(), screen.height());

    const QRect area = m_view->ViewportRect();
    // The largest rectangle of the screen's shape, centred.
    QVERIFY(area.width() == window.width() || area.height() == window.height());
    QVERIFY(std::abs(area.width() * screen.height() - area.height() * screen.width()) <= std::max(screen.width(), screen.height()));
    QVERIFY(std::abs(area.left() - (window.width() - area.right() - 1)) <= 1);
    QVERIFY(std::abs(area.top() - (window.height() - area.bottom() - 1)) <= 1);

    const Pixels pixels = RenderAndRead(m_view.get());
    const QRect disc = DarkBox([&](int x, int y) { return pixels.at(x, y); }, area);
    QVERIFY(disc.isValid());
    const double ratio = static_cast<double>(disc.width()) / disc.height();
    QVERIFY2(std::fabs(ratio - 1.0) < 0.04, qPrintable(QString::number(ratio)));
    // The disc is centred in the drawing area, not in the window.
    QVERIFY(std::abs((disc.left() + disc.right()) - (area.left() + area.right())) <= 3);
    // Outside the area the bars are dark.
    const QPoint bar = area.left() > 0 ? QPoint(area.left() / 2, window.height() / 2)
                                       : QPoint(window.width() / 2, area.top() / 2);
    const unsigned char *p = pixels.at(bar.x(), bar.y());
    QCOMPARE(p[0] + p[1] + p[2], 0);

    // Export Image at the view's size draws the same disc; the command line
    // told --true-shape does too, and both stay round at another size.
    const QString saved = m_dir.filePath(QStringLiteral("square.skimbler"));
    QVERIFY(m_document->OnSaveDocument(saved));
    for (const QSize size : {area.size(), QSize(area.width(), area.width() / 2)}) {
        QString error;
        const QImage exported = ExportImage::Render(m_view.get(), size, true, &error);
        QVERIFY2(!exported.isNull(), qPrintable(error));
        const QString out = m_dir.filePath(QStringLiteral("square.png"));
        const CliRun run = RunCli({QStringLiteral("render"), saved, QStringLiteral("-o"), out, QStringLiteral("--force"),
                                   QStringLiteral("--true-shape"), QStringLiteral("--size"),
                                   QStringLiteral("%1x%2").arg(size.width()).arg(size.height())});
        QVERIFY2(run.exitCode == 0, run.err.constData());
        const QImage rendered(out);
        for (const QImage &picture : {exported, rendered}) {
            const QImage image = picture.convertToFormat(QImage::Format_RGB32);
            const QRect box = DarkBox([&](int x, int y) { return image.constScanLine(y) + x * 4; },
                                      QRect(QPoint(0, 0), size));
            QVERIFY(box.isValid());
            const double shape = static_cast<double>(box.width()) / box.height();
            QVERIFY2(std::fabs(shape - 1.0) < 0.04, qPrintable(QString::number(shape)));
            if (size == area.size())
                QVERIFY(std::abs(box.height() - disc.height()) <= 1);
        }
    }
}

void TestScreenShape::typedShapes_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QSize>("shape");
    QTest::newRow("spaced") << QStringLiteral("1920 x 1080") << QSize(1920, 1080);
    QTest::newRow("tight") << QStringLiteral("1280x800") << QSize(1280, 800);
    QTest::newRow("times sign") << QStringLiteral("1024\u00D7768") << QSize(1024, 768);
    QTest::newRow("ratio") << QStringLiteral(" 21:9 ") << QSize(21, 9);
    QTest::newRow("zero side") << QStringLiteral("0 x 600") << QSize();
    QTest::newRow("too large") << QStringLiteral("200000 x 10") << QSize();
    QTest::newRow("negative") << QStringLiteral("-4:3") << QSize();
    QTest::newRow("one number") << QStringLiteral("1920") << QSize();
    QTest::newRow("words") << QStringLiteral("wide") << QSize();
}

void TestScreenShape::typedShapes()
{
    QFETCH(QString, typed);
    QFETCH(QSize, shape);
    QSize parsed;
    QCOMPARE(ScreenShapeMenu::Parse(typed, &parsed), shape.isValid());
    QCOMPARE(parsed, shape);
}

QTEST_MAIN(TestScreenShape)
#include "test_screenshape.moc"
