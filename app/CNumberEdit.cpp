#include "app/CNumberEdit.h"

// Placeholder until the field lands.
CNumberEdit::CNumberEdit(QWidget *parent)
    : QLineEdit(parent)
{
}

void CNumberEdit::Setup(double value, int decimals)
{
    m_value = value;
    m_decimals = decimals;
    m_text = FormatValue(value);
}

void CNumberEdit::SetValue(double value)
{
    m_value = value;
    m_text = FormatValue(value);
    setText(m_text);
}

QString CNumberEdit::FormatValue(double value) const
{
    return QString::asprintf("%.*f", m_decimals, value);
}

void CNumberEdit::ParseText() {}
void CNumberEdit::Commit() {}
bool CNumberEdit::IsValidChar(int) const { return true; }
