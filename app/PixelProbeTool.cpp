#include "app/PixelProbeTool.h"

#include "app/CNumberEdit.h"
#include "render/GraphicalInterface.h"
#include "render/SurfaceDrawState.h"
#include "surface/CSkimblerDoc.h"
#include "view/CSkimblerView.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextEdit>
#include <QTimer>
#include <QUndoStack>

#include <algorithm>
#include <cmath>

namespace {
// The readout sits this far below and right of the pointer.
constexpr int kReadoutOffset = 18;
}

PixelProbeTool::PixelProbeTool(CSkimblerView *view, CSkimblerDoc *document, QObject *parent)
    : QObject(parent)
    , m_view(view)
    , m_document(document)
{
    m_readout = new QLabel;
    m_readout->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput);
    m_readout->setAttribute(Qt::WA_ShowWithoutActivating);
    m_readout->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_readout->setStyleSheet(QStringLiteral("QLabel { background: #ffffe1; color: black; border: 1px solid #767676;"
                                            " padding: 3px; }"));
    m_readout->setTextFormat(Qt::PlainText);
    // The whole application: the held key counts wherever the focus is.
    qApp->installEventFilter(this);
    if (m_document) {
        // New and Open leave an empty history: the image may be another.
        connect(m_document, &CSkimblerDoc::viewsUpdated, this, [this] {
            if (m_document && m_document->UndoStack()->count() == 0)
                m_texelsValid = false;
            ScheduleRefresh();
        });
    }
}

PixelProbeTool::~PixelProbeTool()
{
    if (qApp)
        qApp->removeEventFilter(this);
    delete m_readout;
}

void PixelProbeTool::SetEnabled(bool enabled)
{
    m_enabled = enabled;
    Refresh();
}

bool PixelProbeTool::IsActive() const
{
    return (m_enabled || m_keyHeld) && m_pointerInside && m_view;
}

QString PixelProbeTool::ReadoutText() const
{
    return m_readout->isVisible() ? m_readout->text() : QString();
}

const TexelPyramid &PixelProbeTool::Texels()
{
    const Surface *surface = m_view ? m_view->GetSurface() : nullptr;
    if (!surface) {
        m_texels.clear();
        return m_texels;
    }
    // Read back once per image: the texture name alone may be reused.
    if (!m_texelsValid || m_texelsRevision != surface->ImageRevision || m_texelsWidth != surface->Width
        || m_texelsHeight != surface->Height) {
        m_texels.clear();
        const std::uint32_t texture = m_view->SurfaceTexture();
        if (texture != 0 && m_view->MakeCurrent())
            ReadTextureLevels(texture, &m_texels);
        m_texelsValid = true;
        m_texelsRevision = surface->ImageRevision;
        m_texelsWidth = surface->Width;
        m_texelsHeight = surface->Height;
    }
    return m_texels;
}

PixelProbe::Colour PixelProbeTool::BackgroundAt(int x, int y) const
{
    if (!m_view || !m_view->HasBackground())
        return {0.0, 0.0, 0.0, 1.0};  // the clear colour
    // The chosen colour, or the checkerboard: 16-pixel cells from the
    // bottom-left corner, grey where the cell's column and row are both even
    // or both odd. They start at the drawing area's corner; letter-boxing
    // bars are dark.
    const QRect area = m_view->ViewportRect();
    if (!m_view->ScreenShape().isEmpty() && !area.contains(x, y))
        return {0.0, 0.0, 0.0, 1.0};
    const ViewBackground &background = m_view->Background();
    if (!background.Checker)
        return {background.Red / 255.0, background.Green / 255.0, background.Blue / 255.0, 1.0};
    const int cell = CSkimblerView::BackgroundTileSize / 2;
    const int fromBottom = area.bottom() - y;
    const bool grey = (((x - area.left()) / cell) + (fromBottom / cell)) % 2 == 0;
    const double level = grey ? 192.0 / 255.0 : 1.0;
    return {level, level, level, 1.0};
}

