#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace skimbler {

// Names of the coded surface fields. The entries are in the order the
// Property panel offers them; any value not listed is shown as "Unknow".
namespace ValueTable {

struct Entry
{
    std::uint32_t value;
    const char *name;
};

const std::vector<Entry> &Type();
const std::vector<Entry> &DataFormat();
const std::vector<Entry> &MagFilter();
const std::vector<Entry> &MinFilter();
const std::vector<Entry> &BlendFactor();  // SrcFactor and DestFactor
// The draw state's fixed settings no panel offers: wrap modes, the texture
// environment and the primitive.
const std::vector<Entry> &DrawStateNames();

extern const char *const Unknown;  // "Unknow"

// The entry's name, or Unknown.
const char *NameOf(const std::vector<Entry> &table, std::uint32_t value);
// The entry's name, or nullptr: for writers that spell a value the table
// does not hold in a form of their own.
const char *Find(const std::vector<Entry> &table, std::uint32_t value);
// Looks a name up; returns false (and leaves `value` alone) when the table
// does not hold it.
bool ValueOf(const std::vector<Entry> &table, std::string_view name, std::uint32_t *value);

} // namespace ValueTable
} // namespace skimbler
