// A new document loads "a.tga" from the working directory into a texture of
// the current context: size, defaults, the texture's bytes, and no leaked
// texture when it is done again. Other formats give the same texels as a TGA
// of the same picture; images too large, or unreadable, leave the surface
// alone; a rewritten image file is reloaded.

#include "common/SettingsThroughCommand.h"
#include "common/GlTestContext.h"
#include "common/MessageRecorder.h"
#include "common/TgaTestFiles.h"

#include "surface/CSkimblerDoc.h"
#include "surface/DocumentLoader.h"
#include "surface/Surface.h"
#include "common/SurfaceTextureOf.h"

#include <skimbler/SurfaceSettings.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QThreadPool>
#include <QtTest>

#include <GL/gl.h>

#include <cstdio>
#include <memory>

using skimbler::SURFACE_FLAG_COLORKEY;
using skimbler::SURFACE_FLAG_POINTS;
using skimbler::SurfaceSettings;

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

// The picture as a TGA stored the usual way, bottom row first (or top row
// first when asked): type 2 true colour of 24 or 32 bits, 3 and 11
// greyscale of 8 bits, 1 and 9 colour-mapped with 8-bit indices into a map
// of 24 bits (32 when the picture has alpha). Types 9 and 11 encode equal
// neighbours as runs.
QByteArray TgaOf(const QImage &picture, int type, int depth, bool topFirst = false)
{
    const bool mapped = type == 1 || type == 9, rle = type >= 9;
    const int mapDepth = picture.hasAlphaChannel() ? 32 : 24;
    QList<QRgb> map;
    QList<QByteArray> pixels;
    for (int i = 0; i < picture.height(); ++i) {
        const int y = topFirst ? i : picture.height() - 1 - i;
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb c = picture.pixel(x, y);
            if (mapped) {
                if (!map.contains(c))
                    map.append(c);
                pixels.append(QByteArray(1, char(map.indexOf(c))));
            } else if (depth == 8) {
                pixels.append(QByteArray(1, char(qRed(c))));
            } else {
                pixels.append(Bytes({qBlue(c), qGreen(c), qRed(c)}) + (depth == 32 ? QByteArray(1, char(qAlpha(c))) : QByteArray()));
            }
        }
    }
    QByteArray file = Header(std::uint8_t(type)) + Info(unsigned(picture.width()), unsigned(picture.height()),
                                                        unsigned(depth), topFirst ? 0x20 : 0);
    if (mapped) {
        file[1] = 1;
        file[5] = char(map.size());
        file[7] = char(mapDepth);
        for (QRgb c : map)
            file += Bytes({qBlue(c), qGreen(c), qRed(c)}) + (mapDepth == 32 ? QByteArray(1, char(qAlpha(c))) : QByteArray());
    }
    for (qsizetype i = 0; i < pixels.size();) {
        qsizetype same = 1;
        while (rle && i + same < pixels.size() && same < 128 && pixels[i + same] == pixels[i])
            ++same;
        if (rle)
            file += same > 1 ? QByteArray(1, char(127 + same)) : QByteArray(1, '\0');
        file += pixels[i];
        i += rle ? same : 1;
    }
    return file;
}

// What the texture must hold: R G B (A) bytes, bottom row first.
QByteArray Texels(const QImage &picture, bool alpha)
{
    QByteArray bytes;
    for (int y = picture.height() - 1; y >= 0; --y)
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb c = picture.pixel(x, y);
            bytes += Bytes({qRed(c), qGreen(c), qBlue(c)}) + (alpha ? QByteArray(1, char(qAlpha(c))) : QByteArray());
        }
    return bytes;
}

// Pairs of equal neighbours, so that run-length files have runs.
QImage Picture(int width, int height, bool alpha, bool grey = false)
{
    QImage picture(width, height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int v = ((x / 2) * 53 + y * 97) & 0xFF;
            picture.setPixel(x, y, grey ? qRgb(v, v, v) : qRgba(v, 255 - v, (x * 31) & 0xFF, alpha ? 40 + y * 30 : 255));
        }
    return picture;
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
    void pngAndTgaUploadIdenticalTexels_data();
    void pngAndTgaUploadIdenticalTexels();
    void tooLargeIsRefusedAndSurfaceStays_data();
    void tooLargeIsRefusedAndSurfaceStays();
    void unreadableFileNamesItself_data();
    void unreadableFileNamesItself();
    void rewrittenImageIsReloaded();
    void lateReloadLoses_data();
    void lateReloadLoses();
    void reloadTooLargeKeepsPicture();
    void reloadWaitsForOpenUnderWay_data();
    void reloadWaitsForOpenUnderWay();
    void surfaceFileWithPngRoundTrips();
    void replaceImageUndoRedo_data();
    void replaceImageUndoRedo();
    void refusedReplacementChangesNothing_data();
    void refusedReplacementChangesNothing();
    void savedReplacementNamesNewImage_data();
    void savedReplacementNamesNewImage();

private:
    QString Path(const char *name) const { return m_dir->filePath(QString::fromLatin1(name)); }

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

    CSkimblerDoc document;
    MessageRecorder recorder(&document);
    document.SetModifiedFlag();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    QVERIFY(document.OnNewDocument());
    QVERIFY(recorder.messages.isEmpty());
    QVERIFY(!document.IsModified());

    const Surface &surface = document.GetSurface();
    QVERIFY(SurfaceTextureOf(surface) != 0);
    QVERIFY(glIsTexture(SurfaceTextureOf(surface)));
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
    QCOMPARE(GLuint(bound), SurfaceTextureOf(surface));
    GLint filter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    QCOMPARE(filter, GLint(GL_NEAREST));
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    QCOMPARE(alignment, 4);  // put back as it was

    QCOMPARE(TextureLevelParameter(SurfaceTextureOf(surface), GL_TEXTURE_WIDTH), width);
    QCOMPARE(TextureLevelParameter(SurfaceTextureOf(surface), GL_TEXTURE_HEIGHT), height);
    const GLenum format = pixelSize == 3 ? GL_RGB : GL_RGBA;
    QVERIFY(TextureBytes(SurfaceTextureOf(surface), format, width, height) == pixels);
    QCOMPARE(glGetError(), GLenum(GL_NO_ERROR));
}

