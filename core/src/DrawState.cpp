#include "skimbler/DrawState.h"

#include "skimbler/Scene.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace skimbler {

const float StripTexCoords[4][2] = {{0, 1}, {0, 0}, {1, 1}, {1, 0}};

namespace {

// The corners in strip order before the view's zoom: the surface's points, or
// without the points flag the image-sized quad hanging from the centre of the
// window.
void Corners(const SurfaceSettings &settings, std::uint32_t imageWidth, std::uint32_t imageHeight,
             const DrawOptions &options, float corners[4][3])
{
    if (settings.Flags & SURFACE_FLAG_POINTS) {
        std::memcpy(corners, settings.Points, sizeof settings.Points);
        return;
    }
    // One image pixel per window pixel, in the same single-precision steps as
    // the window-to-plane conversion, so the quad lands on the same pixels.
    const float halfWidth = static_cast<float>(options.ViewWidth) * 0.5f;
    const float halfHeight = static_cast<float>(options.ViewHeight == 0 ? 1 : options.ViewHeight) * 0.5f;
    const float planeHalfWidth = PlaneHalfWidthFor(options.Aspect);
    const float extentX = (halfWidth + static_cast<float>(imageWidth)) / halfWidth * planeHalfWidth - planeHalfWidth;
    const float extentY = (halfHeight + static_cast<float>(imageHeight)) / -halfHeight + 1.0f;
    const float quad[4][3] = {{0, 0, 0}, {0, extentY, 0}, {extentX, 0, 0}, {extentX, extentY, 0}};
    std::memcpy(corners, quad, sizeof quad);
}

} // namespace

DrawState Resolve(const SurfaceSettings &settings, std::uint32_t imageWidth, std::uint32_t imageHeight,
                  const DrawOptions &options)
{
    DrawState state;
    state.ImageWidth = imageWidth;
    state.ImageHeight = imageHeight;

    // A setting whose flag is off draws as linear filtering and plain alpha
    // blending.
    state.RequestedMagFilter = (settings.Flags & SURFACE_FLAG_MAG) ? settings.MagFilter : gl::LINEAR;
    state.RequestedMinFilter = (settings.Flags & SURFACE_FLAG_MIN) ? settings.MinFilter : gl::LINEAR;
    state.RequestedSrcFactor = (settings.Flags & SURFACE_FLAG_BLEND) ? settings.SrcFactor : gl::SRC_ALPHA;
    state.RequestedDestFactor = (settings.Flags & SURFACE_FLAG_BLEND) ? settings.DestFactor : gl::ONE_MINUS_SRC_ALPHA;
    // OpenGL ignores a call with a value it refuses and keeps what it had.
    state.MagFilter = IsMagFilter(state.RequestedMagFilter) ? state.RequestedMagFilter : RefusedFilterDrawsAs;
    state.MinFilter = IsMinFilter(state.RequestedMinFilter) ? state.RequestedMinFilter : RefusedFilterDrawsAs;
    state.NeedsMipmaps = IsMipmapFilter(state.MinFilter);
    state.Blend = true;
    const bool pairAccepted = IsBlendFactor(state.RequestedSrcFactor) && IsBlendFactor(state.RequestedDestFactor);
    state.SrcFactor = pairAccepted ? state.RequestedSrcFactor : RefusedBlendDrawsAs[0];
    state.DestFactor = pairAccepted ? state.RequestedDestFactor : RefusedBlendDrawsAs[1];
    state.VertexColours = (settings.Flags & SURFACE_FLAG_COLORS) != 0;

    float corners[4][3];
    Corners(settings, imageWidth, imageHeight, options, corners);
    float q[4] = {1, 1, 1, 1};
    state.Projective = (options.Projective || settings.PerspectiveCorrect != 0) && ProjectiveQ(corners, q);

    for (int i = 0; i < 4; ++i) {
        DrawVertex &v = state.Vertices[i];
        std::memcpy(v.Position, corners[i], sizeof v.Position);
        const float s = StripTexCoords[i][0];
        const float t = StripTexCoords[i][1];
        if (state.Projective) {
            v.TexCoord[0] = s * q[i];
            v.TexCoord[1] = t * q[i];
            v.TexCoord[2] = 0.0f;
            v.TexCoord[3] = q[i];
        } else {
            v.TexCoord[0] = s;
            v.TexCoord[1] = t;
            v.TexCoord[2] = 0.0f;
            v.TexCoord[3] = 1.0f;
        }
        for (int k = 0; k < 4; ++k)
            v.Colour[k] = state.VertexColours ? settings.Colors[i][k] : 1.0f;
    }
    return state;
}

bool ProjectiveQ(const float corners[4][3], float q[4])
{
    for (int i = 0; i < 4; ++i)
        q[i] = 1.0f;
    // Solve p0 + a (p3 - p0) = p1 + b (p2 - p1) in double precision.
    const double d03x = double(corners[3][0]) - corners[0][0];
    const double d03y = double(corners[3][1]) - corners[0][1];
    const double d12x = double(corners[2][0]) - corners[1][0];
    const double d12y = double(corners[2][1]) - corners[1][1];
    const double ox = double(corners[1][0]) - corners[0][0];
    const double oy = double(corners[1][1]) - corners[0][1];
    const double denominator = d03x * d12y - d03y * d12x;
    if (!std::isfinite(denominator) || denominator == 0.0)
        return false;
    const double a = (ox * d12y - oy * d12x) / denominator;
    const double b = (ox * d03y - oy * d03x) / denominator;
    // Too close to a corner and q runs away to infinity.
    constexpr double kEdge = 1e-6;
    if (!(a > kEdge && a < 1.0 - kEdge && b > kEdge && b < 1.0 - kEdge))
        return false;
    // Diagonals that halve each other make a parallelogram, where the two
    // triangles already are one mapping.
    if (std::fabs(a - 0.5) < 1e-7 && std::fabs(b - 0.5) < 1e-7)
        return false;
    q[0] = static_cast<float>(1.0 / (1.0 - a));
    q[3] = static_cast<float>(1.0 / a);
    q[1] = static_cast<float>(1.0 / (1.0 - b));
    q[2] = static_cast<float>(1.0 / b);
    return true;
}

bool PremultipliesColour(const DrawState &state)
{
    return state.SrcFactor == gl::SRC_ALPHA || state.SrcFactor == gl::SRC_ALPHA_SATURATE;
}

void StraightenAlpha(const DrawState &state, std::uint8_t *rgba, std::size_t pixelCount)
{
    const bool premultiplied = PremultipliesColour(state);
    for (std::uint8_t *pixel = rgba, *end = rgba + pixelCount * 4; pixel != end; pixel += 4) {
        const int alpha = pixel[3];
        if (alpha == 0) {
            pixel[0] = pixel[1] = pixel[2] = 0;
            continue;
        }
        if (!premultiplied)
            continue;
        for (int k = 0; k < 3; ++k)
            pixel[k] = static_cast<std::uint8_t>(std::min(255, (pixel[k] * 255 + alpha / 2) / alpha));
    }
}

} // namespace skimbler
