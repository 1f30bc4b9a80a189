#pragma once

// The table of surfaces every runtime back end is held to the editor's
// picture with, and the images and destination it is drawn over.

#include "skimbler/DrawState.h"
#include "skimbler/GlEnums.h"
#include "skimbler/Scene.h"
#include "skimbler/SurfaceFlags.h"
#include "skimbler/SurfaceSettings.h"
#include "skimbler/ValueTable.h"

#include <QMetaType>
#include <QString>
#include <QtTest>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <vector>

namespace runtimecases {

using skimbler::SurfaceFlags;
namespace gl = skimbler::gl;

constexpr int kWidth = 160;
constexpr int kHeight = 120;

using Pixels = std::vector<std::uint8_t>;

struct Image
{
    int Width = 0;
    int Height = 0;
    int Components = 4;  // 3: a 24-bit image, 4: 32-bit
    Pixels Bytes;        // rows from v = 0 up, tightly packed
};

// Colour ramps, a checker in blue and an alpha that varies from texel to
// texel, so every filter and blend factor shows.
inline Image TestCard(int width, int height, int components = 4)
{
    Image image{width, height, components, Pixels(std::size_t(width) * height * components)};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t *p = &image.Bytes[(std::size_t(y) * width + x) * components];
            p[0] = std::uint8_t(x * 255 / (width - 1));
            p[1] = std::uint8_t(y * 255 / (height - 1));
            p[2] = ((x / 2 + y / 2) & 1) ? 230 : 20;
            if (components == 4)
                p[3] = std::uint8_t(60 + 195 * ((x * 3 + y * 5) % 7) / 6);
        }
    }
    return image;
}

inline const std::map<QString, Image> &Images()
{
    static const std::map<QString, Image> images{
        {QStringLiteral("card64"), TestCard(64, 64)},
        {QStringLiteral("card8"), TestCard(8, 8)},
        {QStringLiteral("card2"), TestCard(2, 2)},
        {QStringLiteral("odd37x23"), TestCard(37, 23)},
        {QStringLiteral("rgb64"), TestCard(64, 64, 3)},
        {QStringLiteral("rgb8"), TestCard(8, 8, 3)},
        {QStringLiteral("rgb5x3"), TestCard(5, 3, 3)},
    };
    return images;
}

// A destination with four colours and four alphas, so that destination
// factors matter: quadrant i covers columns (i % 2) and rows (i / 2) of the
// frame's halves, rows counted from the bottom.
constexpr float kQuadrantColours[4][4] = {
    {0.9f, 0.2f, 0.1f, 0.3f}, {0.1f, 0.7f, 0.3f, 1.0f}, {0.2f, 0.3f, 0.8f, 0.6f}, {0.95f, 0.9f, 0.2f, 0.0f}};

using Points = std::array<std::array<float, 3>, 4>;
using Colours = std::array<std::array<float, 4>, 4>;

const Points kFull{{{-4.f / 3, 1, 0}, {-4.f / 3, -1, 0}, {4.f / 3, 1, 0}, {4.f / 3, -1, 0}}};
const Points kSmall{{{-0.45f, 0.3f, 0}, {-0.45f, -0.3f, 0}, {0.35f, 0.3f, 0}, {0.35f, -0.3f, 0}}};
const Points kTiny{{{-0.1f, 0.08f, 0}, {-0.1f, -0.08f, 0}, {0.1f, 0.08f, 0}, {0.1f, -0.08f, 0}}};
const Points kLifted{{{-1.1f, 0.8f, 0.6f}, {-1.2f, -0.9f, -0.7f}, {1.0f, 0.9f, 0.2f}, {1.1f, -0.8f, -1.5f}}};
// Lifted and small: minified, the level of detail changing across it.
const Points kSmallLifted{{{-0.3f, 0.2f, 0.5f}, {-0.32f, -0.22f, -0.5f}, {0.28f, 0.24f, 0.1f}, {0.3f, -0.2f, -0.9f}}};
// Steeply tilted: magnified at the top, far smaller at the bottom.
const Points kSteep{{{-0.5f, 0.6f, 1.2f}, {-0.7f, -0.4f, -3.0f}, {0.5f, 0.6f, 1.0f}, {0.6f, -0.4f, -3.2f}}};
const Points kTrapezoid{{{-0.7f, 0.5f, 0}, {-1.3f, -0.9f, 0}, {0.6f, 0.8f, 0}, {1.25f, -0.75f, 0}}};
const Points kSmallTrapezoid{{{-0.2f, 0.1f, 0}, {-0.35f, -0.2f, 0}, {0.15f, 0.2f, 0}, {0.3f, -0.18f, 0}}};
// A corner whose x needs all nine digits of a float to read back exactly.
const Points kNineDigits{{{-0.45f, 0.3f, 0}, {-0.45f, -0.3f, 0}, {0.110928856f, 0.3f, 0}, {0.110928856f, -0.3f, 0}}};
const Points kParallelogram{{{-1.0f, 0.8f, 0}, {-1.2f, -0.8f, 0}, {1.1f, 0.8f, 0}, {0.9f, -0.8f, 0}}};