void TestSurfaceLoadGl::colourKeyBitSurvives()
{
    WriteImage(Header(2) + Info(2, 2, 32) + PixelBytes(4, 4));
    CSkimblerDoc document;
    MessageRecorder recorder(&document);
    EditThroughCommand(document, [&](auto &s) { s.Flags = SURFACE_FLAG_COLORKEY; });
    QVERIFY(document.OnNewDocument());
    QCOMPARE(document.GetSurface().Flags, 0x3Fu);
    EditThroughCommand(document, [](auto &s) { s.Flags = 0; });
    QVERIFY(document.OnNewDocument());
    QCOMPARE(document.GetSurface().Flags, 0x3Eu);
}

void TestSurfaceLoadGl::secondNewDocumentReplacesTexture()
{
    const Generated first = Generate(4, 4, 4, 1);
    const Generated second = Generate(6, 2, 3, 2);
    WriteImage(first.raw);
    CSkimblerDoc document;
    MessageRecorder recorder(&document);
    QVERIFY(document.OnNewDocument());
    const GLuint oldTexture = SurfaceTextureOf(document.GetSurface());
    QVERIFY(glIsTexture(oldTexture));

    // Corners dragged and the file changed: a new document starts over from
    // the file as it is now.
    EditThroughCommand(document, [](auto &s) { s.Points[0][0] = 0.25f; });
    WriteImage(second.rle);
    QVERIFY(document.OnNewDocument());
    const GLuint newTexture = SurfaceTextureOf(document.GetSurface());
    QVERIFY(glIsTexture(newTexture));
    // The old name is either gone or handed out again for the new texture:
    // either way it was deleted.
    QVERIFY(newTexture == oldTexture || !glIsTexture(oldTexture));
    QCOMPARE(document.GetSurface().Width, 6u);
    QCOMPARE(document.GetSurface().Height, 2u);
    QCOMPARE(document.GetSurface().Points[0][0], -4.0f / 3.0f);
    QVERIFY(TextureBytes(newTexture, GL_RGB, 6, 2) == second.pixels);
    QVERIFY(recorder.messages.isEmpty());
}

void TestSurfaceLoadGl::missingImage()
{
    CSkimblerDoc document;
    MessageRecorder recorder(&document);
    EditThroughCommand(document, [](auto &s) { s.Points[1][1] = 5.0f; });
    QVERIFY(document.OnNewDocument());
    QCOMPARE(recorder.messages.size(), 1);
    QCOMPARE(recorder.messages.first().text, QStringLiteral("Could not open texture file"));
    QCOMPARE(recorder.messages.first().caption, QStringLiteral("ERROR"));
    QCOMPARE(SurfaceTextureOf(document.GetSurface()), 0u);
    QCOMPARE(document.GetSurface().Width, 0u);
    QCOMPARE(document.GetSurface().Height, 0u);
    QCOMPARE(document.GetSurface().Flags, 0x3Eu);
    QCOMPARE(document.GetSurface().Points[1][1], -1.0f);
}

// A good image, then a bad one: the surface ends with no texture, and the
// first texture is not left behind.
void TestSurfaceLoadGl::badImageKeepsNoTexture()
{
    WriteImage(Header(2) + Info(2, 2, 24) + PixelBytes(4, 3));
    CSkimblerDoc document;
    MessageRecorder recorder(&document);
    QVERIFY(document.OnNewDocument());
    const GLuint oldTexture = SurfaceTextureOf(document.GetSurface());
    QVERIFY(oldTexture != 0);

    WriteImage(Header(10) + Info(10, 10, 32) + Run(128, Bytes({1, 2, 3, 4})));
    QVERIFY(document.OnNewDocument());
    QCOMPARE(recorder.texts(), QStringList{QStringLiteral("Too many pixels read")});
    QCOMPARE(SurfaceTextureOf(document.GetSurface()), 0u);
    QCOMPARE(document.GetSurface().Width, 0u);
    QVERIFY(!glIsTexture(oldTexture));
}

