#include "surface/TgaLoader.h"

#include "surface/UserMessage.h"
#include <skimbler/RegularFile.h>
#include "surface/TgaImage.h"
#include "skimbler/GlEnums.h"

#include <QCoreApplication>

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

const std::uint8_t kUncompressedHeader[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
const std::uint8_t kCompressedHeader[12] = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0};

// The fuzz build shrinks these to a few bytes so that every block boundary
// and every growth step is crossed by small inputs.
#ifndef SKIMBLER_TGA_CHUNK_PIXELS
#define SKIMBLER_TGA_CHUNK_PIXELS (32 * 1024)
#endif
#ifndef SKIMBLER_TGA_READ_BLOCK
#define SKIMBLER_TGA_READ_BLOCK (64 * 1024)
#endif
#ifndef SKIMBLER_TGA_START_PIXELS
#define SKIMBLER_TGA_START_PIXELS (64 * 1024)
#endif

// Pixels converted per read of an uncompressed body: small enough that the
// block is still in cache when its bytes are swapped.
constexpr std::size_t kChunkPixels = SKIMBLER_TGA_CHUNK_PIXELS;
// Bytes the packet reader keeps in hand; a packet is at most 1 + 128 * 4.
constexpr std::size_t kReadBlock = SKIMBLER_TGA_READ_BLOCK;
constexpr std::size_t kMaxPacketBytes = 1 + 128 * 4;
// First buffer for a stream whose length cannot be known (a pipe); it
// doubles as the pixels arrive.
constexpr std::size_t kUnknownSizeStartPixels = SKIMBLER_TGA_START_PIXELS;

void SetFailure(TgaFailure *failure, const char *text)
{
    failure->text = text;
    failure->caption = QT_TRANSLATE_NOOP("TgaLoader", "ERROR");
}

UserMessage Worded(const TgaFailure &failure)
{
    return UserMessage{QCoreApplication::translate("TgaLoader", failure.text),
                       QCoreApplication::translate("TgaLoader", failure.caption), UserMessage::NoIcon, QString()};
}

// Bytes from the current position to the end of a regular file, or -1 when
// the stream has no fixed length.
std::int64_t RemainingBytes(std::FILE *file)
{
    struct stat info;
    const int fd = fileno(file);
    if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        return -1;
    const off_t position = ftello(file);
    if (position < 0)
        return -1;
    return info.st_size > position ? static_cast<std::int64_t>(info.st_size - position) : 0;
}

constexpr std::uint64_t ByteMask(unsigned a, unsigned b, unsigned c)
{
    std::uint64_t mask = 0;
    const unsigned bytes[3] = {a, b, c};
    for (unsigned byte : bytes) {
        if (byte < 8)
            mask |= std::uint64_t{0xFF} << (8 * byte);
    }
    return mask;
}

