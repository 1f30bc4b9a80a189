#include "app/CMainFrame.h"

#include "app/CNumberEdit.h"
#include "app/CommandPrompts.h"
#include "app/CPercentEdit.h"
#include "app/Language.h"
#include "app/LockKeyState.h"
#include "app/SurfaceTools.h"
#include "app/ToolBarIcons.h"
#include "render/DriverPreload.h"
#include "res/Resource.h"
#include "surface/CSkimblerDoc.h"
#include "surface/ImageReader.h"
#include "app/BackgroundMenu.h"
#include "app/ScreenShapeMenu.h"
#include "app/MessageBox.h"
#include "view/CSkimblerView.h"

#include <skimbler/SurfaceFile.h>

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QToolBar>
#include <QUndoStack>
#include <QSignalBlocker>
#include <QUrl>

#include <cfloat>
#include <optional>

namespace SurfaceFile = skimbler::SurfaceFile;

using namespace Resource;

namespace {

// Commands nothing in the program handles: shown disabled.
const int UnhandledCommands[] = {
    ID_EDIT_CUT, ID_NEXT_PANE, ID_PREV_PANE,
};

constexpr int RecentFileCount = 4;

// The zoom field's percent is turned back into a factor with the float 0.01.
constexpr double PercentToZoom = static_cast<double>(0.01f);

// Field values are doubles, the zoom a float. Values beyond the float range
// would make the conversion undefined, so they stop at its edge.
float ToFloat(double value)
{
    if (value > static_cast<double>(FLT_MAX))
        return FLT_MAX;
    if (value < -static_cast<double>(FLT_MAX))
        return -FLT_MAX;
    return static_cast<float>(value);
}

} // namespace

CMainFrame::CMainFrame(CSkimblerDoc *document, Dialogs &dialogs, QWidget *parent)
    : QMainWindow(parent)
    , m_document(document)
    , m_dialogs(dialogs)
{
    setWindowTitle(QString::fromLatin1(AppTitle));
    // Drops over the tool bars land here; those over the view's own window
    // come through eventFilter.
    setAcceptDrops(true);
    // What the document and the view find wrong is heard here, in a box, as
    // it is handed up.
    if (m_document)
        connect(m_document, &CSkimblerDoc::tellUser, this, qOverload<const UserMessage &>(&MessageBox::show));
}

CMainFrame::~CMainFrame()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

int CMainFrame::OnCreate()
{
    if (m_view)
        return 0;

    // The OpenGL driver loads while the widgets are built (on a platform
    // that draws with OpenGL at all).
    const QString platform = QGuiApplication::platformName();
    std::optional<DriverPreload> driver;
    if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal"))
        driver.emplace();
    m_view = new CSkimblerView;
    connect(m_view, &CSkimblerView::tellUser, this, qOverload<const UserMessage &>(&MessageBox::show));
    m_viewContainer = QWidget::createWindowContainer(m_view, this);
    m_viewContainer->setFocusPolicy(Qt::StrongFocus);
    setCentralWidget(m_viewContainer);
    m_view->SetDocument(m_document);

    CreateCommands();
    CreateToolWindowCommands();
    FollowUndoStack();
    CreateMenus();
    CreateStandardBar();
    CreateStatusBar();
    CreateViewBar();
    CreatePointBar();
    m_tools = new SurfaceTools(this, m_dialogs);
    m_tools->setObjectName(QStringLiteral("surfaceTools"));
    AddToolBarPrompts();
    ChainToolBarFocus();
    FollowViewHover();
    WireView();

    // Each Setup takes the focus from the field before, which commits: the
    // zoom field rests at 100.0%, X and Y at 0.000000, Z keeps the focus.
    SetupField(m_zoomEdit, 100.0, 1, nullptr);
    SetupField(m_xEdit, 0.0, 6, m_zoomEdit);
    SetupField(m_yEdit, 0.0, 6, m_xEdit);
    SetupField(m_zEdit, 0.0, 6, m_yEdit);

    // The view's window and rendering context come last: while the widgets
    // above were built, the OpenGL driver they need could load beside them.
    m_view->create();
    if (m_view->OnCreate() == -1)
        return -1;

    qApp->installEventFilter(this);
    UpdateLockIndicators();
    return 0;
}

