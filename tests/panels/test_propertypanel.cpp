#include "common/SurfaceTestAccess.h"
#include "common/PanelTestSupport.h"

#include "panels/CInPlaceCombo.h"
#include "panels/CInPlaceEdit.h"
#include "panels/CPropertyList.h"
#include "panels/CPropertyPanel.h"
#include "surface/Surface.h"

#include <QAction>
#include <QHeaderView>
#include <QPointer>
#include <QTest>

#include <memory>

using skimbler::SurfaceSettings;

namespace {

// A row's setting, to change.
std::uint32_t &Setting(SurfaceSettings &settings, int row)
{
    switch (row) {
    case CPropertyList::RowVersion: return settings.Version;
    case CPropertyList::RowBPP: return settings.BPP;
    case CPropertyList::RowType: return settings.Type;
    case CPropertyList::RowDataFormat: return settings.DataFormat;
    case CPropertyList::RowColorKey: return settings.ColorKey;
    case CPropertyList::RowMagFilter: return settings.MagFilter;
    case CPropertyList::RowMinFilter: return settings.MinFilter;
    case CPropertyList::RowSrcFactor: return settings.SrcFactor;
    default: return settings.DestFactor;
    }
}

bool IsImageSize(int row)
{
    return row == CPropertyList::RowWidth || row == CPropertyList::RowHeight;
}

// What a row shows.
std::uint32_t Field(const Surface &surface, int row)
{
    if (IsImageSize(row))
        return row == CPropertyList::RowWidth ? surface.Width : surface.Height;
    SurfaceSettings settings = surface;
    return Setting(settings, row);
}

// A row's value as a test's start: a setting through the document's
// command, the image size (no command makes one without an image) through
// the seam.
void SetField(DocumentFixture &fixture, int row, std::uint32_t value)
{
    if (!IsImageSize(row)) {
        fixture.Arrange([&](SurfaceSettings &settings) { Setting(settings, row) = value; });
    } else if (row == CPropertyList::RowWidth) {
        SurfaceTestAccess::Of(fixture.document).Width = value;
    } else {
        SurfaceTestAccess::Of(fixture.document).Height = value;
    }
}

void SetTypicalSurface(DocumentFixture &fixture)
{
    fixture.Arrange([](SurfaceSettings &surface) {
        surface.Version = 1;
        surface.BPP = 32;
        surface.Type = 1;
        surface.DataFormat = 0;
        surface.ColorKey = 17;
        surface.MagFilter = 9729;
        surface.MinFilter = 9729;
        surface.SrcFactor = 1;
        surface.DestFactor = 1;
    });
    SurfaceTestAccess::Of(fixture.document).Width = 256;
    SurfaceTestAccess::Of(fixture.document).Height = 128;
}

} // namespace

class test_propertypanel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void window();
    void valueTexts_data();
    void valueTexts();
    void chooseOption_data();
    void chooseOption();
    void blendDropDownOrder();
    void escapeInDropDownChangesNothing();
    void unknownValueOpensWithoutSelection();
    void clicksThatOpenNothing_data();
    void clicksThatOpenNothing();
    void colorKey_data();
    void colorKey();
    void colorKeyEscape();
    void editorKeysStayInTheEditor();
    void followsFileNew();
    void withoutDocument();
    void columnWidths_data();
    void columnWidths();

private:
    void CreatePanel();
    void Click(int row, int column);
    CInPlaceCombo *OpenCombo(int row);

    std::unique_ptr<PanelFixture<CPropertyPanel>> m_fixture;
    CPropertyPanel *m_panel = nullptr;
};

void test_propertypanel::init()
{
    m_fixture = std::make_unique<PanelFixture<CPropertyPanel>>();
    SetTypicalSurface(*m_fixture);
}

void test_propertypanel::cleanup()
{
    m_panel = nullptr;
    m_fixture.reset();
}

