#include "common/FrameWidgets.h"
#include "common/MessageBoxRecorder.h"
#include "common/ScriptedDialogs.h"
#include "app/CMainFrame.h"
#include "app/CNumberEdit.h"
#include "app/CPercentEdit.h"
#include "res/Resource.h"
#include "surface/CSkimblerDoc.h"
#include "view/CSkimblerView.h"

#include <QAction>
#include <QApplication>
#include <QRegularExpression>
#include <QSet>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <memory>

using namespace Resource;

namespace {

// A frame on a document, with a recording application handler.
struct FrameFixture
{
    CSkimblerDoc document;
    std::unique_ptr<CMainFrame> frame;
    QList<int> applicationCommands;
    bool applicationAnswer = true;
    int created = -2;

    FrameFixture()
    {
        frame = std::make_unique<CMainFrame>(&document, CancelledDialogs());
        created = frame->OnCreate();
        frame->SetApplicationCommandHandler([this](int id) {
            applicationCommands.append(id);
            return applicationAnswer;
        });
    }
    ~FrameFixture()
    {
        frame.reset();
    }
    bool Show()
    {
        // Wide enough for the three bars in one row.
        frame->resize(1200, 700);
        frame->show();
        frame->activateWindow();
        return QTest::qWaitForWindowActive(frame.get());
    }
    // The standard, view and point bars, left to right.
    QList<QToolBar *> Bars() const { return {FrameWidget<QToolBar>(frame, "standardBar"), FrameWidget<QToolBar>(frame, "viewBar"), FrameWidget<QToolBar>(frame, "pointBar")}; }
    // Command ids of a bar's items; 0 for a separator, -1 for a widget.
    QList<int> Items(QToolBar *bar) const
    {
        QList<int> ids;
        for (QAction *action : bar->actions()) {
            if (action->isSeparator())
                ids.append(0);
            else if (bar->widgetForAction(action) && !qobject_cast<QToolButton *>(bar->widgetForAction(action)))
                ids.append(-1);
            else
                ids.append(action->data().toInt());
        }
        return ids;
    }
};

} // namespace

class TestMainFrame : public QObject
{
    Q_OBJECT

private slots:
    void stateAfterCreation();
    void toolBarsShareTheTopRow();
    void toolBarItemsInOrder();
    void fieldsSitInTheirSlots();
    void statusBarPanes();
    void pointGroupIsExclusive_data();
    void pointGroupIsExclusive();
    void barTogglesHideOnlyTheirBar_data();
    void barTogglesHideOnlyTheirBar();
    void statusBarToggle();
    void commandEnabling_data();
    void commandEnabling();
    void accelerators_data();
    void accelerators();
    void shortcutsWorkWhereverTheFocusIs();
    void commandsReachTheApplicationThenTheView();
    void exitClosesWithoutApplication();
    void handedUpMessagesAreShownInABox_data();
    void handedUpMessagesAreShownInABox();
    void fieldNotificationReachesTheView();
    void recentFiles();
    void menuTexts();
    void hoveredButtonsExplainThemselves();
    void commandSaysTheSameInMenuAndBar_data();
    void commandSaysTheSameInMenuAndBar();
    void toolBarsWrapInANarrowWindow();
};

void TestMainFrame::stateAfterCreation()
{
    FrameFixture fixture;
    QCOMPARE(fixture.created, 0);
    CMainFrame *frame = fixture.frame.get();
    QVERIFY(frame->GetActiveView());
    QCOMPARE(frame->GetActiveDocument(), &fixture.document);

    // Before the window is shown, as after: the fields rest in their
    // canonical texts.
    QCOMPARE(FrameWidget<CPercentEdit>(frame, "zoomEdit")->text(), QStringLiteral("100.0%"));
    QCOMPARE(FrameWidget<CNumberEdit>(frame, "xEdit")->text(), QStringLiteral("0.000000"));
    QCOMPARE(FrameWidget<CNumberEdit>(frame, "yEdit")->text(), QStringLiteral("0.000000"));
    QCOMPARE(FrameWidget<CNumberEdit>(frame, "zEdit")->text(), QStringLiteral("0.000000"));

    QVERIFY(fixture.Show());
    QTRY_VERIFY(FrameWidget<CNumberEdit>(frame, "zEdit")->hasFocus());
    QCOMPARE(FrameWidget<CPercentEdit>(frame, "zoomEdit")->text(), QStringLiteral("100.0%"));
    QCOMPARE(FrameWidget<CPercentEdit>(frame, "zoomEdit")->GetValue(), 100.0);
    QCOMPARE(FrameWidget<CNumberEdit>(frame, "xEdit")->text(), QStringLiteral("0.000000"));
    QCOMPARE(FrameWidget<CNumberEdit>(frame, "yEdit")->text(), QStringLiteral("0.000000"));
    QCOMPARE(FrameWidget<CNumberEdit>(frame, "zEdit")->text(), QStringLiteral("0.000000"));
    QCOMPARE(FrameWidget<CNumberEdit>(frame, "zEdit")->m_decimals, 6);
    QCOMPARE(FrameWidget<CPercentEdit>(frame, "zoomEdit")->m_decimals, 1);

    QVERIFY(frame->IsButtonChecked(ID_SHOW_AXES));
    QVERIFY(frame->IsButtonChecked(ID_SHOW_HANDLES));
    QVERIFY(frame->IsButtonChecked(ID_POINT_NONE));
    for (int id : {ID_POINT_0, ID_POINT_1, ID_POINT_2, ID_POINT_3})
        QVERIFY(!frame->IsButtonChecked(id));
}

