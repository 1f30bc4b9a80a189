#pragma once

#include <cstdint>

namespace skimbler {

// The flag word of a surface. Only bits 0 to 5 mean anything; the others are
// carried along untouched until the Flags panel rewrites the whole word.
using SurfaceFlags = std::uint32_t;

enum : SurfaceFlags {
    SURFACE_FLAG_COLORKEY = 0x01,
    SURFACE_FLAG_POINTS = 0x02,
    SURFACE_FLAG_COLORS = 0x04,
    SURFACE_FLAG_MAG = 0x08,
    SURFACE_FLAG_MIN = 0x10,
    SURFACE_FLAG_BLEND = 0x20,
};

constexpr int SurfaceFlagCount = 6;
// The bits a new surface turns on: everything but the colour key.
constexpr SurfaceFlags SurfaceDefaultFlags = 0x3E;

} // namespace skimbler
