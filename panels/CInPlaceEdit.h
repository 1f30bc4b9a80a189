#pragma once

#include "panels/InPlaceEditResult.h"

#include <QLineEdit>
#include <QPointer>

class QAbstractItemView;

// A single-line edit box lying over one cell of a list. It finishes when it
// loses the focus (Enter and Escape hand the focus back to the list; Escape
// cancels), reports once through endLabelEdit and then deletes itself.
class CInPlaceEdit : public QLineEdit
{
    Q_OBJECT

public:
    CInPlaceEdit(int item, int subItem, const QString &initialText);
    ~CInPlaceEdit() override;

    // Puts the box over `rect` of the host's viewport with the host's font,
    // fills it with the initial text, caret at the start, nothing selected,
    // and gives it the focus.
    bool Create(Qt::Alignment alignment, const QRect &rect, QAbstractItemView *host);

    bool IsFinished() const { return m_finished; }

    const int m_item;
    const int m_subItem;
    const QString m_initialText;
    bool m_cancelled = false;

Q_SIGNALS:
    // Cancelled edits report too, with hasText false.
    void endLabelEdit(const InPlaceEditResult &result);

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void GiveFocusToHost();
    void Finish();

    QPointer<QAbstractItemView> m_host;
    bool m_finished = false;
};