bool CMainFrame::IsButtonChecked(int commandId) const
{
    const QAction *action = CommandAction(commandId);
    return action && action->isChecked();
}

void CMainFrame::CheckButton(int commandId, bool checked)
{
    if (QAction *action = CommandAction(commandId))
        action->setChecked(checked);
}

QAction *CMainFrame::CommandAction(int commandId) const
{
    return m_commands.value(commandId, nullptr);
}

void CMainFrame::SetApplicationCommandHandler(std::function<bool(int)> handler)
{
    m_applicationHandler = std::move(handler);
}

void CMainFrame::SetRecentFiles(const QStringList &paths)
{
    if (!m_fileMenu || !m_recentPlaceholder)
        return;
    for (QAction *action : std::as_const(m_recentFiles)) {
        m_commands.remove(action->data().toInt());
        m_fileMenu->removeAction(action);
        delete action;
    }
    m_recentFiles.clear();

    const int count = int(std::min<qsizetype>(paths.size(), RecentFileCount));
    const QFontMetrics metrics(m_fileMenu->font());
    for (int index = 0; index < count; ++index) {
        const int commandId = ID_FILE_MRU_FILE1 + index;
        QString name = QDir::toNativeSeparators(paths.at(index));
        name = metrics.elidedText(name, Qt::ElideMiddle, metrics.horizontalAdvance(QLatin1Char('M')) * 40);
        name.replace(QLatin1Char('&'), QLatin1String("&&"));
        auto *action = new QAction(QStringLiteral("&%1 %2").arg(index + 1).arg(name), this);
        action->setData(commandId);
        action->setStatusTip(tr("開啟這份文件"));
        connect(action, &QAction::triggered, this, [this, commandId] { OnCommand(commandId); });
        m_fileMenu->insertAction(m_recentPlaceholder, action);
        m_recentFiles.append(action);
        m_commands.insert(commandId, action);
    }
    m_recentPlaceholder->setVisible(count == 0);
    if (count == 0)
        m_commands.insert(ID_FILE_MRU_FILE1, m_recentPlaceholder);
}

bool CMainFrame::OnCommand(int commandId)
{
    if (OnToolWindowCommand(commandId))
        return true;
    if (commandId == ID_VIEW_TOOLBAR || commandId == ID_VIEW_VIEWBAR) {
        if (QToolBar *bar = commandId == ID_VIEW_TOOLBAR ? m_standardBar : m_viewBar)
            bar->setVisible(IsButtonChecked(commandId));
        return true;
    }
    // The view's modes follow their buttons, so the two never disagree.
    if (commandId == ID_SHOW_AXES && m_view) {
        m_view->SetShowAxes(IsButtonChecked(commandId));
        return true;
    }
    if (commandId == ID_SHOW_HANDLES && m_view) {
        m_view->SetShowHandles(IsButtonChecked(commandId));
        return true;
    }
    if (commandId == ID_VIEW_STATUS_BAR) {
        m_statusBar->setVisible(IsButtonChecked(ID_VIEW_STATUS_BAR));
        return true;
    }
    if ((commandId == ID_EDIT_UNDO || commandId == ID_EDIT_REDO) && m_document) {
        if (commandId == ID_EDIT_UNDO)
            m_document->UndoStack()->undo();
        else
            m_document->UndoStack()->redo();
        return true;
    }
    if (m_tools && m_tools->OnCommand(commandId))
        return true;
    if (m_applicationHandler && m_applicationHandler(commandId))
        return true;
    if (m_view && m_view->OnCommand(commandId))
        return true;
    if (commandId == ID_APP_EXIT) {
        close();
        return true;
    }
    return false;
}