// At exit the context goes before the document; deleting the texture then
// must not touch OpenGL.
void TestSurfaceLoadGl::deletionAfterContextIsGone()
{
    WriteImage(Header(2) + Info(1, 1, 32) + Bytes({1, 2, 3, 4}));
    auto document = std::make_unique<CSkimblerDoc>();
    MessageRecorder recorder(document.get());
    {
        GlTestContext own;
        QVERIFY(own.valid);
        QVERIFY(document->OnNewDocument());
        QVERIFY(SurfaceTextureOf(document->GetSurface()) != 0);
    }
    QVERIFY(QOpenGLContext::currentContext() == nullptr);
    document.reset();  // must not crash
    QVERIFY(m_gl->context->makeCurrent(m_gl->window.get()));
}

void TestSurfaceLoadGl::pngAndTgaUploadIdenticalTexels_data()
{
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<QByteArray>("tga");
    QTest::addColumn<QString>("other");
    QTest::addColumn<int>("format");
    const QImage opaque = Picture(5, 3, false), alpha = Picture(7, 4, true), grey = Picture(6, 5, false, true);
    QTest::newRow("24-bit, PNG") << opaque << TgaOf(opaque, 2, 24) << QStringLiteral("p.png") << int(GL_RGB);
    QTest::newRow("24-bit, BMP") << opaque << TgaOf(opaque, 2, 24) << QStringLiteral("p.bmp") << int(GL_RGB);
    QTest::newRow("32-bit, PNG with alpha") << alpha << TgaOf(alpha, 2, 32) << QStringLiteral("p.png") << int(GL_RGBA);
    QTest::newRow("24-bit, top row first, PNG") << opaque << TgaOf(opaque, 2, 24, true) << QStringLiteral("p.png") << int(GL_RGB);
    QTest::newRow("32-bit RLE, top row first, PNG")
        << alpha << TgaOf(alpha, 10, 32, true) << QStringLiteral("p.png") << int(GL_RGBA);
    // TGA kinds the true-colour loader refuses have a reader of their own;
    // they must come out the same way up.
    QTest::newRow("greyscale TGA, PNG") << grey << TgaOf(grey, 3, 8) << QStringLiteral("p.png") << int(GL_RGB);
    QTest::newRow("greyscale RLE TGA, top row first, PNG")
        << grey << TgaOf(grey, 11, 8, true) << QStringLiteral("p.png") << int(GL_RGB);
    QTest::newRow("colour-mapped TGA, PNG") << opaque << TgaOf(opaque, 1, 8) << QStringLiteral("p.png") << int(GL_RGB);
    QTest::newRow("colour-mapped RLE TGA with alpha, PNG")
        << alpha << TgaOf(alpha, 9, 8) << QStringLiteral("p.png") << int(GL_RGBA);
}

void TestSurfaceLoadGl::pngAndTgaUploadIdenticalTexels()
{
    QFETCH(QImage, picture);
    QFETCH(QByteArray, tga);
    QFETCH(QString, other);
    QFETCH(int, format);
    QVERIFY(Write(Path("p.tga"), tga));
    QVERIFY(picture.save(m_dir->filePath(other)));

    CSkimblerDoc document;
    MessageRecorder recorder(&document);
    DocumentLoader loader(&document);
    QVERIFY(loader.Open(Path("p.tga")));
    const QByteArray fromTga = TextureBytes(SurfaceTextureOf(document.GetSurface()), GLenum(format), picture.width(), picture.height());
    QVERIFY(loader.Open(m_dir->filePath(other)));
    QCOMPARE(document.GetSurface().Width, std::uint32_t(picture.width()));
    QCOMPARE(document.GetImagePath(), m_dir->filePath(other));
    const QByteArray fromOther = TextureBytes(SurfaceTextureOf(document.GetSurface()), GLenum(format), picture.width(), picture.height());
    QVERIFY2(recorder.messages.isEmpty(), qPrintable(recorder.texts().join(QLatin1Char('\n'))));
    QCOMPARE(fromOther, fromTga);
    QCOMPARE(fromOther, Texels(picture, format == GL_RGBA));
}