void test_propertypanel::CreatePanel()
{
    QVERIFY(m_fixture->CreatePanel(m_panel));
}

void test_propertypanel::Click(int row, int column)
{
    CPropertyList *list = m_panel->m_list;
    const QRect cell = list->visualRect(list->model()->index(row, column));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
}

CInPlaceCombo *test_propertypanel::OpenCombo(int row)
{
    Click(row, 1);
    const QList<CInPlaceCombo *> combos = OpenEditors<CInPlaceCombo>(m_panel->m_list->viewport());
    if (combos.size() != 1)
        return nullptr;
    if (!QTest::qWaitFor([&] { return combos.first()->view()->isVisible(); }))
        return nullptr;
    return combos.first();
}

void test_propertypanel::window()
{
    CreatePanel();
    QCOMPARE(m_panel->windowTitle(), QStringLiteral("Property"));
    QVERIFY(m_panel->windowFlags().testFlag(Qt::Tool));
    QCOMPARE(m_panel->parentWidget(), &m_fixture->main);
    CPropertyList *list = m_panel->m_list;
    QVERIFY(list->horizontalHeader()->isHidden());
    QVERIFY(list->showGrid());
    QCOMPARE(list->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(list->geometry(), m_panel->rect());
    QCOMPARE(list->rowCount(), 11);
    // Every row fits in the default size.
    QVERIFY(list->rowViewportPosition(10) + list->rowHeight(10) <= list->viewport()->height());

    // The close box hides the panel; it is not destroyed.
    QVERIFY(m_fixture->CloseOnlyHides(m_panel));
}

void test_propertypanel::valueTexts_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("label");
    QTest::addColumn<uint>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("Version, all bits") << 0 << "Version" << 4294967295u << "4294967295";
    QTest::newRow("BPP") << 1 << "BPP" << 24u << "24";
    QTest::newRow("Type RGB") << 2 << "Type" << 0u << "0 - RGB";
    QTest::newRow("Type RGBA") << 2 << "Type" << 1u << "1 - RGBA";
    QTest::newRow("Type 2") << 2 << "Type" << 2u << "Unknow";
    QTest::newRow("DataFormat 0") << 3 << "DataFormat" << 0u << "0 - Normal Data";
    QTest::newRow("DataFormat 1") << 3 << "DataFormat" << 1u << "Unknow";
    QTest::newRow("Width 0") << 4 << "Width" << 0u << "0";
    QTest::newRow("Height") << 5 << "Height" << 1024u << "1024";
    QTest::newRow("ColorKey, all bits") << 6 << "ColorKey" << 4294967295u << "4294967295";
    QTest::newRow("MagFilter linear") << 7 << "MagFilter" << 9729u << "GL_LINEAR";
    QTest::newRow("MagFilter mipmap") << 7 << "MagFilter" << 9987u << "Unknow";
    QTest::newRow("MinFilter mipmap") << 8 << "MinFilter" << 9987u << "GL_LINEAR_MIPMAP_LINEAR";
    QTest::newRow("SrcFactor saturate") << 9 << "SrcFactor" << 776u << "GL_SRC_ALPHA_SATURATE";
    QTest::newRow("DestFactor zero") << 10 << "DestFactor" << 0u << "GL_ZERO";
    QTest::newRow("DestFactor filter value") << 10 << "DestFactor" << 9729u << "Unknow";
}

void test_propertypanel::valueTexts()
{
    QFETCH(int, row);
    QFETCH(QString, label);
    QFETCH(uint, value);
    QFETCH(QString, text);

    SetField(*m_fixture, row, value);
    CreatePanel();
    QCOMPARE(m_panel->m_list->CellText(row, 0), label);
    QCOMPARE(m_panel->m_list->CellText(row, 1), text);
    // Reading the surface wrote nothing and told nobody.
    QCOMPARE(m_fixture->view.updates, 0);
    QVERIFY(!m_fixture->document.IsModified());
}

