#include "common/SettingsThroughCommand.h"
#include "common/SurfaceTestAccess.h"
#include "common/MessageRecorder.h"
#include "render/GraphicalFramework.h"
#include "render/GraphicalInterface.h"
#include "common/ViewHost.h"

#include <QOpenGLContext>
#include <QSignalSpy>
#include <QtTest>

#include <algorithm>
#include <memory>

using skimbler::SURFACE_FLAG_BLEND;
using skimbler::SURFACE_FLAG_COLORS;
using skimbler::SURFACE_FLAG_MAG;
using skimbler::SURFACE_FLAG_MIN;

using namespace ViewTest;

// The painted view on its own window (no main frame): background, surface,
// axes, frame and handles, and the selection passes.
class TestViewPaint : public BareViewTest
{
    Q_OBJECT

private:
    // A view on a white background showing only the handles: no tile, an
    // invisible surface and no blue dashes.
    void handlesOnly()
    {
        EditThroughCommand(*m_document, [](auto &surface) {
            surface.Flags &= ~SURFACE_FLAG_BLEND;
            for (auto &colour : surface.Colors)
                colour[3] = 0.0f;
        });
        m_view->SetShowBackground(false);
        m_view->SetShowAxes(false);
        m_view->SetStipplePattern(0);
        m_view->MakeCurrent();
        glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    }

    static bool greyCellAt(int x, int yFromBottom) { return ((x / 16) + (yFromBottom / 16)) % 2 == 0; }

private Q_SLOTS:
    void init();

    void checkerboardIsAnchoredBottomLeft_data();
    void checkerboardIsAnchoredBottomLeft();
    void defaultSurfaceIsTintedByCornerColours();
    void imageSizedQuadHangsFromCentre_data();
    void imageSizedQuadHangsFromCentre();
    void selectedHandleIsEightPixels_data();
    void selectedHandleIsEightPixels();
    void frameFollowsHandleToggle_data();
    void frameFollowsHandleToggle();
    void pressPassNames_data();
    void pressPassNames();
    void hoverPassNames_data();
    void hoverPassNames();
    void resizeReachesInterface();
    void dragAnnouncesOncePerFrameAndQuietly_data();
    void dragAnnouncesOncePerFrameAndQuietly();
    void copiedBackgroundPaintsTheSamePicture_data();
    void copiedBackgroundPaintsTheSamePicture();
    void failedContextIsReportedAndViewStillOpens();
    void windowShapeDrawsAsBefore();
};

void TestViewPaint::init()
{
    QVERIFY(openView(800, 600));
}

void TestViewPaint::checkerboardIsAnchoredBottomLeft_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("800x600") << 800 << 600;
    QTest::newRow("odd 641x479") << 641 << 479;
    QTest::newRow("narrow 90x333") << 90 << 333;
}

void TestViewPaint::checkerboardIsAnchoredBottomLeft()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QVERIFY(resizeView(width, height));
    m_view->SetDocument(nullptr);  // background only
    m_view->SetShowAxes(false);
    m_view->SetShowHandles(false);
    const Pixels pixels = RenderAndRead(m_view.get());

    const int bottom = height - 1;
    const unsigned char *corner = pixels.at(0, bottom);
    QCOMPARE(int(corner[0]), 192);
    QCOMPARE(int(corner[1]), 192);
    QCOMPARE(int(corner[2]), 192);
    // Every pixel follows the 16-pixel cells counted from the bottom-left.
    int wrong = 0;
    for (int y = 0; y < height; y += 7) {
        for (int x = 0; x < width; x += 5) {
            const int expected = greyCellAt(x, bottom - y) ? 192 : 255;
            if (pixels.at(x, y)[0] != expected)
                ++wrong;
        }
    }
    QCOMPARE(wrong, 0);
    QCOMPARE(int(pixels.at(15, bottom)[0]), 192);
    QCOMPARE(int(pixels.at(16, bottom)[0]), 255);
    QCOMPARE(int(pixels.at(0, bottom - 16)[0]), 255);
    QCOMPARE(int(pixels.at(16, bottom - 16)[0]), 192);
}

