// What a caller of the runtime relies on besides the pixels: its own OpenGL
// state left alone, enumerants no OpenGL takes replaced, a missing function
// reported, and its own texture drawn like uploaded pixels. No display.

#define GL_GLEXT_PROTOTYPES 1
#include "render/HeadlessContext.h"

#include "skimbler/SurfaceFile.h"
#include "skimbler/SurfaceRenderer.h"

#include <QTemporaryDir>
#include <QtTest>

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstring>

using namespace skimbler;

namespace {

constexpr int kSize = 64;

const char *g_missing = nullptr;

// The context's own loader, except for one function it pretends not to have.
void *LoaderWithout(const char *name)
{
    if (g_missing && std::strcmp(name, g_missing) == 0)
        return nullptr;
    return HeadlessContext::GetProcAddress(name);
}

std::vector<std::uint8_t> Checker(int side)
{
    std::vector<std::uint8_t> pixels(std::size_t(side) * side * 4);
    for (int i = 0; i < side * side; ++i) {
        const bool on = ((i % side) + (i / side)) % 2;
        pixels[std::size_t(i) * 4 + 0] = on ? 250 : 10;
        pixels[std::size_t(i) * 4 + 1] = std::uint8_t(i % 251);
        pixels[std::size_t(i) * 4 + 2] = on ? 30 : 200;
        pixels[std::size_t(i) * 4 + 3] = on ? 255 : 128;
    }
    return pixels;
}

} // namespace

class TestRuntimeRenderer : public QObject
{
    Q_OBJECT

    HeadlessContext m_context;
    SurfaceRenderer m_renderer;
    View m_view;

    std::vector<std::uint8_t> DrawOverGrey(const SurfaceSettings &settings)
    {
        glClearColor(0.5f, 0.5f, 0.5f, 0.5f);
        glClear(GL_COLOR_BUFFER_BIT);
        m_renderer.SetSettings(settings);
        m_renderer.Draw(m_view);
        return m_context.ReadPixels();
    }

private slots:
    void initTestCase()
    {
        std::string error;
        QVERIFY2(m_context.Create(HeadlessContext::Api::Core33, kSize, kSize, &error), error.c_str());
        QVERIFY2(m_renderer.Init(&HeadlessContext::GetProcAddress, ShaderApi::OpenGL33, &error), error.c_str());
        m_view.Width = kSize;
        m_view.Height = kSize;
        const std::vector<std::uint8_t> pixels = Checker(16);
        QVERIFY2(m_renderer.UploadRgba(pixels.data(), 16, 16, &error), error.c_str());
    }

    void cleanupTestCase() { m_renderer.Release(); }

    void callerStateSurvives_data()
    {
        QTest::addColumn<int>("query");
        QTest::addColumn<int>("caller");  // what the caller had set; -1: the caller's object
        QTest::newRow("blend off") << int(GL_BLEND) << 0;
        QTest::newRow("blend source colour") << int(GL_BLEND_SRC_RGB) << int(GL_ONE_MINUS_DST_COLOR);
        QTest::newRow("blend destination colour") << int(GL_BLEND_DST_RGB) << int(GL_SRC_COLOR);
        QTest::newRow("blend source alpha") << int(GL_BLEND_SRC_ALPHA) << int(GL_ZERO);
        QTest::newRow("blend destination alpha") << int(GL_BLEND_DST_ALPHA) << int(GL_ONE);
        QTest::newRow("active texture unit") << int(GL_ACTIVE_TEXTURE) << int(GL_TEXTURE0);
        QTest::newRow("texture on unit 0") << int(GL_TEXTURE_BINDING_2D) << -1;
        QTest::newRow("vertex array") << int(GL_VERTEX_ARRAY_BINDING) << -1;
        QTest::newRow("array buffer") << int(GL_ARRAY_BUFFER_BINDING) << -1;
        QTest::newRow("sampler on unit 0") << int(GL_SAMPLER_BINDING) << 0;
        QTest::newRow("program") << int(GL_CURRENT_PROGRAM) << 0;
        QTest::newRow("unpack alignment") << int(GL_UNPACK_ALIGNMENT) << 8;
    }

