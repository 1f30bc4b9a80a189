#include "app/CNumberEdit.h"
#include "app/CPercentEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <clocale>
#include <cmath>

// A window with two fields, so that the focus has somewhere to go.
struct FieldWindow
{
    QWidget window;
    CNumberEdit *field = new CNumberEdit;
    CPercentEdit *zoom = new CPercentEdit;

    FieldWindow()
    {
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(field);
        layout->addWidget(zoom);
    }
    bool Activate()
    {
        window.show();
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }
};

class TestNumberEdit : public QObject
{
    Q_OBJECT

private slots:
    void filter_data();
    void filter();
    void typingDropsRefusedCharacters();
    void enterCommits_data();
    void enterCommits();
    void enterOnCanonicalTextStillNotifies();
    void focusLossCommits();
    void percentFieldShowsTwoDisplays();
    void setValueKeepsUnroundedValue();
    void pasteIsFiltered_data();
    void pasteIsFiltered();
    void dropIsFiltered();
    void inputMethodCommitIsFiltered();
    void committedValueIsFinite();
    void userLocaleDoesNotChangeTheDecimalPoint();
    void setupBeforeTheWindowIsActive();
};

void TestNumberEdit::filter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("selectionStart");
    QTest::addColumn<int>("selectionLength");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<int>("character");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("point into empty") << "" << 0 << 0 << 2 << int('.') << true;
    QTest::newRow("point with no decimals") << "" << 0 << 0 << 0 << int('.') << false;
    QTest::newRow("point at start") << "12" << 0 << 0 << 2 << int('.') << false;
    QTest::newRow("point inside") << "12" << 1 << 0 << 2 << int('.') << true;
    QTest::newRow("point at end") << "12" << 2 << 0 << 2 << int('.') << true;
    QTest::newRow("second point") << "1.2" << 3 << 0 << 2 << int('.') << false;
    QTest::newRow("point replacing the point") << "1.5" << 1 << 1 << 6 << int('.') << true;
    QTest::newRow("point replacing the whole text") << "-1.333333" << 0 << 9 << 6 << int('.') << true;
    QTest::newRow("minus into empty") << "" << 0 << 0 << 2 << int('-') << true;
    QTest::newRow("minus at start") << "12" << 0 << 0 << 2 << int('-') << true;
    QTest::newRow("minus inside") << "12" << 1 << 0 << 2 << int('-') << false;
    QTest::newRow("second minus") << "-12" << 0 << 0 << 2 << int('-') << false;
    QTest::newRow("minus over selected minus") << "-12" << 0 << 1 << 2 << int('-') << true;
    QTest::newRow("minus over the whole text") << "-1.333333" << 0 << 9 << 6 << int('-') << true;
    QTest::newRow("minus over a selection without the minus") << "-12" << 1 << 1 << 2 << int('-') << false;
    QTest::newRow("minus after decimal point selection") << "1.5" << 0 << 1 << 6 << int('-') << true;
    QTest::newRow("letter") << "1" << 1 << 0 << 2 << int('a') << false;
    QTest::newRow("letter into empty") << "" << 0 << 0 << 2 << int('a') << false;
    QTest::newRow("plus") << "1" << 1 << 0 << 2 << int('+') << false;
    QTest::newRow("comma") << "1" << 1 << 0 << 2 << int(',') << false;
    QTest::newRow("exponent") << "1" << 1 << 0 << 2 << int('e') << false;
    QTest::newRow("space") << "1" << 1 << 0 << 2 << int(' ') << false;
    QTest::newRow("digit after full decimals") << "1.123456" << 8 << 0 << 6 << int('7') << false;
    QTest::newRow("digit inside decimals") << "1.123456" << 7 << 0 << 6 << int('7') << true;
    QTest::newRow("digit before the point") << "1.123456" << 0 << 0 << 6 << int('7') << true;
    QTest::newRow("digit with room left") << "1.1" << 3 << 0 << 2 << int('7') << true;
    QTest::newRow("digit without point") << "123456789" << 9 << 0 << 2 << int('7') << true;
    QTest::newRow("digit over selected decimals") << "1.123456" << 2 << 6 << 6 << int('7') << true;
    QTest::newRow("backspace after full decimals") << "1.123456" << 8 << 0 << 6 << 8 << true;
    QTest::newRow("Ctrl+A after full decimals") << "1.123456" << 8 << 0 << 6 << 1 << true;
    QTest::newRow("Ctrl+V after full decimals") << "1.123456" << 8 << 0 << 6 << 22 << true;
    QTest::newRow("control without point") << "123" << 3 << 0 << 6 << 1 << true;
}

void TestNumberEdit::filter()
{
    QFETCH(QString, text);
    QFETCH(int, selectionStart);
    QFETCH(int, selectionLength);
    QFETCH(int, decimals);
    QFETCH(int, character);
    QFETCH(bool, accepted);

    CNumberEdit field;
    field.m_decimals = decimals;
    field.setText(text);
    if (selectionLength > 0)
        field.setSelection(selectionStart, selectionLength);
    else
        field.setCursorPosition(selectionStart);
    QCOMPARE(field.IsValidChar(character), accepted);
}

