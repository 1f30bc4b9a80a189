#include "app/CMainFrame.h"
#include "app/CNumberEdit.h"
#include "render/GraphicalInterface.h"
#include "res/Resource.h"
#include "surface/DocumentAccess.h"
#include "view/FrameTestSupport.h"

#include <QDir>
#include <QLabel>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>

#include <memory>

using skimbler::SURFACE_FLAG_COLORKEY;
using skimbler::SurfaceSettings;

using namespace ViewTest;

// The view from the keyboard and as the status bar describes it: corners
// chosen with 0 to 3 and Escape, nudged with the arrow keys; what lies under
// the pointer.
class TestViewKeys : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_previousDir;
    std::unique_ptr<CSkimblerDoc> m_document;
    std::unique_ptr<CMainFrame> m_frame;
    CSkimblerView *m_view = nullptr;

    Surface &surface() { return m_document->surface; }
    QPointF WindowOf(int point) const
    {
        const float *p = m_document->surface.Points[point];
        return m_view->SurfaceToWindow(p[0], p[1], p[2]);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(EnterTgaFolder(m_dir, &m_previousDir));
    }
    void init()
    {
        QVERIFY(OpenFrame(m_document, m_frame, m_view));
        QTRY_COMPARE(m_view->m_interface->Height, m_view->ClientHeight());
        // Half the default layout: every handle inside the view.
        for (auto &point : surface().Points) {
            point[0] *= 0.5f;
            point[1] *= 0.5f;
        }
    }
    void cleanup()
    {
        CloseFrame(m_document, m_frame, m_view);
    }
    void cleanupTestCase() { QDir::setCurrent(m_previousDir); }

    void digitsAndEscapeChooseTheCorner();
    void arrowsNudgeByWholeWindowPixels_data();
    void arrowsNudgeByWholeWindowPixels();
    void aRunOfNudgesIsOneUndoStep();
    void statusBarTellsWhatIsUnderThePointer();
};

void TestViewKeys::digitsAndEscapeChooseTheCorner()
{
    const int buttons[] = {Resource::ID_POINT_0, Resource::ID_POINT_1, Resource::ID_POINT_2, Resource::ID_POINT_3};
    for (int corner : {2, 0, 3, 1}) {
        QTest::keyClick(m_view, Qt::Key(Qt::Key_0 + corner));
        QVERIFY(m_frame->IsButtonChecked(buttons[corner]));
        // The fields follow the choice.
        QCOMPARE(m_frame->m_xEdit->GetValue(), double(surface().Points[corner][0]));
    }
    QTest::keyClick(m_view, Qt::Key_Escape);
    QVERIFY(m_frame->IsButtonChecked(Resource::ID_POINT_NONE));
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
    surface().Points[2][2] = 0.125f;
    QTest::keyClick(m_view, Qt::Key_2);
    const QPointF before = WindowOf(2);
    const float plane[2] = {surface().Points[2][0], surface().Points[2][1]};
    QTest::keyClick(m_view, Qt::Key(key), shift ? Qt::ShiftModifier : Qt::NoModifier);

    const QPointF moved = WindowOf(2) - before;
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
    QCOMPARE(m_frame->m_yEdit->GetValue(), double(surface().Points[2][1]));
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
    const auto status = [this] { return m_frame->m_messagePane->text(); };
    const QPoint corner1 = WindowOf(1).toPoint();
    Hover(m_view, corner1 + QPoint(1, -1));
    QTRY_VERIFY2(status().contains(QString::fromUtf8("角點 1")), qPrintable(status()));
    QVERIFY(status().contains(QStringLiteral("100.0%")));
    const QPointF plane = m_view->WindowToSurface(float(corner1.x() + 1), float(corner1.y() - 1));
    QVERIFY2(status().contains(QStringLiteral("X: %1").arg(plane.x(), 0, 'f', 4)), qPrintable(status()));
    QVERIFY(status().contains(QStringLiteral("Y: %1").arg(plane.y(), 0, 'f', 4)));

    // Midway along the top edge, inside the quad, and outside it.
    const QPointF top = (WindowOf(0) + WindowOf(2)) / 2;
    Hover(m_view, top.toPoint());
    QTRY_VERIFY2(status().contains(QString::fromUtf8("上邊")), qPrintable(status()));
    Hover(m_view, ((WindowOf(0) + WindowOf(3)) / 2).toPoint() + QPoint(20, 20));
    QTRY_VERIFY2(status().contains(QString::fromUtf8("整個平面")), qPrintable(status()));
    Hover(m_view, QPoint(5, 5));
    QTRY_VERIFY2(status().contains(QString::fromUtf8("無")), qPrintable(status()));

    // The zoom in force, as it changes under the pointer.
    m_view->SetZoom(2.0f);
    QTRY_VERIFY2(status().contains(QStringLiteral("200.0%")), qPrintable(status()));

    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(m_view, &leave);
    QCOMPARE(status(), QString::fromUtf8("就緒"));
}

QTEST_MAIN(TestViewKeys)
#include "test_viewkeys.moc"