void TestSurfaceLoadGl::tooLargeIsRefusedAndSurfaceStays_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("message");
    QByteArray png;
    {
        QBuffer buffer(&png);
        QVERIFY(buffer.open(QIODevice::WriteOnly));
        QVERIFY(Picture(65, 20, false).save(&buffer, "PNG"));
    }
    QTest::newRow("PNG") << QStringLiteral("big.png") << png << 64
                         << QStringLiteral("big.png: the image is 65 x 20 pixels, larger than the 64 x 64 pixels this OpenGL can hold");
    QTest::newRow("TGA, type 2") << QStringLiteral("big.tga") << TgaOf(Picture(20, 65, true), 2, 32) << 64
                                 << QStringLiteral("big.tga: the image is 20 x 65 pixels, larger than the 64 x 64 pixels this OpenGL can hold");
    // Claims far more than its bytes: refused on its header, before the
    // packets are decoded (which would end in "Could not read RLE header")
    // or anything is allocated.
    QTest::newRow("TGA, type 10, 20000 x 20000")
        << QStringLiteral("huge.tga") << Header(10) + Info(20000, 20000, 32) + Run(128, Bytes({1, 2, 3, 4})) << 8192
        << QStringLiteral("huge.tga: the image is 20000 x 20000 pixels, larger than the 8192 x 8192 pixels this OpenGL can hold");
    // A type 2 file too short for its header is the loader's own refusal,
    // known without decoding: its message stands.
    QTest::newRow("TGA, type 2, short of its 20000 x 20000")
        << QStringLiteral("short.tga") << Header(2) + Info(20000, 20000, 24) + PixelBytes(10, 3) << 8192
        << QStringLiteral("Could not read image data");
}

void TestSurfaceLoadGl::tooLargeIsRefusedAndSurfaceStays()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, file);
    QFETCH(int, limit);
    QFETCH(QString, message);
    const Generated current = Generate(3, 2, 3, 5);
    WriteImage(current.raw);
    QVERIFY(Write(m_dir->filePath(name), file));

    CSkimblerDoc document;
    MessageRecorder recorder(&document);
    DocumentLoader loader(&document);
    QVERIFY(document.OnNewDocument());
    EditThroughCommand(document, [](auto &s) { s.Points[0][0] = 0.5f; });
    const std::uint32_t texture = SurfaceTextureOf(document.GetSurface());
    document.SetMaxTextureSide(limit);
    const bool opened = loader.Open(m_dir->filePath(name));
    QVERIFY(!opened);
    QCOMPARE(recorder.texts(), QStringList{message});
    QCOMPARE(recorder.messages.first().detail, QDir::toNativeSeparators(m_dir->filePath(name)));
    QCOMPARE(SurfaceTextureOf(document.GetSurface()), texture);
    QCOMPARE(document.GetSurface().Width, 3u);
    QCOMPARE(document.GetSurface().Points[0][0], 0.5f);
    QVERIFY(TextureBytes(texture, GL_RGB, 3, 2) == current.pixels);
}

void TestSurfaceLoadGl::unreadableFileNamesItself_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("caption");
    const QString ours = QStringLiteral("Skimbler");
    QTest::newRow("PNG that is not one") << QStringLiteral("x.png") << QByteArray("\x89PNG but no more")
                                         << QStringLiteral("x.png: not a readable image (unsupported format)") << ours;
    QTest::newRow("empty JPEG") << QStringLiteral("e.jpg") << QByteArray()
                                << QStringLiteral("e.jpg: not a readable image (unsupported format)") << ours;
    QTest::newRow("text") << QStringLiteral("notes.txt") << QByteArray("just words")
                          << QStringLiteral("notes.txt: not a readable image (unsupported format)") << ours;
    // TGA files keep our loader's word, under its captions.
    QTest::newRow("TGA of no type") << QStringLiteral("fake.tga") << QByteArray("not an image at all")
                                    << QStringLiteral("TGA file be type 2 or type 10 ") << QStringLiteral("Invalid Image");
    QTest::newRow("TGA, type 2, 16 bits") << QStringLiteral("deep.tga") << Header(2) + Info(1, 1, 16) + Bytes({1, 2})
                                          << QStringLiteral("Invalid texture information") << QStringLiteral("ERROR");
    QTest::newRow("greyscale TGA cut short")
        << QStringLiteral("grey.tga") << TgaOf(Picture(4, 4, false, true), 3, 8).chopped(3)
        << QStringLiteral("grey.tga: not a readable image (truncated data)") << ours;
    // A map of two entries and a pixel that asks for a third.
    QImage two(2, 1, QImage::Format_RGB32);
    two.setPixel(0, 0, qRgb(10, 20, 30));
    two.setPixel(1, 0, qRgb(40, 50, 60));
    QByteArray pastTheMap = TgaOf(two, 1, 8);
    pastTheMap[pastTheMap.size() - 1] = 2;
    QTest::newRow("colour-mapped TGA, index equal to the map's length")
        << QStringLiteral("map.tga") << pastTheMap << QStringLiteral("map.tga: not a readable image (invalid data)") << ours;
}

