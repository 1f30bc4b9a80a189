// The resolved draw state (the flag rules every drawer shares), the scene's
// window <-> surface conversions and the CPU reference of a pixel.

#include "skimbler/DrawState.h"
#include "skimbler/PixelReference.h"
#include "skimbler/Scene.h"
#include "skimbler/SurfaceSettings.h"

#include <QtTest>

#include <cmath>
#include <cstring>

using namespace skimbler;

Q_DECLARE_METATYPE(skimbler::View)

namespace {

// Settings that differ from every replacement a flag rule makes.
SurfaceSettings Distinct(SurfaceFlags flags)
{
    SurfaceSettings settings = DefaultSettings();
    settings.Flags = flags;
    settings.MagFilter = gl::NEAREST;
    settings.MinFilter = gl::LINEAR_MIPMAP_NEAREST;
    settings.SrcFactor = gl::DST_COLOR;
    settings.DestFactor = gl::ZERO;
    return settings;
}

DrawOptions Window(int width, int height, bool projective = false)
{
    DrawOptions options;
    options.ViewWidth = width;
    options.ViewHeight = height;
    options.Projective = projective;
    return options;
}

void SetCorners(SurfaceSettings *settings, const float corners[4][3])
{
    std::memcpy(settings->Points, corners, sizeof settings->Points);
}

} // namespace

class TestDrawState : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void flagRules_data();
    void flagRules();
    void filtersPassThrough_data();
    void filtersPassThrough();
    void imageSizedQuadWithoutPoints_data();
    void imageSizedQuadWithoutPoints();
    void projectiveQ_data();
    void projectiveQ();
    void windowSurfaceRoundTrip_data();
    void windowSurfaceRoundTrip();
    void referencePixel_data();
    void referencePixel();
};

void TestDrawState::flagRules_data()
{
    QTest::addColumn<uint>("flags");
    QTest::addColumn<uint>("mag");
    QTest::addColumn<uint>("min");
    QTest::addColumn<uint>("src");
    QTest::addColumn<uint>("dst");
    QTest::addColumn<bool>("colours");

    const uint all = SURFACE_FLAG_POINTS | SURFACE_FLAG_COLORS | SURFACE_FLAG_MAG | SURFACE_FLAG_MIN
        | SURFACE_FLAG_BLEND | SURFACE_FLAG_COLORKEY;
    QTest::newRow("every flag on") << all << uint(gl::NEAREST) << uint(gl::LINEAR_MIPMAP_NEAREST)
                                   << uint(gl::DST_COLOR) << uint(gl::ZERO) << true;
    QTest::newRow("every flag off") << 0u << uint(gl::LINEAR) << uint(gl::LINEAR) << uint(gl::SRC_ALPHA)
                                    << uint(gl::ONE_MINUS_SRC_ALPHA) << false;
    QTest::newRow("mag off") << (all & ~uint(SURFACE_FLAG_MAG)) << uint(gl::LINEAR)
                             << uint(gl::LINEAR_MIPMAP_NEAREST) << uint(gl::DST_COLOR) << uint(gl::ZERO) << true;
    QTest::newRow("min off") << (all & ~uint(SURFACE_FLAG_MIN)) << uint(gl::NEAREST) << uint(gl::LINEAR)
                             << uint(gl::DST_COLOR) << uint(gl::ZERO) << true;
    QTest::newRow("blend off") << (all & ~uint(SURFACE_FLAG_BLEND)) << uint(gl::NEAREST)
                               << uint(gl::LINEAR_MIPMAP_NEAREST) << uint(gl::SRC_ALPHA)
                               << uint(gl::ONE_MINUS_SRC_ALPHA) << true;
    QTest::newRow("colours off") << (all & ~uint(SURFACE_FLAG_COLORS)) << uint(gl::NEAREST)
                                 << uint(gl::LINEAR_MIPMAP_NEAREST) << uint(gl::DST_COLOR) << uint(gl::ZERO)
                                 << false;
    QTest::newRow("colour key alone changes nothing drawn")
        << uint(SURFACE_FLAG_COLORKEY) << uint(gl::LINEAR) << uint(gl::LINEAR) << uint(gl::SRC_ALPHA)
        << uint(gl::ONE_MINUS_SRC_ALPHA) << false;
    QTest::newRow("undefined bits are ignored") << (all | 0xFF00u) << uint(gl::NEAREST)
                                                << uint(gl::LINEAR_MIPMAP_NEAREST) << uint(gl::DST_COLOR)
                                                << uint(gl::ZERO) << true;
}

