#include "common/FrameWidgets.h"
#include "app/CMainFrame.h"
#include "app/CNumberEdit.h"
#include "app/CPercentEdit.h"
#include "render/GraphicalInterface.h"
#include "res/Resource.h"
#include "FrameTestSupport.h"

#include <skimbler/SurfaceSettings.h>

#include <QAction>
#include <QLabel>
#include <QtTest>

#include <cfloat>
#include <cmath>
#include <functional>
#include <memory>

using skimbler::SurfaceSettings;

using namespace ViewTest;

// Edits made with real input on the real frame land where the user meant,
// and each one is a single undo step that gives back exactly what was there;
// the frame's fields and buttons reach the view.
class TestEditCommands : public FrameTest
{
    Q_OBJECT

private:
    QUndoStack *stack() { return m_document->UndoStack(); }

    void trigger(int commandId) { m_frame->CommandAction(commandId)->trigger(); }

    // A left click into a field, as the user gives it the focus.
    void clickInto(CNumberEdit *field)
    {
        QTest::mouseClick(field, Qt::LeftButton, Qt::NoModifier, QPoint(5, field->height() / 2));
        QVERIFY(field->hasFocus());
    }

    // A field's text committed as Enter would.
    static void commit(CNumberEdit *field, const QString &text)
    {
        field->setText(text);
        field->Commit();
    }

    void drag(QPoint from, QList<QPoint> through)
    {
        Press(m_view, from);
        for (const QPoint &p : through)
            Drag(m_view, p);
        Release(m_view, through.isEmpty() ? from : through.last());
    }

private Q_SLOTS:
    void init();

    void everyEditUndoesAndRedoesExactly_data();
    void everyEditUndoesAndRedoesExactly();
    void pendingTypingGoesToItsPoint_data();
    void pendingTypingGoesToItsPoint();
    void focusPassWithoutTypingChangesNothing();
    void valueWithoutPointReturnsToValueInForce();
    void typingOverSelectionThenUndoWithFieldFocused();
    void rightPressOnFieldKeepsFocusAndTyping();
    void cleanStateFollowsSaveUndoAndRedo();
    void typedZoom_data();
    void typedZoom();
    void displayTogglesFollowButtons();
    void hugeTypedCoordinateStaysFinite();
    void statusBarSaysWhatTheViewTells();
};

void TestEditCommands::init()
{
    QVERIFY(OpenFrame(m_document, m_frame, m_view));
    m_frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_frame.get()));
    // Half the default layout, set as the starting state, not as an edit.
    halveLayout();
    EditThroughCommand(*m_document, [](auto &s) { s.Points[3][2] = 0.25f; });
    stack()->clear();
    m_document->SetModifiedFlag(false);
}

void TestEditCommands::everyEditUndoesAndRedoesExactly_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("undoText");
    QTest::newRow("corner drag") << 0 << QStringLiteral("復原 拖曳角點(&U)");
    QTest::newRow("edge drag") << 1 << QStringLiteral("復原 拖曳邊(&U)");
    QTest::newRow("whole-surface drag") << 2 << QStringLiteral("復原 移動平面(&U)");
    QTest::newRow("typed coordinate") << 3 << QStringLiteral("復原 輸入座標(&U)");
    QTest::newRow("point reset") << 4 << QStringLiteral("復原 重設角點(&U)");
}

