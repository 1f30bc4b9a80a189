#include "surface/ImageReader.h"

#include "surface/PixelImage.h"
#include "surface/TgaImage.h"
#include "surface/TgaLoader.h"
#include "surface/TgaOtherTypes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <cstdint>

namespace {

const QString kCaption = QStringLiteral("Skimbler");

bool IsTgaSuffix(const QString &path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("tga"), Qt::CaseInsensitive) == 0;
}

QString ReaderFailure(const QImageReader &reader, const QString &path)
{
    switch (reader.error()) {
    case QImageReader::FileNotFoundError: {
        // The reader says so of any file it could not open: the system's
        // reason is the true one ("Permission denied").
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return file.errorString();
        return QCoreApplication::translate("ImageReader", "the file could not be read");
    }
    case QImageReader::DeviceError: return QCoreApplication::translate("ImageReader", "the file could not be read");
    case QImageReader::UnsupportedFormatError: return QCoreApplication::translate("ImageReader", "unsupported format");
    case QImageReader::InvalidDataError: return QCoreApplication::translate("ImageReader", "invalid data");
    case QImageReader::UnknownError: break;
    }
    return reader.errorString();
}

enum class Outcome { Read, Refused, Unreadable };

// The image file as the toolkit's reader sees it, telling the observer of
// every read and failing them all once the observer says stop.
class ObservedFile : public QIODevice
{
public:
    ObservedFile(const QString &path, const ImageReader::Observer &observer)
        : m_file(path)
        , m_observer(observer)
    {
    }

    bool open(OpenMode mode) override
    {
        if (!m_file.open(mode | QIODevice::Unbuffered))
            return false;
        m_total = m_file.size();
        return QIODevice::open(mode | QIODevice::Unbuffered);
    }
    void close() override
    {
        QIODevice::close();
        m_file.close();
    }
    bool isSequential() const override { return false; }
    qint64 size() const override { return m_total; }
    bool seek(qint64 position) override { return QIODevice::seek(position) && m_file.seek(position); }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (m_stopped)
            return -1;
        const qint64 got = m_file.read(data, maxSize);
        if (got > 0)
            m_farthest = std::max(m_farthest, m_file.pos());
        if (!m_observer(m_farthest, m_total)) {
            m_stopped = true;
            return -1;
        }
        return got;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QFile m_file;
    const ImageReader::Observer &m_observer;
    qint64 m_total = 0;
    qint64 m_farthest = 0;
    bool m_stopped = false;
};

// The toolkit's reader. Its picture comes top row first; the texture wants
// the rows as a TGA stores them, bottom first, so it is turned over.
Outcome ReadWithToolkit(const QString &path, const ImageReader::SizeCheck &sizeCheck, PixelImage *image,
                        ImageError *error, const ImageReader::Observer &observer)
{
    // Watched reading goes through our own device, in the format the reader
    // by name finds (by suffix, then by content); a file that reader cannot
    // make out is left to it, so that it says why as it always has.
    QImageReader named(path);
    ObservedFile observed(path, observer);
    QImageReader watched;
    const bool watching = observer && named.canRead() && observed.open(QIODevice::ReadOnly);
    if (watching) {
        watched.setDevice(&observed);
        watched.setFormat(named.format());
    }
    QImageReader &reader = watching ? watched : named;
    reader.setAutoTransform(true);  // photographs taken upright show upright
    const auto unreadable = [&] {
        *error = ImageError::About(path, QCoreApplication::translate("ImageReader", "not a readable image (%1)").arg(ReaderFailure(reader, path)));
        return Outcome::Unreadable;
    };
    if (!reader.canRead())
        return unreadable();

    // Before decoding: the header says how large the picture is.
    const QSize announced = reader.size();
    if (announced.isValid() && sizeCheck) {
        const QString refusal = sizeCheck(announced.width(), announced.height(), 4);
        if (!refusal.isEmpty()) {
            *error = ImageError::TooLarge(path, announced.width(), announced.height(), refusal);
            return Outcome::Refused;
        }
        // The size is one the texture can take: the toolkit's own guard
        // against huge pictures must not stand in its way.
        const qint64 megabytes = qint64(announced.width()) * announced.height() * 4 / (1024 * 1024) + 1;
        reader.setAllocationLimit(int(std::max<qint64>(reader.allocationLimit(), megabytes)));
    }

    QImage decoded;
    if (!reader.read(&decoded))
        return unreadable();

    const bool alpha = decoded.hasAlphaChannel();
    const QImage::Format wanted = alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    if (decoded.format() != wanted)
        decoded.convertTo(wanted);
    if (sizeCheck && !announced.isValid()) {
        const QString refusal = sizeCheck(decoded.width(), decoded.height(), alpha ? 4 : 3);
        if (!refusal.isEmpty()) {
            *error = ImageError::TooLarge(path, decoded.width(), decoded.height(), refusal);
            return Outcome::Refused;
        }
    }
    decoded.mirror(false, true);
    *image = PixelImage(decoded);
    return Outcome::Read;
}

} // namespace

