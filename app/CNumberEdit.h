#pragma once

#include <QLineEdit>
#include <QString>

class QDropEvent;
class QFocusEvent;
class QInputMethodEvent;
class QKeyEvent;
class QMouseEvent;

// A one-line field holding one number with a fixed count of decimals. It
// filters typed characters, commits on Enter and on focus loss, and then
// shows the number in its canonical form.
//
// Every write of the field's own text raises textChanged, also when the text
// happens to stay the same, so that the owner always hears of a commit.
class CNumberEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit CNumberEdit(QWidget *parent = nullptr);

    // Sets value and decimals and takes the keyboard focus; the focus gain
    // shows the text. Without an active window there is no focus event, so
    // the text is shown at once.
    void Setup(double value, int decimals);
    virtual void SetValue(double value);
    double GetValue() const { return m_value; }
    QString FormatValue(double value) const;
    // Reads the text as the C library's atof would. A result that is not
    // finite (hundreds of digits typed) keeps the previous value.
    void ParseText();
    // Commits the text. A text that is still the one the field showed is no
    // new value: the value in force is kept unrounded.
    void Commit();
    // True while the field has the focus and its text differs from the
    // committed value's (the user typed and has not committed yet).
    bool HasPendingText() const;
    // The character filter, judging the text as it would be once the
    // character replaced the selection.
    bool IsValidChar(int character) const;

    // What the field does when it gains or loses the keyboard focus. Called
    // from the focus events, and by the owner while its window cannot hold
    // the focus yet.
    virtual void OnSetFocus();
    virtual void OnKillFocus();

    // Inserts text at the caret one character at a time, each through the
    // character filter, as if typed. Control characters never become text.
    // Returns false (after a beep) when something was refused.
    bool InsertFiltered(const QString &incoming);

    double m_value = 0.0;
    int m_decimals = 2;
    QString m_text = QStringLiteral("0.00");

protected:
    // Writes the window text and tells the owner, changed or not.
    void WriteText(const QString &text);

    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
};