void TestMainFrame::toolBarsShareTheTopRow()
{
    FrameFixture fixture;
    QVERIFY(fixture.Show());
    CMainFrame *frame = fixture.frame.get();
    for (QToolBar *bar : fixture.Bars()) {
        QCOMPARE(frame->toolBarArea(bar), Qt::TopToolBarArea);
        QVERIFY(!frame->toolBarBreak(bar));
        QVERIFY(bar->isMovable());
        QVERIFY(bar->isFloatable());
        QCOMPARE(bar->allowedAreas(), Qt::AllToolBarAreas);
        QVERIFY(bar->isVisible());
    }
    QCOMPARE(FrameWidget<QToolBar>(frame, "viewBar")->y(), FrameWidget<QToolBar>(frame, "standardBar")->y());
    QCOMPARE(FrameWidget<QToolBar>(frame, "pointBar")->y(), FrameWidget<QToolBar>(frame, "standardBar")->y());
    QVERIFY(FrameWidget<QToolBar>(frame, "standardBar")->x() < FrameWidget<QToolBar>(frame, "viewBar")->x());
    QVERIFY(FrameWidget<QToolBar>(frame, "viewBar")->x() < FrameWidget<QToolBar>(frame, "pointBar")->x());
    QVERIFY(FrameWidget<QToolBar>(frame, "standardBar")->geometry().right() < FrameWidget<QToolBar>(frame, "viewBar")->x());
    QVERIFY(FrameWidget<QToolBar>(frame, "viewBar")->geometry().right() < FrameWidget<QToolBar>(frame, "pointBar")->x());
    // The view fills the rest, below the bars.
    QVERIFY(frame->centralWidget()->y() >= FrameWidget<QToolBar>(frame, "standardBar")->geometry().bottom());
}

void TestMainFrame::toolBarItemsInOrder()
{
    FrameFixture fixture;
    CMainFrame *frame = fixture.frame.get();
    QCOMPARE(fixture.Items(FrameWidget<QToolBar>(frame, "standardBar")),
             (QList<int>{ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, 0, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, 0,
                         ID_EDIT_UNDO, ID_EDIT_REDO, 0, ID_FILE_PRINT, 0, ID_APP_ABOUT}));
    QCOMPARE(fixture.Items(FrameWidget<QToolBar>(frame, "viewBar")),
             (QList<int>{ID_SHOW_AXES, ID_SHOW_HANDLES, ID_ZOOM_IN, ID_ZOOM_OUT, ID_ZOOM_100, ID_PIXEL_PROBE, -1}));
    QCOMPARE(fixture.Items(FrameWidget<QToolBar>(frame, "pointBar")),
             (QList<int>{ID_POINT_FULL, 0, ID_POINT_NONE, ID_POINT_0, ID_POINT_1, ID_POINT_2, ID_POINT_3, -1, -1, -1,
                         -1, -1, -1}));
    // Every button shows a picture.
    for (QToolBar *bar : fixture.Bars()) {
        for (QAction *action : bar->actions()) {
            if (!action->isSeparator() && qobject_cast<QToolButton *>(bar->widgetForAction(action)))
                QVERIFY2(!action->icon().isNull(), qPrintable(QString::number(action->data().toInt())));
        }
    }
}