void TestViewPaint::defaultSurfaceIsTintedByCornerColours()
{
    m_view->SetShowAxes(false);
    m_view->SetShowHandles(false);
    const Pixels pixels = RenderAndRead(m_view.get());
    // Grey cells near the left corners: corner 0 (top-left) is red, corner 1
    // (bottom-left) green; the colours add to the tile.
    const int bottom = 599;
    const QPoint nearTop(48, 7);             // grey cell, 7 px from the top
    const QPoint nearBottom(32, bottom - 7);  // grey cell, 7 px from the bottom
    QVERIFY(greyCellAt(nearTop.x(), bottom - nearTop.y()));
    QVERIFY(greyCellAt(nearBottom.x(), bottom - nearBottom.y()));
    const unsigned char *top = pixels.at(nearTop.x(), nearTop.y());
    const unsigned char *low = pixels.at(nearBottom.x(), nearBottom.y());
    QVERIFY2(top[0] >= 254 && top[1] < 230, qPrintable(QStringLiteral("%1 %2").arg(top[0]).arg(top[1])));
    QVERIFY2(low[1] >= 254 && low[0] < 230, qPrintable(QStringLiteral("%1 %2").arg(low[0]).arg(low[1])));
    // Covered everywhere: the right corners are white, so a grey cell there
    // turns white.
    QVERIFY(greyCellAt(768, bottom - 8));
    const unsigned char *right = pixels.at(768, 8);
    QVERIFY(right[0] >= 254 && right[1] >= 254 && right[2] >= 254);
}

void TestViewPaint::imageSizedQuadHangsFromCentre_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("800x600") << 800 << 600;
    QTest::newRow("tall 500x700") << 500 << 700;
    QTest::newRow("wide 1000x300") << 1000 << 300;
}

void TestViewPaint::imageSizedQuadHangsFromCentre()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QVERIFY(resizeView(width, height));
    // No points; opaque black corners; nearest filtering, so the clamped
    // border never leaks into the edge pixels.
    EditThroughCommand(*m_document, [](auto &surface) {
        surface.Flags = SURFACE_FLAG_COLORS | SURFACE_FLAG_MAG | SURFACE_FLAG_MIN;
        surface.MagFilter = GL_NEAREST;
        surface.MinFilter = GL_NEAREST;
        for (auto &colour : surface.Colors) {
            colour[0] = colour[1] = colour[2] = 0.0f;
            colour[3] = 1.0f;
        }
    });
    // A size no image gives: only the seam makes it.
    SurfaceTestAccess::Of(*m_document).Width = 37;
    SurfaceTestAccess::Of(*m_document).Height = 23;
    m_view->SetShowAxes(false);
    m_view->SetShowHandles(false);
    const Pixels pixels = RenderAndRead(m_view.get());

    int count = 0;
    QRect box;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned char *p = pixels.at(x, y);
            if (p[0] == 0 && p[1] == 0 && p[2] == 0) {
                ++count;
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    QCOMPARE(count, 37 * 23);
    QCOMPARE(box, QRect(width / 2, height / 2, 37, 23));
}

void TestViewPaint::selectedHandleIsEightPixels_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<float>("zoom");
    QTest::newRow("800x600 zoom 1") << 800 << 600 << 1.0f;
    QTest::newRow("800x600 zoom 2") << 800 << 600 << 2.0f;
    QTest::newRow("640x480 zoom 0.5") << 640 << 480 << 0.5f;
    QTest::newRow("300x700 zoom 3") << 300 << 700 << 3.0f;
}

