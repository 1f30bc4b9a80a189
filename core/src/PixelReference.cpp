#include "skimbler/PixelReference.h"

#include <algorithm>
#include <cmath>

namespace skimbler {

namespace {

double Clamp01(double v)
{
    return std::min(1.0, std::max(0.0, v));
}

// A projected vertex: window position and clip w.
struct Projected
{
    double x = 0.0;
    double y = 0.0;
    double w = 1.0;
};

// The strip's attributes at one vertex.
struct Vertex
{
    Projected position;
    double s = 0.0;
    double t = 0.0;
    double q = 1.0;
    Colour colour{};
};

// One triangle of the strip, with what it gives any window point.
struct Triangle
{
    const Vertex *v[3] = {};

    // Screen-space barycentrics of the window point (px, py); false when
    // the triangle is degenerate.
    bool Barycentric(double px, double py, double l[3]) const
    {
        const Projected &a = v[0]->position;
        const Projected &b = v[1]->position;
        const Projected &c = v[2]->position;
        const double area = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
        if (area == 0.0 || !std::isfinite(area))
            return false;
        l[0] = ((b.x - px) * (c.y - py) - (b.y - py) * (c.x - px)) / area;
        l[1] = ((c.x - px) * (a.y - py) - (c.y - py) * (a.x - px)) / area;
        l[2] = 1.0 - l[0] - l[1];
        return true;
    }

    // Perspective-correct weights at (px, py).
    bool Weights(double px, double py, double b[3]) const
    {
        double l[3];
        if (!Barycentric(px, py, l))
            return false;
        double sum = 0.0;
        for (int i = 0; i < 3; ++i) {
            b[i] = l[i] / v[i]->position.w;
            sum += b[i];
        }
        if (sum == 0.0 || !std::isfinite(sum))
            return false;
        for (int i = 0; i < 3; ++i)
            b[i] /= sum;
        return true;
    }