void TestEditCommands::everyEditUndoesAndRedoesExactly()
{
    QFETCH(int, kind);
    QFETCH(QString, undoText);
    const SurfaceSettings before = m_document->Settings();
    const QPoint corner0 = cornerAt(0);
    const QPoint leftMid = (cornerAt(0) + cornerAt(1)) / 2;
    const QPoint centre = m_view->geometry().center() - m_view->geometry().topLeft();
    switch (kind) {
    case 0: drag(corner0, {corner0 + QPoint(7, 3), corner0 + QPoint(20, 11), corner0 + QPoint(31, -5)}); break;
    case 1: drag(leftMid, {leftMid + QPoint(-9, 0), leftMid + QPoint(-23, 4)}); break;
    case 2: drag(centre + QPoint(10, 10), {centre + QPoint(40, 0), centre + QPoint(40, 20)}); break;
    case 3: {
        trigger(Resource::ID_POINT_2);
        clickInto(FrameWidget<CNumberEdit>(m_frame, "yEdit"));
        FrameWidget<CNumberEdit>(m_frame, "yEdit")->selectAll();
        QTest::keyClicks(FrameWidget<CNumberEdit>(m_frame, "yEdit"), QStringLiteral("-0.125"));
        QTest::keyClick(FrameWidget<CNumberEdit>(m_frame, "yEdit"), Qt::Key_Return);
        QCOMPARE(surface().Points[2][1], -0.125f);
        break;
    }
    case 4: trigger(Resource::ID_POINT_FULL); break;
    }
    const SurfaceSettings after = m_document->Settings();
    QVERIFY(after != before);
    QCOMPARE(stack()->count(), 1);
    QVERIFY(m_document->IsModified());
    QAction *undo = m_frame->CommandAction(Resource::ID_EDIT_UNDO);
    QVERIFY(undo->isEnabled());
    QCOMPARE(undo->text(), undoText);

    undo->trigger();
    QVERIFY(m_document->Settings() == before);
    QVERIFY(!m_document->IsModified());
    QVERIFY(!undo->isEnabled());
    m_frame->CommandAction(Resource::ID_EDIT_REDO)->trigger();
    QVERIFY(m_document->Settings() == after);
    QVERIFY(m_document->IsModified());
}

void TestEditCommands::pendingTypingGoesToItsPoint_data()
{
    QTest::addColumn<int>("typedFor");
    QTest::addColumn<int>("axis");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("enter");
    QTest::addColumn<int>("pressed");
    // Typed without Enter, then a press on another corner: the value goes
    // to the point it was typed for.
    QTest::newRow("x typed for 0, press on 3") << 0 << 0 << QStringLiteral("0.5") << false << 3;
    // Z showing 0 for no point; a press on a corner whose z is not 0.
    QTest::newRow("z of no point, press on 3") << -1 << 2 << QString() << false << 3;
    // Committed with Enter for point 0; then corner 3 is dragged.
    QTest::newRow("z committed for 0, drag of 3") << 0 << 2 << QStringLiteral("0.4") << true << 3;
}

void TestEditCommands::pendingTypingGoesToItsPoint()
{
    QFETCH(int, typedFor);
    QFETCH(int, axis);
    QFETCH(QString, typed);
    QFETCH(bool, enter);
    QFETCH(int, pressed);
    CNumberEdit *fields[3] = {FrameWidget<CNumberEdit>(m_frame, "xEdit"), FrameWidget<CNumberEdit>(m_frame, "yEdit"), FrameWidget<CNumberEdit>(m_frame, "zEdit")};
    CNumberEdit *field = fields[axis];
    trigger(typedFor < 0 ? Resource::ID_POINT_NONE : Resource::ID_POINT_0 + typedFor);
    SurfaceSettings expected = m_document->Settings();

    clickInto(field);
    if (!typed.isEmpty()) {
        field->selectAll();
        QTest::keyClicks(field, typed);
        if (enter)
            QTest::keyClick(field, Qt::Key_Return);
        expected.Points[typedFor][axis] = typed.toFloat();
    }
    const QPoint corner = cornerAt(pressed);
    Press(m_view, corner);
    Drag(m_view, corner + QPoint(6, 4));
    Release(m_view, corner + QPoint(6, 4));
    // The corner moves in its own z plane.
    const QPointF moved = m_view->WindowToSurface(corner.x() + 6, corner.y() + 4, expected.Points[pressed][2]);
    expected.Points[pressed][0] = static_cast<float>(moved.x());
    expected.Points[pressed][1] = static_cast<float>(moved.y());
    // The focus leaves the field at last: that is no edit either.
    FrameWidget<CPercentEdit>(m_frame, "zoomEdit")->setFocus(Qt::TabFocusReason);

    QVERIFY(m_document->Settings() == expected);
    // The fields show the corner the press selected.
    QCOMPARE(fields[2]->text(), QStringLiteral("%1").arg(static_cast<double>(expected.Points[pressed][2]), 0, 'f', 6));
}

