// The runtime's OpenGL 3.3 core frame against the editor's fixed-function
// frame, surface by surface, with no display: both contexts are EGL's.

#include "render/GraphicalInterface.h"
#include "render/HeadlessContext.h"
#include "render/SurfaceDrawState.h"
#include "surface/Surface.h"

#include "skimbler/SurfaceRenderer.h"

#include <QtTest>

#include <GL/gl.h>

#include <map>

using namespace skimbler;

namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 120;

using Pixels = std::vector<std::uint8_t>;

struct Image
{
    int Width = 0;
    int Height = 0;
    Pixels Rgba;
};

// Colour ramps, a checker in blue and an alpha that varies from texel to
// texel, so every filter and blend factor shows.
Image TestCard(int width, int height)
{
    Image image{width, height, Pixels(std::size_t(width) * height * 4)};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t *p = &image.Rgba[(std::size_t(y) * width + x) * 4];
            p[0] = std::uint8_t(x * 255 / (width - 1));
            p[1] = std::uint8_t(y * 255 / (height - 1));
            p[2] = ((x / 2 + y / 2) & 1) ? 230 : 20;
            p[3] = std::uint8_t(60 + 195 * ((x * 3 + y * 5) % 7) / 6);
        }
    }
    return image;
}

const std::map<QString, Image> &Images()
{
    static const std::map<QString, Image> images{
        {QStringLiteral("card64"), TestCard(64, 64)},
        {QStringLiteral("card8"), TestCard(8, 8)},
        {QStringLiteral("odd37x23"), TestCard(37, 23)},
    };
    return images;
}

// A destination with four colours and four alphas, so that destination
// factors matter.
void ClearQuadrants()
{
    const float colours[4][4] = {
        {0.9f, 0.2f, 0.1f, 0.3f}, {0.1f, 0.7f, 0.3f, 1.0f}, {0.2f, 0.3f, 0.8f, 0.6f}, {0.95f, 0.9f, 0.2f, 0.0f}};
    glEnable(GL_SCISSOR_TEST);
    for (int i = 0; i < 4; ++i) {
        glScissor((i % 2) * kWidth / 2, (i / 2) * kHeight / 2, kWidth / 2, kHeight / 2);
        glClearColor(colours[i][0], colours[i][1], colours[i][2], colours[i][3]);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    glDisable(GL_SCISSOR_TEST);
}

using Points = std::array<std::array<float, 3>, 4>;
using Colours = std::array<std::array<float, 4>, 4>;

const Points kFull{{{-4.f / 3, 1, 0}, {-4.f / 3, -1, 0}, {4.f / 3, 1, 0}, {4.f / 3, -1, 0}}};
const Points kSmall{{{-0.45f, 0.3f, 0}, {-0.45f, -0.3f, 0}, {0.35f, 0.3f, 0}, {0.35f, -0.3f, 0}}};
const Points kTiny{{{-0.1f, 0.08f, 0}, {-0.1f, -0.08f, 0}, {0.1f, 0.08f, 0}, {0.1f, -0.08f, 0}}};
const Points kLifted{{{-1.1f, 0.8f, 0.6f}, {-1.2f, -0.9f, -0.7f}, {1.0f, 0.9f, 0.2f}, {1.1f, -0.8f, -1.5f}}};
const Points kTrapezoid{{{-0.7f, 0.5f, 0}, {-1.3f, -0.9f, 0}, {0.6f, 0.8f, 0}, {1.25f, -0.75f, 0}}};
const Points kSmallTrapezoid{{{-0.2f, 0.1f, 0}, {-0.35f, -0.2f, 0}, {0.15f, 0.2f, 0}, {0.3f, -0.18f, 0}}};
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
    SurfaceFlags flags = SurfaceDefaultFlags;
    bool projective = false;
};

SurfaceSettings SettingsOf(const Case &c)
{
    SurfaceSettings settings = DefaultSettings();
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

using GenerateMipmapFunction = void (*)(GLenum);

} // namespace

Q_DECLARE_METATYPE(Case)

class TestRuntimePixels : public QObject
{
    Q_OBJECT

private:
    HeadlessContext m_editorContext;
    HeadlessContext m_runtimeContext;
    HeadlessContext m_esContext;
    GraphicalInterface m_editor;
    SurfaceRenderer m_runtime;
    SurfaceRenderer m_esRuntime;
    std::map<QString, GLuint> m_editorTextures;