void test_propertypanel::chooseOption_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<uint>("initial");
    QTest::addColumn<int>("entry");
    QTest::addColumn<QString>("text");
    QTest::addColumn<uint>("stored");

    QTest::newRow("DestFactor") << 10 << 1u << 7 << "GL_ONE_MINUS_SRC_ALPHA" << 771u;
    QTest::newRow("SrcFactor") << 9 << 1u << 4 << "GL_DST_COLOR" << 774u;
    QTest::newRow("SrcFactor zero") << 9 << 1u << 0 << "GL_ZERO" << 0u;
    QTest::newRow("MagFilter") << 7 << 9729u << 0 << "GL_NEAREST" << 9728u;
    QTest::newRow("MinFilter") << 8 << 9729u << 3 << "GL_LINEAR_MIPMAP_NEAREST" << 9985u;
    QTest::newRow("DataFormat") << 3 << 1u << 0 << "0 - Normal Data" << 0u;
}

void test_propertypanel::chooseOption()
{
    QFETCH(int, row);
    QFETCH(uint, initial);
    QFETCH(int, entry);
    QFETCH(QString, text);
    QFETCH(uint, stored);

    SetField(*m_fixture, row, initial);
    const Surface &surface = m_fixture->document.GetSurface();
    CreatePanel();
    const SurfaceSettings before = m_fixture->document.Settings();
    const QString beforeText = m_panel->m_list->CellText(row, 1);
    QPointer<CInPlaceCombo> combo = OpenCombo(row);
    QVERIFY(combo);
    combo->view()->setCurrentIndex(combo->model()->index(entry, 0));
    QTest::keyClick(combo->view(), Qt::Key_Return);
    QTRY_VERIFY(combo.isNull() || combo->IsFinished());

    QCOMPARE(uint(Field(surface, row)), stored);
    QCOMPARE(m_panel->m_list->CellText(row, 1), text);
    QVERIFY(m_fixture->document.IsModified());
    QCOMPARE(m_fixture->view.updates, 1);

    // One undo step, undone and redone exactly; the panel follows.
    const SurfaceSettings after = m_fixture->document.Settings();
    QCOMPARE(m_fixture->document.UndoStack()->count(), 1);
    m_fixture->document.UndoStack()->undo();
    QVERIFY(m_fixture->document.Settings() == before);
    QCOMPARE(m_panel->m_list->CellText(row, 1), beforeText);
    QVERIFY(!m_fixture->document.IsModified());
    m_fixture->document.UndoStack()->redo();
    QVERIFY(m_fixture->document.Settings() == after);
    QCOMPARE(m_panel->m_list->CellText(row, 1), text);
}

void test_propertypanel::blendDropDownOrder()
{
    CreatePanel();
    CInPlaceCombo *combo = OpenCombo(CPropertyList::RowDestFactor);
    QVERIFY(combo);
    QStringList texts;
    QList<int> values;
    for (int i = 0; i < combo->count(); ++i) {
        texts.append(combo->itemText(i));
        values.append(combo->itemData(i).toInt());
    }
    const QString expected = QStringLiteral(
        "GL_ZERO GL_ONE GL_SRC_COLOR GL_ONE_MINUS_SRC_COLOR GL_DST_COLOR GL_ONE_MINUS_DST_COLOR "
        "GL_SRC_ALPHA GL_ONE_MINUS_SRC_ALPHA GL_DST_ALPHA GL_ONE_MINUS_DST_ALPHA GL_SRC_ALPHA_SATURATE");
    QCOMPARE(texts, expected.split(QLatin1Char(' ')));
    QCOMPARE(values, (QList<int>{0, 1, 768, 769, 774, 775, 770, 771, 772, 773, 776}));
    // Opened on the stored value.
    QCOMPARE(combo->currentIndex(), 1);
}

