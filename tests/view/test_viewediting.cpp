#include "common/ViewHost.h"
#include "render/GraphicalInterface.h"
#include "res/Resource.h"

#include <QtTest>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <memory>

using skimbler::SURFACE_FLAG_POINTS;

using namespace ViewTest;

// Editing the geometry in a view of its own, in a plain host window: mouse,
// wheel, the view's commands and setters, and what it announces.
class TestViewEditing : public HostedViewTest
{
    Q_OBJECT

private:
    // The default layout shrunk to half, whatever the test did before.
    void halfLayout()
    {
        ArrangeThroughCommand(*m_document, [](auto &s) { skimbler::ResetPoints(&s); });
        halveLayout();
    }

    // A pan drag by `by` pixels, with the middle button or with Space held
    // and the left button.
    void panBy(QPoint by, Qt::MouseButton button)
    {
        if (by.isNull())
            return;
        const QPoint start(400, 300);
        if (button == Qt::LeftButton)
            SendKey(m_view, QEvent::KeyPress, Qt::Key_Space);
        SendMouse(m_view, QEvent::MouseButtonPress, start, button, button);
        SendMouse(m_view, QEvent::MouseMove, start + by / 2, Qt::NoButton, button);
        SendMouse(m_view, QEvent::MouseMove, start + by, Qt::NoButton, button);
        SendMouse(m_view, QEvent::MouseButtonRelease, start + by, button, Qt::NoButton);
        if (button == Qt::LeftButton)
            SendKey(m_view, QEvent::KeyRelease, Qt::Key_Space);
    }

    // What a press at `position` takes: a corner, an edge, the whole
    // surface (the names the status bar says), or -1 for nothing.
    int takenAt(QPoint position) { return m_view->PickPress(position.x(), position.y()); }

private Q_SLOTS:
    void init();

    void cornerPressSelectsAndShowsItsValues();
    void cornerDragPutsPointUnderPointer_data();
    void cornerDragPutsPointUnderPointer();
    void edgeDragFollowsPointer_data();
    void edgeDragFollowsPointer();
    void surfaceMove_data();
    void surfaceMove();
    void releaseEndsDrag();
    void hoverPointerShapes_data();
    void hoverPointerShapes();
    void hiddenHandlesSelectButDoNotDrag();
    void nothingHappensWithoutPointsFlag();
    void wheelZoomsAtPointer_data();
    void wheelZoomsAtPointer();
    void panThenDragMovesAsWithoutPan_data();
    void panThenDragMovesAsWithoutPan();
    void fitShowsAllFourHandles_data();
    void fitShowsAllFourHandles();
    void hundredRestoresThePicture();
    void zoomStopsAtBounds_data();
    void zoomStopsAtBounds();
    void letterBoxedCornerDragFollowsThePointer_data();
    void letterBoxedCornerDragFollowsThePointer();
    void zoomKeepsTheLetterBoxedCentre_data();
    void zoomKeepsTheLetterBoxedCentre();
    void displayToggles();
    void resetShowsDefaultsOfSelectedPoint();
    void typedCoordinateMovesOnlyThatAxis();
    void typedCoordinateWithoutSelectionIsIgnored();
    void hugeCoordinateStaysFinite();
    void readBackIsNotAnEdit();
};

void TestViewEditing::init()
{
    QVERIFY2(openHost(800, 600), "the view cannot be shown at 800 x 600");
    m_document->SetModifiedFlag(false);
}

void TestViewEditing::cornerPressSelectsAndShowsItsValues()
{
    // Corner 1 sits at the bottom-left of the default layout.
    Press(m_view, QPoint(2, 597));
    QCOMPARE(m_host->selected, 1);
    // The corner just selected is announced at once, so a later focus pass
    // cannot carry another point's values into its fields.
    QCOMPARE(m_host->coordinates.point, 1);
    QCOMPARE(m_host->coordinates.x, double(-4.0f / 3.0f));
    QCOMPARE(m_host->coordinates.y, -1.0);
    QVERIFY(!m_document->IsModified());
}

void TestViewEditing::cornerDragPutsPointUnderPointer_data()
{
    QTest::addColumn<float>("zoom");
    QTest::addColumn<float>("z");
    QTest::newRow("zoom 1") << 1.0f << 0.0f;
    QTest::newRow("zoom 2") << 2.0f << 0.0f;
    QTest::newRow("zoom 0.5") << 0.5f << 0.0f;
    QTest::newRow("lifted, zoom 1") << 1.0f << 0.25f;
    QTest::newRow("lifted, zoom 2") << 2.0f << 0.25f;
    QTest::newRow("sunk, zoom 0.5") << 0.5f << -1.5f;
}