const Colours kWhite{{{1, 1, 1, 1}, {1, 1, 1, 1}, {1, 1, 1, 1}, {1, 1, 1, 1}}};
const Colours kDefaultColours{{{1, 0, 0, 1}, {0, 1, 0, 1}, {1, 1, 1, 1}, {1, 1, 1, 1}}};
const Colours kTranslucent{{{1, 0.5f, 0.2f, 0.6f}, {0.3f, 1, 0.4f, 0.25f}, {0.9f, 0.9f, 1, 1}, {0.5f, 0.2f, 0.8f, 0}}};

struct Case
{
    QString image = QStringLiteral("card64");
    Points points = kFull;
    Colours colours = kDefaultColours;
    std::uint32_t mag = gl::LINEAR;
    std::uint32_t min = gl::LINEAR;
    std::uint32_t src = gl::ONE;
    std::uint32_t dst = gl::ONE;
    SurfaceFlags flags = skimbler::SurfaceDefaultFlags;
    bool projective = false;
};

inline skimbler::SurfaceSettings SettingsOf(const Case &c)
{
    skimbler::SurfaceSettings settings = skimbler::DefaultSettings();
    settings.MagFilter = c.mag;
    settings.MinFilter = c.min;
    settings.SrcFactor = c.src;
    settings.DestFactor = c.dst;
    settings.Flags = c.flags;
    for (int i = 0; i < 4; ++i) {
        for (int k = 0; k < 3; ++k)
            settings.Points[i][k] = c.points[i][k];
        for (int k = 0; k < 4; ++k)
            settings.Colors[i][k] = c.colours[i][k];
    }
    return settings;
}

struct NamedCase
{
    QByteArray name;
    Case surface;
};