void TestEditCommands::focusPassWithoutTypingChangesNothing()
{
    // -4/3 shows as -1.333333; passing through must not round the point.
    ArrangeThroughCommand(*m_document, [](auto &s) { skimbler::ResetPoints(&s); });
    trigger(Resource::ID_POINT_1);
    const SurfaceSettings before = m_document->Settings();
    for (CNumberEdit *field : {FrameWidget<CNumberEdit>(m_frame, "xEdit"), FrameWidget<CNumberEdit>(m_frame, "yEdit"), FrameWidget<CNumberEdit>(m_frame, "zEdit")}) {
        clickInto(field);
        QTest::keyClick(field, Qt::Key_Return);
        QTest::keyClick(field, Qt::Key_Tab);
    }
    QVERIFY(m_document->Settings() == before);
    QVERIFY(!m_document->IsModified());
    QCOMPARE(stack()->count(), 0);
}

void TestEditCommands::valueWithoutPointReturnsToValueInForce()
{
    trigger(Resource::ID_POINT_NONE);
    const SurfaceSettings before = m_document->Settings();
    clickInto(FrameWidget<CNumberEdit>(m_frame, "xEdit"));
    FrameWidget<CNumberEdit>(m_frame, "xEdit")->selectAll();
    QTest::keyClicks(FrameWidget<CNumberEdit>(m_frame, "xEdit"), QStringLiteral("2.5"));
    QTest::keyClick(FrameWidget<CNumberEdit>(m_frame, "xEdit"), Qt::Key_Return);
    QCOMPARE(FrameWidget<CNumberEdit>(m_frame, "xEdit")->text(), QStringLiteral("0.000000"));
    QVERIFY(m_document->Settings() == before);
    QCOMPARE(stack()->count(), 0);
}