void TestMainFrame::fieldsSitInTheirSlots()
{
    FrameFixture fixture;
    QVERIFY(fixture.Show());
    CMainFrame *frame = fixture.frame.get();

    const auto slotOf = [](QWidget *field) { return field->parentWidget(); };
    QCOMPARE(slotOf(FrameWidget<CPercentEdit>(frame, "zoomEdit"))->parentWidget(), FrameWidget<QToolBar>(frame, "viewBar"));
    QCOMPARE(slotOf(FrameWidget<CPercentEdit>(frame, "zoomEdit"))->width(), 80);
    for (CNumberEdit *field : {FrameWidget<CNumberEdit>(frame, "xEdit"), FrameWidget<CNumberEdit>(frame, "yEdit"), FrameWidget<CNumberEdit>(frame, "zEdit")}) {
        QCOMPARE(slotOf(field)->parentWidget(), FrameWidget<QToolBar>(frame, "pointBar"));
        QCOMPARE(slotOf(field)->width(), 100);
    }
    for (QLabel *label : {FrameWidget<QLabel>(frame, "xLabel"), FrameWidget<QLabel>(frame, "yLabel"), FrameWidget<QLabel>(frame, "zLabel")}) {
        QCOMPARE(label->parentWidget(), FrameWidget<QToolBar>(frame, "pointBar"));
        QCOMPARE(label->width(), 30);
    }
    QCOMPARE(FrameWidget<QLabel>(frame, "xLabel")->text(), QStringLiteral(" X : "));
    QCOMPARE(FrameWidget<QLabel>(frame, "yLabel")->text(), QStringLiteral(" Y : "));
    QCOMPARE(FrameWidget<QLabel>(frame, "zLabel")->text(), QStringLiteral(" Z : "));

    for (QWidget *field : {static_cast<QWidget *>(FrameWidget<CPercentEdit>(frame, "zoomEdit")), static_cast<QWidget *>(FrameWidget<CNumberEdit>(frame, "xEdit"))}) {
        const QRect inSlot = field->geometry();
        QVERIFY(QRect(QPoint(0, 0), slotOf(field)->size()).contains(inSlot));
        QVERIFY(field->width() > 40);
        QVERIFY(field->isVisible());
    }
    // Left to right along the point bar: label, field, label, field ...
    QWidget *order[] = {FrameWidget<QLabel>(frame, "xLabel"), slotOf(FrameWidget<CNumberEdit>(frame, "xEdit")), FrameWidget<QLabel>(frame, "yLabel"), slotOf(FrameWidget<CNumberEdit>(frame, "yEdit")),
                        FrameWidget<QLabel>(frame, "zLabel"), slotOf(FrameWidget<CNumberEdit>(frame, "zEdit"))};
    for (int i = 1; i < 6; ++i)
        QVERIFY(order[i - 1]->x() < order[i]->x());
}

void TestMainFrame::statusBarPanes()
{
    FrameFixture fixture;
    QVERIFY(fixture.Show());
    CMainFrame *frame = fixture.frame.get();
    QVERIFY(frame->statusBar()->isVisible());
    QCOMPARE(FrameWidget<QLabel>(frame, "messagePane")->text(), QString::fromUtf8("就緒"));
    QLabel *panes[] = {FrameWidget<QLabel>(frame, "messagePane"), FrameWidget<QLabel>(frame, "CAPIndicator"), FrameWidget<QLabel>(frame, "NUMIndicator"), FrameWidget<QLabel>(frame, "SCRLIndicator")};
    const QString texts[] = {QString::fromUtf8("就緒"), QStringLiteral("CAP"), QStringLiteral("NUM"),
                             QStringLiteral("SCRL")};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(panes[i]->text(), texts[i]);
        QVERIFY(panes[i]->isVisible());
        if (i > 0)
            QVERIFY(panes[i - 1]->mapTo(frame, QPoint(0, 0)).x() < panes[i]->mapTo(frame, QPoint(0, 0)).x());
    }
    // A status prompt overlays the idle text for a while, then it returns.
    frame->statusBar()->showMessage(QStringLiteral("prompt"));
    QVERIFY(!FrameWidget<QLabel>(frame, "messagePane")->isVisible());
    frame->statusBar()->clearMessage();
    QVERIFY(FrameWidget<QLabel>(frame, "messagePane")->isVisible());
}

