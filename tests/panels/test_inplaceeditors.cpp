#include "common/PanelTestSupport.h"

#include "panels/CInPlaceCombo.h"
#include "panels/CInPlaceEdit.h"
#include "panels/CPropertyList.h"
#include "res/Resource.h"

#include <QAbstractItemView>
#include <QFocusEvent>
#include <QPointer>
#include <QScrollBar>
#include <QTest>

#include <memory>

namespace {

// Records what reaches the host, and what the target held at that moment.
class RecordingList : public CPropertyList
{
public:
    using CPropertyList::CPropertyList;

    void OnEndLabelEdit(const InPlaceEditResult &result) override
    {
        QString entry = QStringLiteral("report %1 %2 ").arg(result.item).arg(result.subItem);
        entry += result.hasText ? result.text : QStringLiteral("<null>");
        if (result.hasValue)
            entry += QStringLiteral(" value=%1").arg(result.value);
        log.append(entry + TargetState());
        CPropertyList::OnEndLabelEdit(result);
    }
    void OnPropertyApplied() override
    {
        log.append(QStringLiteral("applied") + TargetState());
        CPropertyList::OnPropertyApplied();
    }
    QString TargetState() const
    {
        return watched ? QStringLiteral(" target=%1").arg(*watched) : QString();
    }

    QStringList log;
    const std::uint32_t *watched = nullptr;
};

constexpr int kViewportWidth = 200;

} // namespace

class test_inplaceeditors : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void comboFinish_data();
    void comboFinish();
    void comboPickWithMouse();
    void editFinish_data();
    void editFinish();
    void editAlignment_data();
    void editAlignment();
    void finishesOnlyOnce();
    void clickElsewhereFinishesAsEnter();
    void placement_data();
    void placement();
    void rowOutOfViewIsScrolledIn();
    void noEditorForMissingCell_data();
    void noEditorForMissingCell();

private:
    std::unique_ptr<QWidget> m_window;
    RecordingList *m_list = nullptr;
};

void test_inplaceeditors::init()
{
    m_window = std::make_unique<QWidget>();
    m_list = new RecordingList(m_window.get());
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int frame = 2 * m_list->frameWidth();
    m_list->setGeometry(0, 0, kViewportWidth + frame, 300 + frame);
    m_window->resize(m_list->size());
    m_list->InsertColumnsAndRows(nullptr);
    m_list->setColumnWidth(0, 100);
    m_list->setColumnWidth(1, 100);
    QVERIFY(ShowAndActivate(m_window.get()));
    QCOMPARE(m_list->viewport()->width(), kViewportWidth);
}

void test_inplaceeditors::cleanup()
{
    m_window.reset();
    m_list = nullptr;
}

void test_inplaceeditors::comboFinish_data()
{
    QTest::addColumn<QString>("cellText");
    QTest::addColumn<int>("initialSelection");
    QTest::addColumn<int>("pick");  // -1: leave the selection as it opened
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("withTarget");
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<uint>("target");
    QTest::addColumn<QString>("finalCell");

    QTest::newRow("pick, Enter") << "GL_ONE" << 1 << 7 << int(Qt::Key_Return) << true
                                 << QStringList{QStringLiteral("report 10 1 GL_ONE_MINUS_SRC_ALPHA value=771 target=5"),
                                                QStringLiteral("applied target=771")}
                                 << 771u << "GL_ONE_MINUS_SRC_ALPHA";
    QTest::newRow("keep, Enter") << "GL_ONE" << 1 << -1 << int(Qt::Key_Enter) << true
                                 << QStringList{QStringLiteral("report 10 1 GL_ONE value=1 target=5"),
                                                QStringLiteral("applied target=1")}
                                 << 1u << "GL_ONE";
    QTest::newRow("no match, Enter") << "Unknow" << -1 << -1 << int(Qt::Key_Return) << true
                                     << QStringList{QStringLiteral("applied target=5")} << 5u << "Unknow";
    QTest::newRow("match is case-sensitive") << "gl_one" << -1 << -1 << int(Qt::Key_Return) << true
                                             << QStringList{QStringLiteral("applied target=5")} << 5u << "gl_one";
    QTest::newRow("pick, Escape") << "GL_ONE" << 1 << 7 << int(Qt::Key_Escape) << true
                                  << QStringList{} << 5u << "GL_ONE";
    QTest::newRow("null target") << "GL_ONE" << 1 << 4 << int(Qt::Key_Return) << false
                                 << QStringList{QStringLiteral("report 10 1 GL_DST_COLOR value=774"),
                                                QStringLiteral("applied")}
                                 << 5u << "GL_DST_COLOR";
}

