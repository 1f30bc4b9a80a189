#pragma once

#include "skimbler/ValueTable.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

// The pieces of text every output spells numbers and names with: the
// listings' C literals, the draw-state JSON, OpenGL enumerant names.
namespace OutputText {

// The shortest text (QString::number's 'g' form) that reads back as exactly
// `value`.
QString Shortest(float value);
QString Shortest(double value);

// C literals: always with a point or an exponent, a float's with an f.
QString FloatLiteral(float value);
QString DoubleLiteral(double value);

// An array's items, `perLine` to a line, each line indented and ending in a
// comma: the body every listing's number tables share.
QString ArrayRows(const QStringList &items, int perLine, const QString &indent = QStringLiteral("    "));
// `static const <type> <name>[<count>] = { ... };` with those rows.
QString CArray(const char *type, const char *name, const QStringList &items, int perLine);
// C float literals of `values`.
QStringList FloatLiterals(const float *values, int count);

// `value`'s OpenGL name in `table` ("GL_ONE"), or an empty string.
QString GlName(const std::vector<skimbler::ValueTable::Entry> &table, std::uint32_t value);
// 0x0302: a value as OpenGL headers write it.
QString Hex(std::uint32_t value);

// JSON: a quoted string, a number (null when not finite), a bool, an array of
// numbers, and an enumerant by its name or else as its number.
QString JsonString(const QString &text);
QString JsonNumber(float value);
QString JsonBool(bool value);
QString JsonNumbers(const float *values, int count);
QString JsonEnum(const std::vector<skimbler::ValueTable::Entry> &table, std::uint32_t value);

} // namespace OutputText