bool CMainFrame::eventFilter(QObject *watched, QEvent *event)
{
    // The view is a window of its own: Qt hands drags over it to that
    // window, not to its container, so they are taken here as over the bars.
    if (watched == m_view) {
        switch (event->type()) {
        case QEvent::DragEnter:
            dragEnterEvent(static_cast<QDragEnterEvent *>(event));
            return true;
        case QEvent::DragMove:
            dragMoveEvent(static_cast<QDragMoveEvent *>(event));
            return true;
        case QEvent::DragLeave:
            return true;
        case QEvent::Drop:
            dropEvent(static_cast<QDropEvent *>(event));
            return true;
        default:
            break;
        }
    }
    switch (event->type()) {
    case QEvent::KeyRelease: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock)
            UpdateLockIndicators();
        break;
    }
    case QEvent::ApplicationActivate:
        // Another program may have switched a lock meanwhile.
        UpdateLockIndicators();
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::FollowUndoStack()
{
    if (!m_document)
        return;
    QUndoStack *stack = m_document->UndoStack();
    QAction *undo = CommandAction(ID_EDIT_UNDO);
    QAction *redo = CommandAction(ID_EDIT_REDO);
    // The entries name what they would take back or do again.
    // The whole entry is one text, so each language puts its mnemonic where
    // it belongs ("復原 X(&U)", "&Undo X").
    const auto what = [](const QString &text) { return text.isEmpty() ? text : QLatin1Char(' ') + text; };
    const auto refresh = [=] {
        undo->setEnabled(stack->canUndo());
        redo->setEnabled(stack->canRedo());
        undo->setText(tr("復原%1(&U)").arg(what(stack->undoText())));
        redo->setText(tr("取消復原%1(&R)").arg(what(stack->redoText())));
    };
    // Every push, merge, undo, redo or clear moves the index (a merge
    // announces it too), and the texts only change with it: one refresh per
    // step, not one per signal of a drag's merged push.
    connect(stack, &QUndoStack::indexChanged, this, refresh);
    refresh();
}