void TestDrawState::flagRules()
{
    QFETCH(uint, flags);
    QFETCH(uint, mag);
    QFETCH(uint, min);
    QFETCH(uint, src);
    QFETCH(uint, dst);
    QFETCH(bool, colours);

    SurfaceSettings settings = Distinct(flags);
    settings.Colors[0][0] = 0.25f;
    settings.Colors[3][3] = 0.5f;
    const DrawState state = Resolve(settings, 64, 32, Window(800, 600));
    QCOMPARE(uint(state.MagFilter), mag);
    QCOMPARE(uint(state.MinFilter), min);
    QCOMPARE(state.NeedsMipmaps, IsMipmapFilter(min));
    QVERIFY(state.Blend);
    QCOMPARE(uint(state.SrcFactor), src);
    QCOMPARE(uint(state.DestFactor), dst);
    QCOMPARE(state.VertexColours, colours);
    QCOMPARE(uint(state.Primitive), uint(gl::TRIANGLE_STRIP));
    QCOMPARE(uint(state.WrapS), uint(gl::CLAMP));
    QCOMPARE(uint(state.WrapT), uint(gl::CLAMP));
    QCOMPARE(uint(state.TextureEnvMode), uint(gl::MODULATE));
    QCOMPARE(state.ImageWidth, 64u);
    QCOMPARE(state.ImageHeight, 32u);
    for (int i = 0; i < 4; ++i) {
        for (int k = 0; k < 4; ++k)
            QCOMPARE(state.Vertices[i].Colour[k], colours ? settings.Colors[i][k] : 1.0f);
        // Without q the strip's own texture coordinates.
        QCOMPARE(state.Vertices[i].TexCoord[0], StripTexCoords[i][0]);
        QCOMPARE(state.Vertices[i].TexCoord[1], StripTexCoords[i][1]);
        QCOMPARE(state.Vertices[i].TexCoord[3], 1.0f);
        if (flags & SURFACE_FLAG_POINTS) {
            for (int k = 0; k < 3; ++k)
                QCOMPARE(state.Vertices[i].Position[k], settings.Points[i][k]);
        }
    }
}

void TestDrawState::filtersPassThrough_data()
{
    QTest::addColumn<uint>("filter");
    QTest::addColumn<bool>("mipmaps");
    QTest::addColumn<uint>("drawnMag");
    QTest::addColumn<uint>("drawnMin");
    const uint N = gl::NEAREST;
    QTest::newRow("nearest") << N << false << N << N;
    QTest::newRow("linear") << uint(gl::LINEAR) << false << uint(gl::LINEAR) << uint(gl::LINEAR);
    // A mipmap filter is refused for magnification only.
    QTest::newRow("nearest mipmap nearest") << uint(gl::NEAREST_MIPMAP_NEAREST) << true << N << uint(gl::NEAREST_MIPMAP_NEAREST);
    QTest::newRow("linear mipmap nearest") << uint(gl::LINEAR_MIPMAP_NEAREST) << true << N << uint(gl::LINEAR_MIPMAP_NEAREST);
    QTest::newRow("nearest mipmap linear") << uint(gl::NEAREST_MIPMAP_LINEAR) << true << N << uint(gl::NEAREST_MIPMAP_LINEAR);
    QTest::newRow("linear mipmap linear") << uint(gl::LINEAR_MIPMAP_LINEAR) << true << N << uint(gl::LINEAR_MIPMAP_LINEAR);
    // A value OpenGL refuses is not sent: the texture's NEAREST stays.
    QTest::newRow("unknown value") << 0x1234u << false << N << N;
}

