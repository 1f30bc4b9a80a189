#include "common/SettingsThroughCommand.h"
#include "app/PixelProbeTool.h"
#include "render/GraphicalInterface.h"
#include "common/ViewHost.h"

#include <QtTest>

#include <cmath>
#include <memory>

using skimbler::SURFACE_FLAG_BLEND;
using skimbler::SURFACE_FLAG_COLORS;
using skimbler::SURFACE_FLAG_MAG;
using skimbler::SURFACE_FLAG_MIN;
using skimbler::SURFACE_FLAG_POINTS;
using skimbler::SurfaceFlags;

using namespace ViewTest;

namespace {

constexpr int kImageSize = 256;

struct Setup
{
    float zoom = 1.0f;
    SurfaceFlags flags = 0x3E;
    std::uint32_t mag = GL_LINEAR;
    std::uint32_t min = GL_LINEAR;
    std::uint32_t src = GL_ONE;
    std::uint32_t dst = GL_ONE;
    bool trapezoid = false;
    float tilt = 0.0f;  // z of the bottom-right corner
    bool projective = false;
    QSize screen;  // View > Target Screen; none: the window itself
};

} // namespace

Q_DECLARE_METATYPE(Setup)

// The probe's arithmetic against the frame the view really draws.
class TestPixelProbe : public BareViewTest
{
    Q_OBJECT

private:
    std::unique_ptr<PixelProbeTool> m_probe;

    // Every texel differs from its neighbours in colour and alpha, so a
    // wrong texel, filter or blend shows.
    bool writeImage(const QString &path) override
    {
        return TgaTestFiles::WritePainted(path, kImageSize, kImageSize, [](int column, int row) {
            return qRgba((column * 7) & 0xFF, (row * 5 + column) & 0xFF, ((column ^ row) * 3) & 0xFF,
                         64 + (column * 3 + row * 11) % 192);
        });
    }

private Q_SLOTS:
    void init();
    void cleanup();

    void probeMatchesDrawnPixels_data();
    void probeMatchesDrawnPixels();
};

void TestPixelProbe::init()
{
    QVERIFY(openView(800, 600));
    m_view->SetShowAxes(false);
    m_view->SetShowHandles(false);
    m_probe = std::make_unique<PixelProbeTool>(m_view.get(), m_document.get());
}

void TestPixelProbe::cleanup()
{
    m_probe.reset();
    closeView();
}

void TestPixelProbe::probeMatchesDrawnPixels_data()
{
    QTest::addColumn<Setup>("setup");
    Setup s;
    QTest::newRow("defaults: linear, one + one") << s;
    s.mag = GL_NEAREST;
    s.src = GL_SRC_ALPHA;
    s.dst = GL_ONE_MINUS_SRC_ALPHA;
    QTest::newRow("nearest, alpha over") << s;
    s = Setup();
    s.zoom = 0.6f;
    s.src = GL_DST_COLOR;
    s.dst = GL_ZERO;
    QTest::newRow("zoom 0.6, multiply") << s;
    s = Setup();
    s.zoom = 1.7f;
    s.src = GL_ONE_MINUS_DST_COLOR;
    s.dst = GL_SRC_COLOR;
    QTest::newRow("zoom 1.7, inverse destination + source colour") << s;
    s = Setup();
    s.zoom = 0.15f;
    s.src = GL_SRC_ALPHA;
    s.dst = GL_ONE_MINUS_SRC_ALPHA;
    QTest::newRow("minified linear") << s;
    s.min = GL_NEAREST;
    s.src = GL_ZERO;
    s.dst = GL_SRC_ALPHA;
    QTest::newRow("minified nearest, destination x source alpha") << s;
    s = Setup();
    s.trapezoid = true;
    s.src = GL_SRC_ALPHA;
    s.dst = GL_ONE_MINUS_SRC_ALPHA;
    QTest::newRow("trapezoid, two triangles") << s;
    s.projective = true;
    QTest::newRow("trapezoid, projective") << s;
    s = Setup();
    s.tilt = 0.8f;
    s.zoom = 0.7f;
    s.src = GL_SRC_ALPHA;
    s.dst = GL_ONE_MINUS_SRC_ALPHA;
    QTest::newRow("corner off the plane, perspective") << s;
    s = Setup();
    s.flags = SURFACE_FLAG_POINTS;
    QTest::newRow("flags off: linear, white, alpha over") << s;
    // One flag off at a time, its setting still stored: the view and the
    // probe both draw the replacement.
    s = Setup();
    s.flags = 0x3E & ~SURFACE_FLAG_BLEND;
    s.src = GL_DST_COLOR;
    s.dst = GL_ZERO;
    QTest::newRow("blend flag off over a multiply") << s;
    s = Setup();
    s.flags = 0x3E & ~(SURFACE_FLAG_MAG | SURFACE_FLAG_MIN | SURFACE_FLAG_COLORS);
    s.zoom = 1.7f;
    s.mag = GL_NEAREST;
    s.min = GL_NEAREST;
    s.src = GL_SRC_ALPHA;
    s.dst = GL_ONE_MINUS_SRC_ALPHA;
    QTest::newRow("filter and colour flags off over nearest") << s;
    s = Setup();
    s.zoom = 0.15f;
    s.min = GL_LINEAR_MIPMAP_LINEAR;
    s.src = GL_SRC_ALPHA;
    s.dst = GL_ONE_MINUS_SRC_ALPHA;
    // Every upload builds the whole chain, so the mipmap filters sample real levels.
    QTest::newRow("trilinear, minified") << s;
    s.min = GL_NEAREST_MIPMAP_NEAREST;
    s.zoom = 0.3f;
    QTest::newRow("nearest level, minified") << s;
    // Letter-boxed in the true shape: the bars move the picture, the
    // screen's aspect widens the plane.
    s = Setup();
    s.trapezoid = true;
    s.projective = true;
    s.src = GL_SRC_ALPHA;
    s.dst = GL_ONE_MINUS_SRC_ALPHA;
    s.screen = QSize(16, 9);
    QTest::newRow("trapezoid at a 16:9 screen") << s;
    s = Setup();
    s.zoom = 0.6f;
    s.mag = GL_NEAREST;
    s.screen = QSize(16, 10);
    QTest::newRow("zoom 0.6 at a 16:10 screen") << s;
}

