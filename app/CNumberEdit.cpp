#include "app/CNumberEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QDragLeaveEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMimeData>
#include <QMouseEvent>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale.h>

namespace {

// Qt sets the C library's locale from the environment, so a user locale
// with a decimal comma would change atof and printf. The field always
// reads and writes '.', so both run under the "C" locale.
locale_t ClassicLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return locale;
}

constexpr int Backspace = 8;

// The character code a key press would deliver as a typed character, or -1
// when the key only moves or deletes (arrows, Delete, Home ...). Ctrl with a
// letter gives the control character (Ctrl+V is 22), as the filter expects.
int CharacterOf(const QKeyEvent *event)
{
    if (event->key() == Qt::Key_Backspace)
        return Backspace;
    if (event->key() == Qt::Key_Escape)
        return 27;
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if ((modifiers & Qt::ControlModifier) && !(modifiers & Qt::AltModifier)
        && event->key() >= Qt::Key_A && event->key() <= Qt::Key_Z)
        return event->key() - Qt::Key_A + 1;
    const QString text = event->text();
    if (text.isEmpty())
        return -1;
    const char16_t first = text.at(0).unicode();
    if (first < 32 || first == 0x7F)
        return -1;
    return first;
}

} // namespace

CNumberEdit::CNumberEdit(QWidget *parent)
    : QLineEdit(parent)
{
    // Internal drags would move characters past the filter.
    setDragEnabled(false);
    // Numbers only: Space held over the view pans instead of typing here.
    setInputMethodHints(Qt::ImhFormattedNumbersOnly);
    // The right button does nothing here, and no menu comes from the bar
    // behind either.
    setContextMenuPolicy(Qt::PreventContextMenu);
    // Focus comes by Tab or by a left or middle press (below): a right press
    // must not take it, or the field that had it would commit.
    setFocusPolicy(Qt::TabFocus);
}

void CNumberEdit::Setup(double value, int decimals)
{
    m_value = value;
    m_decimals = decimals;
    m_text = FormatValue(value);
    setFocus(Qt::OtherFocusReason);
    if (!hasFocus())
        OnSetFocus();
}

void CNumberEdit::SetValue(double value)
{
    m_value = value;
    m_text = FormatValue(m_value);
    WriteText(m_text);
}

QString CNumberEdit::FormatValue(double value) const
{
    const locale_t previous = uselocale(ClassicLocale());
    char small[64];
    const int length = std::snprintf(small, sizeof small, "%.*f", m_decimals, value);
    QString result;
    if (length < 0) {
        result = QString();
    } else if (length < int(sizeof small)) {
        result = QString::fromLatin1(small, length);
    } else {
        QByteArray large(length + 1, Qt::Uninitialized);
        std::snprintf(large.data(), large.size(), "%.*f", m_decimals, value);
        result = QString::fromLatin1(large.constData(), length);
    }
    uselocale(previous);
    return result;
}

void CNumberEdit::ParseText()
{
    const QByteArray bytes = text().toUtf8();
    const double parsed = strtod_l(bytes.constData(), nullptr, ClassicLocale());
    if (std::isfinite(parsed))
        m_value = parsed;
    m_text = FormatValue(m_value);
}

void CNumberEdit::Commit()
{
    // Re-reading the shown text would round the value to the shown decimals.
    if (text() != m_text)
        ParseText();
    m_text = FormatValue(m_value);
    WriteText(m_text);
}

bool CNumberEdit::HasPendingText() const
{
    return hasFocus() && text() != m_text;
}

bool CNumberEdit::IsValidChar(int character) const
{
    const bool known = character < 32 || (character >= '0' && character <= '9')
        || character == '-' || (character == '.' && m_decimals > 0);
    if (!known)
        return false;
    // Control characters (Backspace, Ctrl+A, C, V, X, Z ...) edit or copy;
    // they never add a digit.
    if (character < 32)
        return true;

    // The text as it will be around the typed character: the selection it
    // replaces is gone.
    QString current = text();
    int start = cursorPosition();
    if (hasSelectedText()) {
        start = selectionStart();
        current.remove(start, selectedText().size());
    }
    if (current.isEmpty())
        return true;

    const int point = current.indexOf(QLatin1Char('.'));
    const bool withinDecimals = point < 0 || start <= point + m_decimals;

    if (character == '.')
        return point < 0 && start != 0 && withinDecimals;
    if (character == '-')
        return !current.contains(QLatin1Char('-')) && start == 0 && withinDecimals;
    return withinDecimals;
}

