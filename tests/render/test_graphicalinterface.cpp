#include "common/GlTestContext.h"
#include "common/MessageRecorder.h"
#include "common/TgaTestFiles.h"
#include "render/ExportDrawing.h"
#include "render/GraphicalInterface.h"
#include "surface/PixelImage.h"
#include "surface/Surface.h"
#include "render/TextureUpload.h"

#include <QImage>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions>
#include <QTemporaryDir>
#include <QtTest>

#include <GL/gl.h>

#include <memory>
#include <vector>

using skimbler::SURFACE_FLAG_BLEND;
using skimbler::SURFACE_FLAG_COLORS;
using skimbler::SURFACE_FLAG_MIN;
using skimbler::SURFACE_FLAG_POINTS;
using skimbler::SurfaceFlags;

// Draws into an off-screen framebuffer of the wanted size, so pixel checks do
// not depend on what the window system shows.
class TestGraphicalInterface : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<GlTestContext> m_gl;
    std::unique_ptr<QOpenGLFramebufferObject> m_fbo;
    GraphicalInterface m_gi;

    void target(int width, int height)
    {
        m_fbo = std::make_unique<QOpenGLFramebufferObject>(width, height,
                                                           QOpenGLFramebufferObject::CombinedDepthStencil);
        QVERIFY(m_fbo->bind());
        m_gi.Init(width, height);
        m_gi.Clear();
    }

    QImage pixels() const
    {
        glFinish();
        return m_fbo->toImage();
    }

    // Untextured white surface so coverage is easy to count.
    static void plainSurface(Surface &surface, std::uint32_t flags)
    {
        surface.ApplyDefaults();
        surface.Flags = flags;
    }

    static int countWhite(const QImage &image, QRect *bounds)
    {
        int count = 0;
        QRect box;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) == qRgb(255, 255, 255)) {
                    ++count;
                    box |= QRect(x, y, 1, 1);
                }
        *bounds = box;
        return count;
    }

private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void conversions_data();
    void conversions();
    void offsets();
    void resizeToZeroHeight();
    void imageSizedQuadCoversItsPixels_data();
    void imageSizedQuadCoversItsPixels();
    void cornerColoursTintTheQuad();
    void pickingReturnsFirstDrawnName();
    void stippleOffRestoresSolidPattern();
    void rectIsEightPixelsAtAnyWindowSize_data();
    void rectIsEightPixelsAtAnyWindowSize();
    void texturedImageIsRightWayUp_data();
    void texturedImageIsRightWayUp();
    void blendFactorsReachTheDrawing_data();
    void blendFactorsReachTheDrawing();
    void everyMinFilterDrawsTheImage_data();
    void everyMinFilterDrawsTheImage();
    void smallImageLevelsAreTheDrivers_data();
    void smallImageLevelsAreTheDrivers();
    void pictureOfAnImageOpenGLRefusedFails();
};

void TestGraphicalInterface::initTestCase()
{
    m_gl = std::make_unique<GlTestContext>();
    QVERIFY(m_gl->valid);
}

void TestGraphicalInterface::cleanup()
{
    m_fbo.reset();
}

void TestGraphicalInterface::conversions_data()
{
    QTest::addColumn<float>("sx");
    QTest::addColumn<float>("sy");
    QTest::addColumn<float>("wx");
    QTest::addColumn<float>("wy");
    QTest::newRow("top-left") << 0.0f << 0.0f << -1.3333334f << 1.0f;
    QTest::newRow("centre") << 400.0f << 300.0f << 0.0f << 0.0f;
    QTest::newRow("bottom-right") << 800.0f << 600.0f << 1.3333334f << -1.0f;
    QTest::newRow("quarter") << 200.0f << 450.0f << -0.6666667f << -0.5f;
}

void TestGraphicalInterface::conversions()
{
    QFETCH(float, sx);
    QFETCH(float, sy);
    QFETCH(float, wx);
    QFETCH(float, wy);
    GraphicalInterface gi;
    gi.Width = 800;
    gi.Height = 600;
    float x = sx, y = sy;
    gi.ScreenToWorld(x, y);
    QVERIFY(qAbs(x - wx) < 1e-6f);
    QVERIFY(qAbs(y - wy) < 1e-6f);
    gi.WorldToScreen(x, y);
    QVERIFY(qAbs(x - sx) < 1e-3f);
    QVERIFY(qAbs(y - sy) < 1e-3f);
}

