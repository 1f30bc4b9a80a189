#pragma once

#include <QLineEdit>
#include <QString>

// A one-line field holding one number with a fixed count of decimals. It
// filters typed characters, commits on Enter and on focus loss, and then
// shows the number in its canonical form.
class CNumberEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit CNumberEdit(QWidget *parent = nullptr);

    void Setup(double value, int decimals);
    virtual void SetValue(double value);
    double GetValue() const { return m_value; }
    QString FormatValue(double value) const;
    void ParseText();
    void Commit();
    bool IsValidChar(int character) const;

    double m_value = 0.0;
    int m_decimals = 2;
    QString m_text = QStringLiteral("0.00");
};
