#include "view/CSkimblerView.h"

#include "render/BackgroundCache.h"
#include "render/ContextLender.h"
#include "render/GraphicalFramework.h"
#include "render/GraphicalInterface.h"
#include "render/SurfaceDrawState.h"
#include "render/TextureUpload.h"
#include "res/Resource.h"
#include "surface/CSkimblerDoc.h"
#include "surface/Surface.h"

#include <skimbler/SurfaceSettings.h>

#include <QCursor>
#include <QGuiApplication>
#include <QEvent>
#include <QExposeEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QResizeEvent>
#include <QSurfaceFormat>
#include <QTimer>
#include <QUndoStack>
#include <QWheelEvent>

#include <GL/gl.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <vector>

using skimbler::SURFACE_FLAG_POINTS;
using skimbler::SurfaceSettings;

namespace {

// Typed values are doubles; a point or the zoom is a float. Values beyond the
// float range would make the conversion undefined, so they stop at its edge.
float ToFloat(double value)
{
    if (value > static_cast<double>(FLT_MAX))
        return FLT_MAX;
    if (value < -static_cast<double>(FLT_MAX))
        return -FLT_MAX;
    return static_cast<float>(value);
}

} // namespace

CSkimblerView::CSkimblerView(QWindow *parent)
    : QWindow(parent)
{
    setSurfaceType(QSurface::OpenGLSurface);
    // The format must be on the window before its native window exists;
    // the frame creates the window before the rendering context.
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    format.setDepthBufferSize(16);
    setFormat(format);
    // Space held for a pan counts wherever the keyboard focus is.
    qApp->installEventFilter(this);
}

CSkimblerView::~CSkimblerView()
{
    if (qApp)
        qApp->removeEventFilter(this);
    if (m_document) {
        m_document->RemoveView(this);
        if (m_document->GetImagePreparer() == this)
            m_document->SetImagePreparer(nullptr);
    }
    // The upload thread's context shares this window's: it goes first.
    if (m_interface) {
        MakeCurrent();
        m_interface->Textures().EndThread();
    }
    if (m_backgroundCache && MakeCurrent())
        m_backgroundCache->Release();
    if (m_interface && MakeCurrent())
        m_interface->Release();
    if (m_background.Texture != 0 && MakeCurrent()) {
        const GLuint name = m_background.Texture;
        glDeleteTextures(1, &name);
        m_background.Texture = 0;
    }
    if (m_framework) {
        m_framework->Release();
        for (const UserMessage &message : m_framework->TakeMessages())
            Q_EMIT tellUser(message);
    }
    delete m_framework;
    m_framework = nullptr;
    delete m_interface;
    m_interface = nullptr;
}

GraphicalFramework *CSkimblerView::NewFramework()
{
    return new GraphicalFramework;
}

GraphicalInterface *CSkimblerView::NewInterface()
{
    return new GraphicalInterface;
}

int CSkimblerView::OnCreate()
{
    // The window is its own drawable: it serves as the device context too.
    const auto failed = [this](const QString &text) {
        Q_EMIT tellUser(UserMessage{text, QString(), UserMessage::NoIcon, QString()});
    };
    m_framework = NewFramework();
    const bool framed = m_framework->Create(800, 600, 32, this, this);
    for (const UserMessage &message : m_framework->TakeMessages())
        Q_EMIT tellUser(message);
    if (!framed)
        failed(tr("Failed to create GraphicalFramework."));

    m_interface = NewInterface();
    if (!m_interface->Init(800, 600))
        failed(tr("Failed to create GraphicalInterface."));
    // A large picture shown without the document preparing it (undo, redo,
    // recovery, reload) is uploaded off this thread too; the frame after
    // its texture is whole shows it.
    m_interface->Textures().SetWaiter([this] { requestUpdate(); });

    MakeBackgroundTile();
    // Asked once: the document checks every image it opens against it.
    m_maxTextureSide = TextureUpload::MaxSide();
    if (m_document) {
        m_document->SetMaxTextureSide(m_maxTextureSide);
        m_document->SetImagePreparer(this);
    }
    // A screen shape chosen before the context existed takes effect now.
    if (m_screenWidth > 0)
        UpdateViewport();
    return 0;
}

