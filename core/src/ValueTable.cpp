#include "skimbler/ValueTable.h"

#include "skimbler/GlEnums.h"

namespace skimbler {
namespace ValueTable {

const char *const Unknown = "Unknow";

const std::vector<Entry> &Type()
{
    static const std::vector<Entry> table{{0, "0 - RGB"}, {1, "1 - RGBA"}};
    return table;
}

const std::vector<Entry> &DataFormat()
{
    static const std::vector<Entry> table{{0, "0 - Normal Data"}};
    return table;
}

const std::vector<Entry> &MagFilter()
{
    static const std::vector<Entry> table{{9728, "GL_NEAREST"}, {9729, "GL_LINEAR"}};
    return table;
}

const std::vector<Entry> &MinFilter()
{
    static const std::vector<Entry> table{
        {9728, "GL_NEAREST"},
        {9729, "GL_LINEAR"},
        {9984, "GL_NEAREST_MIPMAP_NEAREST"},
        {9985, "GL_LINEAR_MIPMAP_NEAREST"},
        {9986, "GL_NEAREST_MIPMAP_LINEAR"},
        {9987, "GL_LINEAR_MIPMAP_LINEAR"},
    };
    return table;
}

const std::vector<Entry> &BlendFactor()
{
    // Not numeric: the destination-colour pair follows the source-colour pair.
    static const std::vector<Entry> table{
        {0, "GL_ZERO"},
        {1, "GL_ONE"},
        {768, "GL_SRC_COLOR"},
        {769, "GL_ONE_MINUS_SRC_COLOR"},
        {774, "GL_DST_COLOR"},
        {775, "GL_ONE_MINUS_DST_COLOR"},
        {770, "GL_SRC_ALPHA"},
        {771, "GL_ONE_MINUS_SRC_ALPHA"},
        {772, "GL_DST_ALPHA"},
        {773, "GL_ONE_MINUS_DST_ALPHA"},
        {776, "GL_SRC_ALPHA_SATURATE"},
    };
    return table;
}

const std::vector<Entry> &DrawStateNames()
{
    static const std::vector<Entry> table{
        {gl::CLAMP, "GL_CLAMP"},
        {gl::REPEAT, "GL_REPEAT"},
        {gl::MODULATE, "GL_MODULATE"},
        {gl::TRIANGLE_STRIP, "GL_TRIANGLE_STRIP"},
    };
    return table;
}

const char *Find(const std::vector<Entry> &table, std::uint32_t value)
{
    for (const Entry &entry : table) {
        if (entry.value == value)
            return entry.name;
    }
    return nullptr;
}

const char *NameOf(const std::vector<Entry> &table, std::uint32_t value)
{
    const char *name = Find(table, value);
    return name ? name : Unknown;
}

bool ValueOf(const std::vector<Entry> &table, std::string_view name, std::uint32_t *value)
{
    for (const Entry &entry : table) {
        if (name == entry.name) {
            *value = entry.value;
            return true;
        }
    }
    return false;
}

} // namespace ValueTable
} // namespace skimbler
