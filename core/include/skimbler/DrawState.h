#pragma once

#include "skimbler/GlEnums.h"
#include "skimbler/Scene.h"
#include "skimbler/SurfaceSettings.h"

#include <cstddef>
#include <cstdint>

namespace skimbler {

// One vertex exactly as a renderer sends it.
struct DrawVertex
{
    float Position[3] = {};  // plane units, before the view's zoom; z above the plane
    float TexCoord[4] = {};  // s, t, r, q as sent: (s q, t q, 0, q) when projective, else (s, t, 0, 1)
    float Colour[4] = {};    // RGBA; white when the corner colours are not in use
};

struct DrawOptions
{
    // The window the image-sized quad hangs in when the corner points are
    // not in use (one image pixel per window pixel from the centre).
    int ViewWidth = 0;
    int ViewHeight = 0;
    double Aspect = scene::Aspect;  // the view's projection (View::Aspect)
    // Projective texture coordinates even when the surface's own
    // PerspectiveCorrect is off (a caller's override, never a way to turn
    // them off).
    bool Projective = false;
};

// Everything a renderer needs to draw a surface, with the flag rules
// applied: a setting whose flag is off is replaced here by what is drawn in
// its place, and nowhere else.
struct DrawState
{
    // A triangle strip: top left, bottom left, top right, bottom right.
    DrawVertex Vertices[4];
    std::uint32_t Primitive = gl::TRIANGLE_STRIP;
    bool VertexColours = false;  // per-vertex colours; false: constant white
    bool Projective = false;     // some q is not 1
    std::uint32_t MagFilter = gl::LINEAR;
    std::uint32_t MinFilter = gl::LINEAR;
    bool NeedsMipmaps = false;  // the min filter in force samples mipmap levels
    bool Blend = true;
    std::uint32_t SrcFactor = gl::SRC_ALPHA;
    std::uint32_t DestFactor = gl::ONE_MINUS_SRC_ALPHA;
    std::uint32_t WrapS = gl::CLAMP;
    std::uint32_t WrapT = gl::CLAMP;
    std::uint32_t TextureEnvMode = gl::MODULATE;  // texture colour times vertex colour
    std::uint32_t ImageWidth = 0;
    std::uint32_t ImageHeight = 0;

    // What the settings ask for once the flag rules are applied. A value
    // OpenGL refuses is not sent: the filter draws as NEAREST (what the
    // editor's texture holds from its upload) and a blend pair with a refused
    // factor draws as SRC_ALPHA, ONE_MINUS_SRC_ALPHA (what the editor's view
    // has set when the surface is drawn). The fields above hold what is in
    // force; these differ from them only where a value was refused.
    std::uint32_t RequestedMagFilter = gl::LINEAR;
    std::uint32_t RequestedMinFilter = gl::LINEAR;
    std::uint32_t RequestedSrcFactor = gl::SRC_ALPHA;
    std::uint32_t RequestedDestFactor = gl::ONE_MINUS_SRC_ALPHA;

    bool MagRefused() const { return RequestedMagFilter != MagFilter; }
    bool MinRefused() const { return RequestedMinFilter != MinFilter; }
    bool BlendRefused() const { return RequestedSrcFactor != SrcFactor || RequestedDestFactor != DestFactor; }
};

// What is drawn in place of a value OpenGL refuses (see DrawState).
constexpr std::uint32_t RefusedFilterDrawsAs = gl::NEAREST;
constexpr std::uint32_t RefusedBlendDrawsAs[2] = {gl::SRC_ALPHA, gl::ONE_MINUS_SRC_ALPHA};

// Texture coordinates of the strip's corners before q: (0,1) (0,0) (1,1) (1,0).
extern const float StripTexCoords[4][2];

// The one place the flag rules and the rule for refused values live.
DrawState Resolve(const SurfaceSettings &settings, std::uint32_t imageWidth, std::uint32_t imageHeight,
                  const DrawOptions &options);

// Straight-alpha output (what a transparent export writes). Drawn on
// transparent black in two passes, the colour channels with the blend in
// force and then the alpha channel alone with blending off, a pixel holds
// the blended colour and the surface's own alpha (its coverage). Where the
// source factor weighs the source by its alpha (SRC_ALPHA,
// SRC_ALPHA_SATURATE) that colour is premultiplied.
bool PremultipliesColour(const DrawState &state);
// What a runtime renderer's draw writes into the colour buffer.
enum class AlphaOutput {
    // The surface blended over what is there, alpha channel included, as
    // the editor's view draws it.
    Blended,
    // The two passes above. Clear to (0, 0, 0, 0) first; read the frame
    // back and pass it to StraightenAlpha with the same state for the bytes
    // a transparent export writes.
    StraightPasses,
};
// Turns `pixelCount` RGBA8 pixels drawn so into straight alpha: the colour
// divided by the alpha (rounded to nearest) where PremultipliesColour, and
// pixels of alpha 0 made (0, 0, 0, 0).
void StraightenAlpha(const DrawState &state, std::uint8_t *rgba, std::size_t pixelCount);

// The homogeneous q of each corner that makes the strip's two triangles one
// projective mapping. False, with every q 1, for a parallelogram (already
// one mapping) and when the diagonals do not cross inside the quad.
bool ProjectiveQ(const float corners[4][3], float q[4]);

} // namespace skimbler