std::uint32_t CSkimblerView::SurfaceTexture()
{
    const Surface *surface = GetSurface();
    if (!m_interface || !surface || !MakeCurrent())
        return 0;
    const std::uint32_t texture = m_interface->SurfaceTextureOf(*surface);
    TellTextureRefusals();
    return texture;
}

void CSkimblerView::TellTextureRefusals()
{
    const UserMessages told = m_interface->TakeMessages();
    if (told.isEmpty())
        return;
    // Not in the middle of drawing: a modal box would paint again.
    QTimer::singleShot(0, this, [this, told] {
        for (const UserMessage &message : told)
            Q_EMIT tellUser(message);
    });
}

void CSkimblerView::SetDocument(CSkimblerDoc *document)
{
    if (document == m_document.data())
        return;
    if (m_document) {
        m_document->RemoveView(this);
        if (m_document->GetImagePreparer() == this)
            m_document->SetImagePreparer(nullptr);
    }
    m_document = document;
    m_drag.reset();
    m_dragMoving = false;
    m_nudges.Reset();
    if (document) {
        document->AddView(this);
        if (m_maxTextureSide > 0)
            document->SetMaxTextureSide(m_maxTextureSide);
        if (m_interface)
            document->SetImagePreparer(this);
    }
    RefreshCoordinateFields();
}

bool CSkimblerView::PrepareImage(std::shared_ptr<const PixelImage> image, std::function<void()> ready)
{
    return m_interface && MakeCurrent() && m_interface->Textures().Prepare(std::move(image), std::move(ready));
}

void CSkimblerView::DropPreparedImage()
{
    if (m_interface && MakeCurrent())
        m_interface->Textures().DropPrepared();
}

bool CSkimblerView::MakeCurrent()
{
    if (!m_framework || !m_framework->RenderContext || !handle())
        return false;
    // Lent for a first draw: back within that draw's time.
    if (m_lender)
        m_lender->Reclaim();
    return m_framework->MakeWindowCurrent();
}

CSkimblerDoc *CSkimblerView::GetDocument() const
{
    return m_document;
}

const Surface *CSkimblerView::GetSurface() const
{
    return m_document ? &m_document->GetSurface() : nullptr;
}

int CSkimblerView::ClientWidth() const
{
    return qRound(width() * devicePixelRatio());
}

int CSkimblerView::ClientHeight() const
{
    return qRound(height() * devicePixelRatio());
}

QPoint CSkimblerView::DevicePosition(const QPointF &position) const
{
    const qreal ratio = devicePixelRatio();
    return QPoint(static_cast<int>(std::floor(position.x() * ratio)),
                  static_cast<int>(std::floor(position.y() * ratio)));
}

void CSkimblerView::OnUpdate(DocumentView *, long, QObject *)
{
    // An undo, redo or panel edit may have moved the selected point.
    RefreshCoordinateFields();
}

void CSkimblerView::SetShowAxes(bool on)
{
    m_showAxes = on;
    requestUpdate();
}

void CSkimblerView::SetShowHandles(bool on)
{
    m_showHandles = on;
    requestUpdate();
}

void CSkimblerView::SetShowBackground(bool on)
{
    m_showBackground = on;
    requestUpdate();
}

void CSkimblerView::SetBackground(const ViewBackground &background)
{
    if (background == m_backgroundChoice)
        return;
    m_backgroundChoice = background;
    // Before the context exists the tile is made with it.
    if (m_interface && MakeCurrent())
        MakeBackgroundTile();
    requestUpdate();
}