void TestViewEditing::cornerDragPutsPointUnderPointer()
{
    QFETCH(float, zoom);
    QFETCH(float, z);
    ArrangeThroughCommand(*m_document, [&](auto &s) {
        s.Points[0][0] = -0.5f;
        s.Points[0][1] = 0.4f;
        s.Points[0][2] = z;
    });
    m_view->SetZoom(zoom);
    // How much the perspective enlarges a point at height z: the eye is
    // 2.4142136 above the plane.
    const float depth = 2.4142136f / (2.4142136f - z);
    const QPoint seen = ScreenOf(m_view, -0.5f * zoom * depth, 0.4f * zoom * depth);
    if (z != 0.0f) {
        // Where the corner would be on the plane is not where it is seen:
        // nothing grabs it there.
        QVERIFY(takenAt(ScreenOf(m_view, -0.5f * zoom, 0.4f * zoom)) != 0);
    }
    // Press a little off the point's centre: the offset is not kept.
    QCOMPARE(takenAt(seen + QPoint(2, -2)), 0);
    Press(m_view, seen + QPoint(2, -2));
    Drag(m_view, QPoint(300, 200));
    // Plane position under (300, 200) at 800 x 600, over the zoom and, in
    // the corner's own z plane, over the perspective.
    const float planeX = 300.0f / 400.0f * (4.0f / 3.0f) - 4.0f / 3.0f;
    const float planeY = 200.0f / -300.0f + 1.0f;
    if (z == 0.0f) {
        QCOMPARE(surface().Points[0][0], planeX / zoom);
        QCOMPARE(surface().Points[0][1], planeY / zoom);
    } else {
        QVERIFY(std::fabs(surface().Points[0][0] - planeX / zoom / depth) < 1e-6f);
        QVERIFY(std::fabs(surface().Points[0][1] - planeY / zoom / depth) < 1e-6f);
    }
    QCOMPARE(surface().Points[0][2], z);
    // The corner is seen under the pointer, and a press there takes it again.
    QCOMPARE(ScreenOf(m_view, surface().Points[0][0] * zoom * depth, surface().Points[0][1] * zoom * depth),
             QPoint(300, 200));
    Release(m_view, QPoint(300, 200));
    QCOMPARE(takenAt(QPoint(300, 200)), 0);
    QVERIFY(m_document->IsModified());
    QCOMPARE(m_host->coordinates.x, double(surface().Points[0][0]));
    QCOMPARE(m_host->coordinates.z, double(z));
}

void TestViewEditing::edgeDragFollowsPointer_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("edge");
    QTest::addColumn<QPoint>("move");
    QTest::addColumn<float>("change");  // in plane units along the edge's axis
    QTest::newRow("top up 30 at 800x600") << 600 << int(CSkimblerView::TopEdge) << QPoint(0, -30) << 0.1f;
    QTest::newRow("top up 30 at 800x400") << 400 << int(CSkimblerView::TopEdge) << QPoint(0, -30) << 0.15f;
    QTest::newRow("bottom down 20 at 800x400") << 400 << int(CSkimblerView::BottomEdge) << QPoint(5, 20) << -0.1f;
    QTest::newRow("left right 40") << 600 << int(CSkimblerView::LeftEdge) << QPoint(40, 7) << 0.13333334f;
    QTest::newRow("right left 30") << 600 << int(CSkimblerView::RightEdge) << QPoint(-30, 0) << -0.1f;
}