// Every row of the table, named.
inline std::vector<NamedCase> AllCases()
{
    std::vector<NamedCase> rows;
    auto row = [&rows](const char *name, Case c) { rows.push_back({QByteArray(name), c}); };
    auto blend = [](std::uint32_t src, std::uint32_t dst) {
        Case c;
        c.colours = kTranslucent;
        c.src = src;
        c.dst = dst;
        return c;
    };
    auto filtered = [](const char *image, const Points &points, std::uint32_t mag, std::uint32_t min) {
        Case c;
        c.image = QString::fromLatin1(image);
        c.points = points;
        c.mag = mag;
        c.min = min;
        c.src = gl::SRC_ALPHA;
        c.dst = gl::ONE_MINUS_SRC_ALPHA;
        return c;
    };

    // Every blend pair the editor offers.
    for (const auto &src : skimbler::ValueTable::BlendFactor()) {
        for (const auto &dst : skimbler::ValueTable::BlendFactor()) {
            const QByteArray name = QByteArray("blend ") + src.name + " " + dst.name;
            row(name.constData(), blend(src.value, dst.value));
        }
    }
    // Values OpenGL refuses (a file can hold any number): drawn as Resolve
    // says, by every back end alike.
    row("refused mag filter", filtered("card8", kFull, gl::LINEAR_MIPMAP_LINEAR, gl::LINEAR));
    row("refused min filter", filtered("card64", kSmall, gl::LINEAR, 0x1234));
    row("refused source factor", blend(0x9999, gl::ONE));
    row("refused destination factor", blend(gl::ONE, 2));

    // Every filter where it applies: mag on an 8 x 8 image over the
    // plane, min on 64 x 64 drawn small and very small.
    row("mag nearest", filtered("card8", kFull, gl::NEAREST, gl::NEAREST));
    row("mag linear", filtered("card8", kFull, gl::LINEAR, gl::NEAREST));
    row("min nearest", filtered("card64", kSmall, gl::NEAREST, gl::NEAREST));
    row("min linear", filtered("card64", kSmall, gl::NEAREST, gl::LINEAR));
    row("min nearest mipmap nearest", filtered("card64", kSmall, gl::LINEAR, gl::NEAREST_MIPMAP_NEAREST));
    row("min linear mipmap nearest", filtered("card64", kSmall, gl::LINEAR, gl::LINEAR_MIPMAP_NEAREST));
    row("min nearest mipmap linear", filtered("card64", kSmall, gl::LINEAR, gl::NEAREST_MIPMAP_LINEAR));
    row("min linear mipmap linear", filtered("card64", kSmall, gl::LINEAR, gl::LINEAR_MIPMAP_LINEAR));
    row("tiny nearest mipmap linear", filtered("card64", kTiny, gl::LINEAR, gl::NEAREST_MIPMAP_LINEAR));
    row("tiny linear mipmap linear", filtered("card64", kTiny, gl::LINEAR, gl::LINEAR_MIPMAP_LINEAR));

    // Every min filter with the quad minified and magnified (where the mag
    // filter and the switch-over point decide), for 32- and 24-bit images.
    for (const auto &min : skimbler::ValueTable::MinFilter()) {
        const QByteArray name = QByteArray(min.name);
        row(("magnified " + name).constData(), filtered("card8", kFull, gl::LINEAR, min.value));
        row(("rgb minified " + name).constData(), filtered("rgb64", kSmall, gl::LINEAR, min.value));
        row(("rgb magnified " + name).constData(), filtered("rgb8", kFull, gl::LINEAR, min.value));
    }

    // Corners lifted towards and away from the eye.
    row("lifted linear", filtered("card64", kLifted, gl::LINEAR, gl::LINEAR));
    row("lifted mipmaps", filtered("card64", kLifted, gl::NEAREST, gl::LINEAR_MIPMAP_LINEAR));
    // Every mipmap filter on tilted quads: at their edges the level each
    // fragment reads decides how much border is mixed in.
    for (const auto &min : skimbler::ValueTable::MinFilter()) {
        if (min.value == gl::NEAREST || min.value == gl::LINEAR)
            continue;
        row(("small lifted " + QByteArray(min.name)).constData(), filtered("card64", kSmallLifted, gl::LINEAR, min.value));
    }

    // Each flag off: what is drawn in place of the setting.
    Case off = filtered("card64", kSmall, gl::NEAREST, gl::NEAREST);
    off.src = gl::ZERO;
    off.dst = gl::ONE_MINUS_SRC_COLOR;
    auto without = [&off](SurfaceFlags flag) {
        Case c = off;
        c.flags = skimbler::SurfaceDefaultFlags & ~flag;
        return c;
    };
    row("colour key flag on", [&off] { Case c = off; c.flags = 0x3F; return c; }());
    row("points flag off", without(skimbler::SURFACE_FLAG_POINTS));
    row("colours flag off", without(skimbler::SURFACE_FLAG_COLORS));
    row("mag flag off", [&] { Case c = without(skimbler::SURFACE_FLAG_MAG); c.points = kFull; c.image = QStringLiteral("card8"); return c; }());
    row("min flag off", without(skimbler::SURFACE_FLAG_MIN));
    row("blend flag off", without(skimbler::SURFACE_FLAG_BLEND));
    row("every flag off", [&off] { Case c = off; c.flags = 0; return c; }());

    // Corner colours with alpha.
    row("translucent corners alpha blend", [&] { Case c = filtered("card64", kLifted, gl::LINEAR, gl::LINEAR); c.colours = kTranslucent; return c; }());
    row("white corners", [&] { Case c = filtered("card64", kFull, gl::LINEAR, gl::LINEAR); c.colours = kWhite; return c; }());

    // Projective texture coordinates on and off.
    auto projective = [&](const Points &points, std::uint32_t min, bool on) {
        Case c = filtered("card64", points, gl::LINEAR, min);
        c.colours = kTranslucent;
        c.projective = on;
        return c;
    };
    row("trapezoid affine", projective(kTrapezoid, gl::LINEAR, false));
    row("trapezoid projective", projective(kTrapezoid, gl::LINEAR, true));
    row("small trapezoid projective mipmaps", projective(kSmallTrapezoid, gl::LINEAR_MIPMAP_LINEAR, true));
    row("small trapezoid affine mipmaps", projective(kSmallTrapezoid, gl::LINEAR_MIPMAP_LINEAR, false));
    row("parallelogram projective", projective(kParallelogram, gl::LINEAR, true));
    row("lifted projective", projective(kLifted, gl::NEAREST_MIPMAP_LINEAR, true));

    row("nine-digit corner", filtered("card64", kNineDigits, gl::LINEAR, gl::LINEAR));

    // Sides that are not powers of two.
    row("odd size linear", filtered("odd37x23", kFull, gl::LINEAR, gl::LINEAR));
    row("odd size nearest", filtered("odd37x23", kFull, gl::NEAREST, gl::NEAREST));
    row("odd size mipmaps", filtered("odd37x23", kTiny, gl::LINEAR, gl::LINEAR_MIPMAP_LINEAR));
    row("odd size image-sized quad", [&] { Case c = filtered("odd37x23", kFull, gl::LINEAR, gl::LINEAR); c.flags &= ~skimbler::SURFACE_FLAG_POINTS; return c; }());

    // 24-bit images: the border a linear filter mixes in stays opaque.
    row("rgb mag linear", filtered("rgb5x3", kFull, gl::LINEAR, gl::LINEAR));
    row("rgb mag nearest", filtered("rgb5x3", kFull, gl::NEAREST, gl::NEAREST));
    row("rgb min linear mipmap linear", filtered("rgb64", kSmall, gl::LINEAR, gl::LINEAR_MIPMAP_LINEAR));
    row("rgb trapezoid projective", [&] { Case c = projective(kTrapezoid, gl::LINEAR, true); c.image = QStringLiteral("rgb64"); return c; }());
    return rows;
}