void TestSurfaceLoadGl::unreadableFileNamesItself()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, file);
    QFETCH(QString, message);
    QFETCH(QString, caption);
    WriteImage(Header(2) + Info(1, 1, 24) + Bytes({1, 2, 3}));
    QVERIFY(Write(m_dir->filePath(name), file));
    CSkimblerDoc document;
    MessageRecorder recorder(&document);
    DocumentLoader loader(&document);
    QVERIFY(document.OnNewDocument());
    const std::uint32_t texture = SurfaceTextureOf(document.GetSurface());
    QVERIFY(!loader.Open(m_dir->filePath(name)));
    QCOMPARE(recorder.texts(), QStringList{message});
    QCOMPARE(recorder.messages.first().caption, caption);
    QCOMPARE(recorder.messages.first().detail, QDir::toNativeSeparators(m_dir->filePath(name)));
    QCOMPARE(SurfaceTextureOf(document.GetSurface()), texture);
    QCOMPARE(document.GetImagePath(), Path("a.tga"));
}

// Painting in an image editor: every save shows at once, whether the editor
// writes the file in place or writes a new one and renames it over the old;
// the settings, the modified flag and the document stay.
void TestSurfaceLoadGl::rewrittenImageIsReloaded()
{
    const QString live = Path("live.png");
    QVERIFY(Picture(4, 4, false).save(live));
    CSkimblerDoc document;
    MessageRecorder recorder(&document);
    DocumentLoader loader(&document);
    QSignalSpy reloaded(&loader, &DocumentLoader::imageReloaded);
    QSignalSpy failed(&loader, &DocumentLoader::imageReloadFailed);
    QVERIFY(loader.Open(live));
    SurfaceSettings edited = document.Settings();
    edited.MinFilter = GL_LINEAR_MIPMAP_LINEAR;
    edited.Points[2][1] = 0.25f;
    edited.Flags = SURFACE_FLAG_POINTS;
    QVERIFY(document.ChangeSettings(edited, QStringLiteral("edit")));
    const int steps = document.UndoStack()->count();

    const QImage painted = Picture(8, 2, true);
    QVERIFY(painted.save(live));
    // Waits on what changed rather than on a count of reloads: a busy
    // machine may see a save as two.
    QTRY_COMPARE(document.GetSurface().Width, 8u);
    QCOMPARE(document.GetSurface().Height, 2u);
    QCOMPARE(TextureBytes(SurfaceTextureOf(document.GetSurface()), GL_RGBA, 8, 2), Texels(painted, true));
    QVERIFY(document.Settings() == edited);
    QVERIFY(document.IsModified());
    QCOMPARE(document.UndoStack()->count(), steps);

    // Saved by rename: a new file takes the old one's name.
    const QImage renamed = Picture(3, 5, false, true);
    QVERIFY(renamed.save(Path("live.tmp.png")));
    QCOMPARE(std::rename(QFile::encodeName(Path("live.tmp.png")).constData(), QFile::encodeName(live).constData()), 0);
    QTRY_COMPARE(document.GetSurface().Width, 3u);
    const std::uint32_t good = SurfaceTextureOf(document.GetSurface());
    const QByteArray goodTexels = Texels(renamed, false);
    QCOMPARE(TextureBytes(good, GL_RGB, 3, 5), goodTexels);

    // Caught half written: the last good picture stays, and no box is shown.
    QVERIFY(Write(live, QByteArray("\x89PNG\r\n")));
    const QString expected = QStringLiteral("live.png: not a readable image (unsupported format)");
    QTRY_VERIFY(!failed.isEmpty() && failed.last().first().toString() == expected);
    QCOMPARE(SurfaceTextureOf(document.GetSurface()), good);
    QCOMPARE(document.GetSurface().Width, 3u);
    QCOMPARE(TextureBytes(good, GL_RGB, 3, 5), goodTexels);
    QVERIFY(recorder.messages.isEmpty());
    QVERIFY(reloaded.count() >= 2);
    // The history is the user's edits alone: undo takes back the edit, not
    // a picture.
    QCOMPARE(document.UndoStack()->count(), steps);
    document.UndoStack()->undo();
    QCOMPARE(document.GetSurface().MinFilter, std::uint32_t(GL_LINEAR));
    QCOMPARE(SurfaceTextureOf(document.GetSurface()), good);
}

// The reload reads on a worker; whatever the user does before its picture
// arrives wins over it.
void TestSurfaceLoadGl::lateReloadLoses_data()
{
    QTest::addColumn<QString>("then");  // "" reloads again; else the file opened
    QTest::addColumn<QString>("shown");
    QTest::addColumn<unsigned>("width");
    QTest::addColumn<bool>("reloaded");
    QTest::newRow("another image opened") << QStringLiteral("other.png") << QStringLiteral("other.png") << 6u << false;
    QTest::newRow("the same image opened") << QStringLiteral("busy.png") << QStringLiteral("busy.png") << 8u << false;
    // The file watch may add a reload of its own; each shows the same file.
    QTest::newRow("reloaded again") << QString() << QStringLiteral("busy.png") << 8u << true;
}