void TestViewEditing::edgeDragFollowsPointer()
{
    QFETCH(int, height);
    QFETCH(int, edge);
    QFETCH(QPoint, move);
    QFETCH(float, change);
    if (height != 600 && !setViewSize(800, height))
        QSKIP("the view cannot be brought to this size");
    halfLayout();
    const int pointsOf[4][2] = {{0, 1}, {1, 3}, {2, 3}, {0, 2}};
    const int a = pointsOf[edge - CSkimblerView::LeftEdge][0];
    const int b = pointsOf[edge - CSkimblerView::LeftEdge][1];
    const bool horizontal = edge == CSkimblerView::LeftEdge || edge == CSkimblerView::RightEdge;
    const int axis = horizontal ? 0 : 1;
    float before[4][3];
    std::copy(&surface().Points[0][0], &surface().Points[0][0] + 12, &before[0][0]);

    // A point selected before stays selected whichever edge is pressed.
    const QPoint corner = ScreenOf(m_view, before[3][0], before[3][1]);
    Press(m_view, corner);
    Release(m_view, corner);
    QCOMPARE(m_host->selected, 3);

    const QPoint start = ScreenOf(m_view, (before[a][0] + before[b][0]) / 2, (before[a][1] + before[b][1]) / 2);
    QCOMPARE(takenAt(start), edge);
    Press(m_view, start);
    // Several moves, past the goal and back: only where the pointer ends counts.
    Drag(m_view, start + move / 2);
    Drag(m_view, start + move * 2);
    Drag(m_view, start + move);
    QCOMPARE(m_view->cursor().shape(), horizontal ? Qt::SizeHorCursor : Qt::SizeVerCursor);
    for (int i = 0; i < 4; ++i) {
        for (int k = 0; k < 3; ++k) {
            const bool moves = (i == a || i == b) && k == axis;
            const float expected = before[i][k] + (moves ? change : 0.0f);
            QVERIFY2(std::fabs(surface().Points[i][k] - expected) < 1e-5f,
                     qPrintable(QStringLiteral("point %1 axis %2: %3, expected %4")
                                    .arg(i).arg(k).arg(surface().Points[i][k]).arg(expected)));
        }
    }
    // The moved edge is under the pointer.
    float x = float(start.x() + move.x());
    float y = float(start.y() + move.y());
    m_view->Interface()->ScreenToWorld(x, y);
    QVERIFY(std::fabs(surface().Points[a][axis] - (horizontal ? x : y)) < 1e-5f);
    QVERIFY(m_document->IsModified());
    QCOMPARE(m_host->selected, 3);
    // The coordinates follow the drag with the view's next frame.
    QTRY_COMPARE(m_host->coordinates.x, double(surface().Points[3][0]));
    QTRY_COMPARE(m_host->coordinates.y, double(surface().Points[3][1]));
}

void TestViewEditing::surfaceMove_data()
{
    QTest::addColumn<QList<QPoint>>("moves");  // pointer positions after the press, from the press
    QTest::newRow("+10, +10 in one move") << QList<QPoint>{QPoint(10, 10)};
    QTest::newRow("+30, -10 over two moves") << QList<QPoint>{QPoint(12, -7), QPoint(30, -10)};
    QTest::newRow("+30, -10, past and back") << QList<QPoint>{QPoint(50, 20), QPoint(-5, -40), QPoint(30, -10)};
}

// The whole surface moves by exactly what the pointer moved, on each axis.
void TestViewEditing::surfaceMove()
{
    QFETCH(QList<QPoint>, moves);
    const QPoint press(400, 300);
    QCOMPARE(takenAt(press), int(CSkimblerView::WholeSurface));
    Press(m_view, press);
    for (const QPoint &move : moves)
        Drag(m_view, press + move);
    const QPoint total = moves.last();
    const float w = 4.0f / 3.0f;
    const float expected[4][2] = {{-w, 1}, {-w, -1}, {w, 1}, {w, -1}};
    for (int i = 0; i < 4; ++i) {
        const float x = expected[i][0] + float(total.x()) / 400.0f * w;
        const float y = expected[i][1] - float(total.y()) / 300.0f;
        QVERIFY2(std::fabs(surface().Points[i][0] - x) < 1e-5f && std::fabs(surface().Points[i][1] - y) < 1e-5f,
                 qPrintable(QStringLiteral("point %1: (%2, %3), expected (%4, %5)")
                                .arg(i).arg(surface().Points[i][0]).arg(surface().Points[i][1]).arg(x).arg(y)));
    }
    QCOMPARE(m_view->cursor().shape(), Qt::SizeAllCursor);
    QVERIFY(m_document->IsModified());
}

void TestViewEditing::releaseEndsDrag()
{
    halfLayout();
    const QPoint corner = ScreenOf(m_view, surface().Points[2][0], surface().Points[2][1]);
    QCOMPARE(takenAt(corner), 2);
    Press(m_view, corner);
    // Released outside the view: the drag still ends.
    Release(m_view, QPoint(-50, 900));
    QCOMPARE(m_view->SelectedPoint(), 2);
    const float x = surface().Points[2][0];
    Hover(m_view, QPoint(100, 100));
    QCOMPARE(surface().Points[2][0], x);
}

void TestViewEditing::hoverPointerShapes_data()
{
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");
    QTest::addColumn<int>("shape");
    const float w = 4.0f / 3.0f * 0.5f;
    QTest::newRow("surface") << 0.2f << 0.1f << int(Qt::SizeAllCursor);
    QTest::newRow("left edge") << -w << 0.0f << int(Qt::SizeHorCursor);
    QTest::newRow("right edge") << w << 0.0f << int(Qt::SizeHorCursor);
    QTest::newRow("top edge") << 0.0f << 0.5f << int(Qt::SizeVerCursor);
    QTest::newRow("bottom edge") << 0.0f << -0.5f << int(Qt::SizeVerCursor);
    QTest::newRow("outside") << 1.0f << 0.9f << int(Qt::ArrowCursor);
}