void TestViewPaint::selectedHandleIsEightPixels()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(float, zoom);
    QVERIFY(resizeView(width, height));
    handlesOnly();
    EditThroughCommand(*m_document, [](auto &surface) {
        surface.Points[0][0] = -0.3f;
        surface.Points[0][1] = 0.2f;
    });
    m_view->SetZoom(zoom);
    m_view->SelectPoint(0);
    const Pixels pixels = RenderAndRead(m_view.get());

    // The filled square at the zoomed point: half-black over white.
    const float planeX = -0.3f * zoom;
    const float planeY = 0.2f * zoom;
    const float centreX = (planeX + 4.0f / 3.0f) / (4.0f / 3.0f) * width * 0.5f;
    const float centreY = (planeY - 1.0f) * -height * 0.5f;
    int count = 0;
    QRect box;
    for (int y = qMax(0, int(centreY) - 20); y < qMin(height, int(centreY) + 20); ++y) {
        for (int x = qMax(0, int(centreX) - 20); x < qMin(width, int(centreX) + 20); ++x) {
            const unsigned char *p = pixels.at(x, y);
            if (p[0] > 100 && p[0] < 160) {
                ++count;
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    QCOMPARE(box.size(), QSize(8, 8));
    QCOMPARE(count, 64);
    QVERIFY2(qAbs(box.center().x() + 0.5 - centreX) <= 1.0 && qAbs(box.center().y() + 0.5 - centreY) <= 1.0,
             qPrintable(QStringLiteral("box at %1,%2; point at %3,%4")
                            .arg(box.center().x()).arg(box.center().y()).arg(centreX).arg(centreY)));
}

void TestViewPaint::frameFollowsHandleToggle_data()
{
    QTest::addColumn<bool>("handles");
    QTest::newRow("on") << true;
    QTest::newRow("off") << false;
}

void TestViewPaint::frameFollowsHandleToggle()
{
    QFETCH(bool, handles);
    handlesOnly();
    m_view->SetStipplePattern(0x00FF);
    m_view->SetZoom(0.5f);  // the whole frame inside the window
    m_view->SelectPoint(1);
    m_view->SetShowHandles(handles);
    const Pixels pixels = RenderAndRead(m_view.get());
    int blue = 0;
    int dark = 0;
    for (int y = 0; y < pixels.height; ++y) {
        for (int x = 0; x < pixels.width; ++x) {
            const unsigned char *p = pixels.at(x, y);
            if (p[0] < 50 && p[1] < 50 && p[2] > 200)
                ++blue;
            else if (p[0] < 200)
                ++dark;
        }
    }
    if (handles) {
        QVERIFY(blue > 100);
        QVERIFY(dark >= 64);
    } else {
        QCOMPARE(blue, 0);
        QCOMPARE(dark, 0);
    }
}

void TestViewPaint::dragAnnouncesOncePerFrameAndQuietly_data()
{
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");
    const float w = 4.0f / 3.0f * 0.5f;
    QTest::newRow("corner") << -w << 0.5f;
    QTest::newRow("edge") << w << 0.0f;
    QTest::newRow("whole surface") << 0.3f << 0.2f;
}

void TestViewPaint::dragAnnouncesOncePerFrameAndQuietly()
{
    QFETCH(float, x);
    QFETCH(float, y);
    m_view->SetZoom(0.5f);
    m_view->SelectPoint(0);
    const QPoint start = ScreenOf(m_view.get(), x, y);
    Press(m_view.get(), start);
    QSignalSpy coordinates(m_view.get(), &CSkimblerView::coordinatesChanged);
    QSignalSpy hover(m_view.get(), &CSkimblerView::hoverTextChanged);
    const auto announcedCorner = [&] {
        const QList<QVariant> last = coordinates.last();
        const Surface &surface = m_document->GetSurface();
        return last.at(0).toInt() == 0 && last.at(1).toDouble() == double(surface.Points[0][0])
               && last.at(2).toDouble() == double(surface.Points[0][1])
               && last.at(3).toDouble() == double(surface.Points[0][2]);
    };
    // The drag's first move is announced as it comes.
    Drag(m_view.get(), start + QPoint(3, 2));
    QCOMPARE(coordinates.count(), 1);
    // Moves that come faster than frames change the fields once, with the
    // frame that shows the last of them; a frame with nothing new announces
    // nothing.
    const int steps = 5;
    for (int i = 2; i <= steps; ++i)
        Drag(m_view.get(), start + QPoint(3 * i, 2 * i));
    QCOMPARE(coordinates.count(), 1);
    m_view->OnPaint();
    QCOMPARE(coordinates.count(), 2);
    QVERIFY(announcedCorner());
    m_view->OnPaint();
    QCOMPARE(coordinates.count(), 2);
    // No status text (a pick pass each) while the drag goes on, however
    // long it takes. An empty text is only the pointer leaving the window,
    // which another test's window mapped over this one can cause; it costs
    // no pick pass.
    QTest::qWait(3 * CSkimblerView::HoverTextInterval);
    const auto texts = [&] {
        int n = 0;
        for (const QList<QVariant> &signal : hover)
            n += signal.at(0).toString().isEmpty() ? 0 : 1;
        return n;
    };
    QCOMPARE(texts(), 0);
    // A move not yet painted is announced when the drag ends, frame or not.
    const int announced = int(coordinates.count());
    Drag(m_view.get(), start + QPoint(3 * (steps + 1), 2 * (steps + 1)));
    QCOMPARE(coordinates.count(), announced);
    Release(m_view.get(), start + QPoint(3 * (steps + 1), 2 * (steps + 1)));
    QCOMPARE(coordinates.count(), announced + 1);
    QVERIFY(announcedCorner());
    // Once the drag ends the status text catches up.
    QTRY_COMPARE(texts(), 1);
}

void TestViewPaint::pressPassNames_data()
{
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");
    QTest::addColumn<int>("name");
    const float w = 4.0f / 3.0f * 0.5f;
    QTest::newRow("corner 0") << -w << 0.5f << 0;
    QTest::newRow("corner 3") << w << -0.5f << 3;
    QTest::newRow("left edge") << -w << 0.0f << int(CSkimblerView::LeftEdge);
    QTest::newRow("bottom edge") << 0.0f << -0.5f << int(CSkimblerView::BottomEdge);
    QTest::newRow("right edge") << w << 0.0f << int(CSkimblerView::RightEdge);
    QTest::newRow("top edge") << 0.0f << 0.5f << int(CSkimblerView::TopEdge);
    QTest::newRow("surface") << 0.3f << 0.2f << int(CSkimblerView::WholeSurface);
    QTest::newRow("nothing") << -1.2f << 0.9f << -1;
}

void TestViewPaint::pressPassNames()
{
    QFETCH(float, x);
    QFETCH(float, y);
    QFETCH(int, name);
    m_view->SetZoom(0.5f);
    const QPoint at = ScreenOf(m_view.get(), x, y);
    QCOMPARE(m_view->PickPress(at.x(), at.y()), name);
    // The handles take part even when hidden.
    m_view->SetShowHandles(false);
    QCOMPARE(m_view->PickPress(at.x(), at.y()), name);
}

void TestViewPaint::hoverPassNames_data()
{
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");
    QTest::addColumn<bool>("handles");
    QTest::addColumn<int>("name");
    const float w = 4.0f / 3.0f * 0.5f;
    QTest::newRow("left edge") << -w << 0.0f << true << int(CSkimblerView::HoverLeft);
    QTest::newRow("top edge") << 0.0f << 0.5f << true << int(CSkimblerView::HoverTop);
    QTest::newRow("right edge") << w << 0.0f << true << int(CSkimblerView::HoverRight);
    QTest::newRow("bottom edge") << 0.0f << -0.5f << true << int(CSkimblerView::HoverBottom);
    QTest::newRow("edge, handles off") << -w << 0.0f << false << int(CSkimblerView::HoverSurface);
    QTest::newRow("surface") << 0.1f << 0.1f << true << int(CSkimblerView::HoverSurface);
    QTest::newRow("corner is only surface") << -w << 0.5f << true << int(CSkimblerView::HoverSurface);
    QTest::newRow("nothing") << 1.2f << -0.9f << true << -1;
}

void TestViewPaint::hoverPassNames()
{
    QFETCH(float, x);
    QFETCH(float, y);
    QFETCH(bool, handles);
    QFETCH(int, name);
    m_view->SetZoom(0.5f);
    m_view->SetShowHandles(handles);
    const QPoint at = ScreenOf(m_view.get(), x, y);
    QCOMPARE(m_view->PickHover(at.x(), at.y()), name);
}

void TestViewPaint::resizeReachesInterface()
{
    QVERIFY(resizeView(321, 123));
    QCOMPARE(m_view->Interface()->Width, 321);
    QCOMPARE(m_view->Interface()->Height, 123);
    GLint viewport[4] = {};
    m_view->MakeCurrent();
    glGetIntegerv(GL_VIEWPORT, viewport);
    QCOMPARE(viewport[2], 321);
    QCOMPARE(viewport[3], 123);
}

void TestViewPaint::copiedBackgroundPaintsTheSamePicture_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QSize>("resizedFrom");
    QTest::addColumn<float>("zoom");
    QTest::addColumn<QPointF>("pan");
    QTest::addColumn<float>("lift");
    QTest::addColumn<QSize>("screen");
    QTest::newRow("800x600") << QSize(800, 600) << QSize() << 1.0f << QPointF() << 0.0f << QSize();
    QTest::newRow("odd size after a resize") << QSize(641, 479) << QSize(800, 600) << 1.0f << QPointF() << 0.0f
                                             << QSize();
    QTest::newRow("only the height changed") << QSize(800, 701) << QSize(800, 600) << 1.0f << QPointF() << 0.0f
                                             << QSize();
    QTest::newRow("zoomed out, panned") << QSize(800, 600) << QSize() << 0.4f << QPointF(-120, 75.5) << 0.0f
                                        << QSize();
    QTest::newRow("zoomed in, lifted corner") << QSize(533, 301) << QSize(90, 333) << 3.0f << QPointF(40, -20)
                                             << 0.6f << QSize();
    // The bars put the drawing area's corner off the window's.
    QTest::newRow("letter-boxed 4:3 in a wide window") << QSize(801, 417) << QSize() << 1.0f << QPointF() << 0.0f
                                                       << QSize(4, 3);
    QTest::newRow("letter-boxed 16:9 in a tall window") << QSize(503, 611) << QSize() << 1.0f << QPointF() << 0.0f
                                                        << QSize(16, 9);
}

void TestViewPaint::copiedBackgroundPaintsTheSamePicture()
{
    QFETCH(QSize, size);
    QFETCH(QSize, resizedFrom);
    QFETCH(float, zoom);
    QFETCH(QPointF, pan);
    QFETCH(float, lift);
    QFETCH(QSize, screen);
    EditThroughCommand(*m_document, [&](auto &surface) {
        for (auto &point : surface.Points) {
            point[0] *= 0.6f;
            point[1] *= 0.6f;
        }
        surface.Points[1][2] = lift;
    });
    m_view->SelectPoint(2);
    if (resizedFrom.isValid()) {
        QVERIFY(resizeView(resizedFrom.width(), resizedFrom.height()));
        RenderAndRead(m_view.get());
    }
    QVERIFY(resizeView(size.width(), size.height()));
    m_view->SetZoom(zoom);
    m_view->SetPan(float(pan.x()), float(pan.y()));
    if (screen.isValid())
        m_view->SetScreenShape(screen.width(), screen.height());

    m_view->SetCacheBackground(false);
    const Pixels drawn = RenderAndRead(m_view.get());
    m_view->SetCacheBackground(true);
    for (int frame = 0; frame < 2; ++frame) {
        const Pixels copied = RenderAndRead(m_view.get());
        QCOMPARE(copied.rgba.size(), drawn.rgba.size());
        const auto mismatch = std::mismatch(copied.rgba.begin(), copied.rgba.end(), drawn.rgba.begin());
        const long at = long(mismatch.first - copied.rgba.begin()) / 4;
        QVERIFY2(mismatch.first == copied.rgba.end(),
                 qPrintable(QStringLiteral("frame %1 differs at (%2, %3 from the bottom)")
                                .arg(frame).arg(at % size.width()).arg(at / size.width())));
    }
}

namespace {
class NoDeviceFramework : public GraphicalFramework
{
protected:
    DeviceContext GetDC(QWindow *) override { return nullptr; }
};

class ViewWithoutContext : public CSkimblerView
{
protected:
    GraphicalFramework *NewFramework() override { return new NoDeviceFramework; }
};
}

void TestViewPaint::failedContextIsReportedAndViewStillOpens()
{
    m_view.reset();
    if (QOpenGLContext *current = QOpenGLContext::currentContext())
        current->doneCurrent();
    auto view = std::make_unique<ViewWithoutContext>();
    MessageRecorder recorder(view.get());
    QCOMPARE(view->OnCreate(), 0);
    QVERIFY(recorder.texts().contains(QStringLiteral("Failed to create GraphicalFramework.")));
    for (const UserMessage &message : recorder.messages) {
        if (message.text == QLatin1String("Failed to create GraphicalFramework."))
            QVERIFY(message.caption.isEmpty());
    }
    QVERIFY(view->Interface() != nullptr);
    QCOMPARE(view->BackgroundWidth(), 32);
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    // Painting, picking and the mouse must not need the missing context.
    view->OnPaint();
    QCOMPARE(view->PickPress(10, 10), -1);
    Press(view.get(), QPoint(10, 10));
    Release(view.get(), QPoint(10, 10));
}

// Back from a target screen's shape to the window's own, the frame is the
// one drawn before.
void TestViewPaint::windowShapeDrawsAsBefore()
{
    QVERIFY(resizeView(800, 500));
    const Pixels before = RenderAndRead(m_view.get());
    m_view->SetScreenShape(4, 3);
    const Pixels boxed = RenderAndRead(m_view.get());
    QVERIFY(boxed.rgba != before.rgba);
    m_view->SetScreenShape(0, 0);
    QCOMPARE(m_view->ViewportRect(), QRect(0, 0, 800, 500));
    const Pixels after = RenderAndRead(m_view.get());
    QVERIFY(after.rgba == before.rgba);
}

QTEST_MAIN(TestViewPaint)
#include "test_viewpaint.moc"