void TestNumberEdit::typingDropsRefusedCharacters()
{
    FieldWindow window;
    QVERIFY(window.Activate());
    CNumberEdit *field = window.field;
    field->Setup(0.0, 2);
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("-1a2,.3e+45-"));
    // The third decimal is refused at the end of the text.
    QCOMPARE(field->text(), QStringLiteral("-12.34"));
    // Keystrokes alone never change the value.
    QCOMPARE(field->GetValue(), 0.0);
}

void TestNumberEdit::enterCommits_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<double>("value");

    QTest::newRow("decimal") << "1.5" << "1.500000" << 1.5;
    QTest::newRow("negative") << "-0.25" << "-0.250000" << -0.25;
    QTest::newRow("point alone") << "." << "0.000000" << 0.0;
    QTest::newRow("minus alone") << "-" << "0.000000" << 0.0;
    QTest::newRow("empty") << "" << "0.000000" << 0.0;
    QTest::newRow("leading point") << ".5" << "0.500000" << 0.5;
}

void TestNumberEdit::enterCommits()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(double, value);

    FieldWindow window;
    QVERIFY(window.Activate());
    CNumberEdit *field = window.field;
    field->Setup(7.0, 6);
    QVERIFY(field->hasFocus());
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, typed);
    QSignalSpy changes(field, &QLineEdit::textChanged);
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(field->text(), shown);
    QCOMPARE(field->GetValue(), value);
    QVERIFY(field->hasFocus());
    // The owner hears of the commit and reads the new value.
    QVERIFY(!changes.isEmpty());
    QCOMPARE(changes.last().at(0).toString(), shown);
}

void TestNumberEdit::enterOnCanonicalTextStillNotifies()
{
    FieldWindow window;
    QVERIFY(window.Activate());
    CNumberEdit *field = window.field;
    field->Setup(0.0, 2);
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("2.00"));
    double seen = -1.0;
    connect(field, &QLineEdit::textChanged, field, [&] { seen = field->GetValue(); });
    QTest::keyClick(field, Qt::Key_Enter);
    // The text does not change, yet the owner must learn the new value.
    QCOMPARE(field->text(), QStringLiteral("2.00"));
    QCOMPARE(seen, 2.0);
}

void TestNumberEdit::focusLossCommits()
{
    FieldWindow window;
    QVERIFY(window.Activate());
    CNumberEdit *field = window.field;
    field->Setup(0.0, 6);
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("1.5"));
    QSignalSpy changes(field, &QLineEdit::textChanged);
    window.zoom->setFocus(Qt::TabFocusReason);
    QVERIFY(!field->hasFocus());
    QCOMPARE(field->text(), QStringLiteral("1.500000"));
    QCOMPARE(field->GetValue(), 1.5);
    QVERIFY(!changes.isEmpty());

    // An emptied field commits 0.
    field->setFocus(Qt::TabFocusReason);
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    window.zoom->setFocus(Qt::TabFocusReason);
    QCOMPARE(field->text(), QStringLiteral("0.000000"));
    QCOMPARE(field->GetValue(), 0.0);
}

void TestNumberEdit::percentFieldShowsTwoDisplays()
{
    FieldWindow window;
    QVERIFY(window.Activate());
    CPercentEdit *zoom = window.zoom;
    zoom->Setup(100.0, 1);
    QCOMPARE(zoom->text(), QStringLiteral("100.0"));
    window.field->setFocus(Qt::TabFocusReason);
    QCOMPARE(zoom->text(), QStringLiteral("100.0%"));

    zoom->setFocus(Qt::TabFocusReason);
    QCOMPARE(zoom->text(), QStringLiteral("100.0"));
    zoom->selectAll();
    QTest::keyClicks(zoom, QStringLiteral("150"));
    QTest::keyClick(zoom, Qt::Key_Return);
    QCOMPARE(zoom->text(), QStringLiteral("150.0"));
    QCOMPARE(zoom->GetValue(), 150.0);
    window.field->setFocus(Qt::TabFocusReason);
    QCOMPARE(zoom->text(), QStringLiteral("150.0%"));

    // SetValue shows "%" even while the field is being edited.
    zoom->setFocus(Qt::TabFocusReason);
    zoom->SetValue(112.0000005);
    QCOMPARE(zoom->text(), QStringLiteral("112.0%"));
    QCOMPARE(zoom->GetValue(), 112.0000005);

    // Emptied and left: 0.0%.
    zoom->selectAll();
    QTest::keyClick(zoom, Qt::Key_Backspace);
    window.field->setFocus(Qt::TabFocusReason);
    QCOMPARE(zoom->text(), QStringLiteral("0.0%"));
    QCOMPARE(zoom->GetValue(), 0.0);
}