void TestViewEditing::hoverPointerShapes()
{
    QFETCH(float, x);
    QFETCH(float, y);
    QFETCH(int, shape);
    halfLayout();
    Hover(m_view, QPoint(400, 300));  // start from another shape
    Hover(m_view, ScreenOf(m_view, x, y));
    QCOMPARE(int(m_view->cursor().shape()), shape);
}

void TestViewEditing::hiddenHandlesSelectButDoNotDrag()
{
    halfLayout();
    QVERIFY(m_view->OnCommand(Resource::ID_SHOW_HANDLES));
    QVERIFY(!m_view->ShowHandles());
    const float before[2] = {surface().Points[3][0], surface().Points[3][1]};
    Press(m_view, ScreenOf(m_view, before[0], before[1]));
    QCOMPARE(m_view->SelectedPoint(), 3);
    QCOMPARE(m_host->selected, 3);
    Drag(m_view, QPoint(100, 100));
    QCOMPARE(surface().Points[3][0], before[0]);
    QCOMPARE(surface().Points[3][1], before[1]);
    QVERIFY(!m_document->IsModified());
}

void TestViewEditing::nothingHappensWithoutPointsFlag()
{
    ArrangeThroughCommand(*m_document, [](auto &s) { s.Flags &= ~SURFACE_FLAG_POINTS; });
    float before[4][3];
    std::copy(&surface().Points[0][0], &surface().Points[0][0] + 12, &before[0][0]);
    Press(m_view, QPoint(2, 2));
    QCOMPARE(m_view->SelectedPoint(), -1);
    Drag(m_view, QPoint(200, 200));
    Release(m_view, QPoint(200, 200));
    Press(m_view, QPoint(400, 300));
    Drag(m_view, QPoint(420, 330));
    QVERIFY(std::equal(&before[0][0], &before[0][0] + 12, &surface().Points[0][0]));
    QCOMPARE(m_view->cursor().shape(), Qt::ArrowCursor);
    QVERIFY(!m_document->IsModified());
}

void TestViewEditing::wheelZoomsAtPointer_data()
{
    QTest::addColumn<QPoint>("pointer");
    QTest::addColumn<QPoint>("pan");
    QTest::addColumn<QList<int>>("notches");
    QTest::newRow("one notch in") << QPoint(150, 420) << QPoint(0, 0) << QList<int>{120};
    QTest::newRow("in and out, panned") << QPoint(620, 90) << QPoint(-70, 45) << QList<int>{240, 120, -360, -120};
    QTest::newRow("half notches") << QPoint(333, 287) << QPoint(12, -5) << QList<int>{60, 60, 60, -30};
    QTest::newRow("far in, to the bound") << QPoint(700, 500) << QPoint(0, 0) << QList<int>{120000};
    QTest::newRow("far out, to the bound") << QPoint(40, 30) << QPoint(30, 30) << QList<int>{-120000};
}

void TestViewEditing::wheelZoomsAtPointer()
{
    QFETCH(QPoint, pointer);
    QFETCH(QPoint, pan);
    QFETCH(QList<int>, notches);
    panBy(pan, Qt::MiddleButton);
    // Corner 3 is put under the pointer by dragging it there.
    halfLayout();
    QCOMPARE(takenAt(cornerAt(3)), 3);
    Press(m_view, cornerAt(3));
    Drag(m_view, pointer);
    Release(m_view, pointer);
    const float held[2] = {surface().Points[3][0], surface().Points[3][1]};

    float zoom = 1.0f;
    for (int delta : notches) {
        Wheel(m_view, pointer, delta);
        zoom = std::clamp(zoom * std::pow(CSkimblerView::ZoomFactor, delta / 120.0f), CSkimblerView::MinZoom,
                          CSkimblerView::MaxZoom);
        // Multiplicative, and announced.
        QVERIFY(std::fabs(m_view->Zoom() / zoom - 1.0f) < 1e-5f);
        QVERIFY(std::fabs(m_host->zoom / zoom - 1.0f) < 1e-5f);
    }
    // The corner is still under the pointer: taking it there and letting go
    // without a move leaves it within half a pixel of where it was.
    QCOMPARE(takenAt(pointer), 3);
    Press(m_view, pointer);
    Drag(m_view, pointer);
    const float pixelX = 4.0f / 3.0f / 400.0f / m_view->Zoom();
    const float pixelY = 1.0f / 300.0f / m_view->Zoom();
    QVERIFY2(std::fabs(surface().Points[3][0] - held[0]) <= 0.5f * pixelX
                 && std::fabs(surface().Points[3][1] - held[1]) <= 0.5f * pixelY,
             qPrintable(QStringLiteral("(%1, %2) moved to (%3, %4)")
                            .arg(held[0]).arg(held[1]).arg(surface().Points[3][0]).arg(surface().Points[3][1])));
}