QString CMainFrame::DroppedFile(const QMimeData *data)
{
    if (!data || !data->hasUrls())
        return QString();
    for (const QUrl &url : data->urls()) {
        const QString path = url.toLocalFile();
        if (path.isEmpty() || !QFileInfo(path).isFile())
            continue;
        const bool surfaceFile = QFileInfo(path).suffix().compare(QString::fromLatin1(SurfaceFile::Extension),
                                                                 Qt::CaseInsensitive) == 0;
        if (surfaceFile || ImageReader::IsImageFile(path))
            return path;
    }
    return QString();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent *event)
{
    if (!DroppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CMainFrame::dragMoveEvent(QDragMoveEvent *event)
{
    if (!DroppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent *event)
{
    const QString path = DroppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // Shift held: the image goes under the surface's settings instead.
    const bool replace = (event->modifiers() & Qt::ShiftModifier) && ImageReader::IsImageFile(path);
    QMetaObject::invokeMethod(
        this,
        [this, path, replace] {
            if (replace)
                Q_EMIT imageDropped(path);
            else
                Q_EMIT fileDropped(path);
        },
        Qt::QueuedConnection);
}

QMenu *CMainFrame::createPopupMenu()
{
    return nullptr;
}

QAction *CMainFrame::AddCommand(int commandId, const QString &text)
{
    auto *action = new QAction(text, this);
    action->setData(commandId);
    action->setIcon(ToolBarIcons::Icon(commandId));
    action->setIconVisibleInMenu(false);
    if (const CommandPrompt *prompt = CommandPrompts::Find(commandId)) {
        action->setStatusTip(CommandPrompts::Status(*prompt));
        action->setToolTip(CommandPrompts::Tip(*prompt));
    }
    // Added to the frame so that its shortcut works wherever the focus is
    // in the main window.
    addAction(action);
    connect(action, &QAction::triggered, this, [this, commandId] { OnCommand(commandId); });
    m_commands.insert(commandId, action);
    return action;
}

void CMainFrame::CreateCommands()
{
    AddCommand(ID_FILE_NEW, tr("開新檔案(&N)"))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    AddCommand(ID_FILE_OPEN, tr("開啟舊檔(&O)..."))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    AddCommand(ID_FILE_REPLACE_IMAGE, tr("取代影像(&I)..."));
    AddCommand(ID_FILE_SAVE, tr("儲存檔案(&S)"))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    AddCommand(ID_FILE_SAVE_AS, tr("另存新檔(&A)..."))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    AddCommand(ID_FILE_PRINT, tr("列印(&P)..."))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    AddCommand(ID_FILE_PRINT_PREVIEW, tr("預覽列印(&V)"));
    AddCommand(ID_FILE_PRINT_SETUP, tr("列印設定(&R)..."));
    m_recentPlaceholder = AddCommand(ID_FILE_MRU_FILE1, tr("最近使用的檔案"));
    m_recentPlaceholder->setEnabled(false);
    AddCommand(ID_APP_EXIT, tr("結束(&X)"))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    AddCommand(ID_EDIT_UNDO, tr("復原(&U)"))
        ->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)});
    AddCommand(ID_EDIT_REDO, tr("取消復原(&R)"))
        ->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    // Undo and redo work from the tool windows too.
    for (int commandId : {ID_EDIT_UNDO, ID_EDIT_REDO})
        CommandAction(commandId)->setShortcutContext(Qt::ApplicationShortcut);
    AddCommand(ID_EDIT_CUT, tr("剪下(&T)"))
        ->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)});
    AddCommand(ID_EDIT_COPY, tr("複製(&C)"))
        ->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)});
    AddCommand(ID_EDIT_PASTE, tr("貼上(&P)"))
        ->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)});
    AddCommand(ID_NEXT_PANE)->setShortcut(QKeySequence(Qt::Key_F6));
    AddCommand(ID_PREV_PANE)->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6));

    QAction *toolBar = AddCommand(ID_VIEW_TOOLBAR, tr("工具列(&T)"));
    toolBar->setCheckable(true);
    toolBar->setChecked(true);
    QAction *statusBarToggle = AddCommand(ID_VIEW_STATUS_BAR, tr("狀態列(&S)"));
    statusBarToggle->setCheckable(true);
    statusBarToggle->setChecked(true);
    QAction *viewBar = AddCommand(ID_VIEW_VIEWBAR, tr("檢視列(&V)"));
    viewBar->setCheckable(true);
    viewBar->setChecked(true);

    AddCommand(ID_APP_ABOUT, tr("關於 Skimbler(&A)..."));
    AddCommand(ID_HELP_GUIDE, tr("使用者指南(&G)"))->setShortcut(QKeySequence(Qt::Key_F1));

    AddCommand(ID_FILE_EXPORT_IMAGE, tr("匯出影像(&E)..."));
    AddCommand(ID_PIXEL_PROBE, tr("像素探針(&I)"))->setCheckable(true);
    AddCommand(ID_PERSPECTIVE_TEXTURE, tr("透視校正貼圖(&E)"))->setCheckable(true);
    AddCommand(ID_EDIT_COPY_SHADER, tr("Copy as shader code"));

    // Shows the whole quad; Home, as "back to where everything is".
    AddCommand(ID_VIEW_FIT, tr("調整至視窗大小(&W)"))->setShortcut(QKeySequence(Qt::Key_Home));

    // View bar: two check boxes and three push buttons.
    for (int commandId : {ID_SHOW_AXES, ID_SHOW_HANDLES}) {
        QAction *action = AddCommand(commandId);
        action->setCheckable(true);
        action->setChecked(true);
    }
    AddCommand(ID_ZOOM_IN);
    AddCommand(ID_ZOOM_OUT);
    AddCommand(ID_ZOOM_100);

    // Point bar: the reset button and the group of five.
    AddCommand(ID_POINT_FULL);
    m_pointGroup = new QActionGroup(this);
    m_pointGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    for (int commandId : {ID_POINT_NONE, ID_POINT_0, ID_POINT_1, ID_POINT_2, ID_POINT_3}) {
        QAction *action = AddCommand(commandId);
        action->setCheckable(true);
        m_pointGroup->addAction(action);
    }
    CheckButton(ID_POINT_NONE, true);

    for (int commandId : UnhandledCommands)
        CommandAction(commandId)->setEnabled(false);
}