void TestGraphicalInterface::offsets()
{
    GraphicalInterface gi;
    gi.Width = 800;
    gi.Height = 600;
    QCOMPARE(gi.OffsetX(0.0f, 400.0f), 1.3333334f);
    QCOMPARE(gi.OffsetY(0.0f, 300.0f), -1.0f);
    QCOMPARE(gi.PlaneZ, -2.4142136f);
    // Not 4:3: the vertical conversion follows the window's own height.
    gi.Height = 400;
    QCOMPARE(gi.OffsetY(0.0f, 200.0f), -1.0f);
}

void TestGraphicalInterface::resizeToZeroHeight()
{
    target(64, 64);
    m_gi.Resize(64, 0, false);
    QCOMPARE(m_gi.Height, 1);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    QCOMPARE(viewport[3], 1);
    QCOMPARE(viewport[2], 64);
}

void TestGraphicalInterface::imageSizedQuadCoversItsPixels_data()
{
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QSize>("image");
    QTest::newRow("4:3") << QSize(800, 600) << QSize(64, 32);
    QTest::newRow("wide") << QSize(900, 300) << QSize(50, 40);
    QTest::newRow("tall") << QSize(300, 700) << QSize(33, 77);
}

void TestGraphicalInterface::imageSizedQuadCoversItsPixels()
{
    QFETCH(QSize, window);
    QFETCH(QSize, image);
    target(window.width(), window.height());
    Surface surface;
    plainSurface(surface, 0);  // no points: an upright image-sized quad
    surface.Width = image.width();
    surface.Height = image.height();
    glDisable(GL_TEXTURE_2D);
    m_gi.DrawSurface(surface, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
    QRect bounds;
    const int count = countWhite(pixels(), &bounds);
    QCOMPARE(count, image.width() * image.height());
    // It hangs right and down from the centre of the window.
    QCOMPARE(bounds.topLeft(), QPoint(window.width() / 2, window.height() / 2));
}

void TestGraphicalInterface::cornerColoursTintTheQuad()
{
    target(200, 150);
    Surface surface;
    plainSurface(surface, SURFACE_FLAG_POINTS | SURFACE_FLAG_COLORS);
    glDisable(GL_TEXTURE_2D);
    m_gi.DrawSurface(surface, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
    const QImage image = pixels();
    // The default layout covers the whole view: corner 0 (top-left) red,
    // corner 1 (bottom-left) green.
    const QColor topLeft = image.pixelColor(1, 1);
    const QColor bottomLeft = image.pixelColor(1, 148);
    QVERIFY2(topLeft.red() > 240 && topLeft.green() < 20, qPrintable(topLeft.name()));
    QVERIFY2(bottomLeft.green() > 240 && bottomLeft.red() < 20, qPrintable(bottomLeft.name()));
    const QColor right = image.pixelColor(198, 75);
    QVERIFY2(right.red() > 245 && right.green() > 245 && right.blue() > 245, qPrintable(right.name()));
}

void TestGraphicalInterface::pickingReturnsFirstDrawnName()
{
    target(800, 600);
    std::vector<std::uint32_t> buffer(64, 0);
    const float cx = 0.0f, cy = 0.0f;  // plane centre = window (400, 300)

    m_gi.BeginPick(400, 300, 10, 10, buffer.data(), 64);
    m_gi.LoadName(5);
    m_gi.DrawRect(m_gi.OffsetX(cx, -4), m_gi.OffsetY(cy, -4), 8, 8, false);
    m_gi.LoadName(3);
    m_gi.DrawRect(m_gi.OffsetX(cx, -4), m_gi.OffsetY(cy, -4), 8, 8, true);
    const int hits = m_gi.EndPick();
    QCOMPARE(hits, 2);
    QCOMPARE(buffer[0], 1u);  // one name per record
    QCOMPARE(buffer[3], 5u);

    m_gi.BeginPick(20, 20, 10, 10, buffer.data(), 64);
    m_gi.LoadName(1);
    m_gi.DrawRect(m_gi.OffsetX(cx, -4), m_gi.OffsetY(cy, -4), 8, 8, true);
    QCOMPARE(m_gi.EndPick(), 0);

    // The projection is back to normal after the pass.
    GLint mode = 0;
    glGetIntegerv(GL_RENDER_MODE, &mode);
    QCOMPARE(mode, GL_RENDER);
}

void TestGraphicalInterface::stippleOffRestoresSolidPattern()
{
    target(16, 16);
    m_gi.SetLineStipple(3, 0x00FF, true);
    QVERIFY(glIsEnabled(GL_LINE_STIPPLE));
    m_gi.SetLineStipple(3, 0x00FF, false);
    GLint pattern = 0, repeat = 0;
    glGetIntegerv(GL_LINE_STIPPLE_PATTERN, &pattern);
    glGetIntegerv(GL_LINE_STIPPLE_REPEAT, &repeat);
    QCOMPARE(pattern, 0xFFFF);
    QCOMPARE(repeat, 1);
    QVERIFY(!glIsEnabled(GL_LINE_STIPPLE));
}

void TestGraphicalInterface::rectIsEightPixelsAtAnyWindowSize_data()
{
    QTest::addColumn<QSize>("window");
    QTest::newRow("800x600") << QSize(800, 600);
    QTest::newRow("1000x300") << QSize(1000, 300);
}

void TestGraphicalInterface::rectIsEightPixelsAtAnyWindowSize()
{
    QFETCH(QSize, window);
    target(window.width(), window.height());
    m_gi.SetColor(1, 1, 1, 1);
    m_gi.DrawRect(m_gi.OffsetX(0.5f, -4), m_gi.OffsetY(0.5f, -4), 8, 8, true);
    QRect bounds;
    QCOMPARE(countWhite(pixels(), &bounds), 64);
    QCOMPARE(bounds.size(), QSize(8, 8));
}

void TestGraphicalInterface::texturedImageIsRightWayUp_data()
{
    QTest::addColumn<std::uint32_t>("flags");
    QTest::newRow("corner points") << std::uint32_t(SURFACE_FLAG_POINTS);
    QTest::newRow("image-sized quad") << std::uint32_t(0);
}

// An image red in its top half and blue in its bottom half, stored bottom row
// first as TGA files are, must show red above blue with texturing on.
void TestGraphicalInterface::texturedImageIsRightWayUp()
{
    QFETCH(std::uint32_t, flags);
    const int side = 64;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("halves.tga"));
    QVERIFY(TgaTestFiles::WritePainted(path, side, side, [side](int, int row) {  // bottom row first
        return row < side / 2 ? qRgba(0, 0, 255, 255) : qRgba(255, 0, 0, 255);
    }));

    target(400, 300);
    Surface surface;
    QVERIFY(surface.Load(path));
    QVERIFY(surface.Image);
    surface.Flags = flags;
    QVERIFY(glIsEnabled(GL_TEXTURE_2D));
    m_gi.DrawSurface(surface, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
    const QImage image = pixels();
    // The default layout fills the view; the image-sized quad hangs from the centre.
    const QRect drawn = flags ? QRect(0, 0, 400, 300) : QRect(200, 150, side, side);
    const QColor top = image.pixelColor(drawn.center().x(), drawn.top() + drawn.height() / 8);
    const QColor bottom = image.pixelColor(drawn.center().x(), drawn.bottom() - drawn.height() / 8);
    QVERIFY2(top.red() > 240 && top.blue() < 15, qPrintable(top.name()));
    QVERIFY2(bottom.blue() > 240 && bottom.red() < 15, qPrintable(bottom.name()));
}

void TestGraphicalInterface::blendFactorsReachTheDrawing_data()
{
    // The surface's colour is (1, 0.5, 0.25) at alpha 0.5 over a background of
    // (0, 0.5, 1).
    QTest::addColumn<bool>("blendFlag");
    QTest::addColumn<std::uint32_t>("source");
    QTest::addColumn<std::uint32_t>("destination");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("one, zero") << true << std::uint32_t(GL_ONE) << std::uint32_t(GL_ZERO) << QColor(255, 128, 64);
    QTest::newRow("zero, one") << true << std::uint32_t(GL_ZERO) << std::uint32_t(GL_ONE) << QColor(0, 128, 255);
    QTest::newRow("destination colour, zero")
        << true << std::uint32_t(GL_DST_COLOR) << std::uint32_t(GL_ZERO) << QColor(0, 64, 64);
    QTest::newRow("zero, source colour")
        << true << std::uint32_t(GL_ZERO) << std::uint32_t(GL_SRC_COLOR) << QColor(0, 64, 64);
    QTest::newRow("one, one") << true << std::uint32_t(GL_ONE) << std::uint32_t(GL_ONE) << QColor(255, 255, 255);
    // Without the flag the stored pair is not used: ordinary alpha blending.
    QTest::newRow("flag off") << false << std::uint32_t(GL_ZERO) << std::uint32_t(GL_ONE) << QColor(128, 128, 159);
}

void TestGraphicalInterface::blendFactorsReachTheDrawing()
{
    QFETCH(bool, blendFlag);
    QFETCH(std::uint32_t, source);
    QFETCH(std::uint32_t, destination);
    QFETCH(QColor, expected);
    target(80, 60);
    glClearColor(0.0f, 0.5f, 1.0f, 1.0f);
    m_gi.Clear();
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    Surface surface;
    plainSurface(surface, SURFACE_FLAG_POINTS | SURFACE_FLAG_COLORS | (blendFlag ? SurfaceFlags(SURFACE_FLAG_BLEND) : SurfaceFlags(0)));
    for (auto &colour : surface.Colors) {
        colour[0] = 1.0f;
        colour[1] = 0.5f;
        colour[2] = 0.25f;
        colour[3] = 0.5f;
    }
    surface.SrcFactor = source;
    surface.DestFactor = destination;
    glDisable(GL_TEXTURE_2D);
    m_gi.DrawSurface(surface, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
    // Read as stored: the image conversion would treat the colour as premultiplied.
    glFinish();
    unsigned char rgba[4] = {};
    glReadPixels(40, 30, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    const QColor got(rgba[0], rgba[1], rgba[2]);
    QVERIFY2(qAbs(got.red() - expected.red()) <= 2 && qAbs(got.green() - expected.green()) <= 2
                 && qAbs(got.blue() - expected.blue()) <= 2,
             qPrintable(QStringLiteral("%1, expected %2").arg(got.name(), expected.name())));
}

void TestGraphicalInterface::everyMinFilterDrawsTheImage_data()
{
    QTest::addColumn<int>("filter");
    QTest::addColumn<bool>("glu");
    const struct { const char *name; int value; } filters[] = {
        {"NEAREST", GL_NEAREST}, {"LINEAR", GL_LINEAR},
        {"NEAREST_MIPMAP_NEAREST", GL_NEAREST_MIPMAP_NEAREST}, {"LINEAR_MIPMAP_NEAREST", GL_LINEAR_MIPMAP_NEAREST},
        {"NEAREST_MIPMAP_LINEAR", GL_NEAREST_MIPMAP_LINEAR}, {"LINEAR_MIPMAP_LINEAR", GL_LINEAR_MIPMAP_LINEAR},
    };
    for (bool glu : {false, true})
        for (const auto &f : filters)
            QTest::addRow("%s%s", f.name, glu ? ", GLU chain" : "") << f.value << glu;
}

// A texture without its smaller levels is incomplete for the mipmap filters
// and draws as bare white; every filter must show the picture, top half at
// the top. 192 rows: not a power of two, which GLU alone would stretch.
void TestGraphicalInterface::everyMinFilterDrawsTheImage()
{
    QFETCH(int, filter);
    QFETCH(bool, glu);
    QTemporaryDir dir;
    QImage picture(256, 192, QImage::Format_RGB32);
    picture.fill(qRgb(0, 200, 0));
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 256; ++x)
            picture.setPixel(x, y, qRgb(0, 0, 255));
    const QString path = dir.filePath(QStringLiteral("halves.png"));
    QVERIFY(picture.save(path));

    MessageRecorder recorder;
    Surface surface;
    UserMessages told;
    surface.Load(path, 0, &told);
    recorder.Hear(told);
    QVERIFY2(recorder.messages.isEmpty(), qPrintable(recorder.texts().join(QLatin1Char('\n'))));
    surface.Flags = SURFACE_FLAG_POINTS | SURFACE_FLAG_MIN;
    surface.MinFilter = std::uint32_t(filter);

    target(64, 48);  // a quarter of the picture's size: minified
    // The texture is made as the surface is first drawn.
    TextureUpload::SetForceGluMipmaps(glu);
    m_gi.DrawSurface(surface, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
    TextureUpload::SetForceGluMipmaps(false);
    const QImage drawn = pixels();
    const QColor top = drawn.pixelColor(32, 8), bottom = drawn.pixelColor(32, 40);
    QVERIFY2(top.blue() > 240 && top.red() < 10 && top.green() < 10, qPrintable(top.name()));
    QVERIFY2(bottom.green() > 190 && bottom.red() < 10 && bottom.blue() < 10, qPrintable(bottom.name()));
    QCOMPARE(glGetError(), GLenum(GL_NO_ERROR));
}

void TestGraphicalInterface::smallImageLevelsAreTheDrivers_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("alpha");
    QTest::newRow("256 x 256") << QSize(256, 256) << true;
    QTest::newRow("256 x 192, odd level") << QSize(256, 192) << true;
    QTest::newRow("odd sides") << QSize(101, 37) << true;
    QTest::newRow("one column") << QSize(1, 9) << true;
    QTest::newRow("without alpha") << QSize(33, 65) << false;
}

// A small image's levels are made on the processor; minified, it must look
// exactly as with the driver's glGenerateMipmap. Noise, so that any
// difference in where or how a level samples the one above shows.
void TestGraphicalInterface::smallImageLevelsAreTheDrivers()
{
    QFETCH(QSize, size);
    QFETCH(bool, alpha);
    const QByteArray renderer = reinterpret_cast<const char *>(glGetString(GL_RENDERER));
    if (!renderer.contains("llvmpipe"))
        QSKIP("each driver filters its levels its own way; the software one is known");
    QImage picture(size, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    quint32 noise = 2463534242u;
    for (int y = 0; y < size.height(); ++y) {
        auto *row = reinterpret_cast<quint32 *>(picture.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            noise ^= noise << 13;
            noise ^= noise >> 17;
            noise ^= noise << 5;
            row[x] = alpha ? noise : (noise | 0xff000000u);
        }
    }
    const PixelImage image(picture);
    QOpenGLFunctions *gl = QOpenGLContext::currentContext()->functions();
    const auto levels = [](GLuint texture) {
        glBindTexture(GL_TEXTURE_2D, texture);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        QList<QByteArray> all;
        for (int level = 1;; ++level) {
            GLint w = 0, h = 0;
            glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &w);
            glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &h);
            if (w <= 0 || h <= 0)
                return all;
            QByteArray pixels(w * h * 4, 0);
            glGetTexImage(GL_TEXTURE_2D, level, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
            all.append(pixels);
        }
    };

    std::uint32_t ours = 0;
    QString error;
    QVERIFY2(TextureUpload::Create(image, &ours, &error), qPrintable(error));
    GLuint drivers = 0;
    glGenTextures(1, &drivers);
    glBindTexture(GL_TEXTURE_2D, drivers);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, image.Components(), size.width(), size.height(), 0, GL_BGRA, GL_UNSIGNED_BYTE,
                 image.Pixels());
    gl->glGenerateMipmap(GL_TEXTURE_2D);

    const QList<QByteArray> made = levels(ours), expected = levels(drivers);
    QCOMPARE(made.size(), expected.size());
    QVERIFY(!made.isEmpty());
    for (int i = 0; i < made.size(); ++i)
        QVERIFY2(made.at(i) == expected.at(i), qPrintable(QStringLiteral("level %1 differs").arg(i + 1)));
    const GLuint names[] = {ours, drivers};
    glDeleteTextures(2, names);
    QCOMPARE(glGetError(), GLenum(GL_NO_ERROR));
}

// An image with no texture (wider than any side OpenGL takes) gives no
// picture and says why, every time, rather than the older image's or none.
void TestGraphicalInterface::pictureOfAnImageOpenGLRefusedFails()
{
    target(64, 64);
    Surface surface;
    surface.ApplyDefaults();
    QImage small(4, 4, QImage::Format_ARGB32);
    small.fill(qRgba(10, 20, 30, 255));
    surface.SetImage(std::make_shared<PixelImage>(small));
    ExportDrawing::Picture picture;
    picture.Width = picture.Height = 32;
    QString error;
    QVERIFY(!ExportDrawing::Render(&m_gi, &surface, TextureImage(), picture, &error).isNull());

    QImage wide(16385, 1, QImage::Format_ARGB32);
    wide.fill(qRgba(200, 20, 30, 255));
    surface.SetImage(std::make_shared<PixelImage>(wide));
    for (int attempt = 0; attempt < 2; ++attempt) {
        error.clear();
        QVERIFY(ExportDrawing::Render(&m_gi, &surface, TextureImage(), picture, &error).isNull());
        QVERIFY2(error.contains(QStringLiteral("16385 x 1")), qPrintable(error));
    }
}

QTEST_MAIN(TestGraphicalInterface)
#include "test_graphicalinterface.moc"