void TestSurfaceLoadGl::lateReloadLoses()
{
    QFETCH(QString, then);
    QFETCH(QString, shown);
    QFETCH(unsigned, width);
    QFETCH(bool, reloaded);
    const QString busy = Path("busy.png");
    QVERIFY(Picture(4, 4, false).save(busy));
    QVERIFY(Picture(6, 3, true).save(Path("other.png")));
    CSkimblerDoc document;
    MessageRecorder recorder(&document);
    DocumentLoader loader(&document);
    QVERIFY(loader.Open(busy));
    QSignalSpy reloads(&loader, &DocumentLoader::imageReloaded);
    QSignalSpy failed(&loader, &DocumentLoader::imageReloadFailed);
    QVERIFY(Picture(8, 8, false).save(busy));
    QVERIFY(loader.Reload());
    if (then.isEmpty())
        QVERIFY(loader.Reload());
    else
        QVERIFY(loader.Open(Path(then.toLatin1().constData())));
    QThreadPool::globalInstance()->waitForDone();
    QTest::qWait(400);  // past the file watch's own reload delay
    QCOMPARE(document.GetImagePath(), Path(shown.toLatin1().constData()));
    QCOMPARE(document.GetSurface().Width, width);
    QCOMPARE(!reloads.isEmpty(), reloaded);
    QVERIFY(failed.isEmpty());
    QVERIFY(recorder.messages.isEmpty());
}

// The reverse: an open or a replacement under way is what the user asked
// for; a reload of the old image (the watch's or a menu's) steps aside.
void TestSurfaceLoadGl::reloadWaitsForOpenUnderWay_data()
{
    QTest::addColumn<bool>("replace");
    QTest::newRow("open") << false;
    QTest::newRow("replace image") << true;
}

void TestSurfaceLoadGl::reloadWaitsForOpenUnderWay()
{
    QFETCH(bool, replace);
    const QString old = Path("old.png");
    QVERIFY(Picture(4, 4, false).save(old));
    QVERIFY(Picture(6, 3, true).save(Path("new.png")));
    CSkimblerDoc document;
    MessageRecorder recorder(&document);
    DocumentLoader loader(&document);
    QVERIFY(loader.Open(old));
    QSignalSpy landed(&loader, replace ? &DocumentLoader::imageReplaced : &DocumentLoader::documentOpened);
    QVERIFY(replace ? loader.BeginReplace(Path("new.png")) : loader.BeginOpen(Path("new.png")));
    QVERIFY(!loader.Reload());
    QTRY_COMPARE(landed.count(), 1);
    QCOMPARE(document.GetImagePath(), Path("new.png"));
    QCOMPARE(document.GetSurface().Width, 6u);
    QVERIFY(recorder.messages.isEmpty());
}

// The worker checks the side limit without OpenGL; the words are those of a
// read on the main thread, and the picture there was stays.
void TestSurfaceLoadGl::reloadTooLargeKeepsPicture()
{
    const QString live = Path("grown.png");
    QVERIFY(Picture(4, 4, false).save(live));
    CSkimblerDoc document;
    MessageRecorder recorder(&document);
    DocumentLoader loader(&document);
    QVERIFY(loader.Open(live));
    const std::uint32_t texture = SurfaceTextureOf(document.GetSurface());
    QSignalSpy failed(&loader, &DocumentLoader::imageReloadFailed);
    document.SetMaxTextureSide(32);
    QVERIFY(Picture(40, 20, false).save(live));
    QVERIFY(loader.Reload());
    QTRY_VERIFY(!failed.isEmpty());
    QThreadPool::globalInstance()->waitForDone();
    QTest::qWait(400);  // the file watch's own reload, if any, says the same
    for (const QList<QVariant> &reason : failed) {
        QCOMPARE(reason.first().toString(),
                 QStringLiteral("grown.png: the image is 40 x 20 pixels, larger than the 32 x 32 pixels this OpenGL can hold"));
    }
    QCOMPARE(SurfaceTextureOf(document.GetSurface()), texture);
    QCOMPARE(document.GetSurface().Width, 4u);
    QVERIFY(recorder.messages.isEmpty());
}

void TestSurfaceLoadGl::surfaceFileWithPngRoundTrips()
{
    const QString png = Path("card.png");
    const QImage picture = Picture(9, 5, true);
    QVERIFY(picture.save(png));
    CSkimblerDoc document;
    MessageRecorder recorder(&document);
    DocumentLoader loader(&document);
    QVERIFY(loader.Open(png));
    const QByteArray texels = TextureBytes(SurfaceTextureOf(document.GetSurface()), GL_RGBA, 9, 5);
    EditThroughCommand(document, [&](auto &s) {
        s.MinFilter = GL_NEAREST_MIPMAP_NEAREST;
        s.SrcFactor = GL_DST_COLOR;
        s.Colors[1][2] = 0.5f;
        s.Points[3][2] = -0.75f;
    });
    const QString saved = Path("card.skimbler");
    QVERIFY(document.OnSaveDocument(saved));

    CSkimblerDoc reopened;
    recorder.Listen(&reopened);
    DocumentLoader reopenedLoader(&reopened);
    QVERIFY(reopenedLoader.Open(saved));
    QVERIFY2(recorder.messages.isEmpty(), qPrintable(recorder.texts().join(QLatin1Char('\n'))));
    QCOMPARE(reopened.GetImagePath(), png);
    QCOMPARE(reopened.GetSurface().Width, 9u);
    QCOMPARE(TextureBytes(SurfaceTextureOf(reopened.GetSurface()), GL_RGBA, 9, 5), texels);
    QCOMPARE(reopened.GetSurface().MinFilter, std::uint32_t(GL_NEAREST_MIPMAP_NEAREST));
    QCOMPARE(reopened.GetSurface().SrcFactor, std::uint32_t(GL_DST_COLOR));
    QCOMPARE(reopened.GetSurface().Colors[1][2], 0.5f);
    QCOMPARE(reopened.GetSurface().Points[3][2], -0.75f);
}

