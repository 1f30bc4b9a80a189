#include "view/ViewTools.h"

#include "render/GraphicalInterface.h"
#include "skimbler/Scene.h"
#include "surface/CSkimblerDoc.h"
#include "surface/Surface.h"
#include "view/CSkimblerView.h"

#include <skimbler/SurfaceSettings.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QUndoStack>

#include <cmath>

using skimbler::SurfaceSettings;

namespace ViewTools {

// The undo texts stay in the view's translation context, where the
// translations have always had them.

float PointerScale(float z)
{
    // A point behind the eye is nowhere on the screen; it moves in plane
    // units, as one on the plane would, so the quad keeps its shape.
    const float depth = skimbler::DepthScale(z);
    return depth == 0.0f ? 1.0f : depth;
}

std::unique_ptr<DragTool> DragTool::ForHit(int hit, int x, int y, int mergeKey)
{
    if (hit >= 0 && hit < 4)
        return std::make_unique<CornerDrag>(hit, mergeKey);
    if (hit >= CSkimblerView::LeftEdge && hit <= CSkimblerView::TopEdge)
        return std::make_unique<EdgeDrag>(hit, x, y, mergeKey);
    if (hit == CSkimblerView::WholeSurface)
        return std::make_unique<SurfaceDrag>(x, y, mergeKey);
    return nullptr;
}

bool CornerDrag::Move(const CSkimblerView &view, CSkimblerDoc &document, int x, int y)
{
    if (!view.ShowHandles())
        return false;
    // The point goes exactly under the pointer, in its own z plane.
    SurfaceSettings after = document.Settings();
    const QPointF plane = view.WindowToSurface(static_cast<float>(x), static_cast<float>(y), after.Points[m_point][2]);
    if (std::isnan(plane.x()) || std::isnan(plane.y()))
        return true;
    after.Points[m_point][0] = static_cast<float>(plane.x());
    after.Points[m_point][1] = static_cast<float>(plane.y());
    document.ChangeSettings(after, QCoreApplication::translate("CSkimblerView", "拖曳角點"), MergeKey());
    return true;
}

void StepDrag::Step(const CSkimblerView &view, int x, int y, float *dx, float *dy)
{
    *dx = static_cast<float>(x - m_anchorX) / view.Zoom();
    *dy = static_cast<float>(y - m_anchorY) / view.Zoom();
    m_anchorX = x;
    m_anchorY = y;
}

std::optional<Qt::CursorShape> EdgeDrag::Shape() const
{
    const bool horizontal = m_edge == CSkimblerView::LeftEdge || m_edge == CSkimblerView::RightEdge;
    return horizontal ? Qt::SizeHorCursor : Qt::SizeVerCursor;
}

bool EdgeDrag::Move(const CSkimblerView &view, CSkimblerDoc &document, int x, int y)
{
    if (!view.ShowHandles())
        return false;
    float dx = 0.0f;
    float dy = 0.0f;
    Step(view, x, y, &dx, &dy);
    const GraphicalInterface &interface = *view.Interface();
    const int a = EdgePoints[m_edge - CSkimblerView::LeftEdge][0];
    const int b = EdgePoints[m_edge - CSkimblerView::LeftEdge][1];
    const bool horizontal = m_edge == CSkimblerView::LeftEdge || m_edge == CSkimblerView::RightEdge;
    SurfaceSettings after = document.Settings();
    for (const int i : {a, b}) {
        const float depth = PointerScale(after.Points[i][2]);
        float &coordinate = after.Points[i][horizontal ? 0 : 1];
        // Each edge moves with the pointer along its own axis, in that
        // axis's plane units, so it stays under the pointer; a lifted end
        // moves less, as the perspective enlarges its steps.
        coordinate = horizontal ? interface.OffsetX(coordinate, dx / depth) : interface.OffsetY(coordinate, dy / depth);
    }
    // The document's update announces the coordinates and redraws.
    document.ChangeSettings(after, QCoreApplication::translate("CSkimblerView", "拖曳邊"), MergeKey());
    return true;
}

bool SurfaceDrag::Move(const CSkimblerView &view, CSkimblerDoc &document, int x, int y)
{
    // The surface follows the pointer, handles shown or not.
    float dx = 0.0f;
    float dy = 0.0f;
    Step(view, x, y, &dx, &dy);
    const GraphicalInterface &interface = *view.Interface();
    SurfaceSettings after = document.Settings();
    for (auto &point : after.Points) {
        const float depth = PointerScale(point[2]);
        point[0] = interface.OffsetX(point[0], dx / depth);
        point[1] = interface.OffsetY(point[1], dy / depth);
    }
    document.ChangeSettings(after, QCoreApplication::translate("CSkimblerView", "移動平面"), MergeKey());
    return true;
}

bool NudgeTool::StepOf(const QKeyEvent &key, int *dx, int *dy)
{
    const int step = (key.modifiers() & Qt::ShiftModifier) ? 10 : 1;
    *dx = 0;
    *dy = 0;
    switch (key.key()) {
    case Qt::Key_Left: *dx = -step; return true;
    case Qt::Key_Right: *dx = step; return true;
    case Qt::Key_Up: *dy = -step; return true;
    case Qt::Key_Down: *dy = step; return true;
    default: return false;
    }
}

void NudgeTool::Nudge(const CSkimblerView &view, CSkimblerDoc &document, int point, int dx, int dy)
{
    const Surface &surface = document.GetSurface();
    // Whole pixels where the corner is seen, in its own z plane; a corner
    // behind the eye moves by pixels of the plane instead.
    float z = surface.Points[point][2];
    if (std::isnan(view.SurfaceToWindow(0.0f, 0.0f, z).x()))
        z = 0.0f;
    const QPointF window = view.SurfaceToWindow(surface.Points[point][0], surface.Points[point][1], z);
    const QPointF plane
        = view.WindowToSurface(static_cast<float>(window.x() + dx), static_cast<float>(window.y() + dy), z);

    // A nudge joins the run before it while that run is still the last
    // thing done; after any other edit, an undo or a save it starts anew.
    QUndoStack *stack = document.UndoStack();
    const QUndoCommand *last = stack->index() > 0 ? stack->command(stack->index() - 1) : nullptr;
    if (point != m_point || m_mergeKey == 0 || !last || last != m_command || stack->index() != stack->count()) {
        m_mergeKey = document.NewMergeKey();
        m_point = point;
    }
    SurfaceSettings after = document.Settings();
    after.Points[point][0] = static_cast<float>(plane.x());
    after.Points[point][1] = static_cast<float>(plane.y());
    document.ChangeSettings(after, QCoreApplication::translate("CSkimblerView", "移動角點"), m_mergeKey);
    m_command = stack->index() > 0 ? stack->command(stack->index() - 1) : nullptr;
}

void NudgeTool::Reset()
{
    m_mergeKey = 0;
    m_command = nullptr;
}

} // namespace ViewTools