void TestMainFrame::pointGroupIsExclusive_data()
{
    QTest::addColumn<int>("commandId");
    QTest::addColumn<bool>("byTheView");
    for (int id : {ID_POINT_0, ID_POINT_1, ID_POINT_2, ID_POINT_3, ID_POINT_NONE}) {
        QTest::newRow(qPrintable(QStringLiteral("click %1").arg(id))) << id << false;
        QTest::newRow(qPrintable(QStringLiteral("view %1").arg(id))) << id << true;
    }
}

void TestMainFrame::pointGroupIsExclusive()
{
    QFETCH(int, commandId);
    QFETCH(bool, byTheView);
    FrameFixture fixture;
    CMainFrame *frame = fixture.frame.get();
    // Start from another point so that every row changes something.
    frame->CheckButton(commandId == ID_POINT_2 ? ID_POINT_3 : ID_POINT_2, true);
    if (byTheView)
        frame->CheckButton(commandId, true);
    else
        frame->CommandAction(commandId)->trigger();
    for (int id : {ID_POINT_NONE, ID_POINT_0, ID_POINT_1, ID_POINT_2, ID_POINT_3})
        QCOMPARE(frame->IsButtonChecked(id), id == commandId);
    // Clicking the pressed one keeps it pressed.
    frame->CommandAction(commandId)->trigger();
    QVERIFY(frame->IsButtonChecked(commandId));
}

void TestMainFrame::barTogglesHideOnlyTheirBar_data()
{
    QTest::addColumn<int>("commandId");
    QTest::newRow("tool bar") << ID_VIEW_TOOLBAR;
    QTest::newRow("view bar") << ID_VIEW_VIEWBAR;
}

void TestMainFrame::barTogglesHideOnlyTheirBar()
{
    QFETCH(int, commandId);
    FrameFixture fixture;
    QVERIFY(fixture.Show());
    CMainFrame *frame = fixture.frame.get();
    QAction *toggle = frame->CommandAction(commandId);
    QToolBar *bar = commandId == ID_VIEW_TOOLBAR ? FrameWidget<QToolBar>(frame, "standardBar") : FrameWidget<QToolBar>(frame, "viewBar");
    QVERIFY(toggle->isCheckable());
    QVERIFY(toggle->isEnabled());
    QVERIFY(toggle->isChecked());

    toggle->trigger();
    for (QToolBar *each : {FrameWidget<QToolBar>(frame, "standardBar"), FrameWidget<QToolBar>(frame, "viewBar"), FrameWidget<QToolBar>(frame, "pointBar")})
        QCOMPARE(each->isVisible(), each != bar);
    QVERIFY(!toggle->isChecked());

    toggle->trigger();
    QVERIFY(bar->isVisible());
    QVERIFY(toggle->isChecked());
    QCOMPARE(frame->toolBarArea(bar), Qt::TopToolBarArea);
    QVERIFY(FrameWidget<QToolBar>(frame, "standardBar")->x() < FrameWidget<QToolBar>(frame, "viewBar")->x());

    // Hidden some other way, the menu check follows.
    bar->hide();
    QVERIFY(!toggle->isChecked());
    bar->show();
    QVERIFY(toggle->isChecked());
    QVERIFY(fixture.applicationCommands.isEmpty());
}

void TestMainFrame::statusBarToggle()
{
    FrameFixture fixture;
    QVERIFY(fixture.Show());
    CMainFrame *frame = fixture.frame.get();
    QAction *toggle = frame->CommandAction(ID_VIEW_STATUS_BAR);
    toggle->trigger();
    QVERIFY(!frame->statusBar()->isVisible());
    QVERIFY(FrameWidget<QToolBar>(frame, "standardBar")->isVisible());
    toggle->trigger();
    QVERIFY(frame->statusBar()->isVisible());
}

void TestMainFrame::commandEnabling_data()
{
    QTest::addColumn<int>("commandId");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("cut") << ID_EDIT_CUT << false;
    QTest::newRow("copy") << ID_EDIT_COPY << true;
    QTest::newRow("paste") << ID_EDIT_PASTE << true;
    QTest::newRow("undo, nothing done yet") << ID_EDIT_UNDO << false;
    QTest::newRow("redo, nothing undone yet") << ID_EDIT_REDO << false;
    QTest::newRow("view bar item") << ID_VIEW_VIEWBAR << true;
    QTest::newRow("recent placeholder") << ID_FILE_MRU_FILE1 << false;
    QTest::newRow("new") << ID_FILE_NEW << true;
    QTest::newRow("open") << ID_FILE_OPEN << true;
    QTest::newRow("save") << ID_FILE_SAVE << true;
    QTest::newRow("print") << ID_FILE_PRINT << true;
    QTest::newRow("about") << ID_APP_ABOUT << true;
    QTest::newRow("zoom in") << ID_ZOOM_IN << true;
    QTest::newRow("full") << ID_POINT_FULL << true;
}

