#pragma once

#include "app/CNumberEdit.h"

// The zoom field: shows its value followed by "%" while not being edited.
class CPercentEdit : public CNumberEdit
{
    Q_OBJECT

public:
    explicit CPercentEdit(QWidget *parent = nullptr);

    void SetValue(double value) override;

    QString m_percentText;
};