// Every mipmap filter on a steeply tilted quad, magnified at its top and
// far smaller at its bottom: for the OpenGL paths, which share the editor's
// sampler. Other rasterisers (lavapipe, SwiftShader) and the pixel probe
// work the level of detail out their own way and pick other levels in
// whole bands there.
inline std::vector<NamedCase> SteepCases()
{
    std::vector<NamedCase> rows;
    for (const auto &min : skimbler::ValueTable::MinFilter()) {
        if (min.value == gl::NEAREST || min.value == gl::LINEAR)
            continue;
        for (const char *image : {"card64", "rgb64"}) {
            Case c;
            c.image = QString::fromLatin1(image);
            c.points = kSteep;
            c.min = min.value;
            c.src = gl::SRC_ALPHA;
            c.dst = gl::ONE_MINUS_SRC_ALPHA;
            rows.push_back({QByteArray("steep ") + image + " " + min.name, c});
        }
    }
    return rows;
}

// The rows, as a _data function gives them (column "surface"), with the
// steep ones if asked.
inline void AddCases(bool steep = false)
{
    QTest::addColumn<Case>("surface");
    for (const NamedCase &row : AllCases())
        QTest::newRow(row.name.constData()) << row.surface;
    if (steep) {
        for (const NamedCase &row : SteepCases())
            QTest::newRow(row.name.constData()) << row.surface;
    }
}

struct Difference
{
    int worst = 0;    // the largest difference of any channel
    int overTwo = 0;  // channels off by more than 2
    int overThree = 0;
    QString where;    // the worst one
};

// Two RGBA8 frames of kWidth x kHeight, rows from the bottom; `skip` says
// which pixels not to count (null: every one).
template <typename Skip>
Difference Compare(const Pixels &editor, const Pixels &other, Skip skip)
{
    Difference d;
    for (std::size_t i = 0; i < editor.size() && i < other.size(); ++i) {
        const std::size_t pixel = i / 4;
        if (skip(int(pixel % kWidth), int(pixel / kWidth)))
            continue;
        const int difference = std::abs(int(editor[i]) - int(other[i]));
        d.overTwo += difference > 2;
        d.overThree += difference > 3;
        if (difference > d.worst) {
            d.worst = difference;
            d.where = QStringLiteral("pixel (%1, %2) channel %3: editor %4, runtime %5")
                          .arg(pixel % kWidth)
                          .arg(pixel / kWidth)
                          .arg(i % 4)
                          .arg(editor[i])
                          .arg(other[i]);
        }
    }
    return d;
}