void CNumberEdit::OnSetFocus()
{
    WriteText(m_text);
}

void CNumberEdit::OnKillFocus()
{
    Commit();
}

bool CNumberEdit::InsertFiltered(const QString &incoming)
{
    if (isReadOnly())
        return false;
    bool refused = false;
    for (const QChar character : incoming) {
        const char16_t code = character.unicode();
        if (code < 32)
            continue;
        if (!IsValidChar(code)) {
            refused = true;
            continue;
        }
        insert(QString(character));
    }
    if (refused)
        QApplication::beep();
    return !refused;
}

void CNumberEdit::WriteText(const QString &newText)
{
    if (text() == newText)
        emit textChanged(newText);
    else
        setText(newText);
}

bool CNumberEdit::event(QEvent *event)
{
    // Without typing of its own, the field leaves undo and redo to the
    // document: after Enter, Ctrl+Z takes back the commit.
    if (event->type() == QEvent::ShortcutOverride) {
        auto *key = static_cast<QKeyEvent *>(event);
        const bool ctrlY = key->key() == Qt::Key_Y && key->modifiers() == Qt::ControlModifier;
        if ((key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) || ctrlY) && text() == m_text) {
            event->ignore();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void CNumberEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        Commit();
        QLineEdit::keyPressEvent(event);
        return;
    }

    const int character = CharacterOf(event);
    if (character >= 0 && !IsValidChar(character)) {
        QApplication::beep();
        event->accept();
        return;
    }
    // Pasted text goes through the filter like typed text.
    if (event->matches(QKeySequence::Paste)) {
        InsertFiltered(QGuiApplication::clipboard()->text(QClipboard::Clipboard));
        event->accept();
        return;
    }
    if (character >= 32 && event->text().size() > 1) {
        // Several characters from one key (compose sequences).
        InsertFiltered(event->text());
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void CNumberEdit::focusInEvent(QFocusEvent *event)
{
    // A menu or pop-up taking the keyboard for a while is no focus change.
    if (event->reason() != Qt::PopupFocusReason)
        OnSetFocus();
    QLineEdit::focusInEvent(event);
}

void CNumberEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason)
        OnKillFocus();
}

void CNumberEdit::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    if (!hasFocus())
        setFocus(Qt::MouseFocusReason);
    QLineEdit::mousePressEvent(event);
}

void CNumberEdit::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    // The X11 selection paste, filtered.
    if (event->button() == Qt::MiddleButton) {
        QClipboard *clipboard = QGuiApplication::clipboard();
        if (clipboard->supportsSelection() && !isReadOnly()) {
            deselect();
            InsertFiltered(clipboard->text(QClipboard::Selection));
        }
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void CNumberEdit::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QLineEdit::mouseDoubleClickEvent(event);
}

void CNumberEdit::dropEvent(QDropEvent *event)
{
    // Ends the drop cursor the base class shows while dragging.
    QDragLeaveEvent leave;
    QLineEdit::dragLeaveEvent(&leave);

    if (isReadOnly() || !event->mimeData()->hasText()) {
        event->ignore();
        return;
    }
    setCursorPosition(cursorPositionAt(event->position().toPoint()));
    InsertFiltered(event->mimeData()->text());
    // Copy, never move: what was refused must stay with the source.
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void CNumberEdit::inputMethodEvent(QInputMethodEvent *event)
{
    const QString committed = event->commitString();
    if (committed.isEmpty() || isReadOnly()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    // Let the base class do the pre-edit and any replacement, then bring the
    // committed text in through the filter.
    QInputMethodEvent rest(event->preeditString(), event->attributes());
    rest.setCommitString(QString(), event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&rest);
    InsertFiltered(committed);
    event->accept();
}