void test_propertypanel::escapeInDropDownChangesNothing()
{
    CreatePanel();
    QPointer<CInPlaceCombo> combo = OpenCombo(CPropertyList::RowSrcFactor);
    QVERIFY(combo);
    combo->view()->setCurrentIndex(combo->model()->index(6, 0));
    QTest::keyClick(combo->view(), Qt::Key_Escape);
    QTRY_VERIFY(combo.isNull() || combo->IsFinished());
    QCoreApplication::processEvents();

    QCOMPARE(m_fixture->document.GetSurface().SrcFactor, 1u);
    QCOMPARE(m_panel->m_list->CellText(CPropertyList::RowSrcFactor, 1), QStringLiteral("GL_ONE"));
    QVERIFY(!m_fixture->document.IsModified());
    QCOMPARE(m_fixture->view.updates, 0);
}

void test_propertypanel::unknownValueOpensWithoutSelection()
{
    m_fixture->Arrange([](auto &s) { s.MagFilter = 9987; });
    CreatePanel();
    QPointer<CInPlaceCombo> combo = OpenCombo(CPropertyList::RowMagFilter);
    QVERIFY(combo);
    QCOMPARE(combo->count(), 2);
    QCOMPARE(combo->currentIndex(), -1);
    QTest::keyClick(combo->view(), Qt::Key_Return);
    QTRY_VERIFY(combo.isNull() || combo->IsFinished());

    // Nothing was chosen, so nothing changed.
    QCOMPARE(m_fixture->document.GetSurface().MagFilter, 9987u);
    QCOMPARE(m_panel->m_list->CellText(CPropertyList::RowMagFilter, 1), QStringLiteral("Unknow"));
    QVERIFY(!m_fixture->document.IsModified());
    QCOMPARE(m_fixture->document.UndoStack()->count(), 0);
}

void test_propertypanel::clicksThatOpenNothing_data()
{
    QTest::addColumn<int>("row");  // -1: the empty area below the last row
    QTest::addColumn<int>("column");

    QTest::newRow("MagFilter label") << 7 << 0;
    QTest::newRow("ColorKey label") << 6 << 0;
    QTest::newRow("Version") << 0 << 1;
    QTest::newRow("BPP") << 1 << 1;
    QTest::newRow("Type") << 2 << 1;
    QTest::newRow("Width") << 4 << 1;
    QTest::newRow("Height") << 5 << 1;
    QTest::newRow("below the rows") << -1 << 1;
}

void test_propertypanel::clicksThatOpenNothing()
{
    QFETCH(int, row);
    QFETCH(int, column);

    CreatePanel();
    m_panel->resize(m_panel->width(), 500);
    CPropertyList *list = m_panel->m_list;
    QTRY_VERIFY(list->viewport()->height() > 450);
    if (row >= 0) {
        Click(row, column);
    } else {
        const int below = list->rowViewportPosition(10) + list->rowHeight(10) + 20;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(150, below));
    }
    QVERIFY(list->viewport()->findChildren<QLineEdit *>().isEmpty());
    QVERIFY(list->viewport()->findChildren<QComboBox *>().isEmpty());
    QCOMPARE(m_panel->focusWidget(), list);
    QCOMPARE(m_fixture->view.updates, 0);
}

void test_propertypanel::colorKey_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<uint>("stored");
    QTest::addColumn<QString>("cell");

    QTest::newRow("decimal") << "123" << true << 123u << "123";
    QTest::newRow("largest") << "4294967295" << true << 4294967295u << "4294967295";
    QTest::newRow("zero") << "0" << true << 0u << "0";
    QTest::newRow("leading zeros") << "0042" << true << 42u << "42";
    QTest::newRow("blanks around") << " 9 " << true << 9u << "9";
    QTest::newRow("too large") << "4294967296" << false << 17u << "17";
    QTest::newRow("far too large") << "99999999999999999999" << false << 17u << "17";
    QTest::newRow("negative") << "-1" << false << 17u << "17";
    QTest::newRow("plus sign") << "+5" << false << 17u << "17";
    QTest::newRow("hexadecimal") << "0xFF" << false << 17u << "17";
    QTest::newRow("trailing letter") << "12a" << false << 17u << "17";
    QTest::newRow("empty") << "" << false << 17u << "17";
    QTest::newRow("non-ASCII digits") << QString::fromUtf8("\u0661\u0662") << false << 17u << "17";
}

