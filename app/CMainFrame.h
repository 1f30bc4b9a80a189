#pragma once

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QStringList>

#include <functional>

class CColorsPanel;
class CFlagsPanel;
class CNumberEdit;
class CPercentEdit;
class CPropertyPanel;
class CSkimblerDoc;
class CSkimblerView;
class Dialogs;
class QAction;
class QActionGroup;
class QLabel;
class QStatusBar;
class QMenu;
class QMimeData;
class QToolBar;
class SurfaceTools;

// The main window: the view in the middle, the standard, view and point tool
// bars in one dock row at the top, the status bar at the bottom, and the
// three tool windows. It hands the view and the tool windows their document
// and wires the fields and buttons to the view's signals and setters.
class CMainFrame : public QMainWindow
{
    Q_OBJECT

public:
    // `dialogs` asks the tools' and the Colors window's questions; it
    // outlives the frame.
    CMainFrame(CSkimblerDoc *document, Dialogs &dialogs, QWidget *parent = nullptr);
    ~CMainFrame() override;

    // Creates the view (and with it the rendering context), then the bars,
    // labels and fields. Returns -1 on failure, 0 otherwise.
    int OnCreate();

    CSkimblerDoc *GetActiveDocument() const { return m_document; }
    CSkimblerView *GetActiveView() const { return m_view; }

    // Tool-bar button state by command id.
    bool IsButtonChecked(int commandId) const;
    void CheckButton(int commandId, bool checked = true);
    // The action behind a command id, or null.
    QAction *CommandAction(int commandId) const;

    // The application's own commands (file, print, recent files, exit,
    // about); the handler returns true when it took the command.
    void SetApplicationCommandHandler(std::function<bool(int)> handler);
    // Shows up to four recent files in the File menu; entry i sends
    // ID_FILE_MRU_FILE1 + i to the application handler.
    void SetRecentFiles(const QStringList &paths);

    // Routes a command: the frame's own bar toggles, then the application,
    // then the view. True when something handled it.
    bool OnCommand(int commandId);

    // Tool windows. The View menu entry `commandId` shows and hides
    // `window`, and its check follows the window however it was hidden.
    void AttachToolWindow(int commandId, QWidget *window);
    // Shows the attached windows where the user left them last time, and
    // places the others once their frames exist: the first at `anchor`, the
    // second at the screen's left edge below it, the third beside the first,
    // never overlapping each other and never off the screen.
    void ShowToolWindows(const QPoint &anchor);
    // Creates the "Property", "Flags" and "Colors" windows with the
    // document, attaches them and shows them (ShowToolWindows at the view's
    // top-left corner). False if one could not be created.
    bool OpenToolWindows();
    // Remembers each attached window's visibility, position and size. Once
    // the frame was closed, the visibility is the one the user left.
    void SaveToolWindows() const;
    QWidget *ToolWindow(int commandId) const;
    CPropertyPanel *PropertyPanel() const;
    CFlagsPanel *FlagsPanel() const;
    CColorsPanel *ColorsPanel() const;

    // The tool bars' buttons and fields, left to right, bar after bar: the
    // order Tab walks them in.
    QList<QWidget *> ToolBarControls() const;

    // The surface or image file among dropped data, or empty.
    static QString DroppedFile(const QMimeData *data);

Q_SIGNALS:
    // A surface or image file was dropped on the window; sent once the drop
    // itself is over, so the program that dragged it is not kept waiting
    // while a question is asked.
    void fileDropped(const QString &path);
    // An image was dropped with Shift held: it replaces the surface's image.
    void imageDropped(const QString &path);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    // No tool-bar list on a right click: the View menu has the toggles.
    QMenu *createPopupMenu() override;

    CSkimblerDoc *m_document = nullptr;
    CSkimblerView *m_view = nullptr;

private:
    // Found by their object names (zoomEdit, xEdit, messagePane, CAPIndicator,
    // ...) by anything outside that needs them, as by an accessibility tool.
    CPercentEdit *m_zoomEdit = nullptr;
    CNumberEdit *m_xEdit = nullptr;
    CNumberEdit *m_yEdit = nullptr;
    CNumberEdit *m_zEdit = nullptr;
    QToolBar *m_viewBar = nullptr;
    QToolBar *m_pointBar = nullptr;
    QLabel *m_xLabel = nullptr;
    QLabel *m_yLabel = nullptr;
    QLabel *m_zLabel = nullptr;
    QToolBar *m_standardBar = nullptr;

    Dialogs &m_dialogs;
    // Probe, projective texturing, export, Copy and Paste.
    SurfaceTools *m_tools = nullptr;

    // Status bar panes.
    QLabel *m_messagePane = nullptr;
    QLabel *m_capsIndicator = nullptr;
    QLabel *m_numIndicator = nullptr;
    QLabel *m_scrollIndicator = nullptr;

    // The tool windows the frame talks to by name, and its status bar.
    CPropertyPanel *m_propertyPanel = nullptr;
    CFlagsPanel *m_flagsPanel = nullptr;
    QStatusBar *m_statusBar = nullptr;

    QAction *AddCommand(int commandId, const QString &text = QString());
    void CreateCommands();
    // Undo and redo follow the document's stack: enabled, and named.
    void FollowUndoStack();
    void CreateMenus();
    // Help > Language: the choice is remembered and taken at the next start.
    void AddLanguageMenu(QMenu *parent);
    void CreateStandardBar();
    void CreateStatusBar();
    void CreateViewBar();
    void CreatePointBar();
    QToolBar *CreateToolBar(const QString &name);
    QWidget *CreateFieldSlot(QToolBar *bar, CNumberEdit *field, int width, int sideMargin);
    QLabel *CreateLabel(QToolBar *bar, const QString &text, int width, int topMargin);
    void ConnectField(CNumberEdit *field, int controlId);
    // The view's signals to the fields, buttons and status bar.
    void WireView();
    void ShowZoom(float zoom);
    void ShowCoordinates(double x, double y, double z);
    void CommitPendingFields();
    // Setup on the next field; the previous one, which the focus leaves,
    // commits even when the window cannot hold the focus yet.
    void SetupField(CNumberEdit *field, double value, int decimals, CNumberEdit *previous);
    void UpdateLockIndicators();

    // Tool bars that fit and can be walked with Tab.
    void AddToolBarPrompts();
    void ChainToolBarFocus();
    void FitToolBars();
    // Narrows the bar's fields when the bar alone is wider than `available`;
    // returns the width the bar then needs.
    int FitFieldsOf(QToolBar *bar, int available);
    void FollowViewHover();

    // Tool windows.
    void CreateToolWindowCommands();
    void AddToolWindowEntries(QMenu *viewMenu);
    bool OnToolWindowCommand(int commandId);
    void WaitForFrames(const QList<QWidget *> &windows) const;
    struct AttachedWindow
    {
        int commandId;
        QWidget *window;
    };
    QList<AttachedWindow> m_toolWindows;
    // Whether each attached window showed when the frame was closed; empty
    // while it is open.
    QList<bool> m_visibleAtClose;

    QHash<int, QAction *> m_commands;
    QActionGroup *m_pointGroup = nullptr;
    QMenu *m_fileMenu = nullptr;
    QAction *m_recentPlaceholder = nullptr;
    QList<QAction *> m_recentFiles;
    QWidget *m_viewContainer = nullptr;
    std::function<bool(int)> m_applicationHandler;
};