void test_inplaceeditors::comboFinish()
{
    QFETCH(QString, cellText);
    QFETCH(int, initialSelection);
    QFETCH(int, pick);
    QFETCH(int, key);
    QFETCH(bool, withTarget);
    QFETCH(QStringList, log);
    QFETCH(uint, target);
    QFETCH(QString, finalCell);

    std::uint32_t field = 5;
    m_list->watched = withTarget ? &field : nullptr;
    m_list->SetCellText(CPropertyList::RowDestFactor, 1, cellText);
    QPointer<CInPlaceCombo> combo;
    {
        // The list is the caller's and is gone once the combo is open.
        const PropertyOptionList options = CPropertyList::OptionsFor(CPropertyList::RowDestFactor);
        combo = m_list->ShowInPlaceList(CPropertyList::RowDestFactor, 1, &options,
                                        withTarget ? &field : nullptr);
    }
    QVERIFY(combo);
    QCOMPARE(combo->count(), 11);
    QCOMPARE(combo->currentIndex(), initialSelection);
    QTRY_VERIFY(combo->view()->isVisible());

    if (pick >= 0)
        combo->view()->setCurrentIndex(combo->model()->index(pick, 0));
    QTest::keyClick(combo->view(), Qt::Key(key));
    QTRY_VERIFY(combo.isNull() || combo->IsFinished());

    QCOMPARE(m_list->log, log);
    QCOMPARE(uint(field), target);
    QCOMPARE(m_list->CellText(CPropertyList::RowDestFactor, 1), finalCell);
    QCOMPARE(m_window->focusWidget(), m_list);
    FlushDeletes();
    QVERIFY(combo.isNull());
}

void test_inplaceeditors::comboPickWithMouse()
{
    std::uint32_t field = 9729;
    m_list->watched = &field;
    m_list->SetCellText(CPropertyList::RowMinFilter, 1, QStringLiteral("GL_LINEAR"));
    const PropertyOptionList options = CPropertyList::OptionsFor(CPropertyList::RowMinFilter);
    QPointer<CInPlaceCombo> combo =
        m_list->ShowInPlaceList(CPropertyList::RowMinFilter, 1, &options, &field);
    QVERIFY(combo);
    QTRY_VERIFY(combo->view()->isVisible());
    // The dropped list ignores a release that comes too soon after it opened.
    QTest::qWait(QApplication::doubleClickInterval() + 50);

    QAbstractItemView *view = combo->view();
    const QPoint entry = view->visualRect(view->model()->index(5, 0)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, entry);
    QTRY_VERIFY(combo.isNull() || combo->IsFinished());
    QCOMPARE(field, 9987u);
    QCOMPARE(m_list->log.size(), 2);
    QCOMPARE(m_list->CellText(CPropertyList::RowMinFilter, 1), QStringLiteral("GL_LINEAR_MIPMAP_LINEAR"));
}

void test_inplaceeditors::editFinish_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("report");
    QTest::addColumn<QString>("finalCell");

    QTest::newRow("Enter") << int(Qt::Key_Return) << "xy" << "report 3 1 xyabc" << "xyabc";
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << "" << "report 3 1 abc" << "abc";
    QTest::newRow("Escape") << int(Qt::Key_Escape) << "xy" << "report 3 1 <null>" << "abc";
}

