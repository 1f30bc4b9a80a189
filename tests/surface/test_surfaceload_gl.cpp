// A new document loads "a.tga" from the working directory into a texture of
// the current context: size, defaults, the texture's bytes, and no leaked
// texture when it is done again.

#include "common/GlTestContext.h"
#include "common/MessageRecorder.h"
#include "TgaTestFiles.h"

#include "surface/CSkimblerDoc.h"
#include "surface/Surface.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <GL/gl.h>

#include <memory>

using namespace TgaTestFiles;

namespace {

QByteArray TextureBytes(GLuint texture, GLenum format, int width, int height)
{
    QByteArray bytes(width * height * (format == GL_RGB ? 3 : 4), '\x55');
    GLint oldAlignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &oldAlignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, bytes.data());
    glPixelStorei(GL_PACK_ALIGNMENT, oldAlignment);
    return bytes;
}

GLint TextureLevelParameter(GLuint texture, GLenum name)
{
    GLint value = -1;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, name, &value);
    return value;
}

} // namespace

class TestSurfaceLoadGl : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void newDocumentLoadsImage_data();
    void newDocumentLoadsImage();
    void colourKeyBitSurvives();
    void secondNewDocumentReplacesTexture();
    void missingImage();
    void badImageKeepsNoTexture();
    void deletionAfterContextIsGone();

private:
    void WriteImage(const QByteArray &bytes)
    {
        QVERIFY(Write(m_dir->filePath(QStringLiteral("a.tga")), bytes));
    }

    std::unique_ptr<GlTestContext> m_gl;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_oldCurrent;
};

void TestSurfaceLoadGl::initTestCase()
{
    m_gl = std::make_unique<GlTestContext>();
    QVERIFY2(m_gl->valid, "no OpenGL context (run under Xvfb)");
    m_oldCurrent = QDir::currentPath();
}

void TestSurfaceLoadGl::cleanupTestCase()
{
    QDir::setCurrent(m_oldCurrent);
    m_gl.reset();
}

void TestSurfaceLoadGl::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir::setCurrent(m_dir->path()));
}

void TestSurfaceLoadGl::cleanup()
{
    QDir::setCurrent(m_oldCurrent);
    m_dir.reset();
}

void TestSurfaceLoadGl::newDocumentLoadsImage_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("pixels");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("pixelSize");

    // Widths whose 24-bit rows are not a multiple of 4 bytes test the unpack
    // alignment: with the default of 4 the rows would come out sheared.
    struct Case { const char *name; unsigned w, h; int size; bool rle; };
    const Case cases[] = {
        {"raw 32-bit 64x32", 64, 32, 4, false},
        {"rle 32-bit 13x7", 13, 7, 4, true},
        {"raw 24-bit 5x3", 5, 3, 3, false},
        {"rle 24-bit 7x9", 7, 9, 3, true},
        {"raw 24-bit 1x4", 1, 4, 3, false},
        {"raw 24-bit 301x17", 301, 17, 3, false},
    };
    for (const Case &c : cases) {
        const Generated g = Generate(c.w, c.h, c.size, c.w * 7 + c.h);
        QTest::newRow(c.name) << (c.rle ? g.rle : g.raw) << g.pixels << int(c.w) << int(c.h) << c.size;
    }
}

void TestSurfaceLoadGl::newDocumentLoadsImage()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, pixels);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, pixelSize);
    WriteImage(file);

    MessageRecorder recorder;
    CSkimblerDoc document;
    document.SetModifiedFlag();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    QVERIFY(document.OnNewDocument());
    QVERIFY(recorder.messages.isEmpty());
    QVERIFY(!document.IsModified());

    const Surface &surface = document.surface;
    QVERIFY(surface.Texture != 0);
    QVERIFY(glIsTexture(surface.Texture));
    QCOMPARE(int(surface.Width), width);
    QCOMPARE(int(surface.Height), height);
    QCOMPARE(surface.Flags, 0x3Eu);
    QCOMPARE(surface.MagFilter, 9729u);
    QCOMPARE(surface.MinFilter, 9729u);
    QCOMPARE(surface.SrcFactor, 1u);
    QCOMPARE(surface.DestFactor, 1u);
    QCOMPARE(surface.BPP, 0u);
    QCOMPARE(surface.Type, 0u);
    QCOMPARE(surface.Points[3][0], 4.0f / 3.0f);
    QCOMPARE(surface.Colors[0][1], 0.0f);

    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    QCOMPARE(GLuint(bound), surface.Texture);
    GLint filter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    QCOMPARE(filter, GLint(GL_NEAREST));
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    QCOMPARE(alignment, 4);  // put back as it was

    QCOMPARE(TextureLevelParameter(surface.Texture, GL_TEXTURE_WIDTH), width);
    QCOMPARE(TextureLevelParameter(surface.Texture, GL_TEXTURE_HEIGHT), height);
    const GLenum format = pixelSize == 3 ? GL_RGB : GL_RGBA;
    QVERIFY(TextureBytes(surface.Texture, format, width, height) == pixels);
    QCOMPARE(glGetError(), GLenum(GL_NO_ERROR));
}

