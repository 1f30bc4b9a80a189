#pragma once

#include "render/BackgroundCache.h"
#include "render/ViewBackground.h"
#include "render/TextureImage.h"
#include "skimbler/Scene.h"
#include "surface/DocumentView.h"
#include "surface/ImagePreparer.h"
#include "surface/UserMessage.h"
#include "view/ViewTools.h"

#include <QPointer>
#include <QRect>
#include <QWindow>

#include <cstdint>
#include <memory>

class CSkimblerDoc;
class ContextLender;
class GraphicalFramework;
class GraphicalInterface;
class QTimer;
class Surface;

// The main view: an OpenGL window that paints the surface over a
// checkerboard and turns mouse, wheel, keys and its own commands into edits
// of the surface's geometry, which it hands to its document. It knows no
// window around it: it says what changed by signals, and whoever hosts it
// wires fields and buttons to them and to its setters.
class CSkimblerView : public QWindow, public DocumentView, public ImagePreparer
{
    Q_OBJECT

public:
    // The zoom is kept inside this range so that the drag arithmetic never
    // divides by zero and the quad is never turned over.
    static constexpr float MinZoom = skimbler::scene::MinZoom;
    static constexpr float MaxZoom = skimbler::scene::MaxZoom;
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

    // The document shown and edited from now on (null: none). The view
    // hears of every change of it and announces the selected corner's
    // coordinates again.
    void SetDocument(CSkimblerDoc *document);
    CSkimblerDoc *GetDocument() const;
    const Surface *GetSurface() const;
    // The texture of the surface's image in this window's context, made if
    // the image changed since it was last drawn; 0 without an image.
    std::uint32_t SurfaceTexture();

    // Window creation: rendering context (made current), drawing interface,
    // background tile. Runs before the window is shown so the document can
    // upload its texture right after.
    int OnCreate();

    // Document-changed notification: redraw everything.
    void OnUpdate(DocumentView *sender, long hint, QObject *hintObject) override;
    // A large picture's texture is made on a thread with a context sharing
    // this window's; the window goes on drawing what it showed until the
    // document takes the picture, and the next frame shows it whole.
    bool PrepareImage(std::shared_ptr<const PixelImage> image, std::function<void()> ready) override;
    void DropPreparedImage() override;

    // The view's own commands (zoom, fit, corner choice, corner reset);
    // true when handled.
    bool OnCommand(int commandId);
    // The command that chooses corner `point` (-1: none), and back.
    static int PointCommand(int point);

    // The corner that the keys and the coordinates apply to, -1 for none.
    int SelectedPoint() const { return m_selectedPoint; }
    void SelectPoint(int point);
    // One coordinate (axis 0 to 2) of the selected corner, through the
    // document's undoable command. Without a selected corner, or for a
    // value that is not a number, nothing changes and the coordinates in
    // force are announced again. Returns whether a value was taken.
    bool SetSelectedCoordinate(int axis, double value);
    // Announces the selected corner's coordinates again and redraws. While
    // a drag moves, the announcement waits for the next frame, so that the
    // fields change at most once per frame.
    void RefreshCoordinateFields();
    // Announces now what a drag held back for its next frame (nothing when
    // nothing waits); the paint does it by itself.
    void AnnouncePendingCoordinates();

    bool ShowAxes() const { return m_showAxes; }
    void SetShowAxes(bool on);
    bool ShowHandles() const { return m_showHandles; }
    void SetShowHandles(bool on);
    // What is drawn behind the picture (View > Background): the
    // checkerboard or one colour, as a tile either way.
    const ViewBackground &Background() const { return m_backgroundChoice; }
    void SetBackground(const ViewBackground &background);
    // The background behind the picture; off, the window is cleared.
    bool HasBackground() const { return m_showBackground && m_backgroundWidth > 0 && m_backgroundHeight > 0; }
    void SetShowBackground(bool on);
    const TextureImage &BackgroundTile() const { return m_background; }
    int BackgroundWidth() const { return m_backgroundWidth; }
    int BackgroundHeight() const { return m_backgroundHeight; }
    // Off, the tile is drawn as a quad every frame instead of copied from
    // a window-sized cache (the same picture, slower).
    void SetCacheBackground(bool on);
    void SetStipplePattern(std::uint16_t pattern);

    // The paint pass: the scene into the back buffer, then the swap. Does
    // nothing while the window is not exposed.
    void OnPaint();
    // The scene without the swap (tests and benchmarks read pixels back).
    void DrawScene();
    void DrawBackground();
    // The tile of the chosen background, in the current context.
    void MakeBackgroundTile();
    void DrawAxes();
    void DrawHandles();

    // Selection passes at a window position in device pixels; the hit name,
    // or -1 when nothing was hit.
    int PickPress(int x, int y);
    int PickHover(int x, int y);

    float Zoom() const { return m_zoom; }
    float PanX() const { return m_panX; }
    float PanY() const { return m_panY; }
    // Sets the zoom (kept inside [MinZoom, MaxZoom]) about the window's
    // centre and redraws.
    void SetZoom(float zoom);
    // The same, keeping the surface point under window position (x, y)
    // where it is.
    void ZoomAt(float zoom, float x, float y);
    // Zoom and pan that show the whole quad with FitMargin to spare.
    void FitSurface();
    // The pan in device pixels: how far the picture is shifted right and
    // down. (0, 0) at start and after "100".
    void SetPan(float x, float y);