std::uint64_t Load64(const std::uint8_t *p)
{
    std::uint64_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

void Store64(std::uint8_t *p, std::uint64_t value)
{
    std::memcpy(p, &value, sizeof value);
}

// File pixels are B G R (A); OpenGL wants R G B (A). `dst` may equal `src`.
void SwapRedBlue24(std::uint8_t *dst, const std::uint8_t *src, std::size_t pixels)
{
    // Eight pixels are 24 bytes, three 64-bit words; within such a block every
    // byte 0 of a pixel trades places with byte 2, two bytes up. Doing it as
    // word shifts is several times faster than byte by byte. Little-endian
    // word layout is assumed, as on every machine this runs on.
    static_assert(sizeof(std::uint64_t) == 8, "64-bit words");
    // Per word: bytes that keep their place, bytes taking the value two
    // above (X >> 16), bytes taking the value two below (X << 16).
    constexpr std::uint64_t keep0 = ByteMask(1, 4, 7), up0 = ByteMask(0, 3, 6), down0 = ByteMask(2, 5, 8);
    constexpr std::uint64_t keep1 = ByteMask(2, 5, 8), up1 = ByteMask(1, 4, 7), down1 = ByteMask(0, 3, 6);
    constexpr std::uint64_t keep2 = ByteMask(0, 3, 6), up2 = ByteMask(2, 5, 8), down2 = ByteMask(1, 4, 7);
    std::size_t i = 0;
    for (; i + 8 <= pixels; i += 8) {
        const std::uint64_t w0 = Load64(src), w1 = Load64(src + 8), w2 = Load64(src + 16);
        const std::uint64_t o0 = (w0 & keep0) | (((w0 >> 16) | (w1 << 48)) & up0) | ((w0 << 16) & down0);
        const std::uint64_t o1 = (w1 & keep1) | (((w1 >> 16) | (w2 << 48)) & up1)
                                 | (((w1 << 16) | (w0 >> 48)) & down1);
        const std::uint64_t o2 = (w2 & keep2) | ((w2 >> 16) & up2) | (((w2 << 16) | (w1 >> 48)) & down2);
        Store64(dst, o0);
        Store64(dst + 8, o1);
        Store64(dst + 16, o2);
        src += 24;
        dst += 24;
    }
    for (; i < pixels; ++i) {
        const std::uint8_t b = src[0], g = src[1], r = src[2];
        dst[0] = r;
        dst[1] = g;
        dst[2] = b;
        src += 3;
        dst += 3;
    }
}

std::uint32_t SwapRedBlue32(std::uint32_t value)
{
    return (value & 0xFF00FF00u) | ((value >> 16) & 0xFFu) | ((value & 0xFFu) << 16);
}

void SwapRedBlue32(std::uint8_t *dst, const std::uint8_t *src, std::size_t pixels)
{
    for (std::size_t i = 0; i < pixels; ++i) {
        std::uint32_t value;
        std::memcpy(&value, src + 4 * i, 4);
        value = SwapRedBlue32(value);
        std::memcpy(dst + 4 * i, &value, 4);
    }
}

void SwapRedBlue(std::uint8_t *dst, const std::uint8_t *src, std::size_t pixels, std::size_t pixelSize)
{
    if (pixelSize == 3)
        SwapRedBlue24(dst, src, pixels);
    else
        SwapRedBlue32(dst, src, pixels);
}

// Repeats one file pixel (B G R A order) `count` times as R G B (A).
void FillPixels(std::uint8_t *dst, const std::uint8_t *filePixel, std::size_t count, std::size_t pixelSize)
{
    if (pixelSize == 4) {
        std::uint32_t value;
        std::memcpy(&value, filePixel, 4);
        value = SwapRedBlue32(value);
        for (std::size_t i = 0; i < count; ++i)
            std::memcpy(dst + 4 * i, &value, 4);
    } else {
        const std::uint8_t r = filePixel[2], g = filePixel[1], b = filePixel[0];
        for (std::size_t i = 0; i < count; ++i) {
            dst[3 * i] = r;
            dst[3 * i + 1] = g;
            dst[3 * i + 2] = b;
        }
    }
}

// Pixel buffer that can start smaller than the image and grow towards it,
// so a file that cannot hold the image it claims never makes us allocate
// for all of it.
class PixelBuffer
{
public:
    PixelBuffer(std::size_t pixelSize, std::size_t totalPixels)
        : m_pixelSize(pixelSize), m_total(totalPixels)
    {
    }
    ~PixelBuffer() { std::free(m_data); }
    PixelBuffer(const PixelBuffer &) = delete;
    PixelBuffer &operator=(const PixelBuffer &) = delete;

    bool Reserve(std::size_t pixels)
    {
        pixels = std::min(pixels, m_total);
        if (pixels <= m_capacity && m_data)
            return true;
        void *grown = std::realloc(m_data, std::max<std::size_t>(pixels, 1) * m_pixelSize);
        if (!grown)
            return false;
        m_data = static_cast<std::uint8_t *>(grown);
        m_capacity = pixels;
        return true;
    }
    // Room for `pixels` more after the first `used`, growing geometrically.
    bool Ensure(std::size_t used, std::size_t pixels)
    {
        const std::size_t needed = used + pixels;
        if (needed <= m_capacity)
            return true;
        return Reserve(std::max(needed, m_capacity * 2));
    }
    std::uint8_t *Data() const { return m_data; }
    std::size_t Capacity() const { return m_capacity; }
    std::uint8_t *Release()
    {
        std::uint8_t *data = m_data;
        m_data = nullptr;
        m_capacity = 0;
        return data;
    }

private:
    std::uint8_t *m_data = nullptr;
    std::size_t m_pixelSize;
    std::size_t m_total;
    std::size_t m_capacity = 0;
};

// Reads the stream in large blocks and hands out bytes from them; a byte
// the file does not have is never made up.
class BlockReader
{
public:
    explicit BlockReader(std::FILE *file) : m_file(file) {}
    ~BlockReader() { std::free(m_buffer); }
    BlockReader(const BlockReader &) = delete;
    BlockReader &operator=(const BlockReader &) = delete;

    bool Init()
    {
        m_buffer = static_cast<std::uint8_t *>(std::malloc(kReadBlock + kMaxPacketBytes));
        return m_buffer != nullptr;
    }

    // Makes up to `count` (at most kMaxPacketBytes) bytes available in one
    // piece; returns how many the file still had, at most what is in hand.
    std::size_t Have(std::size_t count)
    {
        if (m_end - m_pos >= count)
            return m_end - m_pos;
        return Refill(count);
    }
    // Bytes in hand without reading.
    std::size_t InHand() const { return m_end - m_pos; }
    const std::uint8_t *Data() const { return m_buffer + m_pos; }
    void Skip(std::size_t count) { m_pos += count; }

private:
    std::size_t Refill(std::size_t count)
    {
        const std::size_t kept = m_end - m_pos;
        std::memmove(m_buffer, m_buffer + m_pos, kept);
        m_pos = 0;
        m_end = kept;
        while (m_end < count && !m_atEnd) {
            const std::size_t wanted = kReadBlock + kMaxPacketBytes - m_end;
            const std::size_t got = std::fread(m_buffer + m_end, 1, wanted, m_file);
            m_end += got;
            if (got < wanted)
                m_atEnd = true;  // end of file or a read error: nothing more will come
        }
        return m_end;
    }

    std::FILE *m_file;
    std::uint8_t *m_buffer = nullptr;
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
    bool m_atEnd = false;
};

// Decodes run-length packets until the image is full; returns the failure
// message, or null on success. The checks and their order are those of
// reading a header byte and a pixel at a time.
template <std::size_t PixelSize>
const char *DecodePackets(BlockReader &reader, PixelBuffer &buffer, std::size_t pixelCount)
{
    constexpr std::size_t kLongestPacket = 1 + 128 * PixelSize;
    std::size_t decoded = 0;
    while (decoded < pixelCount) {
        // Fast stretch: while a whole packet of any length is in hand and
        // the image has room for any packet, no check can fail. One byte
        // more on both sides lets every pixel move as one 4-byte word; for
        // 24 bits the fourth byte written is overwritten by the next pixel.
        const std::size_t room = std::min(buffer.Capacity(), pixelCount) - decoded;
        if (reader.InHand() > kLongestPacket && room > 128) {
            const std::uint8_t *in = reader.Data();
            const std::uint8_t *const inStart = in;
            const std::uint8_t *const inLast = in + (reader.InHand() - kLongestPacket - 1);
            std::uint8_t *out = buffer.Data() + decoded * PixelSize;
            std::uint8_t *const outStart = out;
            std::uint8_t *const outLast = out + (room - 129) * PixelSize;
            while (in <= inLast && out <= outLast) {
                const unsigned packet = *in++;
                if (packet < 128) {
                    const std::size_t count = packet + 1;
                    if (PixelSize == 3 && count >= 16) {
                        SwapRedBlue24(out, in, count);
                    } else {
                        for (std::size_t i = 0; i < count; ++i) {
                            std::uint32_t value;
                            std::memcpy(&value, in + i * PixelSize, 4);
                            value = SwapRedBlue32(value);
                            std::memcpy(out + i * PixelSize, &value, 4);
                        }
                    }
                    in += count * PixelSize;
                    out += count * PixelSize;
                } else {
                    const std::size_t count = packet - 127;
                    std::uint32_t value;
                    std::memcpy(&value, in, 4);
                    value = SwapRedBlue32(value);
                    for (std::size_t i = 0; i < count; ++i)
                        std::memcpy(out + i * PixelSize, &value, 4);
                    in += PixelSize;
                    out += count * PixelSize;
                }
            }
            reader.Skip(std::size_t(in - inStart));
            decoded += std::size_t(out - outStart) / PixelSize;
            if (decoded == pixelCount)
                break;
        }

        // One packet with every check: near the end of what is in hand, of
        // the buffer or of the image.
        if (reader.Have(1) < 1)
            return QT_TRANSLATE_NOOP("TgaLoader", "Could not read RLE header");
        const unsigned packet = *reader.Data();
        reader.Skip(1);
        const std::size_t left = pixelCount - decoded;

        if (packet < 128) {
            // Raw: each pixel is read before the image is checked for room,
            // so a packet that overruns the image fails on the first pixel
            // too many, or on a short read before it.
            const std::size_t count = packet + 1;
            const std::size_t needed = std::min(count, left + 1) * PixelSize;
            if (reader.Have(needed) < needed)
                return QT_TRANSLATE_NOOP("TgaLoader", "Could not read image data");
            if (count > left)
                return QT_TRANSLATE_NOOP("TgaLoader", "Too many pixels read");
            if (!buffer.Ensure(decoded, count))
                return QT_TRANSLATE_NOOP("TgaLoader", "Could not allocate memory for image");
            SwapRedBlue(buffer.Data() + decoded * PixelSize, reader.Data(), count, PixelSize);
            reader.Skip(count * PixelSize);
            decoded += count;
        } else {
            const std::size_t count = packet - 127;
            if (reader.Have(PixelSize) < PixelSize)
                return QT_TRANSLATE_NOOP("TgaLoader", "Could not read from file");
            if (count > left)
                return QT_TRANSLATE_NOOP("TgaLoader", "Too many pixels read");
            if (!buffer.Ensure(decoded, count))
                return QT_TRANSLATE_NOOP("TgaLoader", "Could not allocate memory for image");
            FillPixels(buffer.Data() + decoded * PixelSize, reader.Data(), count, PixelSize);
            reader.Skip(PixelSize);
            decoded += count;
        }
    }
    return nullptr;
}

// Bits of the image descriptor that name the corner the file starts at.
constexpr std::uint8_t kRightFirst = 0x10;
constexpr std::uint8_t kTopFirst = 0x20;

// Puts the decoded pixels in texture order (first row at the bottom, first
// column at the left) whichever corner the file started at. Done in place,
// so it can never fail.
void Orient(std::uint8_t *pixels, std::size_t width, std::size_t height, std::size_t pixelSize,
            std::uint8_t descriptor)
{
    const std::size_t row = width * pixelSize;
    if (descriptor & kTopFirst) {
        for (std::size_t top = 0, bottom = height - 1; top < bottom; ++top, --bottom)
            std::swap_ranges(pixels + top * row, pixels + (top + 1) * row, pixels + bottom * row);
    }
    if (descriptor & kRightFirst) {
        for (std::size_t y = 0; y < height; ++y) {
            std::uint8_t *const line = pixels + y * row;
            for (std::size_t left = 0, right = width - 1; left < right; ++left, --right)
                std::swap_ranges(line + left * pixelSize, line + (left + 1) * pixelSize, line + right * pixelSize);
        }
    }
}

// The steps both decoders share: the information block and its checks.
bool ReadInfo(TgaImage *image, std::FILE *file, std::size_t *pixelCount, std::uint8_t *descriptor,
              TgaFailure *failure)
{
    std::uint8_t info[6];
    if (std::fread(info, sizeof info, 1, file) != 1) {
        SetFailure(failure, QT_TRANSLATE_NOOP("TgaLoader", "Could not read info header"));
        return false;
    }
    image->Width = info[0] | (info[1] << 8);
    image->Height = info[2] | (info[3] << 8);
    image->BitsPerPixel = info[4];
    *descriptor = info[5];
    if (image->Width == 0 || image->Height == 0
        || (image->BitsPerPixel != 24 && image->BitsPerPixel != 32)) {
        SetFailure(failure, QT_TRANSLATE_NOOP("TgaLoader", "Invalid texture information"));
        return false;
    }
    image->Format = image->BitsPerPixel == 24 ? skimbler::gl::RGB : skimbler::gl::RGBA;
    // At most 65535 * 65535 * 4 bytes: needs 64 bits, and more than a
    // 32-bit address space can hold.
    const std::uint64_t pixels = std::uint64_t{image->Width} * image->Height;
    const std::uint64_t bytes = pixels * (image->BitsPerPixel / 8);
    if (bytes > SIZE_MAX / 2) {
        SetFailure(failure, QT_TRANSLATE_NOOP("TgaLoader", "Could not allocate memory for image"));
        return false;
    }
    *pixelCount = static_cast<std::size_t>(pixels);
    return true;
}

// A null text is a refusal by the caller's size check.
bool FailClosing(TgaImage *image, std::FILE *file, TgaFailure *failure, const char *text)
{
    if (text)
        SetFailure(failure, text);
    image->Pixels = nullptr;
    std::fclose(file);
    return false;
}

// The size check runs once the image's size is known and before anything is
// allocated for it; a refusal leaves the failure's text null.
bool RefusedBySize(const TgaImage *image, const TgaSizeCheck &sizeCheck)
{
    return sizeCheck && !sizeCheck(image->Width, image->Height, image->BitsPerPixel);
}

bool DecodeUncompressed(TgaImage *image, std::FILE *file, const TgaSizeCheck &sizeCheck, TgaFailure *failure)
{
    image->Pixels = nullptr;
    std::size_t pixelCount = 0;
    std::uint8_t descriptor = 0;
    if (!ReadInfo(image, file, &pixelCount, &descriptor, failure)) {
        std::fclose(file);
        return false;
    }
    const std::size_t pixelSize = image->BitsPerPixel / 8;

    // A file too short for the image it claims is refused before anything
    // is allocated for it.
    const std::int64_t remaining = RemainingBytes(file);
    if (remaining >= 0 && static_cast<std::uint64_t>(remaining) < std::uint64_t{pixelCount} * pixelSize)
        return FailClosing(image, file, failure, QT_TRANSLATE_NOOP("TgaLoader", "Could not read image data"));
    if (RefusedBySize(image, sizeCheck))
        return FailClosing(image, file, failure, nullptr);

    PixelBuffer buffer(pixelSize, pixelCount);
    const std::size_t first = remaining >= 0 ? pixelCount : std::min(pixelCount, kUnknownSizeStartPixels);
    if (!buffer.Reserve(first))
        return FailClosing(image, file, failure, QT_TRANSLATE_NOOP("TgaLoader", "Could not allocate memory for image"));

    // Read block by block straight into the image and swap each block while
    // it is still in cache.
    std::size_t done = 0;
    while (done < pixelCount) {
        if (!buffer.Ensure(done, std::min(kChunkPixels, pixelCount - done)))
            return FailClosing(image, file, failure, QT_TRANSLATE_NOOP("TgaLoader", "Could not allocate memory for image"));
        const std::size_t pixels = std::min({kChunkPixels, pixelCount - done, buffer.Capacity() - done});
        std::uint8_t *at = buffer.Data() + done * pixelSize;
        const std::size_t bytes = pixels * pixelSize;
        if (std::fread(at, 1, bytes, file) != bytes)
            return FailClosing(image, file, failure, QT_TRANSLATE_NOOP("TgaLoader", "Could not read image data"));
        SwapRedBlue(at, at, pixels, pixelSize);
        done += pixels;
    }

    Orient(buffer.Data(), image->Width, image->Height, pixelSize, descriptor);
    image->Pixels = buffer.Release();
    std::fclose(file);
    return true;
}

bool DecodeCompressed(TgaImage *image, std::FILE *file, const TgaSizeCheck &sizeCheck, TgaFailure *failure)
{
    image->Pixels = nullptr;
    std::size_t pixelCount = 0;
    std::uint8_t descriptor = 0;
    if (!ReadInfo(image, file, &pixelCount, &descriptor, failure)) {
        std::fclose(file);
        return false;
    }
    const std::size_t pixelSize = image->BitsPerPixel / 8;
    // Whether the packets would fill the image is known only by decoding
    // them, which is what the size check is there to spare.
    if (RefusedBySize(image, sizeCheck))
        return FailClosing(image, file, failure, nullptr);

    // One packet of 1 + pixelSize bytes gives at most 128 pixels, so the rest
    // of the file bounds what it can encode. When the image fits that bound
    // it is allocated at once; otherwise the load is bound to fail, and the
    // buffer grows only as far as the packets really get, so the failure
    // message is still the one the packets call for.
    const std::int64_t remaining = RemainingBytes(file);
    std::size_t first;
    if (remaining >= 0) {
        const std::uint64_t encodable = static_cast<std::uint64_t>(remaining) / (1 + pixelSize) * 128;
        first = encodable >= pixelCount ? pixelCount : static_cast<std::size_t>(encodable);
    } else {
        first = std::min(pixelCount, kUnknownSizeStartPixels);
    }

    PixelBuffer buffer(pixelSize, pixelCount);
    BlockReader reader(file);
    if (!buffer.Reserve(first) || !reader.Init())
        return FailClosing(image, file, failure, QT_TRANSLATE_NOOP("TgaLoader", "Could not allocate memory for image"));

    const char *text = pixelSize == 3 ? DecodePackets<3>(reader, buffer, pixelCount)
                                      : DecodePackets<4>(reader, buffer, pixelCount);
    if (text)
        return FailClosing(image, file, failure, text);

    Orient(buffer.Data(), image->Width, image->Height, pixelSize, descriptor);
    image->Pixels = buffer.Release();
    std::fclose(file);
    return true;
}

bool Worded(bool loaded, const TgaFailure &failure, UserMessage *message)
{
    if (!loaded && message)
        *message = Worded(failure);
    return loaded;
}

} // namespace

