#pragma once

// A deliberately slow TGA decoder that reads a header byte and a pixel at a
// time, exactly in the order the checks are made. The real loader reads in
// blocks; tests and the fuzzer compare the two: same outcome, same message,
// same bytes. Memory grows with the pixels actually decoded, so a file that
// claims a huge image costs nothing here either.

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

struct StepwiseResult
{
    bool ok = false;
    std::string message;  // empty on success
    std::string caption;
    unsigned width = 0;
    unsigned height = 0;
    unsigned bitsPerPixel = 0;
    std::vector<std::uint8_t> pixels;
};

// Rows of the file start at the corner bits 5 (top) and 4 (right) of the
// descriptor name; the result starts at the bottom left, texel by texel.
inline std::vector<std::uint8_t> StepwiseOrient(const std::vector<std::uint8_t> &file, unsigned width,
                                                unsigned height, std::size_t pixelSize, std::uint8_t descriptor)
{
    const bool topFirst = descriptor & 0x20, rightFirst = descriptor & 0x10;
    std::vector<std::uint8_t> texels(file.size());
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x) {
            const unsigned row = topFirst ? height - 1 - y : y;
            const unsigned column = rightFirst ? width - 1 - x : x;
            const std::size_t from = (std::size_t{y} * width + x) * pixelSize;
            const std::size_t to = (std::size_t{row} * width + column) * pixelSize;
            for (std::size_t b = 0; b < pixelSize; ++b)
                texels[to + b] = file[from + b];
        }
    }
    return texels;
}

inline StepwiseResult StepwiseDecodeTga(const char *fileName)
{
    StepwiseResult result;
    auto fail = [&result](const char *text, const char *caption = "ERROR") {
        result.ok = false;
        result.message = text;
        result.caption = caption;
        result.pixels.clear();
        return result;
    };

    std::FILE *file = std::fopen(fileName, "rb");
    if (!file)
        return fail("Could not open texture file");
    struct Closer
    {
        std::FILE *file;
        ~Closer() { std::fclose(file); }
    } closer{file};

    std::uint8_t header[12];
    if (std::fread(header, 12, 1, file) != 1)
        return fail("Could not read file header");
    static const std::uint8_t type2[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    static const std::uint8_t type10[12] = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const bool compressed = std::memcmp(header, type10, 12) == 0;
    if (!compressed && std::memcmp(header, type2, 12) != 0)
        return fail("TGA file be type 2 or type 10 ", "Invalid Image");

    std::uint8_t info[6];
    if (std::fread(info, 6, 1, file) != 1)
        return fail("Could not read info header");
    result.width = info[0] | (info[1] << 8);
    result.height = info[2] | (info[3] << 8);
    result.bitsPerPixel = info[4];
    if (result.width == 0 || result.height == 0 || (result.bitsPerPixel != 24 && result.bitsPerPixel != 32))
        return fail("Invalid texture information");
    const std::size_t pixelSize = result.bitsPerPixel / 8;
    const std::uint64_t pixelCount = std::uint64_t{result.width} * result.height;
    const auto finish = [&]() {
        result.pixels = StepwiseOrient(result.pixels, result.width, result.height, pixelSize, info[5]);
        result.ok = true;
        return result;
    };

    if (!compressed) {
        for (std::uint64_t i = 0; i < pixelCount; ++i) {
            std::uint8_t pixel[4];
            if (std::fread(pixel, 1, pixelSize, file) != pixelSize)
                return fail("Could not read image data");
            result.pixels.push_back(pixel[2]);
            result.pixels.push_back(pixel[1]);
            result.pixels.push_back(pixel[0]);
            if (pixelSize == 4)
                result.pixels.push_back(pixel[3]);
        }
        return finish();
    }

    std::uint64_t decoded = 0;
    auto store = [&](const std::uint8_t *pixel) {
        result.pixels.push_back(pixel[2]);
        result.pixels.push_back(pixel[1]);
        result.pixels.push_back(pixel[0]);
        if (pixelSize == 4)
            result.pixels.push_back(pixel[3]);
        ++decoded;
    };
    do {
        const int packet = std::fgetc(file);
        if (packet == EOF)
            return fail("Could not read RLE header");
        std::uint8_t pixel[4];
        if (packet < 128) {
            for (int i = 0; i <= packet; ++i) {
                if (std::fread(pixel, 1, pixelSize, file) != pixelSize)
                    return fail("Could not read image data");
                if (decoded >= pixelCount)
                    return fail("Too many pixels read");
                store(pixel);
            }
        } else {
            if (std::fread(pixel, 1, pixelSize, file) != pixelSize)
                return fail("Could not read from file");
            for (int i = 0; i < packet - 127; ++i) {
                if (decoded >= pixelCount)
                    return fail("Too many pixels read");
                store(pixel);
            }
        }
    } while (decoded < pixelCount);
    return finish();
}