namespace {

// What a user sees of the shown picture: its file, size, format and texels.
struct Shown
{
    QString path;
    std::uint32_t width, height;
    GLint format;
    QByteArray texels;
    bool operator==(const Shown &o) const
    {
        return path == o.path && width == o.width && height == o.height && format == o.format && texels == o.texels;
    }
};

Shown ShownOf(CSkimblerDoc &document)
{
    const Surface &s = document.GetSurface();
    const GLuint texture = SurfaceTextureOf(s);
    return {document.GetImagePath(), s.Width, s.Height, TextureLevelParameter(texture, GL_TEXTURE_INTERNAL_FORMAT),
            TextureBytes(texture, GL_RGBA, int(s.Width), int(s.Height))};
}

// Settings no open gives: moved corners, a -0 and a chosen blend.
SurfaceSettings Edited(SurfaceSettings settings)
{
    settings.Points[1][0] = -0.0f;
    settings.Points[2][2] = -0.5f;
    settings.Colors[3][1] = 0.125f;
    settings.DestFactor = GL_ONE_MINUS_SRC_ALPHA;
    settings.Flags = SURFACE_FLAG_POINTS | SURFACE_FLAG_COLORKEY;
    return settings;
}

} // namespace

void TestSurfaceLoadGl::replaceImageUndoRedo_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QImage>("firstPicture");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QImage>("secondPicture");
    QTest::addColumn<bool>("removeFiles");
    QTest::newRow("opaque png by a larger one with alpha")
        << "a.png" << Picture(4, 2, false) << "b.png" << Picture(8, 6, true) << false;
    QTest::newRow("png with alpha by a smaller opaque one")
        << "a.png" << Picture(6, 6, true) << "b.png" << Picture(2, 4, false) << false;
    // Undo and redo need no disk: both files are gone before either.
    QTest::newRow("files removed in between")
        << "a.png" << Picture(5, 3, true) << "b.bmp" << Picture(3, 5, false) << true;
    QTest::newRow("the same file, rewritten") << "a.png" << Picture(4, 4, false) << "a.png" << Picture(2, 2, true)
                                              << false;
}

void TestSurfaceLoadGl::replaceImageUndoRedo()
{
    QFETCH(QString, first);
    QFETCH(QImage, firstPicture);
    QFETCH(QString, second);
    QFETCH(QImage, secondPicture);
    QFETCH(bool, removeFiles);
    QVERIFY(firstPicture.save(first));
    CSkimblerDoc document;
    MessageRecorder recorder(&document);
    DocumentLoader loader(&document);
    QVERIFY(loader.Open(first));
    const SurfaceSettings edited = Edited(document.Settings());
    QVERIFY(document.ChangeSettings(edited, QStringLiteral("edit")));
    document.SetModifiedFlag(false);
    const Shown before = ShownOf(document);
    QCOMPARE(before.width, std::uint32_t(firstPicture.width()));

    // What opening the second picture alone shows.
    QVERIFY(secondPicture.save(second));
    CSkimblerDoc reference;
    recorder.Listen(&reference);
    DocumentLoader referenceLoader(&reference);
    QVERIFY(referenceLoader.Open(second));
    const Shown after = ShownOf(reference);
    QVERIFY(!(after == before));

    const int steps = document.UndoStack()->count();
    QVERIFY(loader.Replace(second));
    QCOMPARE(document.UndoStack()->count(), steps + 1);
    if (removeFiles) {
        QVERIFY(QFile::remove(first));
        QVERIFY(QFile::remove(second));
    }
    for (int round = 0; round < 2; ++round) {
        QVERIFY(ShownOf(document) == after);
        QVERIFY(document.Settings() == edited);
        QVERIFY(document.IsModified());
        document.UndoStack()->undo();
        QVERIFY(ShownOf(document) == before);
        QVERIFY(document.Settings() == edited);
        QVERIFY(!document.IsModified());
        document.UndoStack()->redo();
    }
    // The settings' own step is still there under the image's.
    document.UndoStack()->undo();
    document.UndoStack()->undo();
    QVERIFY(ShownOf(document) == before);
    QVERIFY(document.Settings() != edited);
    QVERIFY(recorder.messages.isEmpty());
}