void CSkimblerView::MakeBackgroundTile()
{
    if (m_backgroundCache)
        m_backgroundCache->Release();
    if (m_background.Texture != 0) {
        const GLuint name = m_background.Texture;
        glDeleteTextures(1, &name);
    }
    const std::vector<unsigned char> pixels = m_backgroundChoice.TilePixels();
    m_backgroundWidth = BackgroundTileSize;
    m_backgroundHeight = BackgroundTileSize;
    m_background = m_interface->CreateImage(pixels.data(), m_backgroundWidth, m_backgroundHeight, 32);
    m_backgroundCache = std::make_unique<BackgroundCache>(pixels.data(), m_backgroundWidth, m_backgroundHeight);
    // The pixels go with this function; the record must not point at them.
    m_background.Pixels = nullptr;
}

void CSkimblerView::SetCacheBackground(bool on)
{
    m_cacheBackground = on;
    requestUpdate();
}

void CSkimblerView::SetStipplePattern(std::uint16_t pattern)
{
    m_stipplePattern = pattern;
    requestUpdate();
}

// ---------------------------------------------------------------------------
// Painting

bool CSkimblerView::event(QEvent *event)
{
    if (event->type() == QEvent::UpdateRequest) {
        OnPaint();
        return true;
    }
    if (event->type() == QEvent::Leave) {
        m_pointerInside = false;
        if (m_hoverTimer)
            m_hoverTimer->stop();
        emit hoverTextChanged(QString());
    }
    if (NavigationKey(event))
        return true;
    return QWindow::event(event);
}

void CSkimblerView::exposeEvent(QExposeEvent *)
{
    // Paint at once: a newly exposed GL window has undefined contents.
    OnPaint();
}

void CSkimblerView::resizeEvent(QResizeEvent *event)
{
    QWindow::resizeEvent(event);
    UpdateViewport();
    requestUpdate();
}

QRect CSkimblerView::ViewportRect() const
{
    if (m_viewport.isValid())
        return m_viewport;
    return QRect(0, 0, ClientWidth(), ClientHeight());
}

void CSkimblerView::SetScreenShape(int width, int height)
{
    if (width <= 0 || height <= 0)
        width = height = 0;
    if (width == m_screenWidth && height == m_screenHeight)
        return;
    m_screenWidth = width;
    m_screenHeight = height;
    UpdateViewport();
    if (m_pointerInside)
        ScheduleHoverText();
    requestUpdate();
}

void CSkimblerView::UpdateViewport()
{
    const int clientWidth = ClientWidth();
    const int clientHeight = ClientHeight();
    QRect area(0, 0, clientWidth, clientHeight);
    if (m_screenWidth > 0 && m_screenHeight > 0 && clientWidth > 0 && clientHeight > 0) {
        // The largest rectangle of the screen's shape that fits, centred.
        const double screenAspect = static_cast<double>(m_screenWidth) / m_screenHeight;
        int width = clientWidth;
        int height = static_cast<int>(std::lround(clientWidth / screenAspect));
        if (height > clientHeight) {
            height = clientHeight;
            width = static_cast<int>(std::lround(clientHeight * screenAspect));
        }
        width = std::clamp(width, 1, clientWidth);
        height = std::clamp(height, 1, clientHeight);
        area = QRect((clientWidth - width) / 2, (clientHeight - height) / 2, width, height);
    }
    m_viewport = area;
    if (m_interface && MakeCurrent()) {
        m_interface->SetViewportOrigin(area.left(), clientHeight - area.top() - area.height());
        // At a target screen the projection takes the drawing area's own
        // shape (the screen's, to a pixel), so a square stays square; the
        // window itself keeps the fixed 4:3 stretched over it.
        m_interface->SetAspect(m_screenWidth > 0 ? skimbler::TrueShapeAspect(area.width(), area.height())
                                                 : skimbler::scene::Aspect);
        m_interface->Resize(area.width(), area.height(), false);
    }
}

void CSkimblerView::OnPaint()
{
    // The coordinates a drag held back go out with the frame that shows
    // them.
    AnnouncePendingCoordinates();
    // While the context is lent the frame before stays; it is drawn again
    // once the context is back.
    if (m_lender && m_lender->Lent())
        return;
    if (!isExposed() || !m_interface || !MakeCurrent())
        return;
    if (LendForFirstDraw())
        return;
    DrawScene();
    m_interface->Swap(this);
    // Once the first frame is out, still within start-up: the thread that
    // makes large pictures' textures, ready before the first one arrives.
    if (!m_uploadThreadStarted) {
        m_uploadThreadStarted = true;
        m_interface->Textures().StartThread();
    }
}

