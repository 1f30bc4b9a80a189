#include "render/PixelProbe.h"

#include "render/SurfaceGeometry.h"
#include "surface/Surface.h"

#include <skimbler/ValueTable.h>

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace ValueTable = skimbler::ValueTable;
using skimbler::SURFACE_FLAG_BLEND;
using skimbler::SURFACE_FLAG_COLORS;
using skimbler::SURFACE_FLAG_MAG;
using skimbler::SURFACE_FLAG_MIN;

namespace PixelProbe {

namespace {

constexpr std::uint32_t kNearest = 0x2600;
constexpr std::uint32_t kLinear = 0x2601;
constexpr std::uint32_t kNearestMipmapNearest = 0x2700;
constexpr std::uint32_t kLinearMipmapNearest = 0x2701;
constexpr std::uint32_t kNearestMipmapLinear = 0x2702;
constexpr std::uint32_t kLinearMipmapLinear = 0x2703;

constexpr std::uint32_t kZero = 0;
constexpr std::uint32_t kOne = 1;
constexpr std::uint32_t kSrcColor = 0x0300;
constexpr std::uint32_t kOneMinusSrcColor = 0x0301;
constexpr std::uint32_t kSrcAlpha = 0x0302;
constexpr std::uint32_t kOneMinusSrcAlpha = 0x0303;
constexpr std::uint32_t kDstAlpha = 0x0304;
constexpr std::uint32_t kOneMinusDstAlpha = 0x0305;
constexpr std::uint32_t kDstColor = 0x0306;
constexpr std::uint32_t kOneMinusDstColor = 0x0307;
constexpr std::uint32_t kSrcAlphaSaturate = 0x0308;

// The plane's depth and the projection of a 45-degree, 4:3 perspective.
constexpr double kPlaneZ = -2.4142136;
constexpr double kAspect = 1.3333333730697632;
const double kCotangent = 1.0 / std::tan(22.5 * 3.14159265358979323846 / 180.0);

double Clamp01(double v)
{
    return std::min(1.0, std::max(0.0, v));
}

bool IsMipmap(std::uint32_t filter)
{
    return filter >= kNearestMipmapNearest && filter <= kLinearMipmapLinear;
}

bool IsKnownFilter(std::uint32_t filter, bool minifying)
{
    return filter == kNearest || filter == kLinear || (minifying && IsMipmap(filter));
}

bool IsKnownFactor(std::uint32_t factor)
{
    return factor == kZero || factor == kOne || (factor >= kSrcColor && factor <= kSrcAlphaSaturate);
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
    case kZero: return {0, 0, 0, 0};
    case kOne: return {1, 1, 1, 1};
    case kSrcColor: return src;
    case kOneMinusSrcColor: return {1 - src[0], 1 - src[1], 1 - src[2], 1 - src[3]};
    case kDstColor: return dst;
    case kOneMinusDstColor: return {1 - dst[0], 1 - dst[1], 1 - dst[2], 1 - dst[3]};
    case kSrcAlpha: return {src[3], src[3], src[3], src[3]};
    case kOneMinusSrcAlpha: return {1 - src[3], 1 - src[3], 1 - src[3], 1 - src[3]};
    case kDstAlpha: return {dst[3], dst[3], dst[3], dst[3]};
    case kOneMinusDstAlpha: return {1 - dst[3], 1 - dst[3], 1 - dst[3], 1 - dst[3]};
    case kSrcAlphaSaturate: {
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

Result At(const Surface &surface, const Scene &scene, const TexelPyramid &texels, const Colour &destination, int x,
          int y)
{
    Result result;
    result.X = x;
    result.Y = y;
    result.Destination = destination;
    result.Result = destination;

    const bool blend = (surface.Flags & SURFACE_FLAG_BLEND) != 0;
    result.SrcFactor = blend ? surface.SrcFactor : kSrcAlpha;
    result.DestFactor = blend ? surface.DestFactor : kOneMinusSrcAlpha;
    // A pair OpenGL refuses leaves the blend of the pass before: the
    // background's plain copy.
    result.BlendAccepted = IsKnownFactor(result.SrcFactor) && IsKnownFactor(result.DestFactor);
    if (scene.Width <= 0 || scene.Height <= 0 || x < 0 || y < 0 || x >= scene.Width || y >= scene.Height)
        return result;

    float corners[4][3];
    SurfaceGeometry::Corners(surface, scene.Width, scene.Height, corners);
    float q[4] = {1, 1, 1, 1};
    if (scene.Projective)
        SurfaceGeometry::ProjectiveQ(corners, q);
    const bool colours = (surface.Flags & SURFACE_FLAG_COLORS) != 0;

    Vertex vertices[4];
    for (int i = 0; i < 4; ++i) {
        const double xe = double(scene.Zoom) * corners[i][0];
        const double ye = double(scene.Zoom) * corners[i][1];
        const double w = -(double(corners[i][2]) + kPlaneZ);
        // Behind the near plane the triangles are clipped; not worked out here.
        if (!(w >= 1.0))
            return result;
        Vertex &v = vertices[i];
        v.position.w = w;
        v.position.x = (kCotangent / kAspect * xe / w + 1.0) * scene.Width * 0.5 + scene.PanX;
        v.position.y = (kCotangent * ye / w + 1.0) * scene.Height * 0.5 - scene.PanY;
        v.s = SurfaceGeometry::TexCoords[i][0];
        v.t = SurfaceGeometry::TexCoords[i][1];
        v.q = q[i];
        for (int k = 0; k < 4; ++k)
            v.colour[k] = colours ? Clamp01(surface.Colors[i][k]) : 1.0;
    }

    // The fragment's centre, in window coordinates from the bottom.
    const int glY = scene.Height - 1 - y;
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

    const std::uint32_t mag = (surface.Flags & SURFACE_FLAG_MAG) ? surface.MagFilter : kLinear;
    const std::uint32_t min = (surface.Flags & SURFACE_FLAG_MIN) ? surface.MinFilter : kLinear;
    const double switchover
        = (mag == kLinear && (min == kNearestMipmapNearest || min == kNearestMipmapLinear)) ? 0.5 : 0.0;
    result.Magnified = lambda <= switchover;
    result.Filter = result.Magnified ? mag : min;
    result.FilterAccepted = IsKnownFilter(result.Filter, !result.Magnified);
    // A value OpenGL refuses leaves the filter the image was loaded with.
    const std::uint32_t filter = result.FilterAccepted ? result.Filter : kNearest;

    // No image, or a mipmap filter on a texture without all its levels: the
    // texture is incomplete and the fixed-function pipeline draws as if
    // texturing were off, with the corner colour alone.
    int fullChain = 1;
    for (int size = std::max(baseWidth, baseHeight); size > 1; size >>= 1)
        ++fullChain;
    const bool complete = !texels.empty() && (!IsMipmap(min) || int(texels.size()) >= fullChain);
    result.HasTexture = complete;
    if (!complete) {
        result.Texel = {1, 1, 1, 1};
        result.Filtered = {1, 1, 1, 1};
    } else {
        int level = 0;
        int secondLevel = -1;
        double levelBlend = 0.0;
        const int lastLevel = int(texels.size()) - 1;
        if (!result.Magnified && IsMipmap(filter)) {
            if (filter == kNearestMipmapNearest || filter == kLinearMipmapNearest) {
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
        const bool linear = filter == kLinear || filter == kLinearMipmapNearest || filter == kLinearMipmapLinear;
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

    const std::uint32_t src = result.BlendAccepted ? result.SrcFactor : kOne;
    const std::uint32_t dst = result.BlendAccepted ? result.DestFactor : kZero;
    result.SrcWeight = Factor(src, result.Source, destination);
    result.DestWeight = Factor(dst, result.Source, destination);
    for (int k = 0; k < 4; ++k)
        result.Result[k] = Clamp01(result.Source[k] * result.SrcWeight[k] + destination[k] * result.DestWeight[k]);
    return result;
}

QString Describe(const Result &r)
{
    const auto rgba = [](const Colour &c) {
        return QStringLiteral("(%1, %2, %3, %4)")
            .arg(ToByte(c[0]), 3)
            .arg(ToByte(c[1]), 3)
            .arg(ToByte(c[2]), 3)
            .arg(ToByte(c[3]), 3);
    };
    const auto factorName = [](std::uint32_t factor) {
        return QString::fromLatin1(ValueTable::NameOf(ValueTable::BlendFactor(), factor));
    };
    QStringList lines;
    lines << QStringLiteral("視窗像素 %1, %2").arg(r.X).arg(r.Y);
    if (!r.OnSurface) {
        lines << QStringLiteral("不在平面上; 背景 %1").arg(rgba(r.Destination));
        return lines.join(QLatin1Char('\n'));
    }
    lines << QStringLiteral("紋理座標 u %1, v %2").arg(r.U, 0, 'f', 4).arg(r.V, 0, 'f', 4);
    if (r.HasTexture) {
        QString texel = QStringLiteral("紋素 %1, %2").arg(r.Column).arg(r.Row);
        if (r.Level > 0)
            texel += QStringLiteral(" (第 %1 層)").arg(r.Level);
        lines << texel + QStringLiteral("  RGBA %1").arg(rgba(r.Texel));
    } else {
        lines << QStringLiteral("紋理不完整 (沒有影像或缺少 mipmap): 不貼圖, 只用角點顏色");
    }
    const QString filterName = QString::fromLatin1(
        ValueTable::NameOf(r.Magnified ? ValueTable::MagFilter() : ValueTable::MinFilter(), r.Filter));
    QString filtered = QStringLiteral("取樣 %1 (%2)").arg(filterName, r.Magnified ? QStringLiteral("放大")
                                                                                   : QStringLiteral("縮小"));
    if (!r.FilterAccepted)
        filtered += QStringLiteral(" 不被 OpenGL 接受");
    lines << filtered + QStringLiteral("  RGBA %1").arg(rgba(r.Filtered));
    lines << QStringLiteral("角點顏色內插  RGBA %1").arg(rgba(r.CornerColour));
    lines << QStringLiteral("來源 = 取樣 x 角點顏色  RGBA %1").arg(rgba(r.Source));
    QString blend = QStringLiteral("混合 %1 x %2 + %3 x %4")
                        .arg(QStringLiteral("來源"), factorName(r.SrcFactor), QStringLiteral("目的"),
                             factorName(r.DestFactor));
    if (!r.BlendAccepted)
        blend += QStringLiteral(" 不被 OpenGL 接受, 沿用 GL_ONE x GL_ZERO");
    lines << blend;
    lines << QStringLiteral("  %1 x %2").arg(rgba(r.Source), rgba(r.SrcWeight));
    lines << QStringLiteral("+ %1 x %2").arg(rgba(r.Destination), rgba(r.DestWeight));
    lines << QStringLiteral("= %1").arg(rgba(r.Result));
    return lines.join(QLatin1Char('\n'));
}

} // namespace PixelProbe
