#pragma once

#include <QString>

#include <cstdint>
#include <vector>

// One choice of an in-place drop-down: the value stored into the target
// field and the text shown in the list and, once chosen, in the cell.
struct PropertyOption
{
    std::int32_t Value = 0;
    QString Text;
};

// Entry i of a drop-down is option i of its list.
using PropertyOptionList = std::vector<PropertyOption>;