bool CSkimblerView::LendForFirstDraw()
{
    const Surface *surface = GetSurface();
    skimbler::DrawState state;
    std::uint32_t texture = 0;
    if (!surface || !m_interface->TakeFirstDrawOfThreadTexture(*surface, &state, &texture))
        return false;
    TellTextureRefusals();
    // A picture made on the upload thread is drawn first on a thread of its
    // own, so that the software renderer's routine for it is built there;
    // the frame that shows it comes when the context is back.
    if (!m_lender)
        m_lender = std::make_unique<ContextLender>();
    const float zoom = m_zoom;
    m_lender->Lend(
        m_framework->RenderContext, this,
        [state, texture, zoom] {
            GraphicalInterface::DrawStateQuad(state, texture, 0.0f, 0.0f, 0.0f, zoom, zoom, 1.0f);
        },
        [this] { requestUpdate(); });
    return true;
}

void CSkimblerView::DrawScene()
{
    if (!m_interface)
        return;
    // The checkerboard belongs to the window, not to the picture: it does
    // not pan. It covers every pixel, so with the copy nothing needs
    // clearing first (nothing reads the depth buffer).
    const bool hasBackground = HasBackground();
    // Letter-boxed, the bars outside the drawing area stay dark.
    if (m_screenWidth > 0)
        m_interface->Clear();
    if (!hasBackground || !m_cacheBackground || !m_backgroundCache
        || !m_backgroundCache->Draw()) {
        m_interface->SetViewOffset(0.0f, 0.0f);
        m_interface->Clear();
        DrawBackground();
    }
    SyncViewOffset();
    if (const Surface *surface = GetSurface()) {
        m_interface->DrawSurface(*surface, 0.0f, 0.0f, 0.0f, m_zoom, m_zoom, 1.0f);
        TellTextureRefusals();
    }
    if (m_showAxes)
        DrawAxes();
    if (m_showHandles)
        DrawHandles();
}

void CSkimblerView::DrawBackground()
{
    if (!m_interface || !HasBackground())
        return;
    // One texel per window pixel, whatever the zoom.
    m_interface->DrawTiledBackground(m_background, m_backgroundWidth, m_backgroundHeight, m_interface->Width,
                                     m_interface->Height);
}

void CSkimblerView::DrawAxes()
{
    if (!m_interface)
        return;
    m_interface->SetLineWidth(2.0f);
    m_interface->SetLineStipple(1, 0xFFFF, true);
    m_interface->SetColor(1.0f, 0.0f, 0.0f, 0.5f);
    m_interface->DrawLine(0.0f, 0.0f, 0.0f, skimbler::PlaneHalfWidthFor(m_interface->Aspect()), 0.0f, 0.0f);
    m_interface->SetColor(0.0f, 1.0f, 0.0f, 0.5f);
    m_interface->DrawLine(0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f);
    m_interface->SetColor(0.0f, 0.0f, 1.0f, 0.5f);
    m_interface->DrawLine(0.0f, 0.0f, 0.0f, -10000.0f, -10000.0f, 10000.0f);
}

void CSkimblerView::HandleCorners(const Surface &surface, float corners[4][3]) const
{
    // Where the quad is drawn (its points, or the image-sized quad without
    // them), with the zoom applied.
    const skimbler::DrawState state
        = ResolveSurface(surface, m_interface->Width, m_interface->Height, false, m_interface->Aspect());
    for (int i = 0; i < 4; ++i) {
        corners[i][0] = state.Vertices[i].Position[0] * m_zoom;
        corners[i][1] = state.Vertices[i].Position[1] * m_zoom;
        corners[i][2] = state.Vertices[i].Position[2];
    }
}