void TestViewEditing::panThenDragMovesAsWithoutPan_data()
{
    QTest::addColumn<int>("grab");  // a corner, an edge, or the whole surface
    QTest::addColumn<int>("zoomIns");
    QTest::addColumn<int>("button");
    QTest::addColumn<QPoint>("pan");
    QTest::newRow("corner, middle button") << 0 << 0 << int(Qt::MiddleButton) << QPoint(90, -60);
    QTest::newRow("corner, zoomed, Space") << 3 << 3 << int(Qt::LeftButton) << QPoint(-130, 25);
    QTest::newRow("left edge, Space") << int(CSkimblerView::LeftEdge) << 0 << int(Qt::LeftButton) << QPoint(55, 41);
    QTest::newRow("top edge, zoomed, middle") << int(CSkimblerView::TopEdge) << 2 << int(Qt::MiddleButton)
                                              << QPoint(-17, 120);
    QTest::newRow("surface, zoomed, middle") << int(CSkimblerView::WholeSurface) << 1 << int(Qt::MiddleButton)
                                             << QPoint(64, 64);
}

void TestViewEditing::panThenDragMovesAsWithoutPan()
{
    QFETCH(int, grab);
    QFETCH(int, zoomIns);
    QFETCH(int, button);
    QFETCH(QPoint, pan);
    halfLayout();
    ArrangeThroughCommand(*m_document, [](auto &s) { s.Points[3][2] = 0.5f; });
    for (int i = 0; i < zoomIns; ++i)
        QVERIFY(m_view->OnCommand(Resource::ID_ZOOM_IN));
    float before[4][3];
    std::copy(&surface().Points[0][0], &surface().Points[0][0] + 12, &before[0][0]);
    const int edgePoints[4][2] = {{0, 1}, {1, 3}, {2, 3}, {0, 2}};
    const auto grabPoint = [&]() {
        if (grab < 4)
            return cornerAt(grab);
        if (grab == CSkimblerView::WholeSurface)
            return (cornerAt(0) * 3 + cornerAt(3)) / 4;
        const int *edge = edgePoints[grab - CSkimblerView::LeftEdge];
        return (cornerAt(edge[0]) + cornerAt(edge[1])) / 2;
    };
    const auto dragFrom = [&](QPoint start) {
        QCOMPARE(takenAt(start), grab);
        Press(m_view, start);
        Drag(m_view, start + QPoint(13, -7));
        Drag(m_view, start + QPoint(-21, 34));
        Release(m_view, start + QPoint(-21, 34));
    };

    const QPoint start = grabPoint();
    dragFrom(start);
    float unpanned[4][3];
    std::copy(&surface().Points[0][0], &surface().Points[0][0] + 12, &unpanned[0][0]);
    QVERIFY(!std::equal(&before[0][0], &before[0][0] + 12, &unpanned[0][0]));
    m_document->UndoStack()->undo();
    QVERIFY(std::equal(&before[0][0], &before[0][0] + 12, &surface().Points[0][0]));

    panBy(pan, Qt::MouseButton(button));
    QCOMPARE(grabPoint(), start + pan);
    dragFrom(start + pan);
    for (int i = 0; i < 4; ++i) {
        for (int k = 0; k < 3; ++k)
            QCOMPARE(surface().Points[i][k], unpanned[i][k]);
    }
}

void TestViewEditing::fitShowsAllFourHandles_data()
{
    QTest::addColumn<QPointF>("shift");
    QTest::addColumn<QSizeF>("scale");
    QTest::addColumn<float>("lift");  // z of corner 2
    QTest::addColumn<int>("zoomIns");
    QTest::addColumn<QPoint>("pan");
    QTest::newRow("default, zoomed and panned away") << QPointF(0, 0) << QSizeF(1, 1) << 0.0f << 8 << QPoint(300, -200);
    QTest::newRow("far off") << QPointF(5, -3) << QSizeF(1, 1) << 0.0f << 0 << QPoint(0, 0);
    QTest::newRow("small and wide") << QPointF(-0.3, 0.2) << QSizeF(0.2, 0.04) << 0.0f << 0 << QPoint(0, 0);
    QTest::newRow("tall, zoomed out") << QPointF(0, 0) << QSizeF(0.3, 2.5) << 0.0f << -6 << QPoint(10, 10);
    QTest::newRow("lifted corner") << QPointF(0.2, 0) << QSizeF(0.8, 0.8) << 1.2f << 0 << QPoint(0, 0);
}