    // The shape of the screen the surface is prepared for: width x height
    // in any unit (4 x 3, 1920 x 1080), or 0 x 0 for the window itself. With
    // a shape, the picture is drawn in the largest rectangle of that shape
    // centred in the window, dark bars around it; the projection is the
    // same, so the rectangle shows what such a screen would.
    void SetScreenShape(int width, int height);
    QSize ScreenShape() const { return QSize(m_screenWidth, m_screenHeight); }
    // The drawing area in device pixels, window coordinates (y down): the
    // whole window without a screen shape.
    QRect ViewportRect() const;

    // The window as core sees it: drawing area, zoom and pan.
    skimbler::View CoreView() const;
    // A window position in device pixels to the surface's own coordinates on
    // the plane at height z (zoom and pan undone), and back. Everything that
    // turns the pointer into plane units goes through these two. A z at or
    // behind the eye has no window position: the result is then NaN.
    QPointF WindowToSurface(float x, float y, float z = 0.0f) const;
    QPointF SurfaceToWindow(float x, float y, float z = 0.0f) const;

    // Makes the rendering context current on this window; false without one.
    bool MakeCurrent();
    // The drawing interface (null before OnCreate), for the probe and the
    // export, which draw and work out pixels exactly as the view does.
    GraphicalInterface *Interface() const { return m_interface; }
    BackgroundCache *Cache() const { return m_backgroundCache.get(); }

    // Client size in device pixels, the unit of the drawing interface.
    int ClientWidth() const;
    int ClientHeight() const;

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
    // Another corner (or none, -1) was chosen, by key, press or command.
    void selectedPointChanged(int point);
    // The zoom changed by wheel, buttons, fit or SetZoom.
    void zoomChanged(float zoom);
    // The selected corner's coordinates as they now are (zeros for none).
    void coordinatesChanged(int point, double x, double y, double z);
    // The view is about to change the points or the choice of corner:
    // typing not yet committed belongs to what it was typed for, so it
    // should be committed now.
    void commitRequested();
    // Something the user is to be told: a context that could not be made,
    // a picture OpenGL refused (after the frame, never in the middle of it).
    void tellUser(const UserMessage &message);

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
    // The drawing interface's refusals, told once the frame is done.
    void TellTextureRefusals();

    void Press(int x, int y);
    void Move(int x, int y);
    void Release();
    // A corner, edge, surface or pan drag is in progress.
    bool Dragging() const;
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
    // The zoom and the pan that keeps (x, y) still, announcing nothing.
    void ApplyZoom(float zoom, float x, float y);
    // Where SetZoom and the zoom commands zoom about.
    QPointF ZoomCentre() const;
    // Places the drawing area for the window's size and the screen shape.
    void UpdateViewport();
    // Makes the drawing interface's offset the view's pan.
    void SyncViewOffset();
    void DrawHandleSquare(float x, float y, bool filled);
    // The selection pass's edge squares at the midpoints of the projected
    // corners, named firstName to firstName + 3.
    void PickEdgeHandles(const float q[4][2], const bool visible[4], int firstName);
    // Draws the surface under `name`, ends the pass and returns the first hit.
    int PickSurfaceLast(const Surface &surface, int name, const std::uint32_t *buffer);
    void SetPointerShape(Qt::CursorShape shape);
    QPoint DevicePosition(const QPointF &position) const;
    // Brings the status text up to date soon, not at every move.
    void ScheduleHoverText();
    // Emits coordinatesChanged for the selected corner now.
    void AnnounceCoordinates();
    // Space held anywhere while the pointer is over the view, for a pan.
    bool eventFilter(QObject *watched, QEvent *event) override;

    // Starts the first draw of a texture made on the upload thread
    // elsewhere (ContextLender); true when it did, and this paint waits.
    bool LendForFirstDraw();

    GraphicalFramework *m_framework = nullptr;
    GraphicalInterface *m_interface = nullptr;
    std::unique_ptr<ContextLender> m_lender;
    bool m_uploadThreadStarted = false;
    int m_backgroundWidth = 0;
    int m_backgroundHeight = 0;
    TextureImage m_background;
    int m_maxTextureSide = 0;
    std::unique_ptr<BackgroundCache> m_backgroundCache;
    bool m_cacheBackground = true;
    bool m_showBackground = true;
    ViewBackground m_backgroundChoice;
    float m_zoom = 1.0f;
    float m_panX = 0.0f;
    float m_panY = 0.0f;
    int m_screenWidth = 0;
    int m_screenHeight = 0;
    QRect m_viewport;
    std::uint16_t m_stipplePattern = 0x00FF;
    int m_selectedPoint = -1;
    int m_pointerX = 0;
    int m_pointerY = 0;
    // The corner, edge or surface drag from the last press to its release.
    std::unique_ptr<ViewTools::DragTool> m_drag;
    bool m_showAxes = true;
    bool m_showHandles = true;
    // A pan drag (middle button, or left with Space held) in progress: the
    // button, where it started and the pan then.
    Qt::MouseButton m_panButton = Qt::NoButton;
    QPoint m_panStart;
    float m_panStartX = 0.0f;
    float m_panStartY = 0.0f;
    bool m_spaceHeld = false;

    ViewTools::NudgeTool m_nudges;
    bool m_pointerInside = false;
    // The last move was a drag with a button held: the status text waits.
    bool m_dragMoving = false;
    // A drag changed the coordinates since they were last announced.
    bool m_coordinatesPending = false;
    QTimer *m_hoverTimer = nullptr;

    QPointer<CSkimblerDoc> m_document;
};