void TestSurfaceLoadGl::colourKeyBitSurvives()
{
    WriteImage(Header(2) + Info(2, 2, 32) + PixelBytes(4, 4));
    MessageRecorder recorder;
    CSkimblerDoc document;
    document.surface.Flags = SURFACE_FLAG_COLORKEY;
    QVERIFY(document.OnNewDocument());
    QCOMPARE(document.surface.Flags, 0x3Fu);
    document.surface.Flags = 0;
    QVERIFY(document.OnNewDocument());
    QCOMPARE(document.surface.Flags, 0x3Eu);
}

void TestSurfaceLoadGl::secondNewDocumentReplacesTexture()
{
    const Generated first = Generate(4, 4, 4, 1);
    const Generated second = Generate(6, 2, 3, 2);
    WriteImage(first.raw);
    MessageRecorder recorder;
    CSkimblerDoc document;
    QVERIFY(document.OnNewDocument());
    const GLuint oldTexture = document.surface.Texture;
    QVERIFY(glIsTexture(oldTexture));

    // Corners dragged and the file changed: a new document starts over from
    // the file as it is now.
    document.surface.Points[0][0] = 0.25f;
    WriteImage(second.rle);
    QVERIFY(document.OnNewDocument());
    const GLuint newTexture = document.surface.Texture;
    QVERIFY(glIsTexture(newTexture));
    // The old name is either gone or handed out again for the new texture:
    // either way it was deleted.
    QVERIFY(newTexture == oldTexture || !glIsTexture(oldTexture));
    QCOMPARE(document.surface.Width, 6u);
    QCOMPARE(document.surface.Height, 2u);
    QCOMPARE(document.surface.Points[0][0], -4.0f / 3.0f);
    QVERIFY(TextureBytes(newTexture, GL_RGB, 6, 2) == second.pixels);
    QVERIFY(recorder.messages.isEmpty());
}

void TestSurfaceLoadGl::missingImage()
{
    MessageRecorder recorder;
    CSkimblerDoc document;
    document.surface.Points[1][1] = 5.0f;
    QVERIFY(document.OnNewDocument());
    QCOMPARE(recorder.messages.size(), 1);
    QCOMPARE(recorder.messages.first().text, QStringLiteral("Could not open texture file"));
    QCOMPARE(recorder.messages.first().caption, QStringLiteral("ERROR"));
    QCOMPARE(document.surface.Texture, 0u);
    QCOMPARE(document.surface.Width, 0u);
    QCOMPARE(document.surface.Height, 0u);
    QCOMPARE(document.surface.Flags, 0x3Eu);
    QCOMPARE(document.surface.Points[1][1], -1.0f);
}

// A good image, then a bad one: the surface ends with no texture, and the
// first texture is not left behind.
void TestSurfaceLoadGl::badImageKeepsNoTexture()
{
    WriteImage(Header(2) + Info(2, 2, 24) + PixelBytes(4, 3));
    MessageRecorder recorder;
    CSkimblerDoc document;
    QVERIFY(document.OnNewDocument());
    const GLuint oldTexture = document.surface.Texture;
    QVERIFY(oldTexture != 0);

    WriteImage(Header(10) + Info(10, 10, 32) + Run(128, Bytes({1, 2, 3, 4})));
    QVERIFY(document.OnNewDocument());
    QCOMPARE(recorder.texts(), QStringList{QStringLiteral("Too many pixels read")});
    QCOMPARE(document.surface.Texture, 0u);
    QCOMPARE(document.surface.Width, 0u);
    QVERIFY(!glIsTexture(oldTexture));
}

// At exit the context goes before the document; deleting the texture then
// must not touch OpenGL.
void TestSurfaceLoadGl::deletionAfterContextIsGone()
{
    WriteImage(Header(2) + Info(1, 1, 32) + Bytes({1, 2, 3, 4}));
    MessageRecorder recorder;
    auto document = std::make_unique<CSkimblerDoc>();
    {
        GlTestContext own;
        QVERIFY(own.valid);
        QVERIFY(document->OnNewDocument());
        QVERIFY(document->surface.Texture != 0);
    }
    QVERIFY(QOpenGLContext::currentContext() == nullptr);
    document.reset();  // must not crash
    QVERIFY(m_gl->context->makeCurrent(m_gl->window.get()));
}

QTEST_MAIN(TestSurfaceLoadGl)
#include "test_surfaceload_gl.moc"
