#include "app/EventWait.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

// Waiting for the window system: ends when the condition holds or at the
// time limit, and sleeps in between instead of asking without pause.
class TestEventWait : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void endsWhenDoneOrAtTheLimit_data();
    void endsWhenDoneOrAtTheLimit();
};

void TestEventWait::endsWhenDoneOrAtTheLimit_data()
{
    QTest::addColumn<int>("doneAfterMs");  // -1: never
    QTest::addColumn<bool>("reached");
    QTest::newRow("already done") << 0 << true;
    QTest::newRow("done by an event") << 100 << true;
    QTest::newRow("never done") << -1 << false;
}

void TestEventWait::endsWhenDoneOrAtTheLimit()
{
    QFETCH(int, doneAfterMs);
    QFETCH(bool, reached);
    constexpr int limitMs = 300;
    bool done = doneAfterMs == 0;
    if (doneAfterMs > 0)
        QTimer::singleShot(doneAfterMs, this, [&done] { done = true; });
    int asked = 0;
    QElapsedTimer waited;
    waited.start();
    QCOMPARE(ProcessEventsUntil(
                 [&] {
                     ++asked;
                     return done;
                 },
                 limitMs),
             reached);
    if (!reached)
        QVERIFY(waited.elapsed() >= limitMs);
    // Asked once per event that came, not thousands of times in a loop.
    QVERIFY2(asked <= 10, qPrintable(QString::number(asked)));
}

QTEST_MAIN(TestEventWait)
#include "test_eventwait.moc"