void TestMainFrame::commandEnabling()
{
    QFETCH(int, commandId);
    QFETCH(bool, enabled);
    FrameFixture fixture;
    QVERIFY(fixture.Show());
    CMainFrame *frame = fixture.frame.get();
    QAction *action = frame->CommandAction(commandId);
    QVERIFY(action);
    QCOMPARE(action->isEnabled(), enabled);
    for (QToolBar *bar : fixture.Bars()) {
        if (QWidget *button = bar->widgetForAction(action))
            QCOMPARE(button->isEnabled(), enabled);
    }
    if (commandId == ID_VIEW_VIEWBAR)
        QVERIFY(action->isChecked());
    // A disabled command does nothing when asked.
    if (!enabled) {
        action->trigger();
        QVERIFY(fixture.applicationCommands.isEmpty());
    }
}

void TestMainFrame::accelerators_data()
{
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<int>("commandId");
    QTest::newRow("Ctrl+N") << QKeySequence(Qt::CTRL | Qt::Key_N) << ID_FILE_NEW;
    QTest::newRow("Ctrl+O") << QKeySequence(Qt::CTRL | Qt::Key_O) << ID_FILE_OPEN;
    QTest::newRow("Ctrl+S") << QKeySequence(Qt::CTRL | Qt::Key_S) << ID_FILE_SAVE;
    QTest::newRow("Ctrl+P") << QKeySequence(Qt::CTRL | Qt::Key_P) << ID_FILE_PRINT;
    QTest::newRow("Ctrl+Z") << QKeySequence(Qt::CTRL | Qt::Key_Z) << ID_EDIT_UNDO;
    QTest::newRow("Alt+Backspace") << QKeySequence(Qt::ALT | Qt::Key_Backspace) << ID_EDIT_UNDO;
    QTest::newRow("Ctrl+Y") << QKeySequence(Qt::CTRL | Qt::Key_Y) << ID_EDIT_REDO;
    QTest::newRow("Ctrl+Shift+Z") << QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z) << ID_EDIT_REDO;
    QTest::newRow("Ctrl+X") << QKeySequence(Qt::CTRL | Qt::Key_X) << ID_EDIT_CUT;
    QTest::newRow("Shift+Delete") << QKeySequence(Qt::SHIFT | Qt::Key_Delete) << ID_EDIT_CUT;
    QTest::newRow("Ctrl+C") << QKeySequence(Qt::CTRL | Qt::Key_C) << ID_EDIT_COPY;
    QTest::newRow("Ctrl+Insert") << QKeySequence(Qt::CTRL | Qt::Key_Insert) << ID_EDIT_COPY;
    QTest::newRow("Ctrl+V") << QKeySequence(Qt::CTRL | Qt::Key_V) << ID_EDIT_PASTE;
    QTest::newRow("Shift+Insert") << QKeySequence(Qt::SHIFT | Qt::Key_Insert) << ID_EDIT_PASTE;
    QTest::newRow("F6") << QKeySequence(Qt::Key_F6) << ID_NEXT_PANE;
    QTest::newRow("Shift+F6") << QKeySequence(Qt::SHIFT | Qt::Key_F6) << ID_PREV_PANE;
    QTest::newRow("Home") << QKeySequence(Qt::Key_Home) << ID_VIEW_FIT;
}

void TestMainFrame::accelerators()
{
    QFETCH(QKeySequence, keys);
    QFETCH(int, commandId);
    FrameFixture fixture;
    CMainFrame *frame = fixture.frame.get();
    QAction *owner = nullptr;
    for (QAction *action : frame->actions()) {
        if (action->shortcuts().contains(keys)) {
            QVERIFY2(!owner, "two commands share one accelerator");
            owner = action;
        }
    }
    QVERIFY(owner);
    QCOMPARE(owner->data().toInt(), commandId);
}