void CSkimblerView::DrawHandleSquare(float x, float y, bool filled)
{
    const float half = HandleSize / 2.0f;
    m_interface->DrawRect(m_interface->OffsetX(x, -half), m_interface->OffsetY(y, -half),
                          static_cast<float>(HandleSize), static_cast<float>(HandleSize), filled);
}

void CSkimblerView::DrawHandles()
{
    const Surface *surface = GetSurface();
    if (!m_interface || !surface)
        return;
    float p[4][3];
    HandleCorners(*surface, p);
    float q[4][2];
    bool visible[4];
    ProjectCorners(p, q, visible);

    // The frame is drawn in space, so it meets the quad's edges at any z.
    const auto drawFrame = [&]() {
        for (const auto &edge : ViewTools::EdgePoints) {
            const float *a = p[edge[0]];
            const float *b = p[edge[1]];
            m_interface->DrawLine(a[0], a[1], a[2], b[0], b[1], b[2]);
        }
    };
    // White under blue dashes: the frame stays visible on any picture.
    m_interface->SetLineWidth(1.0f);
    m_interface->SetLineStipple(1, 0xFFFF, false);
    m_interface->SetColor(1.0f, 1.0f, 1.0f, 1.0f);
    drawFrame();
    m_interface->SetLineStipple(1, m_stipplePattern, true);
    m_interface->SetColor(0.0f, 0.0f, 1.0f, 1.0f);
    drawFrame();

    m_interface->SetLineWidth(1.0f);
    m_interface->SetLineStipple(1, 0xFFFF, false);
    m_interface->SetColor(0.0f, 0.0f, 0.0f, 0.5f);
    for (int i = 0; i < 4; ++i) {
        if (visible[i])
            DrawHandleSquare(q[i][0], q[i][1], i == m_selectedPoint);
    }
    for (const auto &edge : ViewTools::EdgePoints) {
        if (visible[edge[0]] && visible[edge[1]])
            DrawHandleSquare((q[edge[0]][0] + q[edge[1]][0]) * 0.5f, (q[edge[0]][1] + q[edge[1]][1]) * 0.5f, false);
    }
}

// ---------------------------------------------------------------------------
// Picking

int CSkimblerView::PickPress(int x, int y)
{
    const Surface *surface = GetSurface();
    if (!m_interface || !surface || !MakeCurrent())
        return -1;
    float p[4][3];
    HandleCorners(*surface, p);
    float q[4][2];
    bool visible[4];
    ProjectCorners(p, q, visible);

    SyncViewOffset();
    std::uint32_t buffer[PickBufferSize] = {};
    m_interface->BeginPick(x - m_viewport.left(), y - m_viewport.top(), PickRegion, PickRegion, buffer, PickBufferSize);
    for (int i = 0; i < 4; ++i) {
        m_interface->LoadName(static_cast<std::uint32_t>(i));
        if (visible[i])
            DrawHandleSquare(q[i][0], q[i][1], false);
    }
    PickEdgeHandles(q, visible, LeftEdge);
    return PickSurfaceLast(*surface, WholeSurface, buffer);
}

int CSkimblerView::PickHover(int x, int y)
{
    const Surface *surface = GetSurface();
    if (!m_interface || !surface || !MakeCurrent())
        return -1;
    float p[4][3];
    HandleCorners(*surface, p);
    float q[4][2];
    bool visible[4];
    ProjectCorners(p, q, visible);

    SyncViewOffset();
    std::uint32_t buffer[PickBufferSize] = {};
    m_interface->BeginPick(x - m_viewport.left(), y - m_viewport.top(), PickRegion, PickRegion, buffer, PickBufferSize);
    if (m_showHandles)
        PickEdgeHandles(q, visible, HoverLeft);
    return PickSurfaceLast(*surface, HoverSurface, buffer);
}

void CSkimblerView::PickEdgeHandles(const float q[4][2], const bool visible[4], int firstName)
{
    for (int e = 0; e < 4; ++e) {
        const int a = ViewTools::EdgePoints[e][0];
        const int b = ViewTools::EdgePoints[e][1];
        m_interface->LoadName(static_cast<std::uint32_t>(firstName + e));
        if (visible[a] && visible[b])
            DrawHandleSquare((q[a][0] + q[b][0]) * 0.5f, (q[a][1] + q[b][1]) * 0.5f, false);
    }
}