bool ReadTga(TgaImage *image, const char *fileName, TgaFailure *failure, const TgaSizeCheck &sizeCheck)
{
    *failure = TgaFailure();
    image->Pixels = nullptr;
    std::FILE *file = fileName ? skimbler::OpenRegularFileStream(fileName) : nullptr;
    if (!file) {
        SetFailure(failure, QT_TRANSLATE_NOOP("TgaLoader", "Could not open texture file"));
        return false;
    }

    std::uint8_t header[12];
    if (std::fread(header, sizeof header, 1, file) != 1)
        return FailClosing(image, file, failure, QT_TRANSLATE_NOOP("TgaLoader", "Could not read file header"));
    failure->imageType = header[2];

    if (std::memcmp(header, kUncompressedHeader, sizeof header) == 0)
        return DecodeUncompressed(image, file, sizeCheck, failure);
    if (std::memcmp(header, kCompressedHeader, sizeof header) == 0)
        return DecodeCompressed(image, file, sizeCheck, failure);

    failure->text = QT_TRANSLATE_NOOP("TgaLoader", "TGA file be type 2 or type 10 ");
    failure->caption = QT_TRANSLATE_NOOP("TgaLoader", "Invalid Image");
    std::fclose(file);
    return false;
}

bool LoadTga(TgaImage *image, const char *fileName, UserMessage *message)
{
    TgaFailure failure;
    return Worded(ReadTga(image, fileName, &failure), failure, message);
}

bool LoadUncompressedTga(TgaImage *image, std::FILE *file, UserMessage *message)
{
    TgaFailure failure;
    return Worded(DecodeUncompressed(image, file, {}, &failure), failure, message);
}

bool LoadCompressedTga(TgaImage *image, std::FILE *file, UserMessage *message)
{
    TgaFailure failure;
    return Worded(DecodeCompressed(image, file, {}, &failure), failure, message);
}
