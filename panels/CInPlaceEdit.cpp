#include "panels/CInPlaceEdit.h"

#include "panels/InPlaceKeys.h"
#include "res/Resource.h"

#include <QAbstractItemView>
#include <QFocusEvent>
#include <QKeyEvent>

CInPlaceEdit::CInPlaceEdit(int item, int subItem, const QString &initialText)
    : m_item(item)
    , m_subItem(subItem)
    , m_initialText(initialText)
{
}

CInPlaceEdit::~CInPlaceEdit()
{
    // Going away with the list (panel torn down) is not an edit.
    m_finished = true;
}

bool CInPlaceEdit::Create(Qt::Alignment alignment, const QRect &rect, QAbstractItemView *host)
{
    if (!host)
        return false;
    m_host = host;
    setParent(host->viewport());
    setObjectName(QStringLiteral("inPlaceEdit"));
    setFont(host->font());
    setAlignment(alignment | Qt::AlignVCenter);
    setGeometry(rect);
    setText(m_initialText);
    show();
    setFocus(Qt::OtherFocusReason);
    setCursorPosition(0);
    deselect();
    return true;
}

bool CInPlaceEdit::event(QEvent *event)
{
    if (!m_finished && ClaimInPlaceEditorKey(event))
        return true;
    return QLineEdit::event(event);
}

void CInPlaceEdit::keyPressEvent(QKeyEvent *event)
{
    const InPlaceFinishKey finish = FinishKeyOf(event);
    if (finish != InPlaceFinishKey::None) {
        if (finish == InPlaceFinishKey::Cancel)
            m_cancelled = true;
        GiveFocusToHost();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
    // Whatever the editor did with it, Delete and Control keys stop here.
    if (IsInPlaceEditorKey(event))
        event->accept();
}

void CInPlaceEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    // The box's own context menu takes the focus only for a while.
    if (event->reason() == Qt::PopupFocusReason)
        return;
    Finish();
}

void CInPlaceEdit::GiveFocusToHost()
{
    if (m_host)
        m_host->setFocus(Qt::OtherFocusReason);
    // In an inactive window no focus-out arrives: finish anyway.
    Finish();
}

void CInPlaceEdit::Finish()
{
    if (m_finished)
        return;
    m_finished = true;

    InPlaceEditResult result;
    result.editorId = Resource::IDC_INPLACE_EDIT;
    result.item = m_item;
    result.subItem = m_subItem;
    result.hasText = !m_cancelled;
    if (result.hasText)
        result.text = text();
    Q_EMIT endLabelEdit(result);

    hide();
    deleteLater();
}
