// Thousands of random edits, undos, redos, saves and reopens on a real
// document, checked after every step against a model of the history.
// SKIMBLER_RANDOMOPS_SEED replays one seed; SKIMBLER_RANDOMOPS_STEPS sets the length.

#include "common/GlTestContext.h"
#include "common/MessageRecorder.h"
#include "common/RandomOps.h"

#include <QtTest>

#include <random>

class TestRandomOps : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sequencesKeepTheHistoryTrue_data();
    void sequencesKeepTheHistoryTrue();
};

void TestRandomOps::sequencesKeepTheHistoryTrue_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("steps");
    bool fixed = false;
    const quint32 chosen = qEnvironmentVariable("SKIMBLER_RANDOMOPS_SEED").toUInt(&fixed);
    const int steps = qEnvironmentVariableIntValue("SKIMBLER_RANDOMOPS_STEPS");
    if (fixed) {
        QTest::newRow("chosen seed") << chosen << (steps > 0 ? steps : 3000);
        return;
    }
    // Fixed seeds for a repeatable run, and one new seed each time.
    for (quint32 seed : {1u, 2u, 3u})
        QTest::addRow("seed %u", seed) << seed << (steps > 0 ? steps : 1000);
    const quint32 fresh = std::random_device{}();
    QTest::addRow("seed %u", fresh) << fresh << (steps > 0 ? steps : 1000);
}

void TestRandomOps::sequencesKeepTheHistoryTrue()
{
    QFETCH(quint32, seed);
    QFETCH(int, steps);
    GlTestContext gl(64, 64);
    QVERIFY(gl.valid);
    MessageRecorder messages;
    const std::vector<RandomOps::Op> ops = RandomOps::Generate(seed, steps);
    RandomOps::Runner runner;
    const QString failure = runner.Run(ops);
    if (failure.isEmpty()) {
        QCOMPARE(messages.texts(), QStringList());
        return;
    }
    const std::vector<RandomOps::Op> shortest = RandomOps::Shrink(ops);
    QString report = QStringLiteral("seed %1: %2\nshortest failing sequence (%3 of %4 operations): %5\n")
                         .arg(seed).arg(failure).arg(shortest.size()).arg(ops.size()).arg(runner.Run(shortest, 1));
    for (const RandomOps::Op &op : shortest)
        report += QStringLiteral("  ") + RandomOps::Describe(op) + QLatin1Char('\n');
    QFAIL(qPrintable(report));
}

QTEST_MAIN(TestRandomOps)
#include "test_randomops.moc"
