#pragma once

// The view's editing tools: each drag of the corners, an edge or the whole
// surface is an object the view creates at the press and hands every move
// to until the release; the keyboard's nudges are one more. They change the
// surface only through the document's ChangeSettings, one merge key per drag
// or run of nudges, so each is one undo step. They draw nothing and pick
// nothing: the view does both and tells them what a press took.

#include <Qt>

#include <memory>
#include <optional>

class CSkimblerDoc;
class CSkimblerView;
class QKeyEvent;
class QUndoCommand;

namespace ViewTools {

// The edges by their two corner points, in pick-name order: left, bottom,
// right, top.
constexpr int EdgePoints[4][2] = {{0, 1}, {1, 3}, {2, 3}, {0, 2}};

// How much farther a point at height z moves on the screen than one on the
// plane, for pixel-step drags (1 for a point behind the eye).
float PointerScale(float z);

// One drag of the left button, from its press to its release.
class DragTool
{
public:
    explicit DragTool(int mergeKey) : m_mergeKey(mergeKey) {}
    virtual ~DragTool() = default;
    DragTool(const DragTool &) = delete;
    DragTool &operator=(const DragTool &) = delete;

    // The drag for what a press picked at (x, y) (the view's press names),
    // or null when the hit is not something to drag.
    static std::unique_ptr<DragTool> ForHit(int hit, int x, int y, int mergeKey);

    // The pointer moved to (x, y), device pixels. False when the drag does
    // nothing now (its handles are hidden) and the move counts as hovering.
    virtual bool Move(const CSkimblerView &view, CSkimblerDoc &document, int x, int y) = 0;
    // The pointer's shape while the drag moves; none: it stays as it was.
    virtual std::optional<Qt::CursorShape> Shape() const { return std::nullopt; }

protected:
    int MergeKey() const { return m_mergeKey; }

private:
    int m_mergeKey;
};

// A corner follows the pointer exactly, in its own z plane.
class CornerDrag : public DragTool
{
public:
    CornerDrag(int point, int mergeKey) : DragTool(mergeKey), m_point(point) {}
    bool Move(const CSkimblerView &view, CSkimblerDoc &document, int x, int y) override;

private:
    int m_point;
};

// Steps of the pointer since the last move, for the drags that move
// corners by the pointer's travel rather than to its position.
class StepDrag : public DragTool
{
public:
    StepDrag(int x, int y, int mergeKey) : DragTool(mergeKey), m_anchorX(x), m_anchorY(y) {}

protected:
    // Plane pixels moved since the last step (the zoom undone); the next
    // step counts from (x, y).
    void Step(const CSkimblerView &view, int x, int y, float *dx, float *dy);

private:
    int m_anchorX;
    int m_anchorY;
};

// An edge (the view's LeftEdge to TopEdge) moves its two corners along its
// own axis.
class EdgeDrag : public StepDrag
{
public:
    EdgeDrag(int edge, int x, int y, int mergeKey) : StepDrag(x, y, mergeKey), m_edge(edge) {}
    bool Move(const CSkimblerView &view, CSkimblerDoc &document, int x, int y) override;
    std::optional<Qt::CursorShape> Shape() const override;

private:
    int m_edge;
};

// The whole surface moves with the pointer.
class SurfaceDrag : public StepDrag
{
public:
    using StepDrag::StepDrag;
    bool Move(const CSkimblerView &view, CSkimblerDoc &document, int x, int y) override;
    std::optional<Qt::CursorShape> Shape() const override { return Qt::SizeAllCursor; }
};

// The arrow keys' nudges of the selected corner, by whole window pixels.
// Consecutive nudges of one corner are one undo step while their command is
// still the last thing done.
class NudgeTool
{
public:
    // The step an arrow key asks for (Shift: 10 pixels); false for any
    // other key.
    static bool StepOf(const QKeyEvent &key, int *dx, int *dy);

    // Moves corner `point` (0 to 3, the corners in use) by (dx, dy) window
    // pixels, y down.
    void Nudge(const CSkimblerView &view, CSkimblerDoc &document, int point, int dx, int dy);
    // The next nudge starts a new undo step (another document).
    void Reset();

private:
    int m_point = -1;
    int m_mergeKey = 0;
    const QUndoCommand *m_command = nullptr;
};

} // namespace ViewTools
