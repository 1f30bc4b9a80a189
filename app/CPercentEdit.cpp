#include "app/CPercentEdit.h"

CPercentEdit::CPercentEdit(QWidget *parent)
    : CNumberEdit(parent)
{
}

void CPercentEdit::SetValue(double value)
{
    m_value = value;
    m_text = FormatValue(m_value);
    m_percentText = FormatValue(m_value) + QLatin1Char('%');
    WriteText(m_percentText);
}

void CPercentEdit::OnKillFocus()
{
    ParseText();
    m_text = FormatValue(m_value);
    m_percentText = m_text + QLatin1Char('%');
    WriteText(m_percentText);
}