int CSkimblerView::PickSurfaceLast(const Surface &surface, int name, const std::uint32_t *buffer)
{
    m_interface->LoadName(static_cast<std::uint32_t>(name));
    m_interface->DrawSurface(surface, 0.0f, 0.0f, 0.0f, m_zoom, m_zoom, 1.0f);
    TellTextureRefusals();
    const int hits = m_interface->EndPick();
    // A hit record is: name count, min depth, max depth, names. The first
    // record wins; depths are not compared.
    if (hits <= 0 || buffer[0] == 0)
        return -1;
    return static_cast<int>(buffer[3]);
}

// ---------------------------------------------------------------------------
// Mouse

void CSkimblerView::mousePressEvent(QMouseEvent *event)
{
    if (NavigationPress(event))
        return;
    if (event->button() == Qt::LeftButton) {
        const QPoint position = DevicePosition(event->position());
        Press(position.x(), position.y());
        event->accept();
        return;
    }
    QWindow::mousePressEvent(event);
}

void CSkimblerView::mouseMoveEvent(QMouseEvent *event)
{
    if (!NavigationMove(event)) {
        const QPoint position = DevicePosition(event->position());
        Move(position.x(), position.y());
    }
    m_pointerInside = true;
    // The status text's pick pass waits for the drag's end: nothing under
    // the pointer changes meaning while something follows it.
    m_dragMoving = event->buttons() != Qt::NoButton && Dragging();
    if (!m_dragMoving) {
        AnnouncePendingCoordinates();
        ScheduleHoverText();
    }
    event->accept();
}

void CSkimblerView::mouseReleaseEvent(QMouseEvent *event)
{
    if (NavigationRelease(event))
        return;
    if (event->button() == Qt::LeftButton) {
        Release();
        event->accept();
        return;
    }
    QWindow::mouseReleaseEvent(event);
}

void CSkimblerView::SetPointerShape(Qt::CursorShape shape)
{
    if (cursor().shape() != shape)
        setCursor(QCursor(shape));
}

void CSkimblerView::Press(int x, int y)
{
    const Surface *surface = GetSurface();
    if (!surface)
        return;
    // Typing not yet committed belongs to the point it was typed for, not to
    // whatever this press selects.
    emit commitRequested();
    // Pick what is under the click itself, even when no move preceded it.
    m_pointerX = x;
    m_pointerY = y;
    if (!(surface->Flags & SURFACE_FLAG_POINTS))
        return;

    const int hit = PickPress(m_pointerX, m_pointerY);
    if (hit < 0 || hit > WholeSurface)
        return;
    // One merge key per press, so that each drag is one undo step.
    m_drag = ViewTools::DragTool::ForHit(hit, x, y, m_document->NewMergeKey());
    if (hit < 4)
        SelectPoint(hit);
}

void CSkimblerView::Move(int x, int y)
{
    m_pointerX = x;
    m_pointerY = y;
    const Surface *surface = GetSurface();
    CSkimblerDoc *document = GetDocument();
    if (!surface || !m_interface || !document)
        return;
    if (!(surface->Flags & SURFACE_FLAG_POINTS)) {
        // Nothing here can be dragged: do not leave a stale resize shape.
        SetPointerShape(Qt::ArrowCursor);
        return;
    }

    if (m_drag && m_drag->Move(*this, *document, x, y)) {
        if (const std::optional<Qt::CursorShape> shape = m_drag->Shape())
            SetPointerShape(*shape);
        return;
    }

    const int hit = PickHover(x, y);
    switch (hit) {
    case HoverSurface: SetPointerShape(Qt::SizeAllCursor); break;
    case HoverLeft:
    case HoverRight: SetPointerShape(Qt::SizeHorCursor); break;
    case HoverBottom:
    case HoverTop: SetPointerShape(Qt::SizeVerCursor); break;
    default: SetPointerShape(Qt::ArrowCursor); break;
    }
}