    void callerStateSurvives()
    {
        QFETCH(int, query);
        QFETCH(int, caller);
        // The caller's renderer, mid-frame.
        GLuint texture = 0, vertexArray = 0, buffer = 0;
        glGenTextures(1, &texture);
        glGenVertexArrays(1, &vertexArray);
        glGenBuffers(1, &buffer);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, texture);
        glBindVertexArray(vertexArray);
        glBindBuffer(GL_ARRAY_BUFFER, buffer);
        glDisable(GL_BLEND);
        glBlendFuncSeparate(GL_ONE_MINUS_DST_COLOR, GL_SRC_COLOR, GL_ZERO, GL_ONE);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 8);
        const GLuint objects[] = {texture, vertexArray, buffer};
        const int expected = caller >= 0 ? caller
            : int(objects[query == GL_TEXTURE_BINDING_2D ? 0 : query == GL_VERTEX_ARRAY_BINDING ? 1 : 2]);

        const std::vector<std::uint8_t> pixels = Checker(8);
        QVERIFY(m_renderer.UploadRgba(pixels.data(), 8, 8, nullptr));
        SurfaceSettings settings = DefaultSettings();
        settings.MinFilter = gl::LINEAR_MIPMAP_LINEAR;
        DrawOverGrey(settings);

        GLint value = -2;
        if (query == GL_BLEND)
            value = glIsEnabled(GL_BLEND);
        else
            glGetIntegerv(GLenum(query), &value);
        QCOMPARE(value, expected);
        QCOMPARE(glGetError(), GLenum(GL_NO_ERROR));

        glBindVertexArray(0);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glBindTexture(GL_TEXTURE_2D, 0);
        glDeleteTextures(1, &texture);
        glDeleteVertexArrays(1, &vertexArray);
        glDeleteBuffers(1, &buffer);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    }

    // An enumerant OpenGL refuses is never sent (Resolve's rule): the
    // filter draws as NEAREST, the pair as SRC_ALPHA, ONE_MINUS_SRC_ALPHA,
    // with no OpenGL error.
    void unusableEnumerants_data()
    {
        QTest::addColumn<uint>("mag");
        QTest::addColumn<uint>("min");
        QTest::addColumn<uint>("src");
        QTest::addColumn<uint>("dst");
        QTest::addColumn<uint>("drawnMag");
        QTest::addColumn<uint>("drawnMin");
        QTest::addColumn<uint>("drawnSrc");
        QTest::addColumn<uint>("drawnDst");
        const uint L = gl::LINEAR, N = gl::NEAREST, LML = gl::LINEAR_MIPMAP_LINEAR;
        const uint SA = gl::SRC_ALPHA, OMSA = gl::ONE_MINUS_SRC_ALPHA;
        QTest::newRow("usable as stored") << N << LML << uint(gl::DST_COLOR) << uint(gl::SRC_ALPHA_SATURATE) << N
                                          << LML << uint(gl::DST_COLOR) << uint(gl::SRC_ALPHA_SATURATE);
        QTest::newRow("mipmap filter as mag filter") << LML << L << SA << OMSA << N << L << SA << OMSA;
        QTest::newRow("unknown min filter") << L << 0x1234u << SA << OMSA << L << N << SA << OMSA;
        QTest::newRow("unknown source factor") << N << N << 0x9999u << uint(gl::ONE) << N << N << SA << OMSA;
        QTest::newRow("unknown destination factor") << N << N << uint(gl::ONE) << 2u << N << N << SA << OMSA;
    }

    void unusableEnumerants()
    {
        QFETCH(uint, mag);
        QFETCH(uint, min);
        QFETCH(uint, src);
        QFETCH(uint, dst);
        SurfaceSettings settings = DefaultSettings();
        settings.MagFilter = mag;
        settings.MinFilter = min;
        settings.SrcFactor = src;
        settings.DestFactor = dst;
        m_renderer.SetSettings(settings);
        const DrawState state = m_renderer.Resolved(m_view);
        QTEST(uint(state.MagFilter), "drawnMag");
        QTEST(uint(state.MinFilter), "drawnMin");
        QTEST(uint(state.SrcFactor), "drawnSrc");
        QTEST(uint(state.DestFactor), "drawnDst");
        QCOMPARE(state.NeedsMipmaps, IsMipmapFilter(state.MinFilter));
        DrawOverGrey(settings);
        QCOMPARE(glGetError(), GLenum(GL_NO_ERROR));
    }

    void missingFunction_data()
    {
        QTest::addColumn<QByteArray>("function");
        QTest::newRow("samplers") << QByteArray("glGenSamplers");
        QTest::newRow("vertex arrays") << QByteArray("glBindVertexArray");
        QTest::newRow("mipmaps") << QByteArray("glGenerateMipmap");
    }

    void missingFunction()
    {
        QFETCH(QByteArray, function);
        g_missing = function.constData();
        SurfaceRenderer renderer;
        std::string error;
        QVERIFY(!renderer.Init(&LoaderWithout, ShaderApi::OpenGL33, &error));
        g_missing = nullptr;
        QVERIFY2(error.find(function.constData()) != std::string::npos, error.c_str());
        // Nothing was made, so drawing is a no-op rather than a crash.
        View view;
        renderer.Draw(view);
    }

    // Open takes the surface's perspective-correct texture from its file:
    // Draw without the override draws a saved trapezoid as the editor did.
    void perspectiveComesFromTheFile_data()
    {
        QTest::addColumn<bool>("saved");
        QTest::newRow("saved on") << true;
        QTest::newRow("saved off") << false;
    }

    void perspectiveComesFromTheFile()
    {
        QFETCH(bool, saved);
        SurfaceSettings settings = DefaultSettings();
        settings.MagFilter = gl::NEAREST;
        settings.Points[0][0] = -0.4f;
        settings.Points[2][0] = 0.4f;
        settings.PerspectiveCorrect = saved ? 1u : 0u;
        QTemporaryDir folder;
        const std::string path = folder.filePath(QStringLiteral("poster.skimbler")).toStdString();
        std::string error;
        QVERIFY2(SurfaceFile::Write(path, settings, 16, 16, std::string(), &error), error.c_str());

        m_renderer.SetSettings(DefaultSettings());
        QVERIFY2(m_renderer.Open(path, &error), error.c_str());
        QCOMPARE(m_renderer.Settings().PerspectiveCorrect != 0u, saved);
        QCOMPARE(m_renderer.Resolved(m_view).Projective, saved);
        const auto frame = [this](bool force) {
            glClearColor(0.5f, 0.5f, 0.5f, 0.5f);
            glClear(GL_COLOR_BUFFER_BIT);
            m_renderer.Draw(m_view, force);
            return m_context.ReadPixels();
        };
        const std::vector<std::uint8_t> asOpened = frame(false);
        QCOMPARE(asOpened == frame(true), saved);
    }

    // A texture the caller made (with its mipmaps) draws exactly like the
    // same pixels handed in.
    void callerTexture()
    {
        const std::vector<std::uint8_t> pixels = Checker(16);
        SurfaceSettings settings = DefaultSettings();
        settings.MinFilter = gl::LINEAR_MIPMAP_NEAREST;
        settings.Points[2][0] = settings.Points[3][0] = -0.9f;  // small: minified
        settings.Points[0][1] = settings.Points[2][1] = -0.6f;
        QVERIFY(m_renderer.UploadRgba(pixels.data(), 16, 16, nullptr));
        const std::vector<std::uint8_t> uploaded = DrawOverGrey(settings);

        GLuint texture = 0;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 16, 16, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        glGenerateMipmap(GL_TEXTURE_2D);
        // The texture's own parameters do not matter: the runtime's sampler
        // decides.
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glBindTexture(GL_TEXTURE_2D, 0);
        m_renderer.SetTexture(texture, 16, 16);
        const std::vector<std::uint8_t> own = DrawOverGrey(settings);
        glDeleteTextures(1, &texture);
        QVERIFY(own == uploaded);
    }
};

QTEST_GUILESS_MAIN(TestRuntimeRenderer)
#include "test_runtime_renderer.moc"
