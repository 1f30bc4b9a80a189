// Getting around the view: the conversions between window pixels and the
// surface's coordinates, zoom about a point, the pan, "fit", and the input
// that drives them (wheel, middle-button drag, Space + left drag).
//
// The zoom scales the surface's x and y about the plane origin; the pan then
// shifts the whole picture by device pixels, after the perspective, so a
// corner lifted off the plane moves exactly like one on it. At zoom 1 and
// pan (0, 0) the view is the plain unscaled plane.

#include "view/CSkimblerView.h"

#include "render/GraphicalInterface.h"
#include "skimbler/Scene.h"
#include "surface/Surface.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCursor>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

// Far enough for any real use, near enough to stay exact in a float.
constexpr double kMaxPan = 1.0e7;

// A widget that Space types into: a text field, unless it takes numbers
// only.
bool TakesSpace(const QObject *target)
{
    const auto *widget = qobject_cast<const QWidget *>(target);
    if (!widget || (widget->inputMethodHints() & (Qt::ImhFormattedNumbersOnly | Qt::ImhDigitsOnly)))
        return false;
    const auto *line = qobject_cast<const QLineEdit *>(widget);
    const auto *combo = qobject_cast<const QComboBox *>(widget);
    return (line && !line->isReadOnly()) || qobject_cast<const QTextEdit *>(widget)
        || qobject_cast<const QPlainTextEdit *>(widget) || qobject_cast<const QAbstractSpinBox *>(widget)
        || (combo && combo->isEditable());
}

} // namespace

skimbler::View CSkimblerView::CoreView() const
{
    skimbler::View view;
    if (m_interface) {
        view.Width = m_interface->Width;
        view.Height = m_interface->Height;
        view.Aspect = m_interface->Aspect();
    }
    view.Zoom = m_zoom;
    view.PanX = m_panX;
    view.PanY = m_panY;
    view.OffsetX = m_viewport.left();
    view.OffsetY = m_viewport.top();
    return view;
}

QPointF CSkimblerView::WindowToSurface(float x, float y, float z) const
{
    if (!m_interface)
        return QPointF();
    float surfaceX = 0.0f;
    float surfaceY = 0.0f;
    skimbler::WindowToSurface(CoreView(), x, y, z, &surfaceX, &surfaceY);
    return QPointF(static_cast<double>(surfaceX), static_cast<double>(surfaceY));
}

QPointF CSkimblerView::SurfaceToWindow(float x, float y, float z) const
{
    if (!m_interface)
        return QPointF();
    float windowX = 0.0f;
    float windowY = 0.0f;
    skimbler::SurfaceToWindow(CoreView(), x, y, z, &windowX, &windowY);
    return QPointF(static_cast<double>(windowX), static_cast<double>(windowY));
}

void CSkimblerView::ProjectCorners(const float corners[4][3], float projected[4][2], bool visible[4]) const
{
    for (int i = 0; i < 4; ++i) {
        const float depth = skimbler::DepthScale(corners[i][2]);
        visible[i] = depth > 0.0f;
        projected[i][0] = corners[i][0] * depth;
        projected[i][1] = corners[i][1] * depth;
    }
}

void CSkimblerView::SyncViewOffset()
{
    if (m_interface)
        m_interface->SetViewOffset(m_panX, m_panY);
}

void CSkimblerView::SetPan(float x, float y)
{
    if (!std::isfinite(x) || !std::isfinite(y))
        return;
    m_panX = static_cast<float>(std::clamp(static_cast<double>(x), -kMaxPan, kMaxPan));
    m_panY = static_cast<float>(std::clamp(static_cast<double>(y), -kMaxPan, kMaxPan));
    // What lies under the pointer has changed.
    if (m_pointerInside)
        ScheduleHoverText();
    requestUpdate();
}

void CSkimblerView::ApplyZoom(float zoom, float x, float y)
{
    if (std::isnan(zoom))
        return;
    zoom = std::clamp(zoom, MinZoom, MaxZoom);
    const QPointF held = WindowToSurface(x, y);
    m_zoom = zoom;
    // Shift the picture back by however far that point has drifted.
    const QPointF now = SurfaceToWindow(static_cast<float>(held.x()), static_cast<float>(held.y()));
    SetPan(m_panX + (x - static_cast<float>(now.x())), m_panY + (y - static_cast<float>(now.y())));
}

void CSkimblerView::ZoomAt(float zoom, float x, float y)
{
    ApplyZoom(zoom, x, y);
    emit zoomChanged(m_zoom);
    requestUpdate();
}

QPointF CSkimblerView::ZoomCentre() const
{
    // The centre of the projection: a zoom about it leaves a zero pan zero.
    if (m_interface)
        return QPointF(m_viewport.left() + m_interface->Width * 0.5, m_viewport.top() + m_interface->Height * 0.5);
    return QPointF(ClientWidth() * 0.5, ClientHeight() * 0.5);
}

void CSkimblerView::SetZoom(float zoom)
{
    const QPointF centre = ZoomCentre();
    ZoomAt(zoom, static_cast<float>(centre.x()), static_cast<float>(centre.y()));
}

