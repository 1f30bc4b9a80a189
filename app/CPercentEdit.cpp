#include "app/CPercentEdit.h"

// Placeholder until the field lands.
CPercentEdit::CPercentEdit(QWidget *parent)
    : CNumberEdit(parent)
{
}

void CPercentEdit::SetValue(double value)
{
    CNumberEdit::SetValue(value);
}