void TestViewEditing::fitShowsAllFourHandles()
{
    QFETCH(QPointF, shift);
    QFETCH(QSizeF, scale);
    QFETCH(float, lift);
    QFETCH(int, zoomIns);
    QFETCH(QPoint, pan);
    ArrangeThroughCommand(*m_document, [&](auto &s) {
        skimbler::ResetPoints(&s);
        for (auto &point : s.Points) {
            point[0] = point[0] * float(scale.width()) + float(shift.x());
            point[1] = point[1] * float(scale.height()) + float(shift.y());
        }
        s.Points[2][2] = lift;
    });
    for (int i = 0; i < std::abs(zoomIns); ++i)
        QVERIFY(m_view->OnCommand(zoomIns > 0 ? Resource::ID_ZOOM_IN : Resource::ID_ZOOM_OUT));
    panBy(pan, Qt::MiddleButton);

    QVERIFY(m_view->OnCommand(Resource::ID_VIEW_FIT));

    const int margin = CSkimblerView::FitMargin;
    const QRect inside(margin - 1, margin - 1, 800 - 2 * margin + 2, 600 - 2 * margin + 2);
    QRect box;
    for (int i = 0; i < 4; ++i) {
        const QPoint at = cornerAt(i);
        QVERIFY2(inside.contains(at), qPrintable(QStringLiteral("corner %1 at %2, %3").arg(i).arg(at.x()).arg(at.y())));
        box |= QRect(at, QSize(1, 1));
        // Its handle is there: a press takes that corner.
        Press(m_view, at);
        QCOMPARE(m_view->SelectedPoint(), i);
        Release(m_view, at);
    }
    // As large as the margin allows.
    QVERIFY2(box.width() >= inside.width() - 3 || box.height() >= inside.height() - 3,
             qPrintable(QStringLiteral("%1 x %2").arg(box.width()).arg(box.height())));
    QCOMPARE(m_host->zoom, m_view->Zoom());
    QVERIFY(!m_document->IsModified());
}

void TestViewEditing::hundredRestoresThePicture()
{
    halfLayout();
    const Pixels start = RenderAndRead(m_view);
    panBy(QPoint(50, 20), Qt::MiddleButton);
    Wheel(m_view, QPoint(100, 120), 240);
    QVERIFY(m_view->OnCommand(Resource::ID_ZOOM_IN));
    QVERIFY(RenderAndRead(m_view).rgba != start.rgba);
    QVERIFY(m_view->OnCommand(Resource::ID_ZOOM_100));
    QCOMPARE(m_view->Zoom(), 1.0f);
    QVERIFY(RenderAndRead(m_view).rgba == start.rgba);
}

void TestViewEditing::zoomStopsAtBounds_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("wheel");
    QTest::addColumn<int>("repeats");
    QTest::addColumn<float>("zoom");
    QTest::newRow("zoom out") << Resource::ID_ZOOM_OUT << 0 << 15 << CSkimblerView::MinZoom;
    QTest::newRow("wheel towards user") << 0 << -120 << 14 << CSkimblerView::MinZoom;
    QTest::newRow("wheel away, big steps") << 0 << 120000 << 3 << CSkimblerView::MaxZoom;
    QTest::newRow("zoom in") << Resource::ID_ZOOM_IN << 0 << 1000 << CSkimblerView::MaxZoom;
}

void TestViewEditing::zoomStopsAtBounds()
{
    QFETCH(int, command);
    QFETCH(int, wheel);
    QFETCH(int, repeats);
    QFETCH(float, zoom);
    for (int i = 0; i < repeats; ++i) {
        if (command)
            QVERIFY(m_view->OnCommand(command));
        else
            Wheel(m_view, QPoint(400, 300), wheel);
        QVERIFY(m_view->Zoom() >= CSkimblerView::MinZoom && m_view->Zoom() <= CSkimblerView::MaxZoom);
    }
    QCOMPARE(m_view->Zoom(), zoom);
    QCOMPARE(m_host->zoom, zoom);
    QVERIFY(m_view->OnCommand(Resource::ID_ZOOM_100));
    QCOMPARE(m_view->Zoom(), 1.0f);
    QCOMPARE(m_host->zoom, 1.0f);
}

// Letter-boxed to a target screen's shape, a corner is found and dragged where
// it is drawn.
void TestViewEditing::letterBoxedCornerDragFollowsThePointer_data()
{
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<int>("corner");
    QTest::addColumn<QPoint>("step");
    QTest::newRow("window, corner 0") << QSize(800, 600) << QSize() << 0 << QPoint(40, 30);
    QTest::newRow("4:3 wide, corner 3") << QSize(1000, 450) << QSize(4, 3) << 3 << QPoint(-50, -20);
    QTest::newRow("4:3 wide, corner 0") << QSize(1000, 450) << QSize(4, 3) << 0 << QPoint(30, 25);
    QTest::newRow("16:9 tall, corner 2") << QSize(500, 700) << QSize(16, 9) << 2 << QPoint(-35, 40);
    QTest::newRow("16:10 tall, corner 1") << QSize(500, 700) << QSize(16, 10) << 1 << QPoint(25, -30);
}