void TestDrawState::filtersPassThrough()
{
    QFETCH(uint, filter);
    QFETCH(bool, mipmaps);
    SurfaceSettings settings = Distinct(SurfaceDefaultFlags);
    settings.MinFilter = filter;
    settings.MagFilter = filter;
    const DrawState state = Resolve(settings, 8, 8, Window(640, 480));
    QTEST(uint(state.MagFilter), "drawnMag");
    QTEST(uint(state.MinFilter), "drawnMin");
    QCOMPARE(state.NeedsMipmaps, mipmaps && IsMipmapFilter(state.MinFilter));
    // Both the stored value and the one in force are there for listings.
    QCOMPARE(uint(state.RequestedMagFilter), filter);
    QCOMPARE(uint(state.RequestedMinFilter), filter);
    QCOMPARE(state.MagRefused(), filter != state.MagFilter);
}

void TestDrawState::imageSizedQuadWithoutPoints_data()
{
    QTest::addColumn<int>("viewWidth");
    QTest::addColumn<int>("viewHeight");
    QTest::addColumn<int>("imageWidth");
    QTest::addColumn<int>("imageHeight");
    QTest::newRow("800 x 600, 64 x 32") << 800 << 600 << 64 << 32;
    QTest::newRow("odd window, odd image") << 641 << 479 << 33 << 17;
    QTest::newRow("image larger than the window") << 320 << 240 << 1024 << 512;
    QTest::newRow("no image") << 800 << 600 << 0 << 0;
}

void TestDrawState::imageSizedQuadWithoutPoints()
{
    QFETCH(int, viewWidth);
    QFETCH(int, viewHeight);
    QFETCH(int, imageWidth);
    QFETCH(int, imageHeight);
    const SurfaceSettings settings = Distinct(SurfaceDefaultFlags & ~SURFACE_FLAG_POINTS);
    const DrawState state = Resolve(settings, std::uint32_t(imageWidth), std::uint32_t(imageHeight),
                                    Window(viewWidth, viewHeight));
    // One image pixel per window pixel, hanging from the window's centre:
    // top left at the centre, bottom right an image's size right and down.
    const float expected[4][2] = {{0.5f * viewWidth, 0.5f * viewHeight},
                                  {0.5f * viewWidth, 0.5f * viewHeight + imageHeight},
                                  {0.5f * viewWidth + imageWidth, 0.5f * viewHeight},
                                  {0.5f * viewWidth + imageWidth, 0.5f * viewHeight + imageHeight}};
    for (int i = 0; i < 4; ++i) {
        float x = state.Vertices[i].Position[0];
        float y = state.Vertices[i].Position[1];
        QCOMPARE(state.Vertices[i].Position[2], 0.0f);
        PlaneToWindow(viewWidth, viewHeight, &x, &y);
        QVERIFY2(std::fabs(x - expected[i][0]) < 1e-2f && std::fabs(y - expected[i][1]) < 1e-2f,
                 qPrintable(QStringLiteral("corner %1 at %2, %3").arg(i).arg(x).arg(y)));
    }
}

