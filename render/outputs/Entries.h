#pragma once

// Included by each output's file: its definition then has the name the
// registry lists.
#include "render/Outputs.h"

namespace Outputs {
#define SKIMBLER_OUTPUT(name) extern const Output name;
#include "render/outputs/List.h"
#undef SKIMBLER_OUTPUT
} // namespace Outputs