void TestViewEditing::letterBoxedCornerDragFollowsThePointer()
{
    QFETCH(QSize, window);
    QFETCH(QSize, screen);
    QFETCH(int, corner);
    QFETCH(QPoint, step);
    QVERIFY2(setViewSize(window.width(), window.height()), "the view cannot be brought to the row's size");
    m_view->SetScreenShape(screen.width(), screen.height());
    m_view->SelectPoint(-1);

    // The default corners sit on the drawing area's top and bottom, inset
    // half a handle so the press lands on the handle.
    const Surface &surface = m_document->GetSurface();
    const QPointF at = m_view->SurfaceToWindow(surface.Points[corner][0], surface.Points[corner][1]);
    const QRect area = m_view->ViewportRect();
    // Across, the plane's 4:3 is all of a window and less of a wider screen.
    const double across = area.width() * 0.5 * (4.0 / 3.0) / m_view->CoreView().Aspect;
    const double centre = area.left() + area.width() * 0.5;
    QVERIFY(std::fabs(at.x() - (corner < 2 ? centre - across : centre + across)) <= 1.0);
    QVERIFY(std::fabs(at.y() - (corner % 2 == 0 ? area.top() : area.top() + area.height())) <= 1.0);
    const QPoint inward((corner < 2 ? 2 : -2), (corner % 2 == 0 ? 2 : -2));
    const QPoint start = at.toPoint() + inward;

    Press(m_view, start);
    QCOMPARE(m_view->SelectedPoint(), corner);
    Drag(m_view, start + step);
    Release(m_view, start + step);

    const QPointF moved = m_view->SurfaceToWindow(surface.Points[corner][0], surface.Points[corner][1]);
    QVERIFY2(std::fabs(moved.x() - (start + step).x()) <= 1.0 && std::fabs(moved.y() - (start + step).y()) <= 1.0,
             qPrintable(QStringLiteral("%1, %2").arg(moved.x()).arg(moved.y())));
}

// A zoom typed, from the menu or from the keys turns about the middle of the
// picture, which a letter-box moves away from the window's middle: down in a
// tall window, across in a wide one.
void TestViewEditing::zoomKeepsTheLetterBoxedCentre_data()
{
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QSize>("shape");
    QTest::addColumn<int>("command");  // 0: the zoom set as a typed one is
    QTest::addColumn<float>("zoom");
    const float in = CSkimblerView::ZoomFactor;
    QTest::newRow("typed, 4:3 in a tall window") << QSize(500, 700) << QSize(4, 3) << 0 << 2.5f;
    QTest::newRow("typed, 4:3 in a wide window") << QSize(900, 400) << QSize(4, 3) << 0 << 2.5f;
    QTest::newRow("typed, 16:9 in a tall window") << QSize(500, 700) << QSize(16, 9) << 0 << 2.5f;
    QTest::newRow("zoom in, 4:3 in a tall window") << QSize(500, 700) << QSize(4, 3) << int(Resource::ID_ZOOM_IN) << in;
    QTest::newRow("zoom out, 16:9 in a tall window")
        << QSize(500, 700) << QSize(16, 9) << int(Resource::ID_ZOOM_OUT) << 1.0f / in;
    QTest::newRow("zoom in, 16:10 in a wide window") << QSize(900, 400) << QSize(16, 10) << int(Resource::ID_ZOOM_IN) << in;
}

void TestViewEditing::zoomKeepsTheLetterBoxedCentre()
{
    QFETCH(QSize, window);
    QFETCH(QSize, shape);
    QFETCH(int, command);
    QFETCH(float, zoom);
    QVERIFY2(setViewSize(window.width(), window.height()), "the view cannot be brought to the row's size");
    m_view->SetScreenShape(shape.width(), shape.height());
    // The picture's middle is off the window's on the axis the bars take.
    const QRect area = m_view->ViewportRect();
    QVERIFY(area.top() > 0 || area.left() > 0);
    const QPointF before = m_view->SurfaceToWindow(0.0f, 0.0f);
    if (command)
        QVERIFY(m_view->OnCommand(command));
    else
        m_view->SetZoom(zoom);
    QCOMPARE(m_view->Zoom(), zoom);
    QCOMPARE(m_host->zoom, zoom);
    const QPointF after = m_view->SurfaceToWindow(0.0f, 0.0f);
    QVERIFY2(std::fabs(after.x() - before.x()) < 0.5 && std::fabs(after.y() - before.y()) < 0.5,
             qPrintable(QStringLiteral("the centre moved from %1,%2 to %3,%4")
                            .arg(before.x()).arg(before.y()).arg(after.x()).arg(after.y())));
}

