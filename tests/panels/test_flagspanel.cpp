#include "common/PanelTestSupport.h"

#include "panels/CFlagsPanel.h"
#include "surface/Surface.h"

#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTableWidget>
#include <QTest>

#include <memory>

using skimbler::SURFACE_FLAG_BLEND;
using skimbler::SURFACE_FLAG_COLORKEY;
using skimbler::SURFACE_FLAG_COLORS;
using skimbler::SURFACE_FLAG_MAG;
using skimbler::SURFACE_FLAG_MIN;
using skimbler::SURFACE_FLAG_POINTS;
using skimbler::SurfaceSettings;

class test_flagspanel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void window();
    void showsLowSixBits_data();
    void showsLowSixBits();
    void toggleWritesWholeWord_data();
    void toggleWritesWholeWord();
    void selectingRowsWritesNothing();
    void followsDocumentWithoutWritingBack();
    void followsFileNew();
    void withoutDocument();
    void columnWidth_data();
    void columnWidth();

private:
    void CreatePanel();
    QString CheckStates() const;
    void ClickCheckBox(int row);

    std::unique_ptr<PanelFixture<CFlagsPanel>> m_fixture;
    CFlagsPanel *m_panel = nullptr;
};

void test_flagspanel::init()
{
    m_fixture = std::make_unique<PanelFixture<CFlagsPanel>>();
}

void test_flagspanel::cleanup()
{
    m_panel = nullptr;
    m_fixture.reset();
}

void test_flagspanel::CreatePanel()
{
    QVERIFY(m_fixture->CreatePanel(m_panel));
}

// "1" for a ticked row, "0" otherwise, row 0 first.
QString test_flagspanel::CheckStates() const
{
    QString states;
    for (int row = 0; row < m_panel->m_list->rowCount(); ++row)
        states += m_panel->m_list->item(row, 0)->checkState() == Qt::Checked ? u'1' : u'0';
    return states;
}

void test_flagspanel::ClickCheckBox(int row)
{
    QTableWidget *list = m_panel->m_list;
    QStyleOptionViewItem option;
    option.initFrom(list->viewport());
    option.rect = list->visualItemRect(list->item(row, 0));
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    const QRect box = list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, box.center());
}

void test_flagspanel::window()
{
    CreatePanel();
    QCOMPARE(m_panel->windowTitle(), QStringLiteral("Flags"));
    QVERIFY(m_panel->windowFlags().testFlag(Qt::Tool));
    QCOMPARE(m_panel->m_list->geometry(), m_panel->rect());
    QStringList labels;
    for (int row = 0; row < m_panel->m_list->rowCount(); ++row)
        labels.append(m_panel->m_list->item(row, 0)->text());
    const QString expected = QStringLiteral(
        "SURFACE_FLAG_COLORKEY SURFACE_FLAG_POINTS SURFACE_FLAG_COLORS SURFACE_FLAG_MAG "
        "SURFACE_FLAG_MIN SURFACE_FLAG_BLEND");
    QCOMPARE(labels, expected.split(QLatin1Char(' ')));

    QVERIFY(m_fixture->CloseOnlyHides(m_panel));
}

void test_flagspanel::showsLowSixBits_data()
{
    QTest::addColumn<uint>("flags");
    QTest::addColumn<QString>("states");

    QTest::newRow("defaults") << 0x3Eu << "011111";
    QTest::newRow("none") << 0u << "000000";
    QTest::newRow("high bits ignored") << 0xFFFFFFC5u << "101000";
    QTest::newRow("only high bits") << 0x80000040u << "000000";
}

void test_flagspanel::showsLowSixBits()
{
    QFETCH(uint, flags);
    QFETCH(QString, states);

    m_fixture->Arrange([&](auto &s) { s.Flags = flags; });
    CreatePanel();
    QCOMPARE(CheckStates(), states);
    // Ticking the boxes while initialising wrote nothing.
    QCOMPARE(uint(m_fixture->document.GetSurface().Flags), flags);
    QCOMPARE(m_fixture->view.updates, 0);
    QVERIFY(!m_fixture->document.IsModified());
}

void test_flagspanel::toggleWritesWholeWord_data()
{
    QTest::addColumn<uint>("flags");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("withMouse");
    QTest::addColumn<uint>("stored");

    QTest::newRow("blend off, Space") << 0x3Eu << 5 << false << 0x1Eu;
    QTest::newRow("blend off, mouse") << 0x3Eu << 5 << true << 0x1Eu;
    QTest::newRow("colour key on") << 0x3Eu << 0 << true << 0x3Fu;
    QTest::newRow("high bits cleared") << 0xFFFFFFC0u << 1 << false << 0x02u;
    QTest::newRow("from nothing") << 0u << 3 << true << 0x08u;
}

