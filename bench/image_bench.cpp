// Opening 4096 x 4096 PNG and JPEG pictures into a texture-ready buffer
// (ImageReader::Read) against the toolkit's decode alone (QImageReader::read)
// of the same file in the same run; and the upload of such a picture with
// its whole mipmap chain (TextureUpload::Create) against level 0 alone.
// Needs a display for the upload (run under Xvfb).

#include "common/GlTestContext.h"
#include "surface/ImageReader.h"
#include "surface/PixelImage.h"
#include "render/TextureUpload.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <random>

namespace {

constexpr int kSide = 4096;

QTemporaryDir *g_dir = nullptr;
GlTestContext *g_gl = nullptr;

// Smooth gradients with a little noise: compresses like a photograph, not
// like a flat test card.
QImage Photograph()
{
    QImage picture(kSide, kSide, QImage::Format_RGB32);
    std::mt19937 random(7);
    for (int y = 0; y < kSide; ++y) {
        QRgb *row = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < kSide; ++x) {
            const int noise = int(random() % 16);
            row[x] = qRgb((x / 16 + noise) & 0xFF, (y / 16 + noise) & 0xFF, ((x + y) / 32 + noise) & 0xFF);
        }
    }
    return picture;
}

QString File(const char *format)
{
    const QString path = g_dir->filePath(QStringLiteral("photo.") + QString::fromLatin1(format));
    if (!QFileInfo::exists(path)) {
        static const QImage picture = Photograph();
        if (!picture.save(path, format, 90)) {
            std::fprintf(stderr, "image_bench: could not write %s\n", qPrintable(path));
            std::exit(1);
        }
    }
    return path;
}

void BM_ToolkitDecode(benchmark::State &state, const char *format)
{
    const QString path = File(format);
    for (auto _ : state) {
        QImageReader reader(path);
        QImage image;
        if (!reader.read(&image)) {
            state.SkipWithError("QImageReader::read failed");
            break;
        }
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_ReadToTextureBuffer(benchmark::State &state, const char *format)
{
    const QString path = File(format);
    for (auto _ : state) {
        PixelImage image;
        ImageError error;
        if (!ImageReader::Read(path, {}, &image, &error)) {
            state.SkipWithError("ImageReader::Read failed");
            break;
        }
        benchmark::DoNotOptimize(image.Pixels());
    }
}

const PixelImage &UploadSource()
{
    static PixelImage image = [] {
        PixelImage read;
        ImageError error;
        ImageReader::Read(File("png"), {}, &read, &error);
        return read;
    }();
    return image;
}

void BM_UploadLevel0(benchmark::State &state)
{
    if (!g_gl || !g_gl->valid) {
        state.SkipWithError("no OpenGL context");
        return;
    }
    const PixelImage &image = UploadSource();
    for (auto _ : state) {
        GLuint name = 0;
        glGenTextures(1, &name);
        glBindTexture(GL_TEXTURE_2D, name);
        glTexImage2D(GL_TEXTURE_2D, 0, image.Components(), image.Width(), image.Height(), 0, image.Format(),
                     GL_UNSIGNED_BYTE, image.Pixels());
        glFinish();
        glDeleteTextures(1, &name);
    }
}

void BM_UploadWithMipmaps(benchmark::State &state, bool glu)
{
    if (!g_gl || !g_gl->valid) {
        state.SkipWithError("no OpenGL context");
        return;
    }
    const PixelImage &image = UploadSource();
    TextureUpload::SetForceGluMipmaps(glu);
    for (auto _ : state) {
        QString error;
        std::uint32_t name = 0;
        if (!TextureUpload::Create(image, &name, &error)) {
            state.SkipWithError("TextureUpload::Create failed");
            break;
        }
        glFinish();
        glDeleteTextures(1, &name);
    }
    TextureUpload::SetForceGluMipmaps(false);
}

BENCHMARK_CAPTURE(BM_ToolkitDecode, png, "png")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_ReadToTextureBuffer, png, "png")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_ToolkitDecode, jpeg, "jpg")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_ReadToTextureBuffer, jpeg, "jpg")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_UploadLevel0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_UploadWithMipmaps, glGenerateMipmap, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_UploadWithMipmaps, glu_levels, true)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    QTemporaryDir dir;
    g_dir = &dir;
    {
        GlTestContext gl(64, 64);
        g_gl = &gl;
        if (gl.valid)
            std::fprintf(stderr, "image_bench: OpenGL renderer %s\n",
                         reinterpret_cast<const char *>(glGetString(GL_RENDERER)));
        benchmark::RunSpecifiedBenchmarks();
        g_gl = nullptr;
    }
    benchmark::Shutdown();
    return 0;
}
