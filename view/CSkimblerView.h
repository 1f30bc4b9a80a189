#pragma once

#include "render/BackgroundCache.h"
#include "render/TextureImage.h"
#include "surface/DocumentView.h"

#include <QPointer>
#include <QWindow>

#include <cstdint>
#include <memory>

class CColorsPanel;
class CFlagsPanel;
class CMainFrame;
class CPropertyPanel;
class CSkimblerDoc;
class GraphicalFramework;
class GraphicalInterface;
class QTimer;
class QUndoCommand;
class Surface;

// The main view: an OpenGL window that paints the surface over a
// checkerboard and turns mouse, wheel, tool-bar commands and field input into
// edits of the surface's geometry.
class CSkimblerView : public QWindow, public DocumentView
{
    Q_OBJECT

public:
    // The zoom is kept inside this range so that the drag arithmetic never
    // divides by zero and the quad is never turned over.
    static constexpr float MinZoom = 0.1f;
    static constexpr float MaxZoom = 100.0f;
    // One wheel notch or one zoom button multiplies or divides the zoom by
    // this: four steps double it.
    static constexpr float ZoomFactor = 1.18920712f;
    // Room that "fit" leaves between the quad and the window's edges, in
    // device pixels.
    static constexpr int FitMargin = 32;

    // Pick names of the press pass: corners 0..3, then the edges, then the
    // surface itself.
    enum PressName { LeftEdge = 4, BottomEdge = 5, RightEdge = 6, TopEdge = 7, WholeSurface = 8 };
    // Pick names of the hover pass.
    enum HoverName { HoverSurface = 0, HoverLeft = 1, HoverBottom = 2, HoverRight = 3, HoverTop = 4 };

    static constexpr int PickRegion = 10;
    static constexpr int PickBufferSize = 64;
    static constexpr int HandleSize = 8;
    static constexpr int BackgroundTileSize = BackgroundCache::TileSize;
    // Milliseconds between updates of the status text under the pointer.
    static constexpr int HoverTextInterval = 40;

    explicit CSkimblerView(QWindow *parent = nullptr);
    ~CSkimblerView() override;

    // Window creation: rendering context (made current), drawing interface,
    // background tile. Runs before the window is shown so the document can
    // upload its texture right after.
    int OnCreate();

    // Document-changed notification: redraw everything.
    void OnUpdate(DocumentView *sender, long hint, QObject *hintObject) override;

    // Tool-bar and menu commands routed from the frame; true when handled.
    bool OnCommand(int commandId);
    // A field's text-change notification (control ids 1236 to 1239).
    void OnFieldChanged(int controlId);

    void RefreshCoordinateFields();
    bool ShowToolWindows();

    // The paint pass: the scene into the back buffer, then the swap. Does
    // nothing while the window is not exposed.
    void OnPaint();
    // The scene without the swap (tests and benchmarks read pixels back).
    void DrawScene();
    void DrawBackground();
    void DrawAxes();
    void DrawHandles();

    // Selection passes at a window position in device pixels; the hit name,
    // or -1 when nothing was hit.
    int PickPress(int x, int y);
    int PickHover(int x, int y);

    // Sets the zoom (kept inside [MinZoom, MaxZoom]) about the window's
    // centre, shows it in the zoom field and redraws.
    void SetZoom(float zoom);
    // The same, keeping the surface point under window position (x, y)
    // where it is.
    void ZoomAt(float zoom, float x, float y);
    // Zoom and pan that show the whole quad with FitMargin to spare.
    void FitSurface();
    // The pan in device pixels: how far the picture is shifted right and
    // down. (0, 0) at start and after "100".
    void SetPan(float x, float y);

    // A window position in device pixels to the surface's own coordinates on
    // the plane at height z (zoom and pan undone), and back. Everything that
    // turns the pointer into plane units goes through these two. A z at or
    // behind the eye has no window position: the result is then NaN.
    QPointF WindowToSurface(float x, float y, float z = 0.0f) const;
    QPointF SurfaceToWindow(float x, float y, float z = 0.0f) const;

    // Makes the rendering context current on this window; false without one.
    bool MakeCurrent();

    // The document and surface by the main window's active document.
    CSkimblerDoc *GetDocument() const;
    Surface *GetSurface() const;
    // The main frame, or null while it is being built (or in a bare host).
    CMainFrame *GetFrame() const;

    // Client size in device pixels, the unit of the drawing interface.
    int ClientWidth() const;
    int ClientHeight() const;

