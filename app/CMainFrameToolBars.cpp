// The main frame's tool bars as a user of any window size meets them: every
// button explained, every control reachable with Tab, and rows that wrap
// instead of hiding controls when the window is narrow.

#include "app/CMainFrame.h"

#include "app/CNumberEdit.h"
#include "app/CommandPrompts.h"
#include "app/CPercentEdit.h"
#include "res/Resource.h"
#include "view/CSkimblerView.h"

#include <QAction>
#include <QLabel>
#include <QResizeEvent>
#include <QShowEvent>
#include <QToolBar>
#include <QToolButton>

using namespace Resource;

void CMainFrame::AddToolBarPrompts()
{
    // The commands have theirs from the start; the fields by control id.
    const struct
    {
        QWidget *field;
        int controlId;
    } fields[] = {
        {m_zoomEdit, IDC_ZOOM_EDIT},
        {m_xEdit, IDC_X_EDIT},
        {m_yEdit, IDC_Y_EDIT},
        {m_zEdit, IDC_Z_EDIT},
    };
    for (const auto &entry : fields) {
        const CommandPrompt *prompt = CommandPrompts::Find(entry.controlId);
        if (!entry.field || !prompt)
            continue;
        entry.field->setStatusTip(CommandPrompts::Status(*prompt));
        entry.field->setToolTip(CommandPrompts::Tip(*prompt));
    }
}

QList<QWidget *> CMainFrame::ToolBarControls() const
{
    QList<QWidget *> controls;
    for (QToolBar *bar : {m_standardBar, m_viewBar, m_pointBar}) {
        if (!bar)
            continue;
        for (QAction *action : bar->actions()) {
            QWidget *widget = bar->widgetForAction(action);
            if (!widget || action->isSeparator())
                continue;
            if (qobject_cast<QToolButton *>(widget)) {
                controls.append(widget);
                continue;
            }
            // A field sits in a slot widget of its own; labels take no focus.
            for (QWidget *field : {static_cast<QWidget *>(m_zoomEdit), static_cast<QWidget *>(m_xEdit),
                                   static_cast<QWidget *>(m_yEdit), static_cast<QWidget *>(m_zEdit)}) {
                if (field && field->parentWidget() == widget)
                    controls.append(field);
            }
        }
    }
    return controls;
}

void CMainFrame::ChainToolBarFocus()
{
    // Tool buttons take no focus by default; here Tab walks them, the
    // fields among them, left to right, from the view and back to it.
    QWidget *previous = m_viewContainer;
    for (QWidget *control : ToolBarControls()) {
        if (qobject_cast<QToolButton *>(control)) {
            control->setFocusPolicy(Qt::TabFocus);
            // Flat buttons show no focus of their own: mark the one Tab is on.
            control->setStyleSheet(QStringLiteral(
                "QToolButton:focus { border: 2px solid palette(highlight); border-radius: 3px; }"));
        }
        if (previous)
            QWidget::setTabOrder(previous, control);
        previous = control;
    }
    // The view is a window of its own, which keeps Tab to itself; it asks
    // instead, and the chain goes on from its container.
    connect(m_view, &CSkimblerView::focusLeaveRequested, this, [this](bool forward) {
        QWidget *next = m_viewContainer;
        do {
            next = forward ? next->nextInFocusChain() : next->previousInFocusChain();
            if ((next->focusPolicy() & Qt::TabFocus) && next->isVisible() && next->isEnabled()
                && next->window() == this) {
                next->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
                return;
            }
        } while (next != m_viewContainer);
    });
}

void CMainFrame::FitToolBars()
{
    // Bars that no longer fit beside each other start a new row, so that no
    // control ends up in the overflow, whose pop-up would open behind the
    // view's own window. Only the bars still docked at the top in their own
    // order are arranged; a bar the user moved is his.
    const int available = width();
    int used = 0;
    for (QToolBar *bar : {m_standardBar, m_viewBar, m_pointBar}) {
        if (!bar || bar->isHidden() || bar->isFloating() || toolBarArea(bar) != Qt::TopToolBarArea)
            continue;
        // Bars in one row sit edge to edge.
        const int needed = FitFieldsOf(bar, available);
        const bool wrap = used > 0 && used + needed > available;
        if (wrap != toolBarBreak(bar)) {
            if (wrap)
                insertToolBarBreak(bar);
            else
                removeToolBarBreak(bar);
        }
        used = wrap ? needed : used + needed;
    }
}

int CMainFrame::FitFieldsOf(QToolBar *bar, int available)
{
    // A bar wider than the whole window narrows its fields, down to a
    // least width, rather than hide any of them.
    constexpr int LeastFieldWidth = 56;
    static const char *const NominalWidth = "nominalWidth";
    QList<QWidget *> fieldSlots;
    for (QWidget *field : {static_cast<QWidget *>(m_zoomEdit), static_cast<QWidget *>(m_xEdit),
                           static_cast<QWidget *>(m_yEdit), static_cast<QWidget *>(m_zEdit)}) {
        QWidget *slot = field ? field->parentWidget() : nullptr;
        if (!slot || slot->parentWidget() != bar)
            continue;
        if (!slot->property(NominalWidth).isValid())
            slot->setProperty(NominalWidth, slot->width());
        fieldSlots.append(slot);
    }
    int full = bar->sizeHint().width();
    for (QWidget *slot : std::as_const(fieldSlots))
        full += slot->property(NominalWidth).toInt() - slot->width();
    const int excess = full - available;
    int needed = full;
    for (QWidget *slot : std::as_const(fieldSlots)) {
        const int nominal = slot->property(NominalWidth).toInt();
        const int share = excess > 0 ? (excess + int(fieldSlots.size()) - 1) / int(fieldSlots.size()) : 0;
        const int width = std::max(std::min(nominal, LeastFieldWidth), nominal - share);
        if (slot->width() != width)
            slot->setFixedWidth(width);
        needed -= nominal - width;
    }
    return needed;
}

void CMainFrame::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    FitToolBars();
}

void CMainFrame::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    FitToolBars();
}

void CMainFrame::FollowViewHover()
{
    // The message pane says what lies under the pointer while it is over
    // the view, and "ready" otherwise.
    connect(m_view, &CSkimblerView::hoverTextChanged, this, [this](const QString &text) {
        if (m_messagePane)
            m_messagePane->setText(text.isEmpty() ? CommandPrompts::IdleText() : text);
    });
}
