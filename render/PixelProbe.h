#pragma once

#include "render/TextureReadback.h"

#include <QString>

#include <array>
#include <cstdint>

class Surface;

// Why a window pixel has the colour it has: the surface's drawing worked out
// on the CPU with the same projection, strip, interpolation, filtering and
// blending the view draws with. No OpenGL here.
namespace PixelProbe {

using Colour = std::array<double, 4>;  // RGBA, 0 to 1

// How the view draws the surface.
struct Scene
{
    int Width = 0;   // viewport, device pixels
    int Height = 0;
    float PanX = 0.0f;  // shift of the whole picture after the projection,
    float PanY = 0.0f;  // device pixels, y downwards
    float Zoom = 1.0f;
    bool Projective = false;  // projective texture coordinates
};

struct Result
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
    std::uint32_t Filter = 0;  // the filter in force
    bool FilterAccepted = true;
    Colour Texel{};
    Colour Filtered{};
    Colour CornerColour{};
    Colour Source{};       // filtered x corner colour
    Colour Destination{};  // what was there before the surface
    std::uint32_t SrcFactor = 0;
    std::uint32_t DestFactor = 0;
    bool BlendAccepted = true;
    Colour SrcWeight{};
    Colour DestWeight{};
    Colour Result{};
};

// The pixel (x, y), y counted from the top, drawn over `destination`.
Result At(const Surface &surface, const Scene &scene, const TexelPyramid &texels, const Colour &destination, int x,
          int y);

// The readout: one fact a line, colours as RGBA 0-255.
QString Describe(const Result &result);

int ToByte(double channel);

} // namespace PixelProbe