    GraphicalFramework *m_framework = nullptr;
    GraphicalInterface *m_interface = nullptr;
    CPropertyPanel *m_propertyPanel = nullptr;
    CFlagsPanel *m_flagsPanel = nullptr;
    CColorsPanel *m_colorsPanel = nullptr;
    int m_backgroundWidth = 0;
    int m_backgroundHeight = 0;
    TextureImage m_background;
    // The background at window size, copied in each frame; off, the tile
    // is drawn as a quad every frame (the same picture, slower).
    std::unique_ptr<BackgroundCache> m_backgroundCache;
    bool m_cacheBackground = true;
    float m_zoom = 1.0f;
    float m_panX = 0.0f;
    float m_panY = 0.0f;
    std::uint16_t m_stipplePattern = 0x00FF;
    int m_selectedPoint = -1;
    int m_dragTarget = -1;
    int m_pointerX = 0;
    int m_pointerY = 0;
    int m_anchorX = 0;
    int m_anchorY = 0;
    bool m_surfaceDrag = false;
    // One per press, so that each drag is one undo step.
    int m_dragKey = 0;
    bool m_showAxes = true;
    bool m_showHandles = true;
    // A pan drag (middle button, or left with Space held) in progress: the
    // button, where it started and the pan then.
    Qt::MouseButton m_panButton = Qt::NoButton;
    QPoint m_panStart;
    float m_panStartX = 0.0f;
    float m_panStartY = 0.0f;
    bool m_spaceHeld = false;

    // One keyboard nudge of the selected corner by whole window pixels (y
    // down); consecutive nudges of one corner are one undo step. False when
    // no corner is selected or the corners are not in use.
    bool NudgeSelectedPoint(int dx, int dy);
    // The status text for the pointer at a window position in device
    // pixels: plane coordinates, what a press would take, the zoom.
    QString HoverText(int x, int y);

Q_SIGNALS:
    // What the pointer is over, for the status bar; empty once it left.
    void hoverTextChanged(const QString &text);
    // Tab (forward) or Shift+Tab pressed in the view: the focus should go on
    // to the window's next or previous control.
    void focusLeaveRequested(bool forward);

protected:
    // Object factories, so that a host can put in its own rendering objects.
    virtual GraphicalFramework *NewFramework();
    virtual GraphicalInterface *NewInterface();

    bool event(QEvent *event) override;
    void exposeEvent(QExposeEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Press(int x, int y);
    void Move(int x, int y);
    void Release();
    // The corners as drawn: the surface's points, or the image-sized quad
    // hanging from the centre; x and y scaled by the zoom.
    void HandleCorners(const Surface &surface, float corners[4][3]) const;
    // Where the handles of those corners sit on the plane: each corner's x
    // and y as the perspective shows them (its z taken into account).
    // visible[i] is false for a corner at or behind the eye.
    void ProjectCorners(const float corners[4][3], float projected[4][2], bool visible[4]) const;
    // Navigation input; true when the event was taken.
    bool NavigationPress(QMouseEvent *event);
    bool NavigationMove(QMouseEvent *event);
    bool NavigationRelease(QMouseEvent *event);
    bool NavigationKey(QEvent *event);
    // The zoom and the pan that keeps (x, y) still, without the field.
    void ApplyZoom(float zoom, float x, float y);
    // Where the zoom buttons and the zoom field zoom about.
    QPointF ZoomCentre() const;
    // How much farther a point at height z moves on the screen than one on
    // the plane, for pixel-step drags (1 for a point behind the eye).
    float PointerScale(float z) const;
    // Makes the drawing interface's offset the view's pan.
    void SyncViewOffset();
    void DrawHandleSquare(float x, float y, bool filled);
    // The selection pass's edge squares at the midpoints of the projected
    // corners, named firstName to firstName + 3.
    void PickEdgeHandles(const float q[4][2], const bool visible[4], int firstName);
    // Draws the surface under `name`, ends the pass and returns the first hit.
    int PickSurfaceLast(const Surface &surface, int name, const std::uint32_t *buffer);
    void SetPointerShape(Qt::CursorShape shape);
    void UpdateZoomField();
    void WriteCoordinate(int controlId);
    // Commits any coordinate field holding typing, to the point it shows.
    void CommitPendingFields();
    QPoint DevicePosition(const QPointF &position) const;
    // Chooses a corner (or none, -1) as its tool-bar button would.
    void SelectPointByKey(int point);
    // Brings the status text up to date soon, not at every move.
    void ScheduleHoverText();

    // The run of nudges that the next nudge may join.
    int m_nudgePoint = -1;
    int m_nudgeKey = 0;
    const QUndoCommand *m_nudgeCommand = nullptr;
    bool m_pointerInside = false;
    QTimer *m_hoverTimer = nullptr;

    QPointer<CSkimblerDoc> m_registeredDocument;
    // Set while the view itself writes a field, so the field's read-back
    // does not write it again.
    bool m_writingZoomField = false;
    bool m_writingCoordinateField = false;
};
