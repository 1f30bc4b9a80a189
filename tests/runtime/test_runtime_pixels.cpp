// The runtime's OpenGL 3.3 core frame against the editor's fixed-function
// frame, surface by surface, with no display: both contexts are EGL's.

#include "common/EditorPicture.h"
#include "common/RuntimeSurfaceCases.h"

#include "skimbler/PixelReference.h"
#include "skimbler/SurfaceRenderer.h"

#include <QtTest>

#include <cmath>

using namespace skimbler;
using namespace runtimecases;

class TestRuntimePixels : public QObject
{
    Q_OBJECT

private:
    EditorPicture m_editor;
    HeadlessContext m_runtimeContext;
    HeadlessContext m_esContext;
    SurfaceRenderer m_runtime;
    SurfaceRenderer m_esRuntime;

    Pixels RuntimeFrame(const Case &c, HeadlessContext &context, SurfaceRenderer &runtime)
    {
        context.MakeCurrent();
        const Image &image = Images().at(c.image);
        std::string error;
        const bool uploaded = image.Components == 4
            ? runtime.UploadRgba(image.Bytes.data(), std::uint32_t(image.Width), std::uint32_t(image.Height), &error)
            : runtime.UploadRgb(image.Bytes.data(), std::uint32_t(image.Width), std::uint32_t(image.Height), &error);
        if (!uploaded)
            qWarning("upload: %s", error.c_str());
        runtime.SetSettings(SettingsOf(c));
        ClearQuadrants();
        View view;
        view.Width = kWidth;
        view.Height = kHeight;
        runtime.Draw(view, c.projective);
        return context.ReadPixels();
    }

    // A nearest texel picked at a pixel whose centre falls on the line
    // between two texels: either is right, and the two sides round apart.
    static bool NearestTie(const PixelResult &pixel, const TexelPyramid &texels)
    {
        const bool nearest = pixel.Filter == gl::NEAREST || pixel.Filter == gl::NEAREST_MIPMAP_NEAREST
            || pixel.Filter == gl::NEAREST_MIPMAP_LINEAR;
        if (!nearest || !pixel.HasTexture)
            return false;
        for (std::size_t level = std::size_t(pixel.Level);
             level < texels.size() && level <= std::size_t(pixel.Level) + 1; ++level) {
            for (const double u : {pixel.U * texels[level].Width, pixel.V * texels[level].Height}) {
                const double fraction = u - std::floor(u);
                if (fraction < 1e-3 || fraction > 1 - 1e-3)
                    return true;
            }
        }
        return false;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(qEnvironmentVariableIsEmpty("DISPLAY"));
        std::string error;
        QVERIFY2(m_editor.Create(&error), error.c_str());
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

    void sameFrame_data() { AddCases(); }

    void sameFrame()
    {
        QFETCH(Case, surface);
        const Pixels editor = m_editor.Frame(surface);
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
        const Pixels editor = m_editor.Frame(surface);
        const Pixels runtime = RuntimeFrame(surface, m_esContext, m_esRuntime);
        const Difference d = Compare(editor, runtime);
        QVERIFY2(d.overTwo <= 24 && d.worst <= 12,
                 qPrintable(QStringLiteral("%1 values off by more than 2, worst %2 at %3")
                                .arg(d.overTwo)
                                .arg(d.worst)
                                .arg(d.where)));
    }
    // The pixel probe works each pixel out on the processor from the
    // editor's own texture levels: it must give what the editor drew.
    void probeGivesFrame_data() { sameFrame_data(); }
    void probeGivesFrame()
    {
        QFETCH(Case, surface);
        const Pixels editor = m_editor.Frame(surface);
        const DrawState state = EditorPicture::State(surface);
        const TexelPyramid texels = m_editor.Texels(surface.image);
        View view;
        view.Width = kWidth;
        view.Height = kHeight;
        Pixels probed = editor;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const float *below = kQuadrantColours[(x >= kWidth / 2 ? 1 : 0) + (y >= kHeight / 2 ? 2 : 0)];
                Colour destination{};
                for (int k = 0; k < 4; ++k)
                    destination[std::size_t(k)] = ToByte(below[k]) / 255.0;
                const PixelResult pixel = PixelAt(state, view, texels, destination, x, kHeight - 1 - y);
                if (!pixel.OnSurface || NearestTie(pixel, texels))
                    continue;
                for (int k = 0; k < 4; ++k)
                    probed[(std::size_t(y) * kWidth + std::size_t(x)) * 4 + std::size_t(k)]
                        = std::uint8_t(ToByte(pixel.Result[std::size_t(k)]));
            }
        }
        const Difference d = Compare(editor, probed);
        // The driver's level of detail is its own approximation; a filter
        // that reads mipmaps may lean more on one level than the probe.
        const int bound = state.NeedsMipmaps ? 24 : 2;
        QVERIFY2(d.worst <= bound, qPrintable(QStringLiteral("off by %1 at %2").arg(d.worst).arg(d.where)));
    }
};

QTEST_GUILESS_MAIN(TestRuntimePixels)
#include "test_runtime_pixels.moc"