void CSkimblerView::Release()
{
    const bool dragged = m_dragMoving;
    m_dragMoving = false;
    // The drag's last position is shown at once, frame or not.
    AnnouncePendingCoordinates();
    m_drag.reset();
    if (dragged && m_pointerInside)
        ScheduleHoverText();
}

bool CSkimblerView::Dragging() const
{
    return m_drag || m_panButton != Qt::NoButton;
}

// ---------------------------------------------------------------------------
// Zoom and commands

int CSkimblerView::PointCommand(int point)
{
    switch (point) {
    case 0: return Resource::ID_POINT_0;
    case 1: return Resource::ID_POINT_1;
    case 2: return Resource::ID_POINT_2;
    case 3: return Resource::ID_POINT_3;
    default: return Resource::ID_POINT_NONE;
    }
}

bool CSkimblerView::OnCommand(int commandId)
{
    switch (commandId) {
    case Resource::ID_ZOOM_IN:
        SetZoom(m_zoom * ZoomFactor);
        return true;
    case Resource::ID_ZOOM_OUT:
        SetZoom(m_zoom / ZoomFactor);
        return true;
    case Resource::ID_ZOOM_100:
        SetZoom(1.0f);
        SetPan(0.0f, 0.0f);
        return true;
    case Resource::ID_VIEW_FIT:
        FitSurface();
        return true;
    case Resource::ID_SHOW_AXES:
        SetShowAxes(!m_showAxes);
        return true;
    case Resource::ID_SHOW_HANDLES:
        SetShowHandles(!m_showHandles);
        return true;
    case Resource::ID_POINT_0:
    case Resource::ID_POINT_1:
    case Resource::ID_POINT_2:
    case Resource::ID_POINT_3:
    case Resource::ID_POINT_NONE: {
        int point = -1;
        for (int i = 0; i < 4; ++i) {
            if (PointCommand(i) == commandId)
                point = i;
        }
        SelectPoint(point);
        return true;
    }
    case Resource::ID_POINT_FULL:
        emit commitRequested();
        if (CSkimblerDoc *document = GetDocument()) {
            Surface layout;
            layout.ResetPoints();
            SurfaceSettings after = document->Settings();
            std::copy(&layout.Points[0][0], &layout.Points[0][0] + 12, &after.Points[0][0]);
            document->ChangeSettings(after, tr("重設角點"));
        }
        RefreshCoordinateFields();
        return true;
    default:
        return false;
    }
}

void CSkimblerView::SelectPoint(int point)
{
    if (point < 0 || point > 3)
        point = -1;
    emit commitRequested();
    const bool changed = point != m_selectedPoint;
    m_selectedPoint = point;
    if (changed)
        emit selectedPointChanged(point);
    RefreshCoordinateFields();
}

bool CSkimblerView::SetSelectedCoordinate(int axis, double typed)
{
    CSkimblerDoc *document = GetDocument();
    if (!document || axis < 0 || axis > 2 || m_selectedPoint < 0 || m_selectedPoint > 3 || std::isnan(typed)) {
        // Nothing took the value: what is in force is shown again.
        RefreshCoordinateFields();
        return false;
    }
    const float value = ToFloat(typed);
    SurfaceSettings after = document->Settings();
    after.Points[m_selectedPoint][axis] = value;
    document->ChangeSettings(after, tr("輸入座標"));
    // A value past the float range is stored at its edge; say so, whether
    // or not the document changed.
    if (static_cast<double>(value) != typed)
        RefreshCoordinateFields();
    requestUpdate();
    return true;
}

void CSkimblerView::RefreshCoordinateFields()
{
    // While a drag moves the corners, the fields keep pace with the frames,
    // not with the moves: moves that come faster than frames are announced
    // once, by the next paint.
    if (m_dragMoving && isExposed())
        m_coordinatesPending = true;
    else
        AnnounceCoordinates();
    requestUpdate();
}