void TestMainFrame::shortcutsWorkWhereverTheFocusIs()
{
    FrameFixture fixture;
    QVERIFY(fixture.Show());
    CMainFrame *frame = fixture.frame.get();
    QTRY_VERIFY(FrameWidget<CNumberEdit>(frame, "zEdit")->hasFocus());

    QTest::keyClick(FrameWidget<CNumberEdit>(frame, "zEdit"), Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(fixture.applicationCommands, QList<int>{ID_FILE_NEW});
    // The field keeps the text it had.
    QCOMPARE(FrameWidget<CNumberEdit>(frame, "zEdit")->text(), QStringLiteral("0.000000"));

    // After a click into the OpenGL view the frame's shortcuts still work.
    CSkimblerView *view = frame->GetActiveView();
    view->requestActivate();
    QTRY_COMPARE(QGuiApplication::focusWindow(), static_cast<QWindow *>(view));
    QTRY_VERIFY(!FrameWidget<CNumberEdit>(frame, "zEdit")->hasFocus());
    QTest::keyClick(view, Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(fixture.applicationCommands, (QList<int>{ID_FILE_NEW, ID_FILE_OPEN}));
}

void TestMainFrame::commandsReachTheApplicationThenTheView()
{
    FrameFixture fixture;
    CMainFrame *frame = fixture.frame.get();
    frame->CommandAction(ID_APP_ABOUT)->trigger();
    frame->CommandAction(ID_FILE_SAVE)->trigger();
    QCOMPARE(fixture.applicationCommands, (QList<int>{ID_APP_ABOUT, ID_FILE_SAVE}));

    // What the application leaves goes on to the view: zoom in.
    fixture.applicationAnswer = false;
    frame->CommandAction(ID_ZOOM_IN)->trigger();
    QCOMPARE(fixture.applicationCommands.last(), ID_ZOOM_IN);
    QCOMPARE(FrameWidget<CPercentEdit>(frame, "zoomEdit")->text(), QStringLiteral("118.9%"));
    QCOMPARE(frame->GetActiveView()->Zoom(), CSkimblerView::ZoomFactor);

    // The axis button's command finds the button already toggled.
    frame->CommandAction(ID_SHOW_AXES)->trigger();
    QVERIFY(!frame->IsButtonChecked(ID_SHOW_AXES));
    QVERIFY(!frame->GetActiveView()->ShowAxes());
}

// What the document and the view hand up is put in a box by the frame, as
// it was handed up, with an Ok button.
void TestMainFrame::handedUpMessagesAreShownInABox_data()
{
    QTest::addColumn<QString>("source");
    QTest::newRow("document") << QStringLiteral("document");
    QTest::newRow("view") << QStringLiteral("view");
}

void TestMainFrame::handedUpMessagesAreShownInABox()
{
    QFETCH(QString, source);
    FrameFixture fixture;
    QCOMPARE(fixture.created, 0);
    MessageBoxRecorder boxes;
    const UserMessage first{QStringLiteral("first"), QStringLiteral("Skimbler"), UserMessage::Exclamation,
                            QStringLiteral("/a/b.tga")};
    const UserMessage second{QStringLiteral("second"), QString(), UserMessage::Information, QString()};
    for (const UserMessage &message : {first, second}) {
        if (source == QLatin1String("document"))
            Q_EMIT fixture.document.tellUser(message);
        else
            Q_EMIT fixture.frame->GetActiveView()->tellUser(message);
    }
    QCOMPARE(boxes.texts(), (QStringList{QStringLiteral("first"), QStringLiteral("second")}));
    QCOMPARE(boxes.messages[0].caption, first.caption);
    QCOMPARE(boxes.messages[0].icon, MessageBox::Exclamation);
    QCOMPARE(boxes.messages[0].detail, first.detail);
    QCOMPARE(boxes.messages[1].icon, MessageBox::Information);
    for (const MessageBox::Message &shown : boxes.messages)
        QCOMPARE(shown.buttons, MessageBox::Ok);
}

void TestMainFrame::exitClosesWithoutApplication()
{
    FrameFixture fixture;
    QVERIFY(fixture.Show());
    CMainFrame *frame = fixture.frame.get();
    fixture.applicationAnswer = false;
    frame->CommandAction(ID_APP_EXIT)->trigger();
    QVERIFY(!frame->isVisible());
}

void TestMainFrame::fieldNotificationReachesTheView()
{
    FrameFixture fixture;
    QVERIFY(fixture.Show());
    CMainFrame *frame = fixture.frame.get();
    FrameWidget<CPercentEdit>(frame, "zoomEdit")->setFocus(Qt::MouseFocusReason);
    QTRY_VERIFY(FrameWidget<CPercentEdit>(frame, "zoomEdit")->hasFocus());
    QCOMPARE(FrameWidget<CPercentEdit>(frame, "zoomEdit")->text(), QStringLiteral("100.0"));
    FrameWidget<CPercentEdit>(frame, "zoomEdit")->selectAll();
    QTest::keyClicks(FrameWidget<CPercentEdit>(frame, "zoomEdit"), QStringLiteral("250"));
    // Typing alone leaves the zoom.
    QCOMPARE(frame->GetActiveView()->Zoom(), 1.0f);
    QTest::keyClick(FrameWidget<CPercentEdit>(frame, "zoomEdit"), Qt::Key_Return);
    QCOMPARE(frame->GetActiveView()->Zoom(), 2.5f);
    QCOMPARE(FrameWidget<CPercentEdit>(frame, "zoomEdit")->text(), QStringLiteral("250.0"));
    FrameWidget<CNumberEdit>(frame, "xEdit")->setFocus(Qt::MouseFocusReason);
    QTRY_COMPARE(FrameWidget<CPercentEdit>(frame, "zoomEdit")->text(), QStringLiteral("250.0%"));
}

void TestMainFrame::recentFiles()
{
    FrameFixture fixture;
    CMainFrame *frame = fixture.frame.get();
    QAction *placeholder = frame->CommandAction(ID_FILE_MRU_FILE1);
    QVERIFY(placeholder->isVisible());
    QCOMPARE(placeholder->text(), QString::fromUtf8("最近使用的檔案"));

    frame->SetRecentFiles({QStringLiteral("/a/one.skm"), QStringLiteral("/a/t&wo.skm"), QStringLiteral("/b/three.tga"),
                           QStringLiteral("/c/four.skm"), QStringLiteral("/d/five.skm")});
    QVERIFY(!placeholder->isVisible());
    QStringList entries;
    for (int i = 0; i < 5; ++i) {
        if (QAction *entry = frame->CommandAction(ID_FILE_MRU_FILE1 + i))
            entries.append(entry->text());
    }
    QCOMPARE(entries.size(), 4);
    QCOMPARE(entries.at(0), QStringLiteral("&1 /a/one.skm"));
    QCOMPARE(entries.at(1), QStringLiteral("&2 /a/t&&wo.skm"));
    QVERIFY(entries.at(3).startsWith(QStringLiteral("&4 ")));

    frame->CommandAction(ID_FILE_MRU_FILE1 + 2)->trigger();
    QCOMPARE(fixture.applicationCommands, QList<int>{ID_FILE_MRU_FILE1 + 2});

    frame->SetRecentFiles({});
    QCOMPARE(frame->CommandAction(ID_FILE_MRU_FILE1), placeholder);
    QVERIFY(placeholder->isVisible());
    QVERIFY(!placeholder->isEnabled());
    QVERIFY(!frame->CommandAction(ID_FILE_MRU_FILE1 + 1));
}

void TestMainFrame::menuTexts()
{
    FrameFixture fixture;
    CMainFrame *frame = fixture.frame.get();
    QStringList titles;
    for (QAction *action : frame->menuBar()->actions())
        titles.append(action->text());
    QCOMPARE(titles, (QStringList{QString::fromUtf8("檔案(&F)"), QString::fromUtf8("編輯(&E)"),
                                  QString::fromUtf8("檢視(&V)"), QString::fromUtf8("說明(&H)")}));

    QStringList view;
    for (QAction *action : frame->menuBar()->actions().at(2)->menu()->actions())
        view.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    QCOMPARE(view, (QStringList{QString::fromUtf8("工具列(&T)"), QString::fromUtf8("狀態列(&S)"), QStringLiteral("-"),
                                QString::fromUtf8("檢視列(&V)"), QStringLiteral("-"), QString::fromUtf8("屬性視窗(&P)"),
                                QString::fromUtf8("旗標視窗(&F)"), QString::fromUtf8("色彩視窗(&C)"), QStringLiteral("-"),
                                QString::fromUtf8("像素探針(&I)"), QString::fromUtf8("透視校正貼圖(&E)"),
                                QStringLiteral("-"), QString::fromUtf8("目標螢幕(&R)"), QString::fromUtf8("背景(&K)"),
                                QString::fromUtf8("調整至視窗大小(&W)")}));
    QCOMPARE(frame->CommandAction(ID_APP_ABOUT)->text(), QString::fromUtf8("關於 Skimbler(&A)..."));
}

// A command's prompt is one text, whether its menu entry or its button is
// under the pointer.
void TestMainFrame::commandSaysTheSameInMenuAndBar_data()
{
    QTest::addColumn<int>("commandId");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("tip");
    QTest::newRow("Copy") << int(ID_EDIT_COPY)
                          << QString::fromUtf8("將平面的繪製狀態 (JSON 與 OpenGL 呼叫) 複製到剪貼簿")
                          << QString::fromUtf8("複製");
    QTest::newRow("Paste") << int(ID_EDIT_PASTE) << QString::fromUtf8("套用剪貼簿中的平面設定 (影像不變)")
                           << QString::fromUtf8("貼上");
    QTest::newRow("pixel probe") << int(ID_PIXEL_PROBE)
                                 << QString::fromUtf8("顯示指標下像素的紋理、取樣、顏色與混合計算 (按住 I 鍵亦可)")
                                 << QString::fromUtf8("像素探針");
    QTest::newRow("undo") << int(ID_EDIT_UNDO) << QString::fromUtf8("復原上一個動作") << QString::fromUtf8("復原");
    QTest::newRow("Colors window") << int(ID_VIEW_COLORS_WINDOW) << QString::fromUtf8("顯示或隱藏色彩視窗")
                                   << QString::fromUtf8("切換色彩視窗");
}

void TestMainFrame::commandSaysTheSameInMenuAndBar()
{
    QFETCH(int, commandId);
    QFETCH(QString, status);
    QFETCH(QString, tip);
    FrameFixture fixture;
    QVERIFY(fixture.Show());
    CMainFrame *frame = fixture.frame.get();
    QAction *action = frame->CommandAction(commandId);
    QVERIFY(action);
    bool inMenu = false;
    for (QAction *menu : frame->menuBar()->actions())
        inMenu = inMenu || menu->menu()->actions().contains(action);
    QVERIFY(inMenu);
    action->showStatusText(frame->menuBar());
    QCOMPARE(frame->statusBar()->currentMessage(), status);
    for (QToolBar *bar : fixture.Bars()) {
        QWidget *button = bar->widgetForAction(action);
        if (!button)
            continue;
        frame->statusBar()->clearMessage();
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(button, &enter);
        QCOMPARE(frame->statusBar()->currentMessage(), status);
        QCOMPARE(button->toolTip(), tip);
    }
}

void TestMainFrame::hoveredButtonsExplainThemselves()
{
    FrameFixture fixture;
    QVERIFY(fixture.Show());
    CMainFrame *frame = fixture.frame.get();
    QSet<QString> prompts;
    for (QWidget *control : frame->ToolBarControls()) {
        const auto *button = qobject_cast<QToolButton *>(control);
        if (!button)
            continue;
        const QString name = QString::number(button->defaultAction()->data().toInt());
        // A tip in the program's language: Han characters, not an id.
        QVERIFY2(button->toolTip().contains(QRegularExpression(QStringLiteral("\\p{Han}"))), qPrintable(name));
        // Hovering shows the button's prompt in the status bar, and leaving
        // takes it away again.
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(control, &enter);
        const QString prompt = frame->statusBar()->currentMessage();
        QVERIFY2(prompt.contains(QRegularExpression(QStringLiteral("\\p{Han}"))), qPrintable(name));
        prompts.insert(prompt);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(control, &leave);
        QVERIFY(frame->statusBar()->currentMessage().isEmpty());
    }
    // Each says something of its own.
    QCOMPARE(prompts.size(), frame->ToolBarControls().size() - 4);
}

void TestMainFrame::toolBarsWrapInANarrowWindow()
{
    FrameFixture fixture;
    QVERIFY(fixture.Show());
    CMainFrame *frame = fixture.frame.get();
    for (int width : {800, 640, 480, 1280}) {
        frame->resize(width, 500);
        QTRY_COMPARE(frame->width(), width);
        QCoreApplication::processEvents();
        const QRect window = frame->rect();
        for (QWidget *control : frame->ToolBarControls()) {
            const QRect inFrame(control->mapTo(frame, QPoint(0, 0)), control->size());
            QVERIFY2(control->isVisible() && window.contains(inFrame),
                     qPrintable(QStringLiteral("%1 at width %2").arg(control->toolTip()).arg(width)));
        }
    }
    // Wide again: one row, the fields at their full widths.
    QCOMPARE(FrameWidget<QToolBar>(frame, "pointBar")->y(), FrameWidget<QToolBar>(frame, "standardBar")->y());
    QCOMPARE(FrameWidget<CNumberEdit>(frame, "xEdit")->parentWidget()->width(), 100);
}

QTEST_MAIN(TestMainFrame)
#include "test_mainframe.moc"