void CMainFrame::CreateMenus()
{
    QMenuBar *bar = menuBar();

    m_fileMenu = bar->addMenu(tr("檔案(&F)"));
    for (int commandId : {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_REPLACE_IMAGE, ID_FILE_SAVE, ID_FILE_SAVE_AS})
        m_fileMenu->addAction(CommandAction(commandId));
    m_fileMenu->addAction(CommandAction(ID_FILE_EXPORT_IMAGE));
    m_fileMenu->addSeparator();
    for (int commandId : {ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW, ID_FILE_PRINT_SETUP})
        m_fileMenu->addAction(CommandAction(commandId));
    m_fileMenu->addSeparator();
    m_fileMenu->addAction(m_recentPlaceholder);
    m_fileMenu->addSeparator();
    m_fileMenu->addAction(CommandAction(ID_APP_EXIT));

    QMenu *edit = bar->addMenu(tr("編輯(&E)"));
    edit->addAction(CommandAction(ID_EDIT_UNDO));
    edit->addAction(CommandAction(ID_EDIT_REDO));
    edit->addSeparator();
    for (int commandId : {ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_COPY_SHADER, ID_EDIT_PASTE})
        edit->addAction(CommandAction(commandId));

    QMenu *view = bar->addMenu(tr("檢視(&V)"));
    view->addAction(CommandAction(ID_VIEW_TOOLBAR));
    view->addAction(CommandAction(ID_VIEW_STATUS_BAR));
    view->addSeparator();
    view->addAction(CommandAction(ID_VIEW_VIEWBAR));
    AddToolWindowEntries(view);
    view->addSeparator();
    view->addAction(CommandAction(ID_PIXEL_PROBE));
    view->addAction(CommandAction(ID_PERSPECTIVE_TEXTURE));
    view->addSeparator();
    view->addMenu(ScreenShapeMenu::Create(m_view, this));
    view->addMenu(BackgroundMenu::Create(m_view, this));
    view->addAction(CommandAction(ID_VIEW_FIT));

    QMenu *help = bar->addMenu(tr("說明(&H)"));
    help->addAction(CommandAction(ID_HELP_GUIDE));
    help->addSeparator();
    help->addAction(CommandAction(ID_APP_ABOUT));
    help->addSeparator();
    AddLanguageMenu(help);
}

void CMainFrame::AddLanguageMenu(QMenu *parent)
{
    // In both languages at once, whatever language is shown, so that anyone
    // finds the way to the other one.
    QMenu *menu = parent->addMenu(QStringLiteral("&Language / 語言"));
    menu->setObjectName(QStringLiteral("languageMenu"));
    auto *group = new QActionGroup(menu);
    const Language::Choice saved = Language::Saved();
    // Each language names itself, so it can be found whatever is shown.
    const struct {
        Language::Choice choice;
        QString text;
        const char *name;
    } entries[] = {
        {Language::System, tr("系統預設(&S)"), "languageSystem"},
        {Language::English, QStringLiteral("English"), "languageEnglish"},
        {Language::Chinese, QStringLiteral("中文"), "languageChinese"},
    };
    for (const auto &entry : entries) {
        QAction *action = menu->addAction(entry.text);
        action->setObjectName(QString::fromLatin1(entry.name));
        action->setCheckable(true);
        action->setChecked(entry.choice == saved);
        group->addAction(action);
        const Language::Choice choice = entry.choice;
        connect(action, &QAction::triggered, this, [choice] {
            if (choice == Language::Saved())
                return;
            Language::Save(choice);
            // Menus, tool tips and panels are built once; a restart shows
            // them all in the new language rather than half of them.
            MessageBox::show(tr("新的語言將在下次啟動 Skimbler 時套用。"), QStringLiteral("Skimbler"),
                             MessageBox::Information);
        });
    }
}

QToolBar *CMainFrame::CreateToolBar(const QString &name)
{
    auto *bar = new QToolBar(this);
    bar->setObjectName(name);
    bar->setMovable(true);
    bar->setFloatable(true);
    bar->setAllowedAreas(Qt::AllToolBarAreas);
    bar->setIconSize(QSize(16, 16));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    addToolBar(Qt::TopToolBarArea, bar);
    return bar;
}

void CMainFrame::CreateStandardBar()
{
    m_standardBar = CreateToolBar(QStringLiteral("standardBar"));
    for (int commandId : {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE})
        m_standardBar->addAction(CommandAction(commandId));
    m_standardBar->addSeparator();
    for (int commandId : {ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE})
        m_standardBar->addAction(CommandAction(commandId));
    m_standardBar->addSeparator();
    for (int commandId : {ID_EDIT_UNDO, ID_EDIT_REDO})
        m_standardBar->addAction(CommandAction(commandId));
    m_standardBar->addSeparator();
    m_standardBar->addAction(CommandAction(ID_FILE_PRINT));
    m_standardBar->addSeparator();
    m_standardBar->addAction(CommandAction(ID_APP_ABOUT));

    // The View menu's check follows the bar, however it was hidden.
    QAction *toggle = CommandAction(ID_VIEW_TOOLBAR);
    connect(m_standardBar, &QToolBar::visibilityChanged, toggle, [this, toggle](bool) {
        toggle->setChecked(!m_standardBar->isHidden());
    });
}