void CSkimblerView::FitSurface()
{
    const Surface *surface = GetSurface();
    const int width = ViewportRect().width();
    const int height = ViewportRect().height();
    if (!surface || !m_interface || width <= 0 || height <= 0)
        return;
    float corners[4][3];
    HandleCorners(*surface, corners);
    for (auto &corner : corners) {
        corner[0] /= m_zoom;
        corner[1] /= m_zoom;
    }
    float projected[4][2];
    bool visible[4];
    ProjectCorners(corners, projected, visible);

    double left = HUGE_VAL, right = -HUGE_VAL, bottom = HUGE_VAL, top = -HUGE_VAL;
    for (int i = 0; i < 4; ++i) {
        if (!visible[i])
            continue;
        left = std::min(left, static_cast<double>(projected[i][0]));
        right = std::max(right, static_cast<double>(projected[i][0]));
        bottom = std::min(bottom, static_cast<double>(projected[i][1]));
        top = std::max(top, static_cast<double>(projected[i][1]));
    }
    if (left > right)
        return;

    // Plane units per device pixel at zoom 1, across and down.
    const double unitX = static_cast<double>(skimbler::PlaneHalfWidthFor(CoreView().Aspect)) / (width * 0.5);
    const double unitY = 1.0 / (height * 0.5);
    const int margin = width > 4 * FitMargin && height > 4 * FitMargin ? FitMargin : 0;
    double zoom = MaxZoom;
    if (right > left)
        zoom = std::min(zoom, (width - 2 * margin) * unitX / (right - left));
    if (top > bottom)
        zoom = std::min(zoom, (height - 2 * margin) * unitY / (top - bottom));
    m_zoom = std::clamp(static_cast<float>(zoom), MinZoom, MaxZoom);

    // The box's centre goes to the window's centre.
    const double centreX = (left + right) * 0.5;
    const double centreY = (bottom + top) * 0.5;
    if (std::isfinite(centreX) && std::isfinite(centreY))
        SetPan(static_cast<float>(-centreX * m_zoom / unitX), static_cast<float>(centreY * m_zoom / unitY));
    else
        SetPan(0.0f, 0.0f);
    emit zoomChanged(m_zoom);
    requestUpdate();
}

// ---------------------------------------------------------------------------
// Input

void CSkimblerView::wheelEvent(QWheelEvent *event)
{
    const int delta = event->angleDelta().y();
    if (delta != 0) {
        // One notch is 120; finer wheels send parts of it.
        const float factor = std::pow(ZoomFactor, static_cast<float>(delta) / 120.0f);
        const QPoint position = DevicePosition(event->position());
        ZoomAt(m_zoom * factor, static_cast<float>(position.x()), static_cast<float>(position.y()));
    }
    event->accept();
}

bool CSkimblerView::NavigationPress(QMouseEvent *event)
{
    if (m_panButton != Qt::NoButton) {
        // Other buttons wait until the pan ends.
        event->accept();
        return true;
    }
    const bool middle = event->button() == Qt::MiddleButton;
    const bool spaceLeft = event->button() == Qt::LeftButton && m_spaceHeld;
    if (!middle && !spaceLeft)
        return false;
    event->accept();
    // An edit drag keeps the picture where it is until it ends.
    if (m_drag)
        return true;
    m_panButton = event->button();
    m_panStart = DevicePosition(event->position());
    m_panStartX = m_panX;
    m_panStartY = m_panY;
    SetPointerShape(Qt::ClosedHandCursor);
    return true;
}

bool CSkimblerView::NavigationMove(QMouseEvent *event)
{
    const QPoint position = DevicePosition(event->position());
    if (m_panButton != Qt::NoButton) {
        m_pointerX = position.x();
        m_pointerY = position.y();
        // From the start of the pan, not step by step, so no rounding piles up.
        SetPan(m_panStartX + static_cast<float>(position.x() - m_panStart.x()),
               m_panStartY + static_cast<float>(position.y() - m_panStart.y()));
        event->accept();
        return true;
    }
    if (m_spaceHeld && !m_drag) {
        m_pointerX = position.x();
        m_pointerY = position.y();
        SetPointerShape(Qt::OpenHandCursor);
        event->accept();
        return true;
    }
    return false;
}

bool CSkimblerView::NavigationRelease(QMouseEvent *event)
{
    if (m_panButton == Qt::NoButton)
        return false;
    if (event->button() == m_panButton) {
        m_panButton = Qt::NoButton;
        SetPointerShape(m_spaceHeld ? Qt::OpenHandCursor : Qt::ArrowCursor);
        m_dragMoving = false;
        AnnouncePendingCoordinates();
        if (m_pointerInside)
            ScheduleHoverText();
    }
    event->accept();
    return true;
}

bool CSkimblerView::NavigationKey(QEvent *event)
{
    // Space is followed for every window by the filter below; here it only
    // keeps the view's own key handling from seeing it.
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() != Qt::Key_Space || (event->type() == QEvent::KeyPress && key->modifiers() != Qt::NoModifier))
        return false;
    event->accept();
    return true;
}

bool CSkimblerView::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::ApplicationDeactivate) {
        // A release that another program took must not leave Space held.
        m_spaceHeld = false;
        return false;
    }
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease)
        return false;
    const auto *key = static_cast<const QKeyEvent *>(event);
    if (key->key() != Qt::Key_Space)
        return false;
    const bool ours = watched == this;
    if (type == QEvent::KeyRelease) {
        if (!key->isAutoRepeat() && m_spaceHeld) {
            m_spaceHeld = false;
            if (m_panButton == Qt::NoButton && !m_drag)
                SetPointerShape(Qt::ArrowCursor);
        }
        return false;
    }
    if (key->modifiers() != Qt::NoModifier)
        return false;
    // Held over the view it means "pan", whatever has the focus; a field
    // that types spaces still gets its space.
    if (!ours && (!m_pointerInside || !isVisible()))
        return false;
    if (!key->isAutoRepeat() && !m_spaceHeld) {
        m_spaceHeld = true;
        if (m_panButton == Qt::NoButton && !m_drag)
            SetPointerShape(Qt::OpenHandCursor);
    }
    return !ours && !TakesSpace(watched);
}