PixelProbe::Result PixelProbeTool::ProbeAt(int x, int y)
{
    const Surface *surface = m_view ? m_view->GetSurface() : nullptr;
    if (!surface || !m_view->Interface()) {
        PixelProbe::Result none;
        none.X = x;
        none.Y = y;
        return none;
    }
    const skimbler::View view = m_view->CoreView();
    const skimbler::DrawState state
        = ResolveSurface(*surface, view.Width, view.Height, false, view.Aspect);
    return skimbler::PixelAt(state, view, Texels(), BackgroundAt(x, y), x, y);
}

void PixelProbeTool::ScheduleRefresh()
{
    if (m_refreshPending || !IsActive())
        return;
    // After the frame in progress, so the readout describes what is drawn.
    m_refreshPending = true;
    QTimer::singleShot(0, this, [this] {
        m_refreshPending = false;
        Refresh();
    });
}

void PixelProbeTool::Refresh()
{
    if (!IsActive()) {
        m_readout->hide();
        return;
    }
    m_readout->setText(PixelProbe::Describe(ProbeAt(m_pointer.x(), m_pointer.y())));
    m_readout->adjustSize();
    // Beside the pointer, kept on its screen.
    const qreal ratio = m_view->devicePixelRatio();
    const QPoint logical(static_cast<int>(m_pointer.x() / ratio), static_cast<int>(m_pointer.y() / ratio));
    QPoint place = m_view->mapToGlobal(logical) + QPoint(kReadoutOffset, kReadoutOffset);
    if (QScreen *screen = m_view->screen()) {
        const QRect area = screen->availableGeometry();
        const QSize size = m_readout->size();
        if (place.x() + size.width() > area.right())
            place.rx() -= size.width() + 2 * kReadoutOffset;
        if (place.y() + size.height() > area.bottom())
            place.ry() -= size.height() + 2 * kReadoutOffset;
        place.rx() = std::max(place.x(), area.left());
        place.ry() = std::max(place.y(), area.top());
    }
    m_readout->move(place);
    m_readout->show();
}

bool PixelProbeTool::TakesLetters(QObject *target)
{
    // The numeric fields refuse letters anyway; any other text field keeps
    // its typing.
    if (!target || qobject_cast<CNumberEdit *>(target))
        return false;
    const auto *combo = qobject_cast<QComboBox *>(target);
    return qobject_cast<QLineEdit *>(target) || qobject_cast<QTextEdit *>(target)
        || qobject_cast<QPlainTextEdit *>(target) || qobject_cast<QAbstractSpinBox *>(target)
        || (combo && combo->isEditable());
}

bool PixelProbeTool::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        // The held key works wherever the focus is, as long as the pointer
        // is over the view.
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() != HoldKey || key->isAutoRepeat())
            break;
        if (event->type() == QEvent::KeyRelease) {
            if (m_keyHeld) {
                m_keyHeld = false;
                Refresh();
            }
            break;
        }
        if (key->modifiers() != Qt::NoModifier || !m_pointerInside || !m_view || !m_view->isVisible()
            || TakesLetters(watched))
            break;
        if (!m_keyHeld) {
            m_keyHeld = true;
            Refresh();
        }
        return true;
    }
    case QEvent::ApplicationDeactivate:
        // A release another program took must not leave the probe stuck on.
        if (m_keyHeld) {
            m_keyHeld = false;
            Refresh();
        }
        break;
    default:
        break;
    }
    if (watched != m_view)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const qreal ratio = m_view->devicePixelRatio();
        m_pointer = QPoint(static_cast<int>(std::floor(mouse->position().x() * ratio)),
                           static_cast<int>(std::floor(mouse->position().y() * ratio)));
        m_pointerInside = true;
        ScheduleRefresh();
        break;
    }
    case QEvent::Enter:
        m_pointerInside = true;
        break;
    case QEvent::Leave:
    case QEvent::Hide:
        m_pointerInside = false;
        m_readout->hide();
        break;
    case QEvent::UpdateRequest:
    case QEvent::Expose:
        ScheduleRefresh();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