void CMainFrame::CreateStatusBar()
{
    m_statusBar = statusBar();
    QStatusBar *bar = m_statusBar;
    m_messagePane = new QLabel(CommandPrompts::IdleText(), bar);
    m_messagePane->setObjectName(QStringLiteral("messagePane"));
    bar->addWidget(m_messagePane, 1);

    const auto indicator = [bar](const QString &text) {
        auto *label = new QLabel(text, bar);
        label->setObjectName(text + QStringLiteral("Indicator"));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setAlignment(Qt::AlignCenter);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 12);
        bar->addPermanentWidget(label);
        return label;
    };
    m_capsIndicator = indicator(QStringLiteral("CAP"));
    m_numIndicator = indicator(QStringLiteral("NUM"));
    m_scrollIndicator = indicator(QStringLiteral("SCRL"));
}

void CMainFrame::CreateViewBar()
{
    m_viewBar = CreateToolBar(QStringLiteral("viewBar"));
    for (int commandId : {ID_SHOW_AXES, ID_SHOW_HANDLES, ID_ZOOM_IN, ID_ZOOM_OUT, ID_ZOOM_100})
        m_viewBar->addAction(CommandAction(commandId));
    m_viewBar->addAction(CommandAction(ID_PIXEL_PROBE));

    m_zoomEdit = new CPercentEdit;
    m_zoomEdit->setObjectName(QStringLiteral("zoomEdit"));
    CreateFieldSlot(m_viewBar, m_zoomEdit, 80, 5);
    ConnectField(m_zoomEdit, IDC_ZOOM_EDIT);
    // The View menu's check follows the bar, however it was hidden.
    QAction *viewToggle = CommandAction(ID_VIEW_VIEWBAR);
    connect(m_viewBar, &QToolBar::visibilityChanged, viewToggle, [this, viewToggle](bool) {
        viewToggle->setChecked(!m_viewBar->isHidden());
    });
}

void CMainFrame::CreatePointBar()
{
    m_pointBar = CreateToolBar(QStringLiteral("pointBar"));
    m_pointBar->addAction(CommandAction(ID_POINT_FULL));
    m_pointBar->addSeparator();
    for (int commandId : {ID_POINT_NONE, ID_POINT_0, ID_POINT_1, ID_POINT_2, ID_POINT_3})
        m_pointBar->addAction(CommandAction(commandId));

    m_xLabel = CreateLabel(m_pointBar, QStringLiteral(" X : "), 30, 2);
    m_xLabel->setObjectName(QStringLiteral("xLabel"));
    m_xEdit = new CNumberEdit;
    m_xEdit->setObjectName(QStringLiteral("xEdit"));
    CreateFieldSlot(m_pointBar, m_xEdit, 100, 0);
    ConnectField(m_xEdit, IDC_X_EDIT);

    m_yLabel = CreateLabel(m_pointBar, QStringLiteral(" Y : "), 30, 2);
    m_yLabel->setObjectName(QStringLiteral("yLabel"));
    m_yEdit = new CNumberEdit;
    m_yEdit->setObjectName(QStringLiteral("yEdit"));
    CreateFieldSlot(m_pointBar, m_yEdit, 100, 0);
    ConnectField(m_yEdit, IDC_Y_EDIT);

    m_zLabel = CreateLabel(m_pointBar, QStringLiteral(" Z : "), 30, 0);
    m_zLabel->setObjectName(QStringLiteral("zLabel"));
    m_zEdit = new CNumberEdit;
    m_zEdit->setObjectName(QStringLiteral("zEdit"));
    CreateFieldSlot(m_pointBar, m_zEdit, 100, 0);
    ConnectField(m_zEdit, IDC_Z_EDIT);
}

