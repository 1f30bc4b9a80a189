#include "surface/SurfaceFile.h"

#include "surface/RegularFile.h"
#include "surface/Surface.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

const char *const SurfaceFile::FormatName = "skimbler-surface";
const char *const SurfaceFile::Extension = "skimbler";

namespace {

// Surface files are small; anything larger is not one of ours.
constexpr qint64 kMaxFileSize = 1 << 20;

struct UnsignedField
{
    const char *name;
    std::uint32_t Surface::*member;
    std::uint32_t SurfaceFile::Contents::*stored;
};

const UnsignedField kUnsignedFields[] = {
    {"Version", &Surface::Version, &SurfaceFile::Contents::Version},
    {"BPP", &Surface::BPP, &SurfaceFile::Contents::BPP},
    {"Type", &Surface::Type, &SurfaceFile::Contents::Type},
    {"DataFormat", &Surface::DataFormat, &SurfaceFile::Contents::DataFormat},
    {"Width", &Surface::Width, &SurfaceFile::Contents::Width},
    {"Height", &Surface::Height, &SurfaceFile::Contents::Height},
    {"ColorKey", &Surface::ColorKey, &SurfaceFile::Contents::ColorKey},
    {"MagFilter", &Surface::MagFilter, &SurfaceFile::Contents::MagFilter},
    {"MinFilter", &Surface::MinFilter, &SurfaceFile::Contents::MinFilter},
    {"SrcFactor", &Surface::SrcFactor, &SurfaceFile::Contents::SrcFactor},
    {"DestFactor", &Surface::DestFactor, &SurfaceFile::Contents::DestFactor},
    {"Flags", &Surface::Flags, &SurfaceFile::Contents::Flags},
};

QString str(const char *text)
{
    return QString::fromLatin1(text);
}

bool ReadUnsigned(const QJsonObject &object, const char *name, std::uint32_t *value, QString *error)
{
    const QJsonValue v = object.value(str(name));
    if (v.isUndefined()) {
        *error = QStringLiteral("the field \"%1\" is missing").arg(str(name));
        return false;
    }
    const double d = v.toDouble(std::numeric_limits<double>::quiet_NaN());
    if (!v.isDouble() || !std::isfinite(d) || d < 0.0 || d > 4294967295.0 || std::floor(d) != d) {
        *error = QStringLiteral("the field \"%1\" must be a whole number from 0 to 4294967295").arg(str(name));
        return false;
    }
    *value = static_cast<std::uint32_t>(d);
    return true;
}

// Each entry an array of `width` finite numbers that fit a float, within
// [low, high].
bool ReadFloatRows(const QJsonObject &object, const char *name, int width, double low, double high,
                   float *out, QString *error)
{
    const QJsonValue v = object.value(str(name));
    const QJsonArray rows = v.toArray();
    if (!v.isArray() || rows.size() != 4) {
        *error = QStringLiteral("the field \"%1\" must hold 4 entries").arg(str(name));
        return false;
    }
    for (int i = 0; i < 4; ++i) {
        const QJsonArray row = rows.at(i).toArray();
        if (!rows.at(i).isArray() || row.size() != width) {
            *error = QStringLiteral("entry %1 of \"%2\" must hold %3 numbers").arg(i).arg(str(name)).arg(width);
            return false;
        }
        for (int j = 0; j < width; ++j) {
            const QJsonValue n = row.at(j);
            const double d = n.toDouble(std::numeric_limits<double>::quiet_NaN());
            if (!n.isDouble() || !std::isfinite(d) || d < low || d > high
                || !std::isfinite(static_cast<float>(d))) {
                *error = QStringLiteral("entry %1 of \"%2\" holds a number out of range").arg(i).arg(str(name));
                return false;
            }
            out[i * width + j] = static_cast<float>(d);
        }
    }
    return true;
}

QJsonArray FloatRows(const float *values, int width)
{
    QJsonArray rows;
    for (int i = 0; i < 4; ++i) {
        QJsonArray row;
        for (int j = 0; j < width; ++j)
            // A float is exact as a double, and Qt writes the shortest text that
            // reads back to the same double. Only the sign of zero is lost
            // (JSON through Qt has no -0), and -0 draws exactly like 0.
            row.append(static_cast<double>(values[i * width + j]) + 0.0);
        rows.append(row);
    }
    return rows;
}

bool AllFinite(const float *values, int count)
{
    for (int i = 0; i < count; ++i)
        if (!std::isfinite(values[i]))
            return false;
    return true;
}

QString SystemReason(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

// Fails with errno set when the whole buffer could not be written.
bool WriteAll(int fd, const char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (written == 0) {
            errno = EIO;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// A name in `directory` for the new file, not yet taken.
QByteArray TemporaryName(const QByteArray &directory, const QByteArray &fileName)
{
    static std::mt19937 random{std::random_device{}()};
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "%08x", static_cast<unsigned>(random()));
    return directory + "/." + fileName + '.' + suffix + ".tmp";
}

enum class Attempt { Done, Failed, NeedsName };

// One try at writing `data` into a new file in `directory` and renaming it
// over `target`. An unnamed file gets its name only once it is complete.
Attempt WriteAndRename(const QByteArray &directory, const QByteArray &fileName, const QByteArray &target,
                       const struct stat *old, const QByteArray &data, bool unnamed, QString *error)
{
    QByteArray named;  // the temporary file's name once it has one
    int fd = -1;
    if (unnamed) {
        fd = ::open(directory.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL))
            return Attempt::NeedsName;
    } else {
        for (int attempt = 0; attempt < 100; ++attempt) {
            named = TemporaryName(directory, fileName);
            fd = ::open(named.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
            if (fd >= 0 || errno != EEXIST)
                break;
        }
    }
    if (fd < 0) {
        *error = SystemReason(errno);
        return Attempt::Failed;
    }

    const auto fail = [&](int code, bool open) {
        if (open)
            ::close(fd);
        if (!named.isEmpty())
            ::unlink(named.constData());
        *error = SystemReason(code);
        return Attempt::Failed;
    };

    // The replacement keeps the old file's permissions.
    if (old && ::fchmod(fd, old->st_mode & 07777) != 0)
        return fail(errno, true);
    if (!WriteAll(fd, data.constData(), static_cast<std::size_t>(data.size())))
        return fail(errno, true);
    if (::fsync(fd) != 0)
        return fail(errno, true);
    if (unnamed) {
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
        for (int attempt = 0; attempt < 100 && named.isEmpty(); ++attempt) {
            const QByteArray candidate = TemporaryName(directory, fileName);
            if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, candidate.constData(), AT_SYMLINK_FOLLOW) == 0)
                named = candidate;
            else if (errno == ENOENT) {
                ::close(fd);  // no /proc to name it by
                return Attempt::NeedsName;
            } else if (errno != EEXIST)
                return fail(errno, true);
        }
        if (named.isEmpty())
            return fail(EEXIST, true);
    }
    if (::close(fd) != 0)
        return fail(errno, false);
    if (::rename(named.constData(), target.constData()) != 0)
        return fail(errno, false);
    return Attempt::Done;
}

// Writes `data` next to `target` and renames it over `target` only once every
// byte has reached the disk, so a full disk or a size limit leaves the old file
// as it was and a killed save leaves no stray file where the system allows.
bool WriteAtomically(const QByteArray &target, const QByteArray &data, QString *error)
{
    const int slash = target.lastIndexOf('/');
    const QByteArray directory = slash <= 0 ? QByteArray(slash == 0 ? "/" : ".") : target.left(slash);
    const QByteArray fileName = target.mid(slash + 1);

    struct stat old;
    const bool replacing = ::stat(target.constData(), &old) == 0;
    if (replacing && S_ISDIR(old.st_mode)) {
        *error = SystemReason(EISDIR);
        return false;
    }
    Attempt result = WriteAndRename(directory, fileName, target, replacing ? &old : nullptr, data, true, error);
    if (result == Attempt::NeedsName)
        result = WriteAndRename(directory, fileName, target, replacing ? &old : nullptr, data, false, error);
    if (result != Attempt::Done)
        return false;
    // Make the new name itself durable; the file is complete either way.
    const int folder = ::open(directory.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

} // namespace

QByteArray SurfaceFile::Serialise(const Surface &surface, const QString &imagePath, const QString &fileDirectory,
                                  QString *error)
{
    if (!AllFinite(&surface.Points[0][0], 12) || !AllFinite(&surface.Colors[0][0], 16)) {
        *error = QStringLiteral("a corner point or colour is not a finite number");
        return QByteArray();
    }
    QJsonObject fields;
    for (const UnsignedField &field : kUnsignedFields)
        fields.insert(str(field.name), static_cast<double>(surface.*(field.member)));
    fields.insert(QStringLiteral("Points"), FloatRows(&surface.Points[0][0], 3));
    fields.insert(QStringLiteral("Colors"), FloatRows(&surface.Colors[0][0], 4));

    QJsonObject image;
    if (!imagePath.isEmpty()) {
        const QString absolute = QFileInfo(imagePath).absoluteFilePath();
        image.insert(QStringLiteral("relative"), QDir(fileDirectory).relativeFilePath(absolute));
        image.insert(QStringLiteral("absolute"), absolute);
    }

    QJsonObject root;
    root.insert(QStringLiteral("format"), str(FormatName));
    root.insert(QStringLiteral("version"), FormatVersion);
    root.insert(QStringLiteral("image"), image);
    root.insert(QStringLiteral("surface"), fields);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool SurfaceFile::Write(const QString &path, const Surface &surface, const QString &imagePath, QString *error)
{
    // A symbolic link keeps pointing at the file it names; its target is replaced.
    QString target = QFileInfo(path).absoluteFilePath();
    const QFileInfo link(target);
    if (link.isSymLink()) {
        const QString canonical = link.canonicalFilePath();
        target = canonical.isEmpty() ? link.symLinkTarget() : canonical;
    }
    const QByteArray data = Serialise(surface, imagePath, QFileInfo(path).absolutePath(), error);
    if (data.isEmpty())
        return false;
    return WriteAtomically(QFile::encodeName(target), data, error);
}

bool SurfaceFile::Read(const QString &path, Contents *contents, QString *error)
{
    bool notRegular = false;
    const int fd = OpenRegularFile(QFile::encodeName(path).constData(), &notRegular);
    if (fd < 0) {
        *error = notRegular ? QStringLiteral("it is not a regular file") : SystemReason(errno);
        return false;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        *error = file.errorString();
        return false;
    }
    const QString tooLarge = QStringLiteral("the file is too large to be a Skimbler surface");
    if (file.size() > kMaxFileSize) {
        *error = tooLarge;
        return false;
    }
    // Read block by block rather than into a buffer of the largest size allowed.
    QByteArray data;
    char block[16384];
    for (;;) {
        const qint64 got = file.read(block, sizeof block);
        if (got < 0) {
            *error = file.errorString();
            return false;
        }
        if (got == 0)
            break;
        data.append(block, static_cast<qsizetype>(got));
        if (data.size() > kMaxFileSize) {
            *error = tooLarge;
            return false;
        }
    }
    return Parse(data, QFileInfo(path).absolutePath(), contents, error);
}

bool SurfaceFile::Parse(const QByteArray &data, const QString &fileDirectory, Contents *contents, QString *error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(data, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        *error = QStringLiteral("it is not a Skimbler surface (not valid JSON: %1)").arg(parseError.errorString());
        return false;
    }
    const QJsonObject root = document.object();
    if (root.value(QStringLiteral("format")).toString() != str(FormatName)) {
        *error = QStringLiteral("it is not a Skimbler surface");
        return false;
    }
    const QJsonValue versionValue = root.value(QStringLiteral("version"));
    const double version = versionValue.toDouble(-1);
    if (!versionValue.isDouble() || version < 1 || std::floor(version) != version) {
        *error = QStringLiteral("its format version is missing or invalid");
        return false;
    }
    if (version > FormatVersion) {
        *error = QStringLiteral("it was written by a newer Skimbler (format version %1; this one reads up to %2)")
                     .arg(version)
                     .arg(FormatVersion);
        return false;
    }

    Contents read;
    const QJsonValue imageValue = root.value(QStringLiteral("image"));
    if (!imageValue.isUndefined() && !imageValue.isObject()) {
        *error = QStringLiteral("the field \"image\" must be an object");
        return false;
    }
    const QJsonObject image = imageValue.toObject();
    for (const char *key : {"relative", "absolute"}) {
        const QJsonValue v = image.value(str(key));
        if (!v.isUndefined() && !v.isString()) {
            *error = QStringLiteral("the image path \"%1\" must be text").arg(str(key));
            return false;
        }
    }
    read.relativeImagePath = image.value(QStringLiteral("relative")).toString();
    read.absoluteImagePath = image.value(QStringLiteral("absolute")).toString();
    const QString fromRelative = read.relativeImagePath.isEmpty()
        ? QString()
        : QDir(fileDirectory).absoluteFilePath(read.relativeImagePath);
    if (!fromRelative.isEmpty() && QFileInfo::exists(fromRelative))
        read.imagePath = fromRelative;
    else if (!read.absoluteImagePath.isEmpty())
        // A hand-edited relative path here is taken from the file's folder,
        // not from wherever the program was started.
        read.imagePath = QDir(fileDirectory).absoluteFilePath(read.absoluteImagePath);
    else
        read.imagePath = fromRelative;

    const QJsonValue fieldsValue = root.value(QStringLiteral("surface"));
    if (!fieldsValue.isObject()) {
        *error = QStringLiteral("the surface's fields are missing");
        return false;
    }
    const QJsonObject fields = fieldsValue.toObject();
    for (const UnsignedField &field : kUnsignedFields) {
        if (!ReadUnsigned(fields, field.name, &(read.*(field.stored)), error))
            return false;
    }
    // Corner points are plane units; anything beyond a float is corrupt.
    const double big = static_cast<double>(std::numeric_limits<float>::max());
    if (!ReadFloatRows(fields, "Points", 3, -big, big, &read.Points[0][0], error))
        return false;
    if (!ReadFloatRows(fields, "Colors", 4, 0.0, 1.0, &read.Colors[0][0], error))
        return false;

    *contents = read;
    return true;
}

void SurfaceFile::Apply(const Contents &contents, Surface *surface)
{
    for (const UnsignedField &field : kUnsignedFields) {
        if (field.member == &Surface::Width || field.member == &Surface::Height)
            continue;
        surface->*(field.member) = contents.*(field.stored);
    }
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 3; ++j)
            surface->Points[i][j] = contents.Points[i][j];
        for (int j = 0; j < 4; ++j)
            surface->Colors[i][j] = contents.Colors[i][j];
    }
}
