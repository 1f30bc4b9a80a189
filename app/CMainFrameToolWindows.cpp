// The main frame's tool windows: the View menu entries that bring them back,
// their first placement and the memory of where the user left them.

#include "app/CMainFrame.h"

#include "app/EventWait.h"
#include "app/ToolWindowLayout.h"
#include "app/Dialogs.h"
#include "panels/CColorsPanel.h"
#include "panels/CFlagsPanel.h"
#include "panels/CPropertyPanel.h"
#include "res/Resource.h"
#include "view/CSkimblerView.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QMenu>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>

using namespace Resource;

namespace {

struct ToolWindowEntry
{
    int commandId;
    const char *text;
};

const ToolWindowEntry ToolWindowEntries[] = {
    {ID_VIEW_PROPERTY_WINDOW, QT_TRANSLATE_NOOP("CMainFrame", "屬性視窗(&P)")},
    {ID_VIEW_FLAGS_WINDOW, QT_TRANSLATE_NOOP("CMainFrame", "旗標視窗(&F)")},
    {ID_VIEW_COLORS_WINDOW, QT_TRANSLATE_NOOP("CMainFrame", "色彩視窗(&C)")},
};

// Keeps a View menu check equal to whether its window is shown. Escape and
// the close box hide a tool window behind the menu's back.
class VisibilityFollower : public QObject
{
public:
    VisibilityFollower(QWidget *window, QAction *action)
        : QObject(window)
        , m_action(action)
    {
        window->installEventFilter(this);
        m_action->setChecked(!window->isHidden());
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // The frame's actions may go before its tool windows do.
        if (m_action && (event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
            // Hidden with its owner (minimised, closed) is not hidden by
            // the user: isHidden tells the two apart.
            m_action->setChecked(!static_cast<QWidget *>(watched)->isHidden());
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QPointer<QAction> m_action;
};

QRect FrameOf(const QWidget *window, const QMargins &margins)
{
    return QRect(window->pos(), window->size().grownBy(margins));
}

} // namespace

void CMainFrame::CreateToolWindowCommands()
{
    for (const ToolWindowEntry &entry : ToolWindowEntries) {
        QAction *action = AddCommand(entry.commandId, tr(entry.text));
        action->setCheckable(true);
        action->setChecked(false);
    }
}

void CMainFrame::AddToolWindowEntries(QMenu *viewMenu)
{
    viewMenu->addSeparator();
    for (const ToolWindowEntry &entry : ToolWindowEntries)
        viewMenu->addAction(CommandAction(entry.commandId));
}

void CMainFrame::AttachToolWindow(int commandId, QWidget *window)
{
    QAction *action = CommandAction(commandId);
    if (!action || !window || ToolWindow(commandId))
        return;
    m_toolWindows.append({commandId, window});
    new VisibilityFollower(window, action);
}

QWidget *CMainFrame::ToolWindow(int commandId) const
{
    for (const AttachedWindow &attached : m_toolWindows) {
        if (attached.commandId == commandId)
            return attached.window;
    }
    return nullptr;
}

CPropertyPanel *CMainFrame::PropertyPanel() const
{
    return m_propertyPanel;
}

CFlagsPanel *CMainFrame::FlagsPanel() const
{
    return m_flagsPanel;
}

CColorsPanel *CMainFrame::ColorsPanel() const
{
    return qobject_cast<CColorsPanel *>(ToolWindow(ID_VIEW_COLORS_WINDOW));
}

bool CMainFrame::OnToolWindowCommand(int commandId)
{
    const bool ours = std::any_of(std::begin(ToolWindowEntries), std::end(ToolWindowEntries),
                                  [commandId](const ToolWindowEntry &entry) { return entry.commandId == commandId; });
    if (!ours)
        return false;
    QWidget *window = ToolWindow(commandId);
    if (!window)
        return true;
    if (IsButtonChecked(commandId)) {
        window->show();
        window->raise();
        window->activateWindow();
    } else {
        window->hide();
    }
    return true;
}

void CMainFrame::WaitForFrames(const QList<QWidget *> &windows) const
{
    // The window manager frames and maps a window in its own time; only then
    // do the frame rectangles say how much room the captions take.
    const auto mapped = [&windows] {
        return std::all_of(windows.begin(), windows.end(), [](const QWidget *window) {
            return window->windowHandle() && window->windowHandle()->isExposed();
        });
    };
    ProcessEventsUntil(mapped, 2000);
    QCoreApplication::processEvents();
}

void CMainFrame::ShowToolWindows(const QPoint &anchor)
{
    QScreen *screen = windowHandle() && windowHandle()->screen() ? windowHandle()->screen()
                                                                 : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    QList<QRect> screens;
    for (const QScreen *each : QGuiApplication::screens())
        screens.append(each->availableGeometry());

    // Where the user left them, if that is still on a screen.
    QList<bool> placed;
    QList<QWidget *> shown;
    for (const AttachedWindow &attached : std::as_const(m_toolWindows)) {
        QWidget *window = attached.window;
        const ToolWindowLayout::Saved saved = ToolWindowLayout::Load(window->objectName());
        bool restored = false;
        if (saved.hasPlace && ToolWindowLayout::IsReachable(QRect(saved.position, saved.size), screens)) {
            window->resize(saved.size.boundedTo(area.size()));
            window->move(saved.position);
            restored = true;
        }
        placed.append(restored);
        if (saved.visible) {
            window->show();
            shown.append(window);
        }
    }
    WaitForFrames(shown);

    // Every tool window has the same kind of frame; a shown one tells its
    // size.
    QMargins margins;
    for (const QWidget *window : std::as_const(shown)) {
        const QRect frame = window->frameGeometry();
        const QRect client = window->geometry();
        margins = QMargins(client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                           frame.bottom() - client.bottom());
        break;
    }

    QList<QRect> frames(m_toolWindows.size());
    QList<QRect> taken;
    for (int i = 0; i < m_toolWindows.size(); ++i) {
        if (placed.at(i)) {
            frames[i] = FrameOf(m_toolWindows.at(i).window, margins);
            taken.append(frames.at(i));
        }
    }
    for (int i = 0; i < m_toolWindows.size(); ++i) {
        if (placed.at(i))
            continue;
        QWidget *window = m_toolWindows.at(i).window;
        // The first at the anchor, the second at the screen's left edge
        // right below it, the rest beside the first; each falls back to the
        // next free place.
        QList<QPoint> candidates;
        const QRect first = i > 0 ? frames.at(0) : QRect();
        const QRect second = i > 1 ? frames.at(1) : QRect();
        if (i == 0) {
            candidates = {anchor, area.topLeft()};
        } else if (i == 1) {
            candidates = {QPoint(area.left(), first.bottom() + 1), QPoint(first.right() + 1, first.top())};
        } else {
            candidates = {QPoint(first.right() + 1, first.top()), QPoint(area.left(), second.bottom() + 1),
                          QPoint(second.right() + 1, second.top())};
        }
        const QSize frameSize = window->size().grownBy(margins);
        const QRect frame = ToolWindowLayout::Place(frameSize, candidates, area, taken);
        if (frame.size() != frameSize)
            window->resize(window->size() - (frameSize - frame.size()));
        window->move(frame.topLeft());
        frames[i] = frame;
        taken.append(frame);
    }

    // The second one (Flags) ends on top and active, as it always did.
    if (m_toolWindows.size() > 1 && !m_toolWindows.at(1).window->isHidden()) {
        m_toolWindows.at(1).window->raise();
        m_toolWindows.at(1).window->activateWindow();
    }
}

bool CMainFrame::OpenToolWindows()
{
    if (!m_toolWindows.isEmpty())
        return true;
    // The tool windows float above the main window, which owns them.
    m_propertyPanel = new CPropertyPanel;
    m_flagsPanel = new CFlagsPanel;
    CToolPanel *panels[] = {m_propertyPanel, m_flagsPanel, new CColorsPanel(&m_dialogs)};
    const int commands[] = {ID_VIEW_PROPERTY_WINDOW, ID_VIEW_FLAGS_WINDOW, ID_VIEW_COLORS_WINDOW};
    bool created = true;
    for (int i = 0; i < 3; ++i) {
        panels[i]->SetDocument(m_document);
        // Created, each belongs to the frame, whatever its initialisation
        // said.
        created = panels[i]->Create(this) && created;
        AttachToolWindow(commands[i], panels[i]);
    }
    if (!created)
        return false;
    // The Property window starts at the view's top-left corner.
    ShowToolWindows(m_view ? m_view->mapToGlobal(QPoint(0, 0)) : mapToGlobal(QPoint(0, 0)));
    return true;
}

void CMainFrame::closeEvent(QCloseEvent *event)
{
    QMainWindow::closeEvent(event);
    // Closing hides the tool windows with the frame; what is remembered is
    // what the user left showing.
    if (event->isAccepted()) {
        m_visibleAtClose.clear();
        for (const AttachedWindow &attached : std::as_const(m_toolWindows))
            m_visibleAtClose.append(!attached.window->isHidden());
    }
}

void CMainFrame::SaveToolWindows() const
{
    const bool closed = m_visibleAtClose.size() == m_toolWindows.size() && !isVisible();
    for (int i = 0; i < m_toolWindows.size(); ++i) {
        const QWidget *window = m_toolWindows.at(i).window;
        const bool visible = closed ? m_visibleAtClose.at(i) : !window->isHidden();
        ToolWindowLayout::Save(window->objectName(), visible, window->pos(), window->size());
    }
}