    // Texture coordinates (s/q, t/q) at (px, py).
    bool TexCoord(double px, double py, double *s, double *t) const
    {
        double b[3];
        if (!Weights(px, py, b))
            return false;
        double sq = 0.0;
        double tq = 0.0;
        double q = 0.0;
        for (int i = 0; i < 3; ++i) {
            sq += b[i] * v[i]->s * v[i]->q;
            tq += b[i] * v[i]->t * v[i]->q;
            q += b[i] * v[i]->q;
        }
        if (q == 0.0)
            return false;
        *s = sq / q;
        *t = tq / q;
        return true;
    }
};

Colour Fetch(const TexelLevel &level, int column, int row)
{
    // Outside the image a clamped lookup reads the border colour.
    if (column < 0 || row < 0 || column >= level.Width || row >= level.Height)
        return {0.0, 0.0, 0.0, level.Opaque ? 1.0 : 0.0};
    const std::uint8_t *p = level.At(column, row);
    return {p[0] / 255.0, p[1] / 255.0, p[2] / 255.0, p[3] / 255.0};
}

// GL_CLAMP: the coordinate stays in [0, 1]; nearest picks a texel inside,
// linear may lean on the border.
int NearestIndex(double coordinate, int size)
{
    const double c = Clamp01(coordinate);
    return std::min(size - 1, static_cast<int>(std::floor(c * size)));
}

Colour Sample(const TexelLevel &level, double s, double t, bool linear)
{
    if (!linear)
        return Fetch(level, NearestIndex(s, level.Width), NearestIndex(t, level.Height));
    const double u = Clamp01(s) * level.Width - 0.5;
    const double v = Clamp01(t) * level.Height - 0.5;
    const int i0 = static_cast<int>(std::floor(u));
    const int j0 = static_cast<int>(std::floor(v));
    const double a = u - i0;
    const double b = v - j0;
    const Colour c00 = Fetch(level, i0, j0);
    const Colour c10 = Fetch(level, i0 + 1, j0);
    const Colour c01 = Fetch(level, i0, j0 + 1);
    const Colour c11 = Fetch(level, i0 + 1, j0 + 1);
    Colour out{};
    for (int k = 0; k < 4; ++k)
        out[k] = (1 - a) * (1 - b) * c00[k] + a * (1 - b) * c10[k] + (1 - a) * b * c01[k] + a * b * c11[k];
    return out;
}

Colour Factor(std::uint32_t factor, const Colour &src, const Colour &dst)
{
    switch (factor) {
    case gl::ZERO: return {0, 0, 0, 0};
    case gl::ONE: return {1, 1, 1, 1};
    case gl::SRC_COLOR: return src;
    case gl::ONE_MINUS_SRC_COLOR: return {1 - src[0], 1 - src[1], 1 - src[2], 1 - src[3]};
    case gl::DST_COLOR: return dst;
    case gl::ONE_MINUS_DST_COLOR: return {1 - dst[0], 1 - dst[1], 1 - dst[2], 1 - dst[3]};
    case gl::SRC_ALPHA: return {src[3], src[3], src[3], src[3]};
    case gl::ONE_MINUS_SRC_ALPHA: return {1 - src[3], 1 - src[3], 1 - src[3], 1 - src[3]};
    case gl::DST_ALPHA: return {dst[3], dst[3], dst[3], dst[3]};
    case gl::ONE_MINUS_DST_ALPHA: return {1 - dst[3], 1 - dst[3], 1 - dst[3], 1 - dst[3]};
    case gl::SRC_ALPHA_SATURATE: {
        const double f = std::min(src[3], 1 - dst[3]);
        return {f, f, f, 1};
    }
    default: return {1, 1, 1, 1};
    }
}

} // namespace

int ToByte(double channel)
{
    return static_cast<int>(std::lround(Clamp01(channel) * 255.0));
}

PixelResult PixelAt(const DrawState &state, const View &view, const TexelPyramid &texels,
                    const Colour &destination, int x, int y)
{
    PixelResult result;
    result.X = x;
    result.Y = y;
    result.Destination = destination;
    result.Result = destination;

    // Resolve has put what is drawn in place of a refused value.
    result.SrcFactor = state.SrcFactor;
    result.DestFactor = state.DestFactor;
    result.RequestedSrcFactor = state.RequestedSrcFactor;
    result.RequestedDestFactor = state.RequestedDestFactor;
    result.BlendAccepted = !state.BlendRefused();
    // From here on the position is within the drawn area.
    x -= view.OffsetX;
    y -= view.OffsetY;
    if (view.Width <= 0 || view.Height <= 0 || x < 0 || y < 0 || x >= view.Width || y >= view.Height)
        return result;

    // The perspective without the pan, which is added in window pixels.
    double projection[16];
    View unpanned = view;
    unpanned.PanX = unpanned.PanY = 0.0f;
    ProjectionMatrix(unpanned, projection);
    const double scaleX = projection[0];
    const double scaleY = projection[5];

    Vertex vertices[4];
    for (int i = 0; i < 4; ++i) {
        const DrawVertex &drawn = state.Vertices[i];
        const double xe = double(view.Zoom) * drawn.Position[0];
        const double ye = double(view.Zoom) * drawn.Position[1];
        const double w = -(double(drawn.Position[2]) + double(scene::PlaneZ));
        // Behind the near plane the triangles are clipped; not worked out here.
        if (!(w >= scene::NearPlane))
            return result;
        Vertex &v = vertices[i];
        v.position.w = w;
        v.position.x = (scaleX * xe / w + 1.0) * view.Width * 0.5 + view.PanX;
        v.position.y = (scaleY * ye / w + 1.0) * view.Height * 0.5 - view.PanY;
        const double q = drawn.TexCoord[3];
        v.q = q;
        v.s = drawn.TexCoord[0] / q;
        v.t = drawn.TexCoord[1] / q;
        for (int k = 0; k < 4; ++k)
            v.colour[k] = Clamp01(drawn.Colour[k]);
    }

    // The fragment's centre, in window coordinates from the bottom.
    const int glY = view.Height - 1 - y;
    const double px = x + 0.5;
    const double py = glY + 0.5;
    const Triangle strip[2] = {{{&vertices[0], &vertices[1], &vertices[2]}},
                               {{&vertices[1], &vertices[2], &vertices[3]}}};
    const Triangle *hit = nullptr;
    constexpr double kInside = -1e-9;
    for (const Triangle &triangle : strip) {
        double l[3];
        if (triangle.Barycentric(px, py, l) && l[0] >= kInside && l[1] >= kInside && l[2] >= kInside) {
            hit = &triangle;
            break;
        }
    }
    if (!hit)
        return result;

    double b[3];
    if (!hit->Weights(px, py, b) || !hit->TexCoord(px, py, &result.U, &result.V))
        return result;
    result.OnSurface = true;
    for (int k = 0; k < 4; ++k) {
        result.CornerColour[k]
            = b[0] * hit->v[0]->colour[k] + b[1] * hit->v[1]->colour[k] + b[2] * hit->v[2]->colour[k];
    }

    // Level of detail from the 2 x 2 block the pixel belongs to, as the
    // rasteriser works it out.
    const int baseWidth = texels.empty() ? 1 : texels.front().Width;
    const int baseHeight = texels.empty() ? 1 : texels.front().Height;
    const double qx = (x & ~1) + 0.5;
    const double qy = (glY & ~1) + 0.5;
    double s00 = 0, t00 = 0, s10 = 0, t10 = 0, s01 = 0, t01 = 0;
    double lambda = 0.0;
    if (hit->TexCoord(qx, qy, &s00, &t00) && hit->TexCoord(qx + 1, qy, &s10, &t10)
        && hit->TexCoord(qx, qy + 1, &s01, &t01)) {
        const double dudx = (s10 - s00) * baseWidth;
        const double dvdx = (t10 - t00) * baseHeight;
        const double dudy = (s01 - s00) * baseWidth;
        const double dvdy = (t01 - t00) * baseHeight;
        const double rho2 = std::max(dudx * dudx + dvdx * dvdx, dudy * dudy + dvdy * dvdy);
        lambda = rho2 > 0.0 ? 0.5 * std::log2(rho2) : -1000.0;
    }

    const std::uint32_t mag = state.MagFilter;
    const std::uint32_t min = state.MinFilter;
    const double switchover
        = (mag == gl::LINEAR && (min == gl::NEAREST_MIPMAP_NEAREST || min == gl::NEAREST_MIPMAP_LINEAR)) ? 0.5 : 0.0;
    result.Magnified = lambda <= switchover;
    result.Filter = result.Magnified ? mag : min;
    result.RequestedFilter = result.Magnified ? state.RequestedMagFilter : state.RequestedMinFilter;
    result.FilterAccepted = result.Magnified ? !state.MagRefused() : !state.MinRefused();
    const std::uint32_t filter = result.Filter;

    // No image, or a mipmap filter on a texture without all its levels: the
    // texture is incomplete and the fixed-function pipeline draws as if
    // texturing were off, with the corner colour alone.
    int fullChain = 1;
    for (int size = std::max(baseWidth, baseHeight); size > 1; size >>= 1)
        ++fullChain;
    const bool complete = !texels.empty() && (!IsMipmapFilter(min) || int(texels.size()) >= fullChain);
    result.HasTexture = complete;
    if (!complete) {
        result.Texel = {1, 1, 1, 1};
        result.Filtered = {1, 1, 1, 1};
    } else {
        int level = 0;
        int secondLevel = -1;
        double levelBlend = 0.0;
        const int lastLevel = int(texels.size()) - 1;
        if (!result.Magnified && IsMipmapFilter(filter)) {
            if (filter == gl::NEAREST_MIPMAP_NEAREST || filter == gl::LINEAR_MIPMAP_NEAREST) {
                level = lambda <= 0.5 ? 0 : static_cast<int>(std::ceil(lambda + 0.5)) - 1;
                level = std::min(level, lastLevel);
            } else {
                const double d = std::max(0.0, lambda);
                level = std::min(static_cast<int>(std::floor(d)), lastLevel);
                if (level < lastLevel) {
                    secondLevel = level + 1;
                    levelBlend = d - std::floor(d);
                }
            }
        }
        const bool linear = filter == gl::LINEAR || filter == gl::LINEAR_MIPMAP_NEAREST || filter == gl::LINEAR_MIPMAP_LINEAR;
        const TexelLevel &chosen = texels[static_cast<size_t>(level)];
        result.Level = level;
        result.Column = NearestIndex(result.U, chosen.Width);
        result.Row = NearestIndex(result.V, chosen.Height);
        result.Texel = Fetch(chosen, result.Column, result.Row);
        result.Filtered = Sample(chosen, result.U, result.V, linear);
        if (secondLevel >= 0) {
            const Colour other = Sample(texels[static_cast<size_t>(secondLevel)], result.U, result.V, linear);
            for (int k = 0; k < 4; ++k)
                result.Filtered[k] = (1 - levelBlend) * result.Filtered[k] + levelBlend * other[k];
        }
    }

    // The texture modulates the corner colour.
    for (int k = 0; k < 4; ++k)
        result.Source[k] = result.Filtered[k] * result.CornerColour[k];

    result.SrcWeight = Factor(result.SrcFactor, result.Source, destination);
    result.DestWeight = Factor(result.DestFactor, result.Source, destination);
    for (int k = 0; k < 4; ++k)
        result.Result[k] = Clamp01(result.Source[k] * result.SrcWeight[k] + destination[k] * result.DestWeight[k]);
    return result;
}

} // namespace skimbler
