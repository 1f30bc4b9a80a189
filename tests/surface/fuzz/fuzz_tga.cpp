// libFuzzer target for the TGA loader. Every input goes through LoadTga from
// a real file (the path the program uses) and through the decoders on a
// memory stream (a stream without a known length); every decoded byte is
// read, and both outcomes must match the byte-at-a-time decoder exactly.

#include "surface/TgaImage.h"
#include "surface/TgaLoader.h"
#include "surface/UserMessage.h"

#include "FuzzInputFile.h"
#include "StepwiseTgaDecoder.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

volatile std::uint64_t g_sink;

struct Outcome
{
    bool ok;
    std::string message;
    std::string caption;
    TgaImage image;
};

void Check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "mismatch with the stepwise decoder: %s\n", what);
        std::abort();
    }
}

void Compare(const Outcome &outcome, const StepwiseResult &expected)
{
    Check(outcome.ok == expected.ok, "outcome");
    if (!outcome.ok) {
        Check(outcome.image.Pixels == nullptr, "pixels left after a failure");
        Check(outcome.message == expected.message, "message");
        Check(outcome.caption == expected.caption, "caption");
        return;
    }
    Check(outcome.message.empty(), "message on success");
    Check(outcome.image.Width == expected.width && outcome.image.Height == expected.height, "size");
    Check(outcome.image.BitsPerPixel == expected.bitsPerPixel, "depth");
    const std::size_t bytes = std::size_t{outcome.image.Width} * outcome.image.Height * (outcome.image.BitsPerPixel / 8);
    Check(bytes == expected.pixels.size(), "byte count");
    // Reading every byte lets the sanitizers see a short or uninitialised buffer.
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < bytes; ++i)
        sum += outcome.image.Pixels[i];
    g_sink = sum;
    Check(std::memcmp(outcome.image.Pixels, expected.pixels.data(), bytes) == 0, "pixel bytes");
}

Outcome Run(bool (*load)(TgaImage *, void *, UserMessage *), void *argument)
{
    Outcome outcome{};
    UserMessage message;
    outcome.ok = load(&outcome.image, argument, &message);
    outcome.message = message.text.toStdString();
    outcome.caption = message.caption.toStdString();
    return outcome;
}

bool LoadFromFile(TgaImage *image, void *path, UserMessage *message)
{
    return LoadTga(image, static_cast<const char *>(path), message);
}

struct Memory
{
    const std::uint8_t *data;
    std::size_t size;
};

// What LoadTga does after opening, on a stream that has no length.
bool LoadFromMemory(TgaImage *image, void *argument, UserMessage *message)
{
    const Memory *memory = static_cast<const Memory *>(argument);
    if (memory->size < 12) {
        *message = UserMessage{QStringLiteral("Could not read file header"), QStringLiteral("ERROR"), UserMessage::NoIcon, QString()};
        return false;
    }
    std::FILE *file = fmemopen(const_cast<std::uint8_t *>(memory->data), memory->size, "rb");
    if (!file)
        std::abort();
    std::uint8_t header[12];
    if (std::fread(header, 12, 1, file) != 1)
        std::abort();
    static const std::uint8_t type2[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    static const std::uint8_t type10[12] = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    if (std::memcmp(header, type2, 12) == 0)
        return LoadUncompressedTga(image, file, message);
    if (std::memcmp(header, type10, 12) == 0)
        return LoadCompressedTga(image, file, message);
    std::fclose(file);
    *message = UserMessage{QStringLiteral("TGA file be type 2 or type 10 "), QStringLiteral("Invalid Image"), UserMessage::NoIcon, QString()};
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string &path = WriteFuzzInput("fuzz_tga", data, size);

    const StepwiseResult expected = StepwiseDecodeTga(path.c_str());

    Outcome fromFile = Run(LoadFromFile, const_cast<char *>(path.c_str()));
    Compare(fromFile, expected);
    std::free(fromFile.image.Pixels);

    if (size > 0) {  // fmemopen refuses an empty buffer
        Memory memory{data, size};
        Outcome fromMemory = Run(LoadFromMemory, &memory);
        Compare(fromMemory, expected);
        std::free(fromMemory.image.Pixels);
    }
    return 0;
}
