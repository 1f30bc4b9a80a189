#include "panels/CInPlaceCombo.h"

#include "panels/InPlaceKeys.h"
#include "res/Resource.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>

namespace {
// Room for the longest option list (the eleven blend factors) without a scroll bar.
constexpr int kVisibleEntries = 11;
}

CInPlaceCombo::CInPlaceCombo(int item, int subItem, const PropertyOptionList *options,
                             std::uint32_t *target)
    : m_item(item)
    , m_subItem(subItem)
    , m_target(target)
    , m_options(options)
{
}

CInPlaceCombo::~CInPlaceCombo()
{
    m_finished = true;
    if (m_popup)
        m_popup->removeEventFilter(this);
}

bool CInPlaceCombo::Create(const QRect &rect, QAbstractItemView *host)
{
    if (!host)
        return false;
    m_host = host;
    setParent(host->viewport());
    setObjectName(QStringLiteral("inPlaceCombo"));
    setFont(host->font());
    setMaxVisibleItems(kVisibleEntries);
    setGeometry(rect);

    if (m_options) {
        for (const PropertyOption &option : *m_options)
            addItem(option.Text, QVariant(option.Value));
    }
    // The caller's list is gone once the opening call returns.
    m_options = nullptr;
    // Adding the first entry selects it; the cell's text decides instead.
    setCurrentIndex(-1);

    // The dropped list is a window of its own: watch its keys and its closing.
    // Installed after the combo's own filter, so ours sees the keys first.
    view()->installEventFilter(this);
    m_popup = view()->window();
    if (m_popup && m_popup != window())
        m_popup->installEventFilter(this);

    show();
    setFocus(Qt::OtherFocusReason);
    return true;
}

bool CInPlaceCombo::event(QEvent *event)
{
    if (!m_finished && ClaimInPlaceEditorKey(event))
        return true;
    return QComboBox::event(event);
}

bool CInPlaceCombo::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == view()
        && (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)) {
        // The dropped list acts on the shortcut-override pass of its keys.
        const auto *keyEvent = static_cast<QKeyEvent *>(event);
        const int key = keyEvent->key();
        if (FinishKeyOf(keyEvent) == InPlaceFinishKey::None && ClaimInPlaceEditorKey(event))
            return true;  // Delete and Control keys: no shortcuts while the list is down
        if (key == Qt::Key_Escape) {
            m_cancelled = true;
        } else if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !HasHighlightedEntry()) {
            // The dropped list would take its first entry (current once it
            // has the focus, but never highlighted). With nothing highlighted
            // Enter closes the list and chooses nothing.
            if (event->type() == QEvent::KeyPress)
                hidePopup();
            return true;
        }
    } else if (watched == m_popup && event->type() == QEvent::Hide) {
        // The entry picked with the mouse or Enter becomes current only after
        // the list has been hidden: look at the result once that is done.
        QMetaObject::invokeMethod(this, &CInPlaceCombo::OnCloseUp, Qt::QueuedConnection);
    }
    return QComboBox::eventFilter(watched, event);
}

bool CInPlaceCombo::HasHighlightedEntry() const
{
    const QModelIndex current = view()->currentIndex();
    return current.isValid() && view()->selectionModel()->isSelected(current);
}

void CInPlaceCombo::keyPressEvent(QKeyEvent *event)
{
    const InPlaceFinishKey finish = FinishKeyOf(event);
    if (finish != InPlaceFinishKey::None) {
        if (finish == InPlaceFinishKey::Cancel)
            m_cancelled = true;
        GiveFocusToHost();
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
    // Whatever the editor did with it, Delete and Control keys stop here.
    if (IsInPlaceEditorKey(event))
        event->accept();
}

void CInPlaceCombo::focusOutEvent(QFocusEvent *event)
{
    QComboBox::focusOutEvent(event);
    // Dropping the list down moves the focus into it; that is not the end.
    // While it is down, its closing up decides.
    if (event->reason() == Qt::PopupFocusReason || (m_popup && m_popup->isVisible()))
        return;
    Finish();
}

void CInPlaceCombo::OnCloseUp()
{
    if (!m_finished)
        GiveFocusToHost();
}

void CInPlaceCombo::GiveFocusToHost()
{
    if (m_host)
        m_host->setFocus(Qt::OtherFocusReason);
    Finish();
}

void CInPlaceCombo::Finish()
{
    if (m_finished)
        return;
    m_finished = true;

    if (!m_cancelled) {
        const int selection = currentIndex();
        if (selection >= 0) {
            InPlaceEditResult result;
            result.editorId = Resource::IDC_INPLACE_COMBO;
            result.item = m_item;
            result.subItem = m_subItem;
            result.hasText = true;
            result.text = itemText(selection);
            result.hasValue = true;
            result.value = itemData(selection).toInt();
            Q_EMIT endLabelEdit(result);
            if (m_target)
                *m_target = static_cast<std::uint32_t>(result.value);
        }
        if (m_host) {
            QEvent applied(WM_PROPERTY_APPLIED);
            QCoreApplication::sendEvent(m_host, &applied);
        }
    }

    if (m_popup && m_popup->isVisible())
        hidePopup();
    hide();
    deleteLater();
}