void TestPixelProbe::probeMatchesDrawnPixels()
{
    QFETCH(Setup, setup);
    EditThroughCommand(*m_document, [&](auto &surface) {
        surface.Flags = setup.flags;
        surface.MagFilter = setup.mag;
        surface.MinFilter = setup.min;
        surface.SrcFactor = setup.src;
        surface.DestFactor = setup.dst;
        if (setup.trapezoid) {
            const float points[4][3] = {{-0.5f, 0.8f, 0}, {-1.2f, -0.8f, 0}, {0.4f, 0.8f, 0}, {1.25f, -0.7f, 0}};
            std::memcpy(surface.Points, points, sizeof points);
        }
        surface.Points[3][2] = setup.tilt;
        surface.PerspectiveCorrect = setup.projective ? 1u : 0u;
    });
    const Surface &surface = m_document->GetSurface();
    m_view->SetZoom(setup.zoom);
    // Panned by a fraction of a pixel too: the probe follows the picture.
    m_view->SetPan(13.5f, -7.25f);
    m_view->SetScreenShape(setup.screen.width(), setup.screen.height());
    const Pixels pixels = RenderAndRead(m_view.get());

    int compared = 0;
    int worst = 0;
    QString worstAt;
    for (int i = 1; i < 12; ++i) {
        for (int j = 1; j < 12; ++j) {
            // Points across the quad, mapped through the view's own conversion.
            const float fx = i / 12.0f;
            const float fy = j / 12.0f;
            const auto lerp = [&](int a, int b, int axis, float f) {
                return surface.Points[a][axis] + (surface.Points[b][axis] - surface.Points[a][axis]) * f;
            };
            const float px = lerp(0, 2, 0, fx) + (lerp(1, 3, 0, fx) - lerp(0, 2, 0, fx)) * fy;
            const float py = lerp(0, 2, 1, fx) + (lerp(1, 3, 1, fx) - lerp(0, 2, 1, fx)) * fy;
            const QPointF window = m_view->SurfaceToWindow(px, py);
            const int x = int(window.x());
            const int y = int(window.y());
            if (x < 0 || y < 0 || x >= pixels.width || y >= pixels.height)
                continue;
            const PixelProbe::Result probe = m_probe->ProbeAt(x, y);
            if (!probe.OnSurface)
                continue;
            // A nearest sample right on a texel boundary may go either way.
            if (probe.Filter == GL_NEAREST || probe.Filter == GL_NEAREST_MIPMAP_NEAREST) {
                const auto nearEdge = [](double c) {
                    const double f = c * kImageSize - std::floor(c * kImageSize);
                    return f < 0.08 || f > 0.92;
                };
                if (nearEdge(probe.U) || nearEdge(probe.V))
                    continue;
            }
            const unsigned char *drawn = pixels.at(x, y);
            for (int k = 0; k < 3; ++k) {
                const int difference = std::abs(PixelProbe::ToByte(probe.Result[k]) - int(drawn[k]));
                if (difference > worst) {
                    worst = difference;
                    worstAt = QStringLiteral("at %1,%2 channel %3: drawn %4, probe says\n%5")
                                  .arg(x)
                                  .arg(y)
                                  .arg(k)
                                  .arg(drawn[k])
                                  .arg(PixelProbe::Describe(probe));
                }
            }
            ++compared;
        }
    }
    QVERIFY2(compared >= 40, qPrintable(QString::number(compared)));
    // 8-bit channels and the rasteriser's fixed-point filter weights.
    QVERIFY2(worst <= 2, qPrintable(worstAt));
}

QTEST_MAIN(TestPixelProbe)
#include "test_pixelprobe.moc"
