#include "app/ToolWindowLayout.h"

#include <QtTest>

// Whether a remembered tool-window place can still be grabbed by its title bar.
class TestToolWindowLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reachableByEitherEndOfTheTitleBar_data();
    void reachableByEitherEndOfTheTitleBar();
};

void TestToolWindowLayout::reachableByEitherEndOfTheTitleBar_data()
{
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<QList<QRect>>("screens");
    QTest::addColumn<bool>("reachable");
    const QList<QRect> one = {QRect(0, 0, 1280, 1024)};
    const QList<QRect> two = {QRect(0, 0, 1280, 1024), QRect(1280, 0, 1024, 768)};
    QTest::newRow("on the screen") << QRect(100, 100, 300, 200) << one << true;
    QTest::newRow("half off the left edge") << QRect(-150, 100, 300, 200) << one << true;
    QTest::newRow("half off the right edge") << QRect(1130, 100, 300, 200) << one << true;
    QTest::newRow("half off the bottom edge") << QRect(100, 924, 300, 200) << one << true;
    QTest::newRow("title bar above the top edge") << QRect(100, -10, 300, 200) << one << false;
    QTest::newRow("off to the right") << QRect(1300, 100, 300, 200) << one << false;
    QTest::newRow("across two screens") << QRect(1200, 100, 300, 200) << two << true;
    QTest::newRow("below the smaller screen, hanging into the larger")
        << QRect(1200, 800, 300, 200) << two << true;
    QTest::newRow("below the smaller screen only") << QRect(1400, 800, 300, 200) << two << false;
    QTest::newRow("empty") << QRect() << one << false;
}

void TestToolWindowLayout::reachableByEitherEndOfTheTitleBar()
{
    QFETCH(QRect, frame);
    QFETCH(QList<QRect>, screens);
    QFETCH(bool, reachable);
    QCOMPARE(ToolWindowLayout::IsReachable(frame, screens), reachable);
}

QTEST_MAIN(TestToolWindowLayout)
#include "test_toolwindowlayout.moc"
