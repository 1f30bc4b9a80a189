#pragma once

// Builds TGA files byte by byte: for the loader's tests, and the pictures
// other tests show.

#include <QByteArray>
#include <QFile>
#include <QRgb>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

namespace TgaTestFiles {

inline QByteArray Header(std::uint8_t type)
{
    QByteArray header(12, '\0');
    header[2] = static_cast<char>(type);
    return header;
}

inline QByteArray Info(unsigned width, unsigned height, unsigned depth, unsigned descriptor = 0)
{
    QByteArray info(6, '\0');
    info[0] = static_cast<char>(width & 0xFF);
    info[1] = static_cast<char>(width >> 8);
    info[2] = static_cast<char>(height & 0xFF);
    info[3] = static_cast<char>(height >> 8);
    info[4] = static_cast<char>(depth);
    info[5] = static_cast<char>(descriptor);
    return info;
}

inline QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (int value : values)
        bytes.append(static_cast<char>(value));
    return bytes;
}

// `count` pixels of `size` bytes with a pattern that differs in every byte.
inline QByteArray PixelBytes(int count, int size, int seed = 1)
{
    QByteArray bytes;
    for (int i = 0; i < count * size; ++i)
        bytes.append(static_cast<char>((seed * 37 + i * 11) & 0xFF));
    return bytes;
}

inline QByteArray Run(int count, const QByteArray &filePixel)
{
    return QByteArray(1, static_cast<char>(127 + count)) + filePixel;
}

inline QByteArray Raw(const QByteArray &filePixels, int pixelSize)
{
    return QByteArray(1, static_cast<char>(filePixels.size() / pixelSize - 1)) + filePixels;
}

inline bool Write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// A 32-bit uncompressed file whose texel(column, row) gives each pixel;
// rows in file order, the bottom one first.
template <typename Texel>
bool WritePainted(const QString &path, int width, int height, Texel texel)
{
    QByteArray bytes = Header(2) + Info(static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 8);
    bytes.reserve(bytes.size() + width * height * 4);
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            const QRgb colour = texel(column, row);
            bytes.append(static_cast<char>(qBlue(colour)))
                .append(static_cast<char>(qGreen(colour)))
                .append(static_cast<char>(qRed(colour)))
                .append(static_cast<char>(qAlpha(colour)));
        }
    }
    return Write(path, bytes);
}

inline bool WriteSolid(const QString &path, int width, int height, QRgb colour)
{
    return WritePainted(path, width, height, [colour](int, int) { return colour; });
}

// A random image together with its file encodings. `pixels` is what the
// loader must return (R G B (A), rows in file order).
struct Generated
{
    QByteArray pixels;
    QByteArray raw;  // type 2 file
    QByteArray rle;  // type 10 file, runs and raw packets mixed
};

inline Generated Generate(unsigned width, unsigned height, int pixelSize, unsigned seed)
{
    std::mt19937 random(seed);
    Generated result;
    const int count = static_cast<int>(width * height);
    std::vector<QByteArray> filePixels;
    filePixels.reserve(static_cast<std::size_t>(count));
    // Stretches of one colour between noise, so both packet kinds occur.
    QByteArray current(pixelSize, '\0');
    for (int i = 0; i < count; ++i) {
        if (random() % 4 != 0) {
            for (int b = 0; b < pixelSize; ++b)
                current[b] = static_cast<char>(random() & 0xFF);
        }
        filePixels.push_back(current);
    }
    result.raw = Header(2) + Info(width, height, static_cast<unsigned>(pixelSize * 8));
    result.rle = Header(10) + Info(width, height, static_cast<unsigned>(pixelSize * 8));
    for (const QByteArray &p : filePixels) {
        result.raw += p;
        result.pixels.append(p[2]).append(p[1]).append(p[0]);
        if (pixelSize == 4)
            result.pixels.append(p[3]);
    }
    int i = 0;
    while (i < count) {
        int same = 1;
        while (i + same < count && same < 128 && filePixels[static_cast<std::size_t>(i + same)] == filePixels[static_cast<std::size_t>(i)])
            ++same;
        if (same >= 2) {
            result.rle += Run(same, filePixels[static_cast<std::size_t>(i)]);
            i += same;
            continue;
        }
        const int length = 1 + static_cast<int>(random() % std::min(128, count - i));
        QByteArray packet;
        for (int k = 0; k < length; ++k)
            packet += filePixels[static_cast<std::size_t>(i + k)];
        result.rle += Raw(packet, pixelSize);
        i += length;
    }
    return result;
}

} // namespace TgaTestFiles
