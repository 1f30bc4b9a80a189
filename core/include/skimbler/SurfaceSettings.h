#pragma once

#include "skimbler/SurfaceFlags.h"

#include <cstdint>
#include <cstring>

namespace skimbler {

// Everything about a surface the user can change, as one value: what an undo
// step restores, what the file and the clipboard carry and what a renderer
// resolves. The image and its size are not here.
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
    float Points[4][3] = {};  // top left, bottom left, top right, bottom right
    float Colors[4][4] = {};  // RGBA, 0 to 1, same order
    // Non-zero: texture coordinates are projective, so a quad that is not a
    // parallelogram keeps the image's straight lines straight. Part of the
    // surface, so it looks the same in every program that draws it.
    std::uint32_t PerspectiveCorrect = 0;

    // Bit for bit: an undo must give back exactly what was there, -0 and all.
    friend bool operator==(const SurfaceSettings &a, const SurfaceSettings &b)
    {
        return std::memcmp(&a, &b, sizeof(SurfaceSettings)) == 0;
    }
    friend bool operator!=(const SurfaceSettings &a, const SurfaceSettings &b) { return !(a == b); }
};

// Every member is 4 bytes wide, so there is no padding for memcmp to trip on.
static_assert(sizeof(SurfaceSettings) == (10 + 12 + 16 + 1) * 4, "SurfaceSettings must have no padding");

// The corner layout that fills the plane: x in [-4/3, 4/3], y in [-1, 1], z 0.
void ResetPoints(SurfaceSettings *settings);

// What a newly opened image gets: linear filters, GL_ONE / GL_ONE blending,
// the default flag bits added to those already set, the full-plane corners
// and red, green, white, white corner colours. The rest is left alone.
void ApplyDefaults(SurfaceSettings *settings);

// A zero value with ApplyDefaults applied.
SurfaceSettings DefaultSettings();

} // namespace skimbler