ImageError ImageError::About(const QString &path, const QString &reason)
{
    ImageError error;
    error.text = QFileInfo(path).fileName() + QStringLiteral(": ") + reason;
    error.caption = kCaption;
    error.icon = UserMessage::Exclamation;
    error.path = path;
    return error;
}

ImageError ImageError::TooLarge(const QString &path, int width, int height, const QString &refusal)
{
    return About(path, QCoreApplication::translate("ImageReader", "the image is %1 x %2 pixels, %3").arg(width).arg(height).arg(refusal));
}

UserMessage ImageError::Message() const
{
    return UserMessage{text, caption, icon,
                       path.isEmpty() ? QString() : QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath())};
}

bool ImageReader::Read(const QString &path, const SizeCheck &sizeCheck, PixelImage *image, ImageError *error,
                       const Observer &observer)
{
    // A file that is missing, or is a pipe, a device or a folder, gets the
    // loader's word whatever its name: the loader opens nothing that could
    // block, and its message says what is wrong.
    if (!IsTgaSuffix(path) && QFileInfo(path).isFile())
        return ReadWithToolkit(path, sizeCheck, image, error, observer) == Outcome::Read;

    TgaImage tga;
    TgaFailure failure;
    QString refusal;
    const TgaSizeCheck tgaCheck = [&](std::uint32_t width, std::uint32_t height, std::uint32_t bitsPerPixel) {
        if (sizeCheck)
            refusal = sizeCheck(int(width), int(height), int(bitsPerPixel / 8));
        return refusal.isEmpty();
    };
    const QByteArray name = QFile::encodeName(path);
    if (ReadTga(&tga, name.constData(), &failure, tgaCheck)) {
        *image = PixelImage(tga);
        return true;
    }
    if (!failure.text) {
        *error = ImageError::TooLarge(path, int(tga.Width), int(tga.Height), refusal);
        return false;
    }
    // Types 2 and 10 are the loader's, messages and all. Colour-mapped and
    // greyscale files have a reader of their own; the toolkit may know a
    // file that is no TGA at all; where nothing can read it, the loader's
    // word stands.
    if (failure.imageType >= 0 && failure.imageType != 2 && failure.imageType != 10) {
        switch (TgaOtherTypes::Read(path, sizeCheck, image, error)) {
        case TgaOtherTypes::Decoded: return true;
        case TgaOtherTypes::Failed: return false;
        case TgaOtherTypes::NotThisKind: break;
        }
        ImageError toolkitError;
        switch (ReadWithToolkit(path, sizeCheck, image, &toolkitError, observer)) {
        case Outcome::Read: return true;
        case Outcome::Refused: *error = toolkitError; return false;
        case Outcome::Unreadable: break;
        }
    }
    error->text = QCoreApplication::translate("TgaLoader", failure.text);
    error->caption = QCoreApplication::translate("TgaLoader", failure.caption);
    error->icon = UserMessage::NoIcon;
    error->path = path;
    return false;
}

QStringList ImageReader::Suffixes()
{
    QStringList suffixes{QStringLiteral("tga")};
    for (const QByteArray &format : QImageReader::supportedImageFormats()) {
        const QString suffix = QString::fromLatin1(format).toLower();
        if (!suffixes.contains(suffix))
            suffixes.append(suffix);
    }
    return suffixes;
}

bool ImageReader::IsImageFile(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (!suffix.isEmpty() && Suffixes().contains(suffix))
        return true;
    return QFileInfo(path).isFile() && !QImageReader::imageFormat(path).isEmpty();
}

QString ImageReader::SideRefusal(int width, int height, int maxSide)
{
    if (maxSide > 0 && (width > maxSide || height > maxSide))
        return QCoreApplication::translate("TextureUpload", "larger than the %1 x %1 pixels this OpenGL can hold").arg(maxSide);
    return QString();
}
