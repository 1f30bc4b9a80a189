#pragma once

#include "surface/SurfaceFlags.h"

#include <cstdint>
#include <cstring>

class Surface;

// Everything about a surface the user can change, as one value: what an undo
// step restores and what the clipboard carries. The texture and the image's
// size belong to the image and are not here.
struct SurfaceSettings
{
    std::uint32_t Version = 0;
    std::uint32_t BPP = 0;
    std::uint32_t Type = 0;
    std::uint32_t DataFormat = 0;
    std::uint32_t ColorKey = 0;
    std::uint32_t MagFilter = 0;
    std::uint32_t MinFilter = 0;
    std::uint32_t SrcFactor = 0;
    std::uint32_t DestFactor = 0;
    SurfaceFlags Flags = 0;
    float Points[4][3] = {};
    float Colors[4][4] = {};

    static SurfaceSettings Of(const Surface &surface);
    void ApplyTo(Surface *surface) const;

    // Bit for bit: an undo must give back exactly what was there, -0 and all.
    friend bool operator==(const SurfaceSettings &a, const SurfaceSettings &b)
    {
        return std::memcmp(&a, &b, sizeof(SurfaceSettings)) == 0;
    }
    friend bool operator!=(const SurfaceSettings &a, const SurfaceSettings &b) { return !(a == b); }
};

// Every member is 4 bytes wide, so there is no padding for memcmp to trip on.
static_assert(sizeof(SurfaceSettings) == (10 + 12 + 16) * 4, "SurfaceSettings must have no padding");
