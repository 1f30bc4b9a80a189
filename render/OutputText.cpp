#include "render/OutputText.h"

#include <QStringList>

#include <cmath>

namespace OutputText {

namespace {

// A point or exponent, so that C (and JSON readers) take it as a real number.
QString WithPoint(QString text)
{
    if (!text.contains(QLatin1Char('.')) && !text.contains(QLatin1Char('e')))
        text += QStringLiteral(".0");
    return text;
}

} // namespace

QString Shortest(float value)
{
    QString text;
    for (int precision = 1; precision <= 9; ++precision) {
        text = QString::number(static_cast<double>(value), 'g', precision);
        if (text.toFloat() == value)
            break;
    }
    return text;
}

QString Shortest(double value)
{
    QString text;
    for (int precision = 1; precision <= 17; ++precision) {
        text = QString::number(value, 'g', precision);
        if (text.toDouble() == value)
            break;
    }
    return text;
}

QString FloatLiteral(float value)
{
    if (!std::isfinite(value))
        return QStringLiteral("0.0f /* not a finite number */");
    return WithPoint(Shortest(value)) + QLatin1Char('f');
}

QString DoubleLiteral(double value)
{
    return WithPoint(Shortest(value));
}

QString GlName(const std::vector<skimbler::ValueTable::Entry> &table, std::uint32_t value)
{
    return QString::fromLatin1(skimbler::ValueTable::Find(table, value));
}

QString Hex(std::uint32_t value)
{
    return QStringLiteral("0x%1").arg(value, 4, 16, QLatin1Char('0'));
}

QString JsonString(const QString &text)
{
    QString quoted = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\') + c;
        else if (c.unicode() < 0x20)
            quoted += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            quoted += c;
    }
    return quoted + QLatin1Char('"');
}

QString JsonNumber(float value)
{
    if (!std::isfinite(value))
        return QStringLiteral("null");
    return WithPoint(Shortest(value));
}

QString JsonBool(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

QString ArrayRows(const QStringList &items, int perLine, const QString &indent)
{
    QStringList lines;
    for (qsizetype i = 0; i < items.size(); i += perLine)
        lines << indent + items.mid(i, perLine).join(QStringLiteral(", ")) + QLatin1Char(',');
    return lines.join(QLatin1Char('\n'));
}

QString CArray(const char *type, const char *name, const QStringList &items, int perLine)
{
    return QStringLiteral("static const %1 %2[%3] = {\n")
               .arg(QString::fromLatin1(type), QString::fromLatin1(name))
               .arg(items.size())
        + ArrayRows(items, perLine) + QStringLiteral("\n};");
}

QStringList FloatLiterals(const float *values, int count)
{
    QStringList literals;
    for (int i = 0; i < count; ++i)
        literals << FloatLiteral(values[i]);
    return literals;
}

QString JsonNumbers(const float *values, int count)
{
    QStringList parts;
    for (int i = 0; i < count; ++i)
        parts.append(JsonNumber(values[i]));
    return QLatin1Char('[') + parts.join(QStringLiteral(", ")) + QLatin1Char(']');
}

QString JsonEnum(const std::vector<skimbler::ValueTable::Entry> &table, std::uint32_t value)
{
    const QString name = GlName(table, value);
    return name.isEmpty() ? QString::number(value) : JsonString(name);
}

} // namespace OutputText
