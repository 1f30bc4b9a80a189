#pragma once

#include "skimbler/DrawState.h"
#include "skimbler/Scene.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace skimbler {

using Colour = std::array<double, 4>;  // RGBA, 0 to 1

// One mipmap level of a texture as RGBA bytes, rows in the order of t (row 0
// at t = 0, which is the first row the image was uploaded with).
struct TexelLevel
{
    int Width = 0;
    int Height = 0;
    // An RGB texture: its alpha and its border's alpha are 1.
    bool Opaque = false;
    std::vector<std::uint8_t> Rgba;

    const std::uint8_t *At(int column, int row) const
    {
        const std::size_t index = static_cast<std::size_t>(row) * static_cast<std::size_t>(Width)
            + static_cast<std::size_t>(column);
        return &Rgba[index * 4];
    }
};

// Level 0 first; empty when there is no texture.
using TexelPyramid = std::vector<TexelLevel>;

// What one window pixel becomes, step by step.
struct PixelResult
{
    int X = 0;  // window pixel, y from the top
    int Y = 0;
    bool OnSurface = false;
    double U = 0.0;  // texture coordinates as interpolated
    double V = 0.0;
    int Level = 0;    // mipmap level holding the texel below
    int Column = 0;   // texel under (u, v) on that level (row 0 at v = 0)
    int Row = 0;
    bool HasTexture = false;  // false: no image, or mipmaps the filter needs are missing: not textured
    bool Magnified = true;
    std::uint32_t Filter = 0;           // the filter in force
    std::uint32_t RequestedFilter = 0;  // what the settings ask for; differs when refused
    bool FilterAccepted = true;
    Colour Texel{};
    Colour Filtered{};
    Colour CornerColour{};
    Colour Source{};       // filtered x corner colour
    Colour Destination{};  // what was there before the surface
    std::uint32_t SrcFactor = 0;  // the pair in force
    std::uint32_t DestFactor = 0;
    std::uint32_t RequestedSrcFactor = 0;  // what the settings ask for; differs when refused
    std::uint32_t RequestedDestFactor = 0;
    bool BlendAccepted = true;
    Colour SrcWeight{};
    Colour DestWeight{};
    Colour Result{};
};

// The pixel (x, y) of `view`, y counted from the top, when `state` is drawn
// over `destination` with the texture `texels`: the fixed-function pipeline's
// projection, strip, interpolation, filtering and blending worked out on the
// CPU. The state must have been resolved for the view's size.
PixelResult PixelAt(const DrawState &state, const View &view, const TexelPyramid &texels,
                    const Colour &destination, int x, int y);

// A channel as the 0-255 byte a framebuffer stores.
int ToByte(double channel);

} // namespace skimbler