void TestEditCommands::typingOverSelectionThenUndoWithFieldFocused()
{
    ArrangeThroughCommand(*m_document, [](auto &s) { skimbler::ResetPoints(&s); });
    trigger(Resource::ID_POINT_1);
    const SurfaceSettings before = m_document->Settings();
    CNumberEdit *x = FrameWidget<CNumberEdit>(m_frame, "xEdit");
    clickInto(x);
    // Ctrl+A over a text that holds a '-' and six decimals, then a signed value.
    QTest::keyClick(x, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(x, QStringLiteral("-0.5"));
    QCOMPARE(x->text(), QStringLiteral("-0.5"));
    // While the typing is not committed, Ctrl+Z is the field's own.
    QTest::keyClick(x, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(x->text() != QStringLiteral("-0.5"));
    QTest::keyClicks(x, QStringLiteral("5"));
    x->selectAll();
    QTest::keyClicks(x, QStringLiteral("-0.5"));
    QTest::keyClick(x, Qt::Key_Return);
    QCOMPARE(surface().Points[1][0], -0.5f);
    // After the commit it takes back the commit, with X still focused.
    QTest::keyClick(x, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(x->hasFocus());
    QVERIFY(m_document->Settings() == before);
    QCOMPARE(x->text(), QStringLiteral("-1.333333"));
    QTest::keyClick(x, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(surface().Points[1][0], -0.5f);
}

void TestEditCommands::rightPressOnFieldKeepsFocusAndTyping()
{
    trigger(Resource::ID_POINT_0);
    const SurfaceSettings before = m_document->Settings();
    clickInto(FrameWidget<CNumberEdit>(m_frame, "xEdit"));
    FrameWidget<CNumberEdit>(m_frame, "xEdit")->selectAll();
    QTest::keyClicks(FrameWidget<CNumberEdit>(m_frame, "xEdit"), QStringLiteral("0.75"));
    QTest::mousePress(FrameWidget<CNumberEdit>(m_frame, "yEdit"), Qt::RightButton);
    QTest::mouseRelease(FrameWidget<CNumberEdit>(m_frame, "yEdit"), Qt::RightButton);
    QVERIFY(FrameWidget<CNumberEdit>(m_frame, "xEdit")->hasFocus());
    QCOMPARE(FrameWidget<CNumberEdit>(m_frame, "xEdit")->text(), QStringLiteral("0.75"));
    QVERIFY(m_document->Settings() == before);
}

void TestEditCommands::cleanStateFollowsSaveUndoAndRedo()
{
    const QString path = m_dir.filePath(QStringLiteral("clean.skimbler"));
    const QPoint corner = cornerAt(2);
    drag(corner, {corner + QPoint(5, 5)});
    drag(corner + QPoint(5, 5), {corner + QPoint(9, 2)});
    QCOMPARE(stack()->count(), 2);
    QVERIFY(m_document->OnSaveDocument(path));
    QVERIFY(!m_document->IsModified());
    trigger(Resource::ID_EDIT_UNDO);
    QVERIFY(m_document->IsModified());
    trigger(Resource::ID_EDIT_REDO);
    // Back at the saved state: no "*", no save question.
    QVERIFY(!m_document->IsModified());
    // A drag back to where it started is no edit.
    drag(corner + QPoint(9, 2), {corner + QPoint(30, 30), corner + QPoint(9, 2)});
    QCOMPARE(stack()->count(), 2);
    QVERIFY(!m_document->IsModified());
}

void TestEditCommands::typedZoom_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<float>("zoom");
    QTest::addColumn<QString>("shown");
    QTest::newRow("250") << QStringLiteral("250") << 2.5f << QStringLiteral("250.0%");
    QTest::newRow("below the range") << QStringLiteral("5") << CSkimblerView::MinZoom << QStringLiteral("10.0%");
    QTest::newRow("zero") << QStringLiteral("0") << CSkimblerView::MinZoom << QStringLiteral("10.0%");
    QTest::newRow("negative") << QStringLiteral("-300") << CSkimblerView::MinZoom << QStringLiteral("10.0%");
    QTest::newRow("above the range") << QStringLiteral("123456") << CSkimblerView::MaxZoom
                                     << QStringLiteral("10000.0%");
    QTest::newRow("beyond float range") << QStringLiteral("1") + QString(45, QLatin1Char('0')) << CSkimblerView::MaxZoom
                                 << QStringLiteral("10000.0%");
}

void TestEditCommands::typedZoom()
{
    QFETCH(QString, typed);
    QFETCH(float, zoom);
    QFETCH(QString, shown);
    CPercentEdit *field = FrameWidget<CPercentEdit>(m_frame, "zoomEdit");
    commit(field, typed);
    QCOMPARE(m_view->Zoom(), zoom);
    // The field, once left, shows the zoom in force.
    QVERIFY(std::fabs(field->GetValue() - double(zoom) * 100.0) < 1e-3);
    field->SetValue(field->GetValue());
    QCOMPARE(field->text(), shown);
    QCOMPARE(m_view->Zoom(), zoom);
}

void TestEditCommands::displayTogglesFollowButtons()
{
    m_frame->CheckButton(Resource::ID_SHOW_AXES, false);
    QVERIFY(m_frame->OnCommand(Resource::ID_SHOW_AXES));
    QVERIFY(!m_view->ShowAxes());
    m_frame->CheckButton(Resource::ID_SHOW_AXES, true);
    QVERIFY(m_frame->OnCommand(Resource::ID_SHOW_AXES));
    QVERIFY(m_view->ShowAxes());
    m_frame->CheckButton(Resource::ID_SHOW_HANDLES, false);
    QVERIFY(m_frame->OnCommand(Resource::ID_SHOW_HANDLES));
    QVERIFY(!m_view->ShowHandles());
    QVERIFY(!m_document->IsModified());
}

void TestEditCommands::hugeTypedCoordinateStaysFinite()
{
    QVERIFY(m_view->OnCommand(Resource::ID_POINT_0));
    commit(FrameWidget<CNumberEdit>(m_frame, "xEdit"), QStringLiteral("1") + QString(60, QLatin1Char('0')));
    QCOMPARE(surface().Points[0][0], FLT_MAX);
    commit(FrameWidget<CNumberEdit>(m_frame, "yEdit"), QStringLiteral("-1") + QString(40, QLatin1Char('0')));
    QCOMPARE(surface().Points[0][1], -FLT_MAX);
    QCOMPARE(FrameWidget<CNumberEdit>(m_frame, "yEdit")->GetValue(), -double(FLT_MAX));
}

// The view's words for what lies under the pointer, and the idle text once
// the pointer left.
void TestEditCommands::statusBarSaysWhatTheViewTells()
{
    const auto status = [this] { return FrameWidget<QLabel>(m_frame, "messagePane")->text(); };
    Hover(m_view, cornerAt(1) + QPoint(1, -1));
    QTRY_VERIFY2(status().contains(QString::fromUtf8("角點 1")), qPrintable(status()));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(m_view, &leave);
    QCOMPARE(status(), QString::fromUtf8("就緒"));
}

QTEST_MAIN(TestEditCommands)
#include "test_editcommands.moc"
