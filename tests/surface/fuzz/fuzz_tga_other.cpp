// libFuzzer target for the greyscale and colour-mapped TGA reader. Every
// input is read from a real file; on success every pixel is read so the
// sanitizers see a short or uninitialised picture, and a failure must name
// the file. Sides above 2048 are refused, as a small OpenGL would.

#include "surface/ImageReader.h"
#include "surface/PixelImage.h"
#include "surface/TgaOtherTypes.h"

#include "FuzzInputFile.h"

#include <QFile>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

volatile std::uint64_t g_sink;

void Check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "broken promise: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string &path = WriteFuzzInput("fuzz_tga_other", data, size);

    const QString name = QFile::decodeName(path.c_str());
    const ImageReader::SizeCheck check = [](int width, int height, int) {
        return width > 2048 || height > 2048 ? QStringLiteral("too large") : QString();
    };
    PixelImage image;
    ImageError error;
    switch (TgaOtherTypes::Read(name, check, &image, &error)) {
    case TgaOtherTypes::Decoded: {
        Check(!image.IsNull() && image.Width() > 0 && image.Height() > 0, "a picture");
        Check(image.Width() <= 2048 && image.Height() <= 2048, "the size check");
        const std::size_t bytes = std::size_t(image.Width()) * image.Height() * image.BytesPerPixel();
        std::uint64_t sum = 0;
        for (std::size_t i = 0; i < bytes; ++i)
            sum += image.Pixels()[i];
        g_sink = sum;
        break;
    }
    case TgaOtherTypes::Failed:
        Check(error.text.startsWith(QStringLiteral("fuzz_tga_other_")), "a failure names the file");
        break;
    case TgaOtherTypes::NotThisKind:
        break;
    }
    return 0;
}
