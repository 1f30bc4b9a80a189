#pragma once

#include <QString>

#include <cstdint>
#include <vector>

// Names of the coded surface fields. The entries are in the order the
// Property panel offers them; any value not listed is shown as "Unknow".
class ValueTable
{
public:
    struct Entry
    {
        std::uint32_t value;
        const char *name;
    };

    static const std::vector<Entry> &Type();
    static const std::vector<Entry> &DataFormat();
    static const std::vector<Entry> &MagFilter();
    static const std::vector<Entry> &MinFilter();
    static const std::vector<Entry> &BlendFactor();  // SrcFactor and DestFactor

    static QString NameOf(const std::vector<Entry> &table, std::uint32_t value);
    // Looks a name up; returns false when the table does not hold it.
    static bool ValueOf(const std::vector<Entry> &table, const QString &name, std::uint32_t *value);

    static const char *const Unknown;  // "Unknow"
};