void test_propertypanel::colorKey()
{
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    QFETCH(uint, stored);
    QFETCH(QString, cell);

    CreatePanel();
    Click(CPropertyList::RowColorKey, 1);
    const QList<CInPlaceEdit *> edits = OpenEditors<CInPlaceEdit>(m_panel->m_list->viewport());
    QCOMPARE(edits.size(), 1);
    CInPlaceEdit *edit = edits.first();
    QCOMPARE(edit->text(), QStringLiteral("17"));
    QCOMPARE(edit->cursorPosition(), 0);
    QVERIFY(!edit->hasSelectedText());

    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    edit->insert(typed);
    QTest::keyClick(edit, Qt::Key_Return);

    QCOMPARE(uint(m_fixture->document.GetSurface().ColorKey), stored);
    QCOMPARE(m_panel->m_list->CellText(CPropertyList::RowColorKey, 1), cell);
    QCOMPARE(m_fixture->document.IsModified(), accepted);
    QCOMPARE(m_fixture->view.updates, accepted ? 1 : 0);
    QVERIFY(m_panel->isVisible());
}

void test_propertypanel::colorKeyEscape()
{
    CreatePanel();
    Click(CPropertyList::RowColorKey, 1);
    const QList<CInPlaceEdit *> edits = OpenEditors<CInPlaceEdit>(m_panel->m_list->viewport());
    QCOMPARE(edits.size(), 1);
    QTest::keyClicks(edits.first(), QStringLiteral("55"));
    QTest::keyClick(edits.first(), Qt::Key_Escape);

    QCOMPARE(m_fixture->document.GetSurface().ColorKey, 17u);
    QCOMPARE(m_panel->m_list->CellText(CPropertyList::RowColorKey, 1), QStringLiteral("17"));
    QVERIFY(!m_fixture->document.IsModified());
    QCOMPARE(m_fixture->view.updates, 0);
    // Escape ended the edit, not the panel.
    QVERIFY(m_panel->isVisible());
}

