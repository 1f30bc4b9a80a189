#include "cli/OutputSafety.h"

#include <skimbler/SurfaceFile.h>

#include <QDir>
#include <QFile>

#include <sys/stat.h>

#include <map>
#include <string>
#include <utility>

namespace {

using Identity = std::pair<dev_t, ino_t>;

bool Stat(const std::string &path, struct stat *status)
{
    return !path.empty() && ::stat(path.c_str(), status) == 0;
}

std::string Native(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

QString Shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

QString OutputRefusal(const QStringList &inputs, const QStringList &outputs, bool force)
{
    // What each file read in this call is, by identity.
    std::map<Identity, QString> read;
    const auto remember = [&read](const std::string &path, const QString &what) {
        struct stat status;
        if (Stat(path, &status))
            read.emplace(Identity(status.st_dev, status.st_ino), what);
    };
    if (!force) {
        for (const QString &input : inputs) {
            remember(Native(input), QStringLiteral("it is an input of this command"));
            // Both paths a surface file stores: the editor may fall back on
            // either, so either may be the picture it shows.
            skimbler::SurfaceFile::Contents contents;
            std::string ignored;
            if (!skimbler::SurfaceFile::Read(Native(input), &contents, &ignored))
                continue;
            const QString what = QStringLiteral("it is the image of \"%1\"").arg(Shown(input));
            remember(contents.imagePath, what);
            remember(contents.absoluteImagePath, what);
        }
    }
    for (const QString &output : outputs) {
        struct stat status;
        if (!Stat(Native(output), &status))
            continue;  // nothing there yet, or nothing we could ever have read
        if (!S_ISREG(status.st_mode))
            return QStringLiteral("will not write \"%1\": it is not a regular file").arg(Shown(output));
        const auto hit = read.find(Identity(status.st_dev, status.st_ino));
        if (hit != read.end())
            return QStringLiteral("will not write \"%1\": %2 (--force writes over it)").arg(Shown(output), hit->second);
    }
    return QString();
}
