// A panel reads its document again only when a change touches something it
// shows: a drag's points, step after step, cost them nothing.

#include "common/PanelTestSupport.h"
#include "common/SurfaceTestAccess.h"

#include "panels/CToolPanel.h"

#include <QtTest>

#include <functional>

using skimbler::SurfaceSettings;
using Edit = std::function<void(CSkimblerDoc &)>;
Q_DECLARE_METATYPE(Edit)

namespace {

// A panel that only counts how often it reads its document.
class CountingPanel : public CToolPanel
{
public:
    CountingPanel()
        : CToolPanel(QStringLiteral("Counting"), QSize(100, 100))
    {
        m_initialised = true;
    }
    int reads = 0;

protected:
    bool OnInitDialog() override { return true; }
    QAbstractScrollArea *List() const override { return nullptr; }
    void FitColumns() override {}
    void ReadDocument() override { ++reads; }
};

} // namespace

class test_panelrefresh : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void announcesWhatPanelsShow_data();
    void announcesWhatPanelsShow();
    void followsAnotherDocument();
};

void test_panelrefresh::announcesWhatPanelsShow_data()
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
        SurfaceTestAccess::Of(document).Width = 640;
        document.UpdateAllViews(nullptr);
    }) << 1;
    QTest::newRow("nothing new") << Edit([](CSkimblerDoc &document) { document.UpdateAllViews(nullptr); }) << 0;
}

void test_panelrefresh::announcesWhatPanelsShow()
{
    QFETCH(Edit, edit);
    QFETCH(int, announced);
    DocumentFixture fixture;
    fixture.Arrange([](auto &s) { skimbler::ApplyDefaults(&s); });
    CountingPanel panel;
    panel.SetDocument(&fixture.document);
    panel.reads = 0;
    edit(fixture.document);
    QCOMPARE(panel.reads, announced);
}

void test_panelrefresh::followsAnotherDocument()
{
    // A panel that read one document and is handed another with the same
    // settings hears the other's changes, and only the other's.
    DocumentFixture fixture;
    CountingPanel panel;
    panel.SetDocument(&fixture.document);
    CSkimblerDoc other;
    panel.SetDocument(&other);
    panel.reads = 0;
    EditThroughCommand(fixture.document, [](auto &s) { s.Flags = 0x1; });
    QCOMPARE(panel.reads, 0);
    EditThroughCommand(other, [](auto &s) { s.Flags = 0x1; });
    QCOMPARE(panel.reads, 1);
}

QTEST_MAIN(test_panelrefresh)
#include "test_panelrefresh.moc"
