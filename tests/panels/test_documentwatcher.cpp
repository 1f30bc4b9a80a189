// The panels hear of a document change only when it touches something they
// show: a drag's points, step after step, cost them nothing.

#include "PanelTestSupport.h"

#include "panels/DocumentWatcher.h"

#include <QSignalSpy>
#include <QtTest>

#include <functional>

using Edit = std::function<void(CSkimblerDoc &)>;
Q_DECLARE_METATYPE(Edit)

class test_documentwatcher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void announcesWhatPanelsShow_data();
    void announcesWhatPanelsShow();
    void followsAnotherDocument();
};

void test_documentwatcher::announcesWhatPanelsShow_data()
{
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<int>("announced");

    const auto change = [](const std::function<void(SurfaceSettings &)> &how) {
        return Edit([how](CSkimblerDoc &document) {
            SurfaceSettings after = document.Settings();
            how(after);
            document.ChangeSettings(after, QStringLiteral("edit"));
        });
    };
    QTest::newRow("a point moved") << change([](SurfaceSettings &s) { s.Points[2][0] += 0.25f; }) << 0;
    QTest::newRow("a drag of three steps") << Edit([](CSkimblerDoc &document) {
        const int key = document.NewMergeKey();
        for (int step = 1; step <= 3; ++step) {
            SurfaceSettings after = document.Settings();
            after.Points[0][1] = 0.1f * step;
            document.ChangeSettings(after, QStringLiteral("drag"), key);
        }
    }) << 0;
    QTest::newRow("a drag undone") << Edit([](CSkimblerDoc &document) {
        SurfaceSettings after = document.Settings();
        after.Points[1][2] = -1.0f;
        document.ChangeSettings(after, QStringLiteral("drag"));
        document.UndoStack()->undo();
    }) << 0;
    QTest::newRow("a colour") << change([](SurfaceSettings &s) { s.Colors[3][1] = 0.5f; }) << 1;
    QTest::newRow("a flag") << change([](SurfaceSettings &s) { s.Flags ^= 0x4u; }) << 1;
    QTest::newRow("a filter") << change([](SurfaceSettings &s) { s.MagFilter = 0x2600; }) << 1;
    QTest::newRow("a colour, undone") << Edit([](CSkimblerDoc &document) {
        SurfaceSettings after = document.Settings();
        after.Colors[0][0] = 0.0f;
        document.ChangeSettings(after, QStringLiteral("colour"));
        document.UndoStack()->undo();
    }) << 2;
    QTest::newRow("points and a colour in one step")
        << change([](SurfaceSettings &s) {
               s.Points[0][0] = 0.0f;
               s.Colors[1][0] = 0.5f;
           })
        << 1;
    QTest::newRow("the image's size") << Edit([](CSkimblerDoc &document) {
        document.surface.Width = 640;
        document.UpdateAllViews(nullptr);
    }) << 1;
    QTest::newRow("nothing new") << Edit([](CSkimblerDoc &document) { document.UpdateAllViews(nullptr); }) << 0;
}

void test_documentwatcher::announcesWhatPanelsShow()
{
    QFETCH(Edit, edit);
    QFETCH(int, announced);
    DocumentFixture fixture;
    fixture.document.surface.ApplyDefaults();
    DocumentWatcher watcher;
    QVERIFY(watcher.Watch() == &fixture.document);
    QSignalSpy spy(&watcher, &DocumentWatcher::documentChanged);
    edit(fixture.document);
    QCOMPARE(spy.count(), announced);
}

void test_documentwatcher::followsAnotherDocument()
{
    // A panel that read one document and is pointed at another with the same
    // settings hears the other's changes, and only the other's.
    DocumentFixture fixture;
    DocumentWatcher watcher;
    QVERIFY(watcher.Watch() == &fixture.document);
    CSkimblerDoc other;
    fixture.frame.document = &other;
    QVERIFY(watcher.Watch() == &other);
    QSignalSpy spy(&watcher, &DocumentWatcher::documentChanged);
    fixture.document.surface.Flags = 0x1;
    fixture.document.UpdateAllViews(nullptr);
    QCOMPARE(spy.count(), 0);
    other.surface.Flags = 0x1;
    other.UpdateAllViews(nullptr);
    QCOMPARE(spy.count(), 1);
}

QTEST_MAIN(test_documentwatcher)
#include "test_documentwatcher.moc"