    // The editor's frame: the view's own call, in the compatibility context.
    Pixels EditorFrame(const Case &c)
    {
        m_editorContext.MakeCurrent();
        const Image &image = Images().at(c.image);
        GLuint &texture = m_editorTextures[c.image];
        if (texture == 0) {
            // What TextureUpload::Create does on any context of OpenGL 3.0 or
            // later (it needs Qt's context to run itself): level 0 as given,
            // the chain from glGenerateMipmap.
            glGenTextures(1, &texture);
            glBindTexture(GL_TEXTURE_2D, texture);
            glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
            glTexImage2D(GL_TEXTURE_2D, 0, 4, image.Width, image.Height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                         image.Rgba.data());
            reinterpret_cast<GenerateMipmapFunction>(HeadlessContext::GetProcAddress("glGenerateMipmap"))(
                GL_TEXTURE_2D);
        }
        Surface surface;
        static_cast<SurfaceSettings &>(surface) = SettingsOf(c);
        surface.Width = std::uint32_t(image.Width);
        surface.Height = std::uint32_t(image.Height);
        ClearQuadrants();
        m_editor.ProjectiveTexture = c.projective;
        // The test keeps the texture for the next row: drawn by name.
        m_editor.DrawSurface(ResolveSurface(surface, m_editor.Width, m_editor.Height, c.projective), texture, 0.0f,
                             0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
        return m_editorContext.ReadPixels();
    }

    Pixels RuntimeFrame(const Case &c, HeadlessContext &context, SurfaceRenderer &runtime)
    {
        context.MakeCurrent();
        const Image &image = Images().at(c.image);
        std::string error;
        if (!runtime.UploadRgba(image.Rgba.data(), std::uint32_t(image.Width), std::uint32_t(image.Height),
                                  &error))
            qWarning("upload: %s", error.c_str());
        runtime.SetSettings(SettingsOf(c));
        ClearQuadrants();
        View view;
        view.Width = kWidth;
        view.Height = kHeight;
        runtime.Draw(view, c.projective);
        return context.ReadPixels();
    }

    struct Difference
    {
        int worst = 0;      // the largest difference of any channel
        int overTwo = 0;    // channels off by more than 2
        QString where;      // the worst one
    };

    static Difference Compare(const Pixels &editor, const Pixels &runtime)
    {
        Difference d;
        for (std::size_t i = 0; i < editor.size() && i < runtime.size(); ++i) {
            const int difference = std::abs(int(editor[i]) - int(runtime[i]));
            d.overTwo += difference > 2;
            if (difference > d.worst) {
                d.worst = difference;
                const std::size_t pixel = i / 4;
                d.where = QStringLiteral("pixel (%1, %2) channel %3: editor %4, runtime %5")
                              .arg(pixel % kWidth)
                              .arg(pixel / kWidth)
                              .arg(i % 4)
                              .arg(editor[i])
                              .arg(runtime[i]);
            }
        }
        return d;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(qEnvironmentVariableIsEmpty("DISPLAY"));
        std::string error;
        QVERIFY2(m_editorContext.Create(HeadlessContext::Api::Compatibility, kWidth, kHeight, &error),
                 error.c_str());
        m_editor.Init(kWidth, kHeight);
        QVERIFY2(m_runtimeContext.Create(HeadlessContext::Api::Core33, kWidth, kHeight, &error), error.c_str());
        QVERIFY2(m_runtime.Init(&HeadlessContext::GetProcAddress, ShaderApi::OpenGL33, &error), error.c_str());
        QVERIFY2(m_esContext.Create(HeadlessContext::Api::Es30, kWidth, kHeight, &error), error.c_str());
        QVERIFY2(m_esRuntime.Init(&HeadlessContext::GetProcAddress, ShaderApi::OpenGLES30, &error), error.c_str());
    }

    void cleanupTestCase()
    {
        m_runtimeContext.MakeCurrent();
        m_runtime.Release();
        m_esContext.MakeCurrent();
        m_esRuntime.Release();
    }

    void sameFrame_data()
    {
        QTest::addColumn<Case>("surface");
        auto row = [](const char *name, Case c) { QTest::newRow(name) << c; };
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

        // Blend pairs across the factor list.
        row("blend one one", blend(gl::ONE, gl::ONE));
        row("blend alpha", blend(gl::SRC_ALPHA, gl::ONE_MINUS_SRC_ALPHA));
        row("blend one zero", blend(gl::ONE, gl::ZERO));
        row("blend zero src colour", blend(gl::ZERO, gl::SRC_COLOR));
        row("blend src colour one minus src colour", blend(gl::SRC_COLOR, gl::ONE_MINUS_SRC_COLOR));
        row("blend dst colour zero", blend(gl::DST_COLOR, gl::ZERO));
        row("blend one minus dst colour one", blend(gl::ONE_MINUS_DST_COLOR, gl::ONE));
        row("blend dst alpha one minus dst alpha", blend(gl::DST_ALPHA, gl::ONE_MINUS_DST_ALPHA));
        row("blend one minus dst alpha dst alpha", blend(gl::ONE_MINUS_DST_ALPHA, gl::DST_ALPHA));
        row("blend one minus src alpha src alpha", blend(gl::ONE_MINUS_SRC_ALPHA, gl::SRC_ALPHA));
        row("blend saturate one", blend(gl::SRC_ALPHA_SATURATE, gl::ONE));
        row("blend zero one minus src colour", blend(gl::ZERO, gl::ONE_MINUS_SRC_COLOR));
        row("blend dst colour one minus dst colour", blend(gl::DST_COLOR, gl::ONE_MINUS_DST_COLOR));

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

        // Corners lifted towards and away from the eye.
        row("lifted linear", filtered("card64", kLifted, gl::LINEAR, gl::LINEAR));
        row("lifted mipmaps", filtered("card64", kLifted, gl::NEAREST, gl::LINEAR_MIPMAP_LINEAR));

        // Each flag off: what is drawn in place of the setting.
        Case off = filtered("card64", kSmall, gl::NEAREST, gl::NEAREST);
        off.src = gl::ZERO;
        off.dst = gl::ONE_MINUS_SRC_COLOR;
        auto without = [&off](SurfaceFlags flag) {
            Case c = off;
            c.flags = SurfaceDefaultFlags & ~flag;
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

        // Sides that are not powers of two.
        row("odd size linear", filtered("odd37x23", kFull, gl::LINEAR, gl::LINEAR));
        row("odd size nearest", filtered("odd37x23", kFull, gl::NEAREST, gl::NEAREST));
        row("odd size mipmaps", filtered("odd37x23", kTiny, gl::LINEAR, gl::LINEAR_MIPMAP_LINEAR));
        row("odd size image-sized quad", [&] { Case c = filtered("odd37x23", kFull, gl::LINEAR, gl::LINEAR); c.flags &= ~skimbler::SURFACE_FLAG_POINTS; return c; }());
    }

    void sameFrame()
    {
        QFETCH(Case, surface);
        const Pixels editor = EditorFrame(surface);
        const Pixels runtime = RuntimeFrame(surface, m_runtimeContext, m_runtime);
        QCOMPARE(runtime.size(), editor.size());
        const Difference d = Compare(editor, runtime);
        QVERIFY2(d.worst <= 1, qPrintable(QStringLiteral("off by %1 at %2").arg(d.worst).arg(d.where)));
        // The surface was drawn at all: the frame is not the bare background.
        m_runtimeContext.MakeCurrent();
        ClearQuadrants();
        QVERIFY(m_runtimeContext.ReadPixels() != runtime);
    }

    // OpenGL ES has no border clamp: the shader takes the border's share out
    // itself. Mesa filters that shader in floating point where the
    // fixed-function frame uses 8-bit weights, hence 2 levels; the level of
    // detail the shader works out for LINEAR_MIPMAP_LINEAR's edge texels may
    // differ from the driver's in a handful of values.
    void sameFrameOnEs_data() { sameFrame_data(); }
    void sameFrameOnEs()
    {
        QFETCH(Case, surface);
        const Pixels editor = EditorFrame(surface);
        const Pixels runtime = RuntimeFrame(surface, m_esContext, m_esRuntime);
        const Difference d = Compare(editor, runtime);
        QVERIFY2(d.overTwo <= 24 && d.worst <= 12,
                 qPrintable(QStringLiteral("%1 values off by more than 2, worst %2 at %3")
                                .arg(d.overTwo)
                                .arg(d.worst)
                                .arg(d.where)));
    }
};

QTEST_GUILESS_MAIN(TestRuntimePixels)
#include "test_runtime_pixels.moc"