void test_inplaceeditors::editFinish()
{
    QFETCH(int, key);
    QFETCH(QString, typed);
    QFETCH(QString, report);
    QFETCH(QString, finalCell);

    m_list->SetCellText(3, 1, QStringLiteral("abc"));
    QPointer<CInPlaceEdit> edit = m_list->EditSubItem(3, 1);
    QVERIFY(edit);
    QCOMPARE(edit->text(), QStringLiteral("abc"));
    QCOMPARE(edit->cursorPosition(), 0);
    QVERIFY(!edit->hasSelectedText());
    QTRY_VERIFY(edit->hasFocus());

    QTest::keyClicks(edit, typed);
    QTest::keyClick(edit, Qt::Key(key));

    QCOMPARE(m_list->log, QStringList{report});
    QCOMPARE(m_list->CellText(3, 1), finalCell);
    QVERIFY(m_list->hasFocus());
    QVERIFY(edit->isHidden());
    FlushDeletes();
    QVERIFY(edit.isNull());
}

void test_inplaceeditors::editAlignment_data()
{
    QTest::addColumn<int>("cellAlignment");
    QTest::addColumn<int>("editAlignment");

    QTest::newRow("left") << int(Qt::AlignLeft | Qt::AlignVCenter) << int(Qt::AlignLeft);
    QTest::newRow("right") << int(Qt::AlignRight | Qt::AlignVCenter) << int(Qt::AlignRight);
    QTest::newRow("centre") << int(Qt::AlignHCenter | Qt::AlignVCenter) << int(Qt::AlignHCenter);
    QTest::newRow("justified") << int(Qt::AlignJustify) << int(Qt::AlignLeft);
}

void test_inplaceeditors::editAlignment()
{
    QFETCH(int, cellAlignment);
    QFETCH(int, editAlignment);

    m_list->item(6, 1)->setTextAlignment(Qt::Alignment(cellAlignment));
    CInPlaceEdit *edit = m_list->EditSubItem(6, 1);
    QVERIFY(edit);
    QCOMPARE(int(edit->alignment() & Qt::AlignHorizontal_Mask), editAlignment);
}

void test_inplaceeditors::finishesOnlyOnce()
{
    // A focus-out that arrives after Enter must not report or apply twice.
    QPointer<CInPlaceEdit> edit = m_list->EditSubItem(6, 1);
    QVERIFY(edit);
    QTest::keyClick(edit, Qt::Key_Return);
    QFocusEvent lateEdit(QEvent::FocusOut, Qt::OtherFocusReason);
    QCoreApplication::sendEvent(edit, &lateEdit);

    std::uint32_t field = 0;
    const PropertyOptionList options = CPropertyList::OptionsFor(CPropertyList::RowMagFilter);
    QPointer<CInPlaceCombo> combo = m_list->ShowInPlaceList(CPropertyList::RowMagFilter, 1, &options, &field);
    QVERIFY(combo);
    QTRY_VERIFY(combo->view()->isVisible());
    combo->view()->setCurrentIndex(combo->model()->index(0, 0));
    QTest::keyClick(combo->view(), Qt::Key_Return);
    // Only the deferred close-up: the finished combo must still exist.
    QCoreApplication::sendPostedEvents(combo, QEvent::MetaCall);
    QVERIFY(combo);
    QVERIFY(combo->IsFinished());
    QFocusEvent lateCombo(QEvent::FocusOut, Qt::OtherFocusReason);
    QCoreApplication::sendEvent(combo, &lateCombo);
    QCoreApplication::processEvents();

    QCOMPARE(m_list->log.size(), 3);  // edit report, combo report, applied
    QCOMPARE(field, 9728u);
}

void test_inplaceeditors::clickElsewhereFinishesAsEnter()
{
    m_list->SetCellText(4, 1, QStringLiteral("12"));
    QPointer<CInPlaceEdit> edit = m_list->EditSubItem(4, 1);
    QVERIFY(edit);
    QTRY_VERIFY(edit->hasFocus());
    QTest::keyClicks(edit, QStringLiteral("3"));
    const QRect other = m_list->visualRect(m_list->model()->index(2, 0));
    QTest::mouseClick(m_list->viewport(), Qt::LeftButton, {}, other.center());
    QCOMPARE(m_list->log, QStringList{QStringLiteral("report 4 1 312")});
    QCOMPARE(m_list->CellText(4, 1), QStringLiteral("312"));
}

