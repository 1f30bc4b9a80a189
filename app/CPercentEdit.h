#pragma once

#include "app/CNumberEdit.h"

// The zoom field: shows its value followed by "%" while not being edited.
class CPercentEdit : public CNumberEdit
{
    Q_OBJECT

public:
    explicit CPercentEdit(QWidget *parent = nullptr);

    // Shows the value with "%", even while the field has the focus.
    void SetValue(double value) override;
    // Commits and shows the value with "%".
    void OnKillFocus() override;

    QString m_percentText;
};