void TestViewEditing::displayToggles()
{
    QVERIFY(m_view->OnCommand(Resource::ID_SHOW_AXES));
    QVERIFY(!m_view->ShowAxes());
    QVERIFY(m_view->OnCommand(Resource::ID_SHOW_AXES));
    QVERIFY(m_view->ShowAxes());
    QVERIFY(m_view->OnCommand(Resource::ID_SHOW_HANDLES));
    QVERIFY(!m_view->ShowHandles());
    QVERIFY(!m_document->IsModified());
}

void TestViewEditing::resetShowsDefaultsOfSelectedPoint()
{
    halfLayout();
    ArrangeThroughCommand(*m_document, [](auto &s) { s.Points[2][2] = 3.0f; });
    QVERIFY(m_view->OnCommand(Resource::ID_POINT_2));
    QVERIFY(m_view->OnCommand(Resource::ID_POINT_FULL));
    QCOMPARE(m_view->SelectedPoint(), 2);
    QCOMPARE(m_host->coordinates.point, 2);
    QCOMPARE(m_host->coordinates.x, double(4.0f / 3.0f));
    QCOMPARE(m_host->coordinates.y, 1.0);
    QCOMPARE(m_host->coordinates.z, 0.0);
    QCOMPARE(surface().Points[1][0], -4.0f / 3.0f);
    QCOMPARE(surface().Points[1][1], -1.0f);
    QVERIFY(m_document->IsModified());
}

void TestViewEditing::typedCoordinateMovesOnlyThatAxis()
{
    QVERIFY(m_view->OnCommand(Resource::ID_POINT_3));
    const float y = surface().Points[3][1];
    const float z = surface().Points[3][2];
    QVERIFY(m_view->SetSelectedCoordinate(0, 0.5));
    QCOMPARE(surface().Points[3][0], 0.5f);
    QCOMPARE(surface().Points[3][1], y);
    QCOMPARE(surface().Points[3][2], z);
    QCOMPARE(surface().Points[2][0], 4.0f / 3.0f);
    QVERIFY(m_document->IsModified());
}

void TestViewEditing::typedCoordinateWithoutSelectionIsIgnored()
{
    QVERIFY(m_view->OnCommand(Resource::ID_POINT_1));
    QVERIFY(m_view->OnCommand(Resource::ID_POINT_NONE));
    QCOMPARE(m_host->coordinates.point, -1);
    QCOMPARE(m_host->coordinates.x, 0.0);
    QCOMPARE(m_host->coordinates.y, 0.0);
    float before[4][3];
    std::copy(&surface().Points[0][0], &surface().Points[0][0] + 12, &before[0][0]);
    const int announced = m_host->coordinateAnnouncements;
    QVERIFY(!m_view->SetSelectedCoordinate(1, 0.75));
    // What is in force (nothing) is announced again, for the field that
    // showed the refused value.
    QCOMPARE(m_host->coordinateAnnouncements, announced + 1);
    QCOMPARE(m_host->coordinates.y, 0.0);
    QVERIFY(std::equal(&before[0][0], &before[0][0] + 12, &surface().Points[0][0]));
    QVERIFY(!m_document->IsModified());
}

void TestViewEditing::hugeCoordinateStaysFinite()
{
    QVERIFY(m_view->OnCommand(Resource::ID_POINT_0));
    QVERIFY(m_view->SetSelectedCoordinate(0, 1e60));
    QCOMPARE(surface().Points[0][0], FLT_MAX);
    QVERIFY(m_view->SetSelectedCoordinate(1, -1e40));
    QCOMPARE(surface().Points[0][1], -FLT_MAX);
    // The value stored, not the one given, is what the fields are told.
    QCOMPARE(m_host->coordinates.y, -double(FLT_MAX));
}

void TestViewEditing::readBackIsNotAnEdit()
{
    for (int command : {Resource::ID_POINT_0, Resource::ID_POINT_1, Resource::ID_POINT_2, Resource::ID_POINT_3,
                        Resource::ID_POINT_NONE, Resource::ID_ZOOM_IN, Resource::ID_ZOOM_OUT, Resource::ID_ZOOM_100})
        QVERIFY(m_view->OnCommand(command));
    Wheel(m_view, QPoint(400, 300), 360);
    QVERIFY(!m_document->IsModified());
    const float w = 4.0f / 3.0f;
    QCOMPARE(surface().Points[2][0], w);
}

QTEST_MAIN(TestViewEditing)
#include "test_viewediting.moc"