void CSkimblerView::AnnouncePendingCoordinates()
{
    if (m_coordinatesPending)
        AnnounceCoordinates();
}

void CSkimblerView::AnnounceCoordinates()
{
    m_coordinatesPending = false;
    double values[3] = {0.0, 0.0, 0.0};
    const Surface *surface = GetSurface();
    if (surface && m_selectedPoint >= 0 && m_selectedPoint < 4) {
        for (int axis = 0; axis < 3; ++axis)
            values[axis] = static_cast<double>(surface->Points[m_selectedPoint][axis]);
    }
    emit coordinatesChanged(m_selectedPoint, values[0], values[1], values[2]);
}

// ---------------------------------------------------------------------------
// Keyboard and status

void CSkimblerView::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers chords = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (event->modifiers() & chords) {
        QWindow::keyPressEvent(event);
        return;
    }
    int dx = 0;
    int dy = 0;
    bool handled = true;
    if (ViewTools::NudgeTool::StepOf(*event, &dx, &dy)) {
        handled = NudgeSelectedPoint(dx, dy);
    } else {
        switch (event->key()) {
        case Qt::Key_0:
        case Qt::Key_1:
        case Qt::Key_2:
        case Qt::Key_3: SelectPoint(event->key() - Qt::Key_0); break;
        case Qt::Key_Escape: SelectPoint(-1); break;
        case Qt::Key_Tab: emit focusLeaveRequested(true); break;
        case Qt::Key_Backtab: emit focusLeaveRequested(false); break;
        default: handled = false; break;
        }
    }
    if (handled)
        event->accept();
    else
        QWindow::keyPressEvent(event);
}

bool CSkimblerView::NudgeSelectedPoint(int dx, int dy)
{
    CSkimblerDoc *document = GetDocument();
    const Surface *surface = GetSurface();
    if (!document || !surface || !m_interface || m_selectedPoint < 0 || m_selectedPoint > 3)
        return false;
    // Like a drag: without the points in use there is nothing to move.
    if (!(surface->Flags & SURFACE_FLAG_POINTS))
        return false;
    emit commitRequested();
    m_nudges.Nudge(*this, *document, m_selectedPoint, dx, dy);
    RefreshCoordinateFields();
    return true;
}

void CSkimblerView::ScheduleHoverText()
{
    // The status text costs a selection pass; the pointer moves far more
    // often than anyone reads, so it is brought up to date a few dozen
    // times a second at most, outside the move handling itself.
    if (!m_hoverTimer) {
        m_hoverTimer = new QTimer(this);
        m_hoverTimer->setSingleShot(true);
        m_hoverTimer->setInterval(HoverTextInterval);
        connect(m_hoverTimer, &QTimer::timeout, this, [this] {
            if (m_pointerInside && !m_dragMoving)
                emit hoverTextChanged(HoverText(m_pointerX, m_pointerY));
        });
    }
    if (!m_hoverTimer->isActive())
        m_hoverTimer->start();
}

QString CSkimblerView::HoverText(int x, int y)
{
    const QPointF plane = WindowToSurface(static_cast<float>(x), static_cast<float>(y));
    const Surface *surface = GetSurface();
    const int hit = surface && (surface->Flags & SURFACE_FLAG_POINTS) ? PickPress(x, y) : -1;
    QString target;
    switch (hit) {
    case 0:
    case 1:
    case 2:
    case 3: target = tr("角點 %1").arg(hit); break;
    case LeftEdge: target = tr("左邊"); break;
    case BottomEdge: target = tr("下邊"); break;
    case RightEdge: target = tr("右邊"); break;
    case TopEdge: target = tr("上邊"); break;
    case WholeSurface: target = tr("整個平面"); break;
    default: target = tr("無"); break;
    }
    return tr("X: %1   Y: %2   拖曳: %3   縮放: %4%")
        .arg(plane.x(), 0, 'f', 4)
        .arg(plane.y(), 0, 'f', 4)
        .arg(target)
        .arg(static_cast<double>(m_zoom) * 100.0, 0, 'f', 1);
}