void TestNumberEdit::setValueKeepsUnroundedValue()
{
    CNumberEdit field;
    field.Setup(0.0, 6);
    QSignalSpy changes(&field, &QLineEdit::textChanged);
    const double value = -4.0 / 3.0;
    field.SetValue(value);
    QCOMPARE(field.text(), QStringLiteral("-1.333333"));
    QCOMPARE(field.GetValue(), value);
    QCOMPARE(changes.count(), 1);
    // The same value again still tells the owner.
    field.SetValue(value);
    QCOMPARE(changes.count(), 2);
}

void TestNumberEdit::pasteIsFiltered_data()
{
    QTest::addColumn<QString>("initial");
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("result");

    QTest::newRow("letters and late minus") << "" << 0 << 6 << "12abc.5-" << "12.5";
    QTest::newRow("too many decimals") << "" << 0 << 2 << "1.23456" << "1.23";
    QTest::newRow("minus at start") << "5" << 0 << 6 << "-1" << "-15";
    QTest::newRow("exponent") << "1.5" << 3 << 6 << "1e999" << "1.51999";
    QTest::newRow("no decimals") << "" << 0 << 0 << "3.14" << "314";
    QTest::newRow("line break") << "" << 0 << 6 << "1.5\n" << "1.5";
    QTest::newRow("second point") << "2.5" << 3 << 6 << ".75" << "2.575";
    QTest::newRow("full-width digits") << "" << 0 << 6 << QString::fromUtf8("１２") << "";
}

void TestNumberEdit::pasteIsFiltered()
{
    QFETCH(QString, initial);
    QFETCH(int, caret);
    QFETCH(int, decimals);
    QFETCH(QString, clipboard);
    QFETCH(QString, result);

    FieldWindow window;
    QVERIFY(window.Activate());
    CNumberEdit *field = window.field;
    field->Setup(0.0, decimals);
    field->setText(initial);
    field->setCursorPosition(caret);
    QGuiApplication::clipboard()->setText(clipboard);
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(field->text(), result);
    field->setText(initial);
    field->setCursorPosition(caret);
    QTest::keyClick(field, Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(field->text(), result);
}

void TestNumberEdit::dropIsFiltered()
{
    FieldWindow window;
    QVERIFY(window.Activate());
    CNumberEdit *field = window.field;
    field->Setup(0.0, 6);
    field->setText(QString());
    QMimeData data;
    data.setText(QStringLiteral("x-4.5y"));
    const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(QPoint(2, 2), actions, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(field, &enter);
    QDragMoveEvent move(QPoint(2, 2), actions, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(field, &move);
    QDropEvent drop(QPointF(2, 2), actions, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(field, &drop);
    QCOMPARE(field->text(), QStringLiteral("-4.5"));
    QCOMPARE(drop.dropAction(), Qt::CopyAction);
}

void TestNumberEdit::inputMethodCommitIsFiltered()
{
    FieldWindow window;
    QVERIFY(window.Activate());
    CNumberEdit *field = window.field;
    field->Setup(0.0, 6);
    field->setText(QStringLiteral("1"));
    field->setCursorPosition(1);
    QInputMethodEvent event;
    event.setCommitString(QStringLiteral("7x-"));
    QApplication::sendEvent(field, &event);
    QCOMPARE(field->text(), QStringLiteral("17"));
}

void TestNumberEdit::committedValueIsFinite()
{
    CNumberEdit field;
    field.Setup(0.0, 6);
    field.SetValue(2.5);
    // 400 digits read as infinity; the last good value stays.
    field.setText(QString(400, QLatin1Char('9')));
    field.Commit();
    QVERIFY(std::isfinite(field.GetValue()));
    QCOMPARE(field.GetValue(), 2.5);
    QCOMPARE(field.text(), QStringLiteral("2.500000"));

    CPercentEdit zoom;
    zoom.Setup(100.0, 1);
    zoom.setText(QStringLiteral("-") + QString(400, QLatin1Char('9')));
    zoom.OnKillFocus();
    QCOMPARE(zoom.GetValue(), 100.0);
    QCOMPARE(zoom.text(), QStringLiteral("100.0%"));
}

void TestNumberEdit::userLocaleDoesNotChangeTheDecimalPoint()
{
    const char *locales[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8"};
    const char *chosen = nullptr;
    for (const char *name : locales) {
        if (std::setlocale(LC_ALL, name)) {
            chosen = name;
            break;
        }
    }
    if (!chosen)
        QSKIP("No locale with a decimal comma is installed");
    CNumberEdit field;
    field.Setup(0.0, 2);
    field.setText(QStringLiteral("1.75"));
    field.Commit();
    std::setlocale(LC_ALL, "C");
    QCOMPARE(field.GetValue(), 1.75);
    QCOMPARE(field.text(), QStringLiteral("1.75"));
}

void TestNumberEdit::setupBeforeTheWindowIsActive()
{
    // The owner sets fields up before its window is shown: the text is
    // there at once, without a focus event.
    FieldWindow window;
    window.zoom->Setup(100.0, 1);
    QCOMPARE(window.zoom->text(), QStringLiteral("100.0"));
    window.zoom->OnKillFocus();
    QCOMPARE(window.zoom->text(), QStringLiteral("100.0%"));
}

QTEST_MAIN(TestNumberEdit)
#include "test_numberedit.moc"