void TestDrawState::projectiveQ_data()
{
    QTest::addColumn<QVector<float>>("corners");  // x, y of the four corners in strip order
    QTest::addColumn<bool>("option");
    QTest::addColumn<bool>("projective");
    QTest::addColumn<QVector<float>>("q");

    const QVector<float> trapezoid{-1, 1, -2, -1, 1, 1, 2, -1};
    QTest::newRow("trapezoid") << trapezoid << true << true << QVector<float>{1.5f, 3, 1.5f, 3};
    QTest::newRow("trapezoid, option off") << trapezoid << false << false << QVector<float>{1, 1, 1, 1};
    QTest::newRow("rectangle") << QVector<float>{-1, 1, -1, -1, 1, 1, 1, -1} << true << false
                               << QVector<float>{1, 1, 1, 1};
    QTest::newRow("sheared parallelogram") << QVector<float>{-1, 1, -1.5f, -1, 1.5f, 1, 1, -1} << true << false
                                           << QVector<float>{1, 1, 1, 1};
    QTest::newRow("crossed quad") << QVector<float>{-1, 1, 1, -1, 1, 1, -1, -1} << true << false
                                  << QVector<float>{1, 1, 1, 1};
    QTest::newRow("flat quad") << QVector<float>{0, 0, 0, 0, 0, 0, 0, 0} << true << false
                               << QVector<float>{1, 1, 1, 1};
}

void TestDrawState::projectiveQ()
{
    QFETCH(QVector<float>, corners);
    QFETCH(bool, option);
    QFETCH(bool, projective);
    QFETCH(QVector<float>, q);
    SurfaceSettings settings = Distinct(SurfaceDefaultFlags);
    const float points[4][3] = {{corners[0], corners[1], 0}, {corners[2], corners[3], 0},
                                {corners[4], corners[5], 0}, {corners[6], corners[7], 0}};
    SetCorners(&settings, points);
    const DrawState state = Resolve(settings, 16, 16, Window(800, 600, option));
    QCOMPARE(state.Projective, projective);
    for (int i = 0; i < 4; ++i) {
        const DrawVertex &v = state.Vertices[i];
        QVERIFY2(std::fabs(v.TexCoord[3] - q[i]) < 1e-5f, qPrintable(QString::number(v.TexCoord[3])));
        // Divided by q, every corner keeps its place in the image.
        QCOMPARE(v.TexCoord[0] / v.TexCoord[3], StripTexCoords[i][0]);
        QCOMPARE(v.TexCoord[1] / v.TexCoord[3], StripTexCoords[i][1]);
        QCOMPARE(v.TexCoord[2], 0.0f);
    }
}

void TestDrawState::windowSurfaceRoundTrip_data()
{
    QTest::addColumn<View>("view");
    QTest::addColumn<float>("z");
    QTest::addColumn<bool>("visible");
    QTest::newRow("plain 800 x 600") << View{800, 600, 1.0f, 0.0f, 0.0f} << 0.0f << true;
    QTest::newRow("zoomed and panned") << View{1024, 700, 2.5f, 13.5f, -7.25f} << 0.0f << true;
    QTest::newRow("zoomed out, lifted") << View{640, 480, 0.3f, -100.0f, 40.0f} << 0.8f << true;
    QTest::newRow("sunk below the plane") << View{640, 480, 1.0f, 0.0f, 0.0f} << -3.0f << true;
    QTest::newRow("zero height counts as one") << View{320, 0, 1.0f, 0.0f, 0.0f} << 0.0f << true;
    QTest::newRow("at the near plane") << View{640, 480, 1.0f, 0.0f, 0.0f} << 1.4142136f << false;
    QTest::newRow("behind the eye") << View{640, 480, 1.0f, 0.0f, 0.0f} << 5.0f << false;
}