void test_propertypanel::editorKeysStayInTheEditor()
{
    int triggered = 0;
    const QList<QKeySequence> keys{QKeySequence(Qt::CTRL | Qt::Key_N), QKeySequence(Qt::Key_Delete),
                                   QKeySequence(Qt::CTRL | Qt::Key_A)};
    for (const QKeySequence &key : keys) {
        auto *action = new QAction(&m_fixture->main);
        action->setShortcut(key);
        action->setShortcutContext(Qt::ApplicationShortcut);
        connect(action, &QAction::triggered, this, [&triggered] { ++triggered; });
        m_fixture->main.addAction(action);
    }
    CreatePanel();

    // Without an editor the shortcut works.
    m_panel->m_list->setFocus();
    QTest::keyClick(m_panel->m_list, Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(triggered, 1);

    Click(CPropertyList::RowColorKey, 1);
    const QList<CInPlaceEdit *> edits = OpenEditors<CInPlaceEdit>(m_panel->m_list->viewport());
    QCOMPARE(edits.size(), 1);
    CInPlaceEdit *edit = edits.first();
    QTRY_VERIFY(edit->hasFocus());
    QTest::keyClick(edit, Qt::Key_N, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);  // removes the "1" before the caret
    QCOMPARE(edit->text(), QStringLiteral("7"));
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QVERIFY(edit->hasSelectedText());
    QCOMPARE(triggered, 1);
    QTest::keyClick(edit, Qt::Key_Return);
    QVERIFY(m_panel->isVisible());
    QCOMPARE(m_fixture->document.GetSurface().ColorKey, 7u);

    // Nor while a drop-down list is down.
    QPointer<CInPlaceCombo> combo = OpenCombo(CPropertyList::RowDestFactor);
    QVERIFY(combo);
    QTest::keyClick(combo->view(), Qt::Key_N, Qt::ControlModifier);
    QTest::keyClick(combo->view(), Qt::Key_Delete);
    QCOMPARE(triggered, 1);
    QVERIFY(combo->view()->isVisible());
    QTest::keyClick(combo->view(), Qt::Key_Escape);
    QTRY_VERIFY(combo.isNull() || combo->IsFinished());
    QVERIFY(m_panel->isVisible());
}

void test_propertypanel::followsFileNew()
{
    m_fixture->Arrange([](auto &s) {
        s.MagFilter = 9728;
        s.SrcFactor = 0;
    });
    SurfaceTestAccess::Of(m_fixture->document).Width = 640;
    CreatePanel();
    QCOMPARE(m_panel->m_list->CellText(CPropertyList::RowMagFilter, 1), QStringLiteral("GL_NEAREST"));

    // File New in a folder without the image: defaults and a 0 x 0 surface.
    QVERIFY(m_fixture->NewInEmptyFolder());

    CPropertyList *list = m_panel->m_list;
    QCOMPARE(list->CellText(CPropertyList::RowMagFilter, 1), QStringLiteral("GL_LINEAR"));
    QCOMPARE(list->CellText(CPropertyList::RowSrcFactor, 1), QStringLiteral("GL_ONE"));
    QCOMPARE(list->CellText(CPropertyList::RowWidth, 1), QStringLiteral("0"));

    // And any other change announced to the views.
    EditThroughCommand(m_fixture->document, [](auto &s) { s.DestFactor = 770; });
    QCOMPARE(list->CellText(CPropertyList::RowDestFactor, 1), QStringLiteral("GL_SRC_ALPHA"));
}

void test_propertypanel::withoutDocument()
{
    m_fixture->handed = nullptr;
    CreatePanel();
    CPropertyList *list = m_panel->m_list;
    QCOMPARE(list->rowCount(), 11);
    QCOMPARE(list->CellText(CPropertyList::RowBPP, 0), QStringLiteral("BPP"));
    for (int row : {int(CPropertyList::RowMagFilter), int(CPropertyList::RowColorKey),
                    int(CPropertyList::RowDataFormat)}) {
        Click(row, 1);
        QVERIFY(list->viewport()->findChildren<QLineEdit *>().isEmpty());
        QVERIFY(list->viewport()->findChildren<QComboBox *>().isEmpty());
    }
    QCoreApplication::sendPostedEvents();
    Click(CPropertyList::RowSrcFactor, 1);
    QVERIFY(list->viewport()->findChildren<QComboBox *>().isEmpty());
    QCOMPARE(m_fixture->view.updates, 0);
}

void test_propertypanel::columnWidths_data()
{
    QTest::addColumn<int>("width");

    QTest::newRow("wide") << 400;
    QTest::newRow("default") << 177;
    QTest::newRow("just 100") << 100 + 2 * 2;
    QTest::newRow("narrow") << 60;
}

void test_propertypanel::columnWidths()
{
    QFETCH(int, width);

    CreatePanel();
    m_panel->resize(width, 300);
    CPropertyList *list = m_panel->m_list;
    QTRY_COMPARE(list->width(), width);
    QTRY_COMPARE(list->columnWidth(1), std::max(0, list->viewport()->width() - 100));
    QCOMPARE(list->columnWidth(0), 100);
    QCOMPARE(list->geometry(), m_panel->rect());
}

QTEST_MAIN(test_propertypanel)
#include "test_propertypanel.moc"