// Which pixels of a kWidth x kHeight frame (rows from the bottom) have their
// centre within `distance` pixels of the quad's outline as `view` shows
// `state`: where rasterisers may round a coverage or a texel differently.
inline std::vector<bool> NearOutline(const skimbler::DrawState &state, const skimbler::View &view, double distance)
{
    double projection[16], modelView[16];
    skimbler::ProjectionMatrix(view, projection);
    skimbler::SurfaceModelView(view, modelView);
    auto apply = [](const double m[16], const double in[4], double out[4]) {
        for (int r = 0; r < 4; ++r)
            out[r] = m[r] * in[0] + m[4 + r] * in[1] + m[8 + r] * in[2] + m[12 + r] * in[3];
    };
    double corner[4][2];
    for (int i = 0; i < 4; ++i) {
        const float *p = state.Vertices[i].Position;
        const double position[4] = {p[0], p[1], p[2], 1.0};
        double eye[4], clip[4];
        apply(modelView, position, eye);
        apply(projection, eye, clip);
        corner[i][0] = (clip[0] / clip[3] + 1.0) * 0.5 * view.Width;
        corner[i][1] = (clip[1] / clip[3] + 1.0) * 0.5 * view.Height;
    }
    // The strip's outline: 0-1, 1-3, 3-2, 2-0.
    const int outline[4][2] = {{0, 1}, {1, 3}, {3, 2}, {2, 0}};
    std::vector<bool> near(std::size_t(view.Width) * view.Height, false);
    for (int y = 0; y < view.Height; ++y) {
        for (int x = 0; x < view.Width; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            for (const auto &edge : outline) {
                const double *a = corner[edge[0]], *b = corner[edge[1]];
                const double dx = b[0] - a[0], dy = b[1] - a[1];
                const double length2 = dx * dx + dy * dy;
                const double t = length2 > 0 ? std::clamp(((px - a[0]) * dx + (py - a[1]) * dy) / length2, 0.0, 1.0) : 0.0;
                if (std::hypot(px - a[0] - t * dx, py - a[1] - t * dy) <= distance)
                    near[std::size_t(y) * view.Width + x] = true;
            }
        }
    }
    return near;
}

// Which pixels (rows from the bottom) sample a NEAREST texel with their
// centre exactly on the boundary between two rows of texels of level 0, on
// a flat rectangle (the table's nearest rows): a tie that a rasteriser
// counting rows from the top may round to the other row than one counting
// them from the bottom. Columns are counted alike by both, unless `columns`
// asks for their ties too (a rasteriser that rounds both ways). Nothing is
// marked when the state samples no nearest texel.
inline std::vector<bool> NearestTies(const skimbler::DrawState &state, const skimbler::View &view,
                                     bool columns = false)
{
    std::vector<bool> ties(std::size_t(view.Width) * view.Height, false);
    const bool nearest = state.MagFilter == gl::NEAREST || state.MinFilter == gl::NEAREST
        || state.MinFilter == gl::NEAREST_MIPMAP_NEAREST || state.MinFilter == gl::NEAREST_MIPMAP_LINEAR;
    const skimbler::DrawVertex *v = state.Vertices;  // top left, bottom left, top right, bottom right
    const bool rectangle = v[0].Position[0] == v[1].Position[0] && v[2].Position[0] == v[3].Position[0]
        && v[0].Position[1] == v[2].Position[1] && v[1].Position[1] == v[3].Position[1];
    bool flat = true;
    for (int i = 0; i < 4; ++i)
        flat = flat && v[i].Position[2] == 0.0f;
    if (!nearest || !rectangle || !flat || state.Projective)
        return ties;
    const double left = v[0].Position[0], right = v[2].Position[0];
    const double bottom = v[1].Position[1], top = v[0].Position[1];
    auto onBoundary = [](double texel) { return std::fabs(texel - std::round(texel)) < 1e-3; };
    for (int y = 0; y < view.Height; ++y) {
        for (int x = 0; x < view.Width; ++x) {
            float planeX = 0, planeY = 0;
            skimbler::WindowToSurface(view, x + 0.5f, float(view.Height - y) - 0.5f, 0.0f, &planeX, &planeY);
            const double s = (planeX - left) / (right - left), t = (planeY - bottom) / (top - bottom);
            if (s > 0 && s < 1 && t > 0 && t < 1
                && (onBoundary(t * state.ImageHeight) || (columns && onBoundary(s * state.ImageWidth))))
                ties[std::size_t(y) * view.Width + x] = true;
        }
    }
    return ties;
}

inline Difference Compare(const Pixels &editor, const Pixels &other)
{
    return Compare(editor, other, [](int, int) { return false; });
}

} // namespace runtimecases

Q_DECLARE_METATYPE(runtimecases::Case)