void test_inplaceeditors::placement_data()
{
    QTest::addColumn<int>("column0");
    QTest::addColumn<int>("column1");
    QTest::addColumn<int>("scroll");
    QTest::addColumn<int>("expectedScroll");
    QTest::addColumn<QRect>("expectedX");  // only left and width are compared

    QTest::newRow("in view") << 100 << 60 << 0 << 0 << QRect(100, 0, 60, 1);
    QTest::newRow("wider than the list") << 100 << 400 << 0 << 0 << QRect(100, 0, 100, 1);
    QTest::newRow("left edge scrolled out") << 150 << 300 << 200 << 150 << QRect(0, 0, 200, 1);
    QTest::newRow("left edge beyond the right") << 250 << 120 << 0 << 170 << QRect(80, 0, 120, 1);
}

void test_inplaceeditors::placement()
{
    QFETCH(int, column0);
    QFETCH(int, column1);
    QFETCH(int, scroll);
    QFETCH(int, expectedScroll);
    QFETCH(QRect, expectedX);

    m_list->setColumnWidth(0, column0);
    m_list->setColumnWidth(1, column1);
    QTRY_COMPARE(m_list->horizontalScrollBar()->maximum(), qMax(0, column0 + column1 - kViewportWidth));
    for (bool combo : {false, true}) {
        m_list->horizontalScrollBar()->setValue(scroll);
        QWidget *editor = nullptr;
        const PropertyOptionList options = CPropertyList::OptionsFor(CPropertyList::RowSrcFactor);
        if (combo)
            editor = m_list->ShowInPlaceList(4, 1, &options, nullptr);
        else
            editor = m_list->EditSubItem(4, 1);
        QVERIFY(editor);
        QCOMPARE(m_list->horizontalScrollBar()->value(), expectedScroll);
        // Exactly over the cell, clipped at the list's right edge.
        QCOMPARE(editor->x(), expectedX.x());
        QCOMPARE(editor->x(), m_list->columnViewportPosition(1));
        QCOMPARE(editor->width(), expectedX.width());
        QCOMPARE(editor->y(), m_list->rowViewportPosition(4));
        QCOMPARE(editor->height(), m_list->rowHeight(4));
        // Finish it before the next one opens.
        m_list->setFocus();
        QCoreApplication::processEvents();
        FlushDeletes();
    }
}

void test_inplaceeditors::rowOutOfViewIsScrolledIn()
{
    const int frame = 2 * m_list->frameWidth();
    m_list->resize(kViewportWidth + frame, 3 * m_list->rowHeight(0) + frame);
    QTRY_VERIFY(m_list->verticalScrollBar()->maximum() > 0);
    QVERIFY(m_list->rowViewportPosition(9) >= m_list->viewport()->height());

    CInPlaceEdit *edit = m_list->EditSubItem(9, 1);
    QVERIFY(edit);
    const int top = m_list->rowViewportPosition(9);
    QVERIFY(top >= 0);
    QVERIFY(top + m_list->rowHeight(9) <= m_list->viewport()->height());
    QCOMPARE(edit->y(), top);
}

void test_inplaceeditors::noEditorForMissingCell_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");

    QTest::newRow("no row") << -1 << 1;
    QTest::newRow("past the last row") << int(CPropertyList::RowCount) << 1;
    QTest::newRow("no column") << 3 << -1;
    QTest::newRow("past the last column") << 3 << 2;
}

void test_inplaceeditors::noEditorForMissingCell()
{
    QFETCH(int, row);
    QFETCH(int, column);

    const PropertyOptionList options = CPropertyList::OptionsFor(CPropertyList::RowMagFilter);
    std::uint32_t field = 1;
    QVERIFY(!m_list->EditSubItem(row, column));
    QVERIFY(!m_list->ShowInPlaceList(row, column, &options, &field));
    QVERIFY(m_list->viewport()->findChildren<QLineEdit *>().isEmpty());
    QVERIFY(m_list->viewport()->findChildren<QComboBox *>().isEmpty());
    QVERIFY(m_list->log.isEmpty());
}

QTEST_MAIN(test_inplaceeditors)
#include "test_inplaceeditors.moc"