QWidget *CMainFrame::CreateFieldSlot(QToolBar *bar, CNumberEdit *field, int width, int sideMargin)
{
    auto *slot = new QWidget(bar);
    slot->setFixedWidth(width);
    auto *layout = new QHBoxLayout(slot);
    layout->setContentsMargins(sideMargin, 2, sideMargin, 2);
    layout->setSpacing(0);
    field->setParent(slot);
    field->setAlignment(Qt::AlignCenter);
    layout->addWidget(field);
    bar->addWidget(slot);
    return slot;
}

QLabel *CMainFrame::CreateLabel(QToolBar *bar, const QString &text, int width, int topMargin)
{
    auto *label = new QLabel(text, bar);
    label->setFixedWidth(width);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    label->setContentsMargins(0, topMargin, 0, 0);
    bar->addWidget(label);
    return label;
}

void CMainFrame::ConnectField(CNumberEdit *field, int controlId)
{
    // A field's text changes when it commits (and when the frame shows the
    // view's values, with its signals blocked: nothing comes back).
    connect(field, &QLineEdit::textChanged, this, [this, field, controlId] {
        if (!m_view)
            return;
        if (controlId == IDC_ZOOM_EDIT) {
            const float typed = ToFloat(field->GetValue() * PercentToZoom);
            m_view->SetZoom(typed);
            // A value out of range shows the zoom in force instead.
            ShowZoom(m_view->Zoom());
            return;
        }
        m_view->SetSelectedCoordinate(controlId - IDC_X_EDIT, field->GetValue());
    });
}

void CMainFrame::WireView()
{
    connect(m_view, &CSkimblerView::selectedPointChanged, this,
            [this](int point) { CheckButton(CSkimblerView::PointCommand(point), true); });
    connect(m_view, &CSkimblerView::zoomChanged, this, &CMainFrame::ShowZoom);
    connect(m_view, &CSkimblerView::coordinatesChanged, this,
            [this](int, double x, double y, double z) { ShowCoordinates(x, y, z); });
    connect(m_view, &CSkimblerView::commitRequested, this, &CMainFrame::CommitPendingFields);
}

void CMainFrame::ShowZoom(float zoom)
{
    if (!m_zoomEdit || ToFloat(m_zoomEdit->GetValue() * PercentToZoom) == zoom)
        return;
    const QSignalBlocker quiet(m_zoomEdit);
    m_zoomEdit->SetValue(static_cast<double>(zoom) * 100.0);
}

void CMainFrame::ShowCoordinates(double x, double y, double z)
{
    const double values[3] = {x, y, z};
    CNumberEdit *fields[3] = {m_xEdit, m_yEdit, m_zEdit};
    for (int axis = 0; axis < 3; ++axis) {
        // Typing not yet committed is the user's; a redraw must not eat it.
        if (!fields[axis] || fields[axis]->HasPendingText())
            continue;
        // A drag moves one or two of the three; the others keep their text.
        if (fields[axis]->GetValue() == values[axis])
            continue;
        const QSignalBlocker quiet(fields[axis]);
        fields[axis]->SetValue(values[axis]);
    }
}

void CMainFrame::CommitPendingFields()
{
    for (CNumberEdit *field : {m_xEdit, m_yEdit, m_zEdit}) {
        if (field && field->HasPendingText())
            field->Commit();
    }
}

void CMainFrame::SetupField(CNumberEdit *field, double value, int decimals, CNumberEdit *previous)
{
    const bool previousHadFocus = previous && previous->hasFocus();
    field->Setup(value, decimals);
    // With focus the move itself made the previous field commit.
    if (previous && !previousHadFocus)
        previous->OnKillFocus();
}

void CMainFrame::UpdateLockIndicators()
{
    const struct
    {
        QLabel *label;
        LockKeyState::Key key;
    } indicators[] = {
        {m_capsIndicator, LockKeyState::CapsLock},
        {m_numIndicator, LockKeyState::NumLock},
        {m_scrollIndicator, LockKeyState::ScrollLock},
    };
    for (const auto &indicator : indicators) {
        if (!indicator.label)
            continue;
        bool on = true;
        // Unknown states leave the indicator shown.
        if (!LockKeyState::Query(indicator.key, &on))
            on = true;
        indicator.label->setEnabled(on);
    }
}