void test_flagspanel::toggleWritesWholeWord()
{
    QFETCH(uint, flags);
    QFETCH(int, row);
    QFETCH(bool, withMouse);
    QFETCH(uint, stored);

    m_fixture->Arrange([&](auto &s) { s.Flags = flags; });
    CreatePanel();
    const SurfaceSettings before = m_fixture->document.Settings();
    if (withMouse) {
        ClickCheckBox(row);
    } else {
        m_panel->m_list->setCurrentCell(row, 0);
        m_panel->m_list->setFocus();
        QTest::keyClick(m_panel->m_list, Qt::Key_Space);
    }
    QCOMPARE(uint(m_fixture->document.GetSurface().Flags), stored);
    QCOMPARE(m_fixture->view.updates, 1);
    QVERIFY(m_fixture->document.IsModified());
    QCOMPARE(m_panel->ComposeFlags(), stored);

    // One undo step, undone and redone exactly; the boxes follow.
    const SurfaceSettings after = m_fixture->document.Settings();
    QCOMPARE(m_fixture->document.UndoStack()->count(), 1);
    m_fixture->document.UndoStack()->undo();
    QVERIFY(m_fixture->document.Settings() == before);
    QCOMPARE(m_panel->ComposeFlags() & 0x3Fu, flags & 0x3Fu);
    QVERIFY(!m_fixture->document.IsModified());
    m_fixture->document.UndoStack()->redo();
    QVERIFY(m_fixture->document.Settings() == after);
}

void test_flagspanel::selectingRowsWritesNothing()
{
    m_fixture->Arrange([&](auto &s) { s.Flags = 0x3E; });
    CreatePanel();
    QTableWidget *list = m_panel->m_list;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(2, 0)).center() + QPoint(40, 0));
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(CheckStates(), QStringLiteral("011111"));
    QCOMPARE(m_fixture->view.updates, 0);
    QVERIFY(!m_fixture->document.IsModified());
}

void test_flagspanel::followsDocumentWithoutWritingBack()
{
    m_fixture->Arrange([](auto &s) { s.Flags = 0x3E; });
    const Surface &surface = m_fixture->document.GetSurface();
    CreatePanel();

    // Changed and every view told, leaving the document unmodified.
    ArrangeThroughCommand(m_fixture->document, [](auto &s) { s.Flags = 0xC5; });
    QCOMPARE(CheckStates(), QStringLiteral("101000"));
    // Showing the new word did not store a composed one over it.
    QCOMPARE(surface.Flags, 0xC5u);
    QCOMPARE(m_fixture->view.updates, 1);
    QVERIFY(!m_fixture->document.IsModified());

    // The next change still writes.
    ClickCheckBox(1);
    QCOMPARE(surface.Flags, 0x07u);
    QCOMPARE(m_fixture->view.updates, 2);
}

void test_flagspanel::followsFileNew()
{
    m_fixture->Arrange([](auto &s) { s.Flags = 0; });
    CreatePanel();
    QCOMPARE(CheckStates(), QStringLiteral("000000"));

    QVERIFY(m_fixture->NewInEmptyFolder());

    QCOMPARE(CheckStates(), QStringLiteral("011111"));
    QCOMPARE(m_fixture->document.GetSurface().Flags, 0x3Eu);
}

void test_flagspanel::withoutDocument()
{
    m_fixture->Arrange([&](auto &s) { s.Flags = 0x3E; });
    m_fixture->handed = nullptr;
    CreatePanel();
    QCOMPARE(CheckStates(), QStringLiteral("000000"));
    ClickCheckBox(2);
    ClickCheckBox(3);
    QCOMPARE(CheckStates(), QStringLiteral("001100"));
    QCOMPARE(m_fixture->document.GetSurface().Flags, 0x3Eu);
    QCOMPARE(m_fixture->view.updates, 0);
}

void test_flagspanel::columnWidth_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");

    QTest::newRow("wide") << 400 << 200;
    QTest::newRow("narrow") << 40 << 200;
    QTest::newRow("short, with a scroll bar") << 200 << 60;
}

void test_flagspanel::columnWidth()
{
    QFETCH(int, width);
    QFETCH(int, height);

    CreatePanel();
    m_panel->resize(width, height);
    QTableWidget *list = m_panel->m_list;
    QTRY_COMPARE(list->size(), QSize(width, height));
    QTRY_COMPARE(list->columnWidth(0), list->viewport()->width());
}

QTEST_MAIN(test_flagspanel)
#include "test_flagspanel.moc"
