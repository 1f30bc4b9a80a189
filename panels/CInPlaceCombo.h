#pragma once

#include "panels/InPlaceEditResult.h"
#include "panels/PropertyOption.h"

#include <QComboBox>
#include <QPointer>

#include <cstdint>

class QAbstractItemView;

// A drop-down list lying over one cell of a list, offering a fixed set of
// options. It finishes when it loses the focus, which it gives away itself
// when its list closes up or on Enter and Escape. Unless cancelled it reports
// the chosen option (if any) through endLabelEdit, stores its value into the
// target, and sends WM_PROPERTY_APPLIED to the host list, in that order;
// then it deletes itself.
class CInPlaceCombo : public QComboBox
{
    Q_OBJECT

public:
    // `options` is read only by Create; `target` may be null.
    CInPlaceCombo(int item, int subItem, const PropertyOptionList *options, std::uint32_t *target);
    ~CInPlaceCombo() override;

    // Puts the box over `rect` of the host's viewport with the host's font,
    // fills the entries (item data = option value), selects nothing and takes
    // the focus. The caller selects the entry and drops the list down.
    bool Create(const QRect &rect, QAbstractItemView *host);

    // The target's owner is going away: store nothing from now on.
    void ClearTarget() { m_target = nullptr; }

    bool IsFinished() const { return m_finished; }

    const int m_item;
    const int m_subItem;
    bool m_cancelled = false;
    std::uint32_t *m_target;
    const PropertyOptionList *m_options;

Q_SIGNALS:
    void endLabelEdit(const InPlaceEditResult &result);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    bool HasHighlightedEntry() const;
    void OnCloseUp();
    void GiveFocusToHost();
    void Finish();

    QPointer<QAbstractItemView> m_host;
    QWidget *m_popup = nullptr;
    bool m_finished = false;
};
