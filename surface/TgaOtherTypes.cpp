#include "surface/TgaOtherTypes.h"

#include "surface/PixelImage.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QList>

#include <cstdint>

namespace {

struct Header
{
    int idLength, colourMapType, type, mapFirst, mapLength, mapDepth, width, height, depth, descriptor;
};

int Le16(const std::uint8_t *p)
{
    return p[0] | (p[1] << 8);
}

bool Mapped(const Header &h)
{
    return h.type == 1 || h.type == 9;
}

bool Supported(const Header &h)
{
    if (h.width == 0 || h.height == 0)
        return false;
    if (Mapped(h))
        return h.colourMapType == 1 && h.mapLength > 0 && (h.depth == 8 || h.depth == 16)
               && (h.mapDepth == 15 || h.mapDepth == 16 || h.mapDepth == 24 || h.mapDepth == 32);
    return (h.type == 3 || h.type == 11) && (h.depth == 8 || h.depth == 16);
}

// Map entries are stored B G R (A), or as 5-5-5 bits with the top one unused.
QRgb MapEntry(const std::uint8_t *p, int depth)
{
    if (depth <= 16) {
        const int v = Le16(p);
        const auto five = [](int bits) { return (bits << 3) | (bits >> 2); };
        return qRgb(five((v >> 10) & 31), five((v >> 5) & 31), five(v & 31));
    }
    return qRgba(p[2], p[1], p[0], depth == 32 ? p[3] : 255);
}

// Decodes the pixel stream into `image`; null, or what is wrong with it.
const char *Decode(const Header &h, const QByteArray &data, const QList<QRgb> &map, QImage *image)
{
    const int size = h.depth / 8;
    const bool rle = h.type >= 9;
    const bool topFirst = h.descriptor & 0x20, rightFirst = h.descriptor & 0x10;
    const std::uint8_t *in = reinterpret_cast<const std::uint8_t *>(data.constData());
    const std::uint8_t *const end = in + data.size();
    const qint64 total = qint64(h.width) * h.height;

    const auto colour = [&](const std::uint8_t *p, QRgb *out) {
        if (Mapped(h)) {
            const int index = (size == 1 ? p[0] : Le16(p)) - h.mapFirst;
            if (index < 0 || index >= map.size())
                return false;
            *out = map.at(index);
        } else {
            *out = qRgba(p[0], p[0], p[0], size == 2 ? p[1] : 255);
        }
        return true;
    };
    // File rows start at the corner the descriptor names; the texture's
    // first row is the bottom one.
    const auto put = [&](qint64 i, QRgb value) {
        const int fileRow = int(i / h.width), fileColumn = int(i % h.width);
        const int row = topFirst ? h.height - 1 - fileRow : fileRow;
        const int column = rightFirst ? h.width - 1 - fileColumn : fileColumn;
        reinterpret_cast<QRgb *>(image->scanLine(row))[column] = value;
    };

    qint64 done = 0;
    while (done < total) {
        qint64 count = 1;
        bool run = false;
        if (rle) {
            if (in == end)
                return "truncated data";
            count = (*in & 0x7F) + 1;
            run = *in & 0x80;
            ++in;
            if (count > total - done)
                return "invalid data";
        }
        for (qint64 k = 0; k < count; ++k) {
            if ((!run || k == 0) && end - in < size)
                return "truncated data";
            QRgb value;
            if (!colour(in, &value))
                return "invalid data";
            put(done++, value);
            if (!run)
                in += size;
        }
        if (run)
            in += size;
    }
    return nullptr;
}

} // namespace

TgaOtherTypes::Outcome TgaOtherTypes::Read(const QString &path, const ImageReader::SizeCheck &sizeCheck,
                                           PixelImage *image, ImageError *error)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return NotThisKind;
    std::uint8_t raw[18];
    if (file.read(reinterpret_cast<char *>(raw), sizeof raw) != qint64(sizeof raw))
        return NotThisKind;
    const Header h{raw[0], raw[1], raw[2], Le16(raw + 3), Le16(raw + 5), raw[7], Le16(raw + 12), Le16(raw + 14),
                   raw[16], raw[17]};
    if (!Supported(h))
        return NotThisKind;

    const bool alpha = Mapped(h) ? h.mapDepth == 32 : h.depth == 16;
    if (sizeCheck) {
        const QString refusal = sizeCheck(h.width, h.height, alpha ? 4 : 3);
        if (!refusal.isEmpty()) {
            *error = ImageError::TooLarge(path, h.width, h.height, refusal);
            return Failed;
        }
    }

    const auto broken = [&](const char *why) {
        *error = ImageError::About(path, QCoreApplication::translate("ImageReader", "not a readable image (%1)").arg(QString::fromLatin1(why)));
        return Failed;
    };
    file.skip(h.idLength);
    QList<QRgb> map;
    if (h.colourMapType == 1) {
        const int entry = (h.mapDepth + 7) / 8;
        const QByteArray bytes = file.read(qint64(h.mapLength) * entry);
        if (bytes.size() != h.mapLength * entry)
            return broken("truncated data");
        for (int i = 0; i < h.mapLength; ++i)
            map.append(MapEntry(reinterpret_cast<const std::uint8_t *>(bytes.constData()) + i * entry, h.mapDepth));
    }

    QImage picture(h.width, h.height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (picture.isNull())
        return broken("out of memory");
    if (const char *why = Decode(h, file.readAll(), map, &picture))
        return broken(why);
    *image = PixelImage(picture);
    return Decoded;
}