void TestSurfaceLoadGl::refusedReplacementChangesNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");  // null: no such file
    QTest::addColumn<int>("maxSide");
    QTest::newRow("missing") << "gone.png" << QByteArray() << 0;
    QTest::newRow("not an image") << "text.png" << QByteArray("no picture here") << 0;
    QTest::newRow("truncated tga") << "cut.tga" << (Header(2) + Info(4, 4, 24) + Bytes({1, 2, 3})) << 0;
    QTest::newRow("larger than a texture may be")
        << "big.tga" << (Header(2) + Info(16, 2, 24) + PixelBytes(32, 3)) << 8;
}

void TestSurfaceLoadGl::refusedReplacementChangesNothing()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(int, maxSide);
    QVERIFY(Picture(4, 2, true).save(QStringLiteral("a.png")));
    if (!bytes.isNull())
        QVERIFY(Write(name, bytes));
    CSkimblerDoc document;
    MessageRecorder recorder(&document);
    DocumentLoader loader(&document);
    QVERIFY(loader.Open(QStringLiteral("a.png")));
    QVERIFY(document.ChangeSettings(Edited(document.Settings()), QStringLiteral("edit")));
    const SurfaceSettings settings = document.Settings();
    const Shown before = ShownOf(document);
    const bool modified = document.IsModified();
    const int steps = document.UndoStack()->count();

    document.SetMaxTextureSide(maxSide);
    const bool replaced = loader.Replace(name);
    const QList<UserMessage> said = recorder.messages;
    recorder.messages.clear();
    CSkimblerDoc other;
    recorder.Listen(&other);
    DocumentLoader otherLoader(&other);
    other.SetMaxTextureSide(maxSide);
    const bool opened = otherLoader.Open(name);

    QVERIFY(!replaced);
    QVERIFY(!opened);
    QCOMPARE(document.UndoStack()->count(), steps);
    QVERIFY(ShownOf(document) == before);
    QVERIFY(document.Settings() == settings);
    QCOMPARE(document.IsModified(), modified);
    // Told once, in Open's words.
    QCOMPARE(said.size(), 1);
    QCOMPARE(recorder.messages.size(), 1);
    QCOMPARE(said.first().text, recorder.messages.first().text);
    QCOMPARE(said.first().detail, recorder.messages.first().detail);
}

void TestSurfaceLoadGl::savedReplacementNamesNewImage_data()
{
    QTest::addColumn<QString>("given");  // as the user named it, from the working folder
    QTest::addColumn<QString>("surfaceFile");
    QTest::newRow("relative name") << "b.png" << "s.skimbler";
    QTest::newRow("relative path into a folder") << "pics/b.png" << "s.skimbler";
    QTest::newRow("absolute path") << "" << "out/s.skimbler";
}

void TestSurfaceLoadGl::savedReplacementNamesNewImage()
{
    QFETCH(QString, given);
    QFETCH(QString, surfaceFile);
    QVERIFY(QDir().mkpath(QStringLiteral("pics")));
    QVERIFY(QDir().mkpath(QStringLiteral("out")));
    if (given.isEmpty())
        given = QDir::current().filePath(QStringLiteral("pics/c.png"));
    const QString absolute = QFileInfo(given).absoluteFilePath();
    QVERIFY(Picture(4, 2, false).save(QStringLiteral("a.png")));
    QVERIFY(Picture(6, 2, true).save(given));
    CSkimblerDoc document;
    MessageRecorder recorder(&document);
    DocumentLoader loader(&document);
    QSignalSpy reloaded(&loader, &DocumentLoader::imageReloaded);
    QVERIFY(loader.Open(QStringLiteral("a.png")));
    QVERIFY(loader.Replace(given));
    QCOMPARE(document.GetImagePath(), absolute);
    const SurfaceSettings settings = document.Settings();
    QVERIFY(document.OnSaveDocument(surfaceFile));
    QVERIFY(!document.IsModified());

    CSkimblerDoc reopened;
    recorder.Listen(&reopened);
    DocumentLoader reopenedLoader(&reopened);
    QVERIFY(reopenedLoader.Open(surfaceFile));
    Shown shown = ShownOf(reopened);
    shown.path = QDir::cleanPath(shown.path);
    QVERIFY(shown == ShownOf(document));
    QVERIFY(reopened.Settings() == settings);

    // The watch follows the new image, not the old one.
    const QImage repainted = Picture(2, 2, false);
    QVERIFY(repainted.save(QStringLiteral("a.png")));
    QVERIFY(repainted.save(given));
    QTRY_COMPARE(document.GetSurface().Width, 2u);
    QVERIFY(!reloaded.isEmpty());
    QCOMPARE(reloaded.last().first().toString(), absolute);
    QVERIFY(recorder.messages.isEmpty());
}

QTEST_MAIN(TestSurfaceLoadGl)
#include "test_surfaceload_gl.moc"
