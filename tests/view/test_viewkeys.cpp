#include "common/ViewHost.h"
#include "render/GraphicalInterface.h"

#include <QLineEdit>
#include <QUndoStack>
#include <QtTest>

#include <memory>

using skimbler::SURFACE_FLAG_COLORKEY;
using skimbler::SurfaceSettings;

using namespace ViewTest;

// The view from the keyboard and as the status bar describes it: corners
// chosen with 0 to 3 and Escape, nudged with the arrow keys; what lies under
// the pointer. The view is in a plain host window, beside two fields.
class TestViewKeys : public HostedViewTest
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        QVERIFY(openHost(800, 600));
        halveLayout();
    }

    void digitsAndEscapeChooseTheCorner();
    void spaceDragPansWhereverTheFocusIs_data();
    void spaceDragPansWhereverTheFocusIs();
    void arrowsNudgeByWholeWindowPixels_data();
    void arrowsNudgeByWholeWindowPixels();
    void aRunOfNudgesIsOneUndoStep();
    void statusBarTellsWhatIsUnderThePointer();
};

void TestViewKeys::digitsAndEscapeChooseTheCorner()
{
    for (int corner : {2, 0, 3, 1}) {
        QTest::keyClick(m_view, Qt::Key(Qt::Key_0 + corner));
        QCOMPARE(m_host->selected, corner);
        // The coordinates follow the choice.
        QCOMPARE(m_host->coordinates.point, corner);
        QCOMPARE(m_host->coordinates.x, double(surface().Points[corner][0]));
    }
    QTest::keyClick(m_view, Qt::Key_Escape);
    QCOMPARE(m_host->selected, -1);
    // Without a corner the arrows move nothing.
    const SurfaceSettings before = m_document->Settings();
    QTest::keyClick(m_view, Qt::Key_Left);
    QVERIFY(m_document->Settings() == before);
    QCOMPARE(m_document->UndoStack()->count(), 0);
}

void TestViewKeys::arrowsNudgeByWholeWindowPixels_data()
{
    QTest::addColumn<float>("zoom");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<QPointF>("step");
    for (float zoom : {1.0f, 2.0f}) {
        const QString z = QString::number(double(zoom));
        QTest::newRow(qPrintable(z + QStringLiteral(" right"))) << zoom << int(Qt::Key_Right) << false << QPointF(1, 0);
        QTest::newRow(qPrintable(z + QStringLiteral(" left"))) << zoom << int(Qt::Key_Left) << false << QPointF(-1, 0);
        QTest::newRow(qPrintable(z + QStringLiteral(" up"))) << zoom << int(Qt::Key_Up) << false << QPointF(0, -1);
        QTest::newRow(qPrintable(z + QStringLiteral(" down"))) << zoom << int(Qt::Key_Down) << false << QPointF(0, 1);
        QTest::newRow(qPrintable(z + QStringLiteral(" shift down"))) << zoom << int(Qt::Key_Down) << true << QPointF(0, 10);
    }
}

void TestViewKeys::arrowsNudgeByWholeWindowPixels()
{
    QFETCH(float, zoom);
    QFETCH(int, key);
    QFETCH(bool, shift);
    QFETCH(QPointF, step);
    m_view->SetZoom(zoom);
    ArrangeThroughCommand(*m_document, [](auto &s) { s.Points[2][2] = 0.125f; });
    QTest::keyClick(m_view, Qt::Key_2);
    const QPointF before = windowOf(2);
    const float plane[2] = {surface().Points[2][0], surface().Points[2][1]};
    QTest::keyClick(m_view, Qt::Key(key), shift ? Qt::ShiftModifier : Qt::NoModifier);

    const QPointF moved = windowOf(2) - before;
    QVERIFY2(qAbs(moved.x() - step.x()) < 1e-3 && qAbs(moved.y() - step.y()) < 1e-3,
             qPrintable(QStringLiteral("%1, %2").arg(moved.x()).arg(moved.y())));
    // The plane spans -4/3..4/3 across the view and 1..-1 down it at zoom
    // 1; at zoom 2 a pixel is half as much of it. The corner is lifted, so
    // the perspective enlarges its steps by the eye's height over its own.
    const float depth = 2.4142136f / (2.4142136f - 0.125f);
    const float unitX = 8.0f / 3.0f / float(m_view->ClientWidth()) / zoom / depth;
    const float unitY = 2.0f / float(m_view->ClientHeight()) / zoom / depth;
    QVERIFY(qAbs(surface().Points[2][0] - plane[0] - float(step.x()) * unitX) < 1e-5f);
    QVERIFY(qAbs(surface().Points[2][1] - plane[1] + float(step.y()) * unitY) < 1e-5f);
    QCOMPARE(surface().Points[2][2], 0.125f);
    QCOMPARE(m_host->coordinates.y, double(surface().Points[2][1]));
}