void TestDrawState::windowSurfaceRoundTrip()
{
    QFETCH(View, view);
    QFETCH(float, z);
    QFETCH(bool, visible);
    const float points[][2] = {{0, 0}, {17, 5}, {400.5f, 299.25f}, {-50, 900}};
    for (const auto &point : points) {
        float sx = 0, sy = 0;
        WindowToSurface(view, point[0], point[1], z, &sx, &sy);
        if (!visible) {
            QVERIFY(std::isnan(sx) && std::isnan(sy));
            float wx = 0, wy = 0;
            SurfaceToWindow(view, 0.5f, 0.5f, z, &wx, &wy);
            QVERIFY(std::isnan(wx) && std::isnan(wy));
            continue;
        }
        float wx = 0, wy = 0;
        SurfaceToWindow(view, sx, sy, z, &wx, &wy);
        QVERIFY2(std::fabs(wx - point[0]) < 2e-3f * std::max(1.0f, std::fabs(point[0]))
                     && std::fabs(wy - point[1]) < 2e-3f * std::max(1.0f, std::fabs(point[1])),
                 qPrintable(QStringLiteral("%1, %2 came back as %3, %4").arg(point[0]).arg(point[1]).arg(wx).arg(wy)));
    }
    if (visible && view.Height > 0) {
        // The plane's origin is the window's centre, shifted by the pan.
        float wx = 0, wy = 0;
        SurfaceToWindow(view, 0.0f, 0.0f, z, &wx, &wy);
        QVERIFY(std::fabs(wx - (view.Width * 0.5f + view.PanX)) < 1e-3f);
        QVERIFY(std::fabs(wy - (view.Height * 0.5f + view.PanY)) < 1e-3f);
    }
}

void TestDrawState::referencePixel_data()
{
    QTest::addColumn<uint>("flags");
    QTest::addColumn<uint>("src");
    QTest::addColumn<uint>("dst");
    QTest::addColumn<QVector<double>>("expected");  // RGBA of the window's centre pixel

    // A one-texel image of (1, 0.5, 0.25, 0.5) over a destination of (0, 0, 1, 1),
    // white corners: the source is the texel.
    const uint on = SurfaceDefaultFlags & ~uint(SURFACE_FLAG_COLORS);
    QTest::newRow("one + zero: the source") << on << uint(gl::ONE) << uint(gl::ZERO)
                                            << QVector<double>{1, 0.5, 0.25, 0.5};
    QTest::newRow("zero + one: the destination") << on << uint(gl::ZERO) << uint(gl::ONE)
                                                 << QVector<double>{0, 0, 1, 1};
    QTest::newRow("blend off: alpha over") << (on & ~uint(SURFACE_FLAG_BLEND)) << uint(gl::ONE) << uint(gl::ZERO)
                                           << QVector<double>{0.5, 0.25, 0.625, 0.75};
    QTest::newRow("one + one saturates") << on << uint(gl::ONE) << uint(gl::ONE)
                                         << QVector<double>{1, 0.5, 1, 1};
    QTest::newRow("destination colour x zero") << on << uint(gl::DST_COLOR) << uint(gl::ZERO)
                                               << QVector<double>{0, 0, 0.25, 0.5};
}

void TestDrawState::referencePixel()
{
    QFETCH(uint, flags);
    QFETCH(uint, src);
    QFETCH(uint, dst);
    QFETCH(QVector<double>, expected);
    SurfaceSettings settings = DefaultSettings();
    settings.Flags = flags;
    settings.SrcFactor = src;
    settings.DestFactor = dst;
    // Nearest, so the clamped border never leans in.
    settings.MagFilter = gl::NEAREST;
    settings.MinFilter = gl::NEAREST;
    const View view{80, 60, 1.0f, 0.0f, 0.0f};
    const DrawState state = Resolve(settings, 1, 1, Window(view.Width, view.Height));
    TexelPyramid texels(1);
    texels[0].Width = 1;
    texels[0].Height = 1;
    texels[0].Rgba = {255, 128, 64, 128};
    const PixelResult pixel = PixelAt(state, view, texels, {0, 0, 1, 1}, view.Width / 2, view.Height / 2);
    QVERIFY(pixel.OnSurface);
    QVERIFY(pixel.HasTexture);
    for (int k = 0; k < 4; ++k)
        QCOMPARE(ToByte(pixel.Result[k]), ToByte(expected[k]));
}

QTEST_GUILESS_MAIN(TestDrawState)
#include "test_drawstate.moc"