void TestViewKeys::aRunOfNudgesIsOneUndoStep()
{
    QUndoStack *stack = m_document->UndoStack();
    const SurfaceSettings start = m_document->Settings();
    QTest::keyClick(m_view, Qt::Key_0);
    for (int key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Down, Qt::Key_Left, Qt::Key_Down})
        QTest::keyClick(m_view, Qt::Key(key), Qt::ShiftModifier);
    QCOMPARE(stack->count(), 1);
    const SurfaceSettings nudged = m_document->Settings();
    QVERIFY(!(nudged == start));
    stack->undo();
    QVERIFY(m_document->Settings() == start);
    stack->redo();
    QVERIFY(m_document->Settings() == nudged);

    // Another corner, or anything done in between, starts a new step.
    QTest::keyClick(m_view, Qt::Key_3);
    QTest::keyClick(m_view, Qt::Key_Up);
    QTest::keyClick(m_view, Qt::Key_Up);
    QCOMPARE(stack->count(), 2);
    SurfaceSettings flagged = m_document->Settings();
    flagged.Flags ^= SURFACE_FLAG_COLORKEY;
    QVERIFY(m_document->ChangeSettings(flagged, QStringLiteral("flag")));
    QTest::keyClick(m_view, Qt::Key_Up);
    QCOMPARE(stack->count(), 4);
    // And after an undo the next nudge does not reach into the undone step.
    stack->undo();
    QTest::keyClick(m_view, Qt::Key_Up);
    QCOMPARE(stack->count(), 4);
    stack->undo();
    QVERIFY(m_document->Settings() == flagged);
}

void TestViewKeys::statusBarTellsWhatIsUnderThePointer()
{
    const auto status = [this] { return m_host->hover; };
    const QPoint corner1 = windowOf(1).toPoint();
    Hover(m_view, corner1 + QPoint(1, -1));
    QTRY_VERIFY2(status().contains(QString::fromUtf8("角點 1")), qPrintable(status()));
    QVERIFY(status().contains(QStringLiteral("100.0%")));
    const QPointF plane = m_view->WindowToSurface(float(corner1.x() + 1), float(corner1.y() - 1));
    QVERIFY2(status().contains(QStringLiteral("X: %1").arg(plane.x(), 0, 'f', 4)), qPrintable(status()));
    QVERIFY(status().contains(QStringLiteral("Y: %1").arg(plane.y(), 0, 'f', 4)));

    // Midway along the top edge, inside the quad, and outside it.
    const QPointF top = (windowOf(0) + windowOf(2)) / 2;
    Hover(m_view, top.toPoint());
    QTRY_VERIFY2(status().contains(QString::fromUtf8("上邊")), qPrintable(status()));
    Hover(m_view, ((windowOf(0) + windowOf(3)) / 2).toPoint() + QPoint(20, 20));
    QTRY_VERIFY2(status().contains(QString::fromUtf8("整個平面")), qPrintable(status()));
    Hover(m_view, QPoint(5, 5));
    QTRY_VERIFY2(status().contains(QString::fromUtf8("無")), qPrintable(status()));

    // The zoom in force, as it changes under the pointer.
    m_view->SetZoom(2.0f);
    QTRY_VERIFY2(status().contains(QStringLiteral("200.0%")), qPrintable(status()));

    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(m_view, &leave);
    QCOMPARE(status(), QString());
}

QTEST_MAIN(TestViewKeys)
// Space held with the pointer over the view makes a left drag pan, wherever
// the keyboard focus is; a text field that types spaces still gets its space.
void TestViewKeys::spaceDragPansWhereverTheFocusIs_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("typed");
    QTest::newRow("view") << QStringLiteral("view") << QString();
    QTest::newRow("number field") << QStringLiteral("numbers") << QString();
    QTest::newRow("text field") << QStringLiteral("text") << QStringLiteral("a ");
}

void TestViewKeys::spaceDragPansWhereverTheFocusIs()
{
    QFETCH(QString, focus);
    QFETCH(QString, typed);
    QLineEdit *text = m_host->field;
    QWidget *target = focus == QStringLiteral("numbers") ? m_host->numbers : text;
    QVERIFY(focusInto(focus == QStringLiteral("view") ? m_host->container : target));
    const QString numbersText = m_host->numbers->text();
    const SurfaceSettings before = m_document->Settings();
    const int steps = m_document->UndoStack()->count();

    // The pointer over the middle of the quad, where a plain drag moves it.
    const QPoint start(400, 300);
    Hover(m_view, start);
    if (focus == QStringLiteral("view"))
        SendKey(m_view, QEvent::KeyPress, Qt::Key_Space);
    else
        QTest::keyPress(target, Qt::Key_Space);
    SendMouse(m_view, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    SendMouse(m_view, QEvent::MouseMove, start + QPoint(30, -20), Qt::NoButton, Qt::LeftButton);
    SendMouse(m_view, QEvent::MouseButtonRelease, start + QPoint(30, -20), Qt::LeftButton, Qt::NoButton);
    if (focus == QStringLiteral("view"))
        SendKey(m_view, QEvent::KeyRelease, Qt::Key_Space);
    else
        QTest::keyRelease(target, Qt::Key_Space);

    QCOMPARE(QPointF(m_view->PanX(), m_view->PanY()), QPointF(30, -20));
    QVERIFY(m_document->Settings() == before);
    QCOMPARE(m_document->UndoStack()->count(), steps);
    QCOMPARE(m_host->numbers->text(), numbersText);
    if (!typed.isEmpty())
        QCOMPARE(text->text(), typed);

    // Let go, a left drag moves the quad again.
    SendMouse(m_view, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    SendMouse(m_view, QEvent::MouseMove, start + QPoint(10, 0), Qt::NoButton, Qt::LeftButton);
    SendMouse(m_view, QEvent::MouseButtonRelease, start + QPoint(10, 0), Qt::LeftButton, Qt::NoButton);
    QVERIFY(!(m_document->Settings() == before));
}

#include "test_viewkeys.moc"
