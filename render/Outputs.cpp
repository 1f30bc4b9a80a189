#include "render/Outputs.h"

#include "render/ExportDrawing.h"
#include "render/outputs/Entries.h"
#include "surface/CSkimblerDoc.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace Outputs {

namespace {

QString Spoken(const QStringList &words)
{
    if (words.size() < 2)
        return words.join(QString());
    return words.mid(0, words.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" or ") + words.last();
}

} // namespace

Source FromDocument(const CSkimblerDoc &document)
{
    Source source;
    source.surface = &document.GetSurface();
    source.image = document.Image();
    source.surfacePath = document.GetPathName().isEmpty() ? document.GetImagePath() : document.GetPathName();
    source.imagePath = document.GetImagePath();
    return source;
}

const std::vector<const Output *> &All()
{
    static const std::vector<const Output *> all = {
#define SKIMBLER_OUTPUT(name) &name,
#include "render/outputs/List.h"
#undef SKIMBLER_OUTPUT
    };
    return all;
}

std::vector<const Output *> OfKind(Kind kind)
{
    std::vector<const Output *> found;
    for (const Output *output : All()) {
        if (output->kind == kind)
            found.push_back(output);
    }
    return found;
}

const Output *Find(const QString &id, Kind kind)
{
    for (const Output *output : OfKind(kind)) {
        if (id == QLatin1String(output->id))
            return output;
    }
    return nullptr;
}

const Output *ForPath(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    for (const Output *output : OfKind(Kind::File)) {
        if (output->suffixes.contains(suffix, Qt::CaseInsensitive))
            return output;
    }
    return nullptr;
}

QString IdList(Kind kind)
{
    QStringList ids;
    for (const Output *output : OfKind(kind))
        ids << QString::fromLatin1(output->id);
    return Spoken(ids);
}

QString SuffixList()
{
    QStringList suffixes;
    for (const Output *output : OfKind(Kind::File))
        suffixes << QLatin1Char('.') + output->suffixes.first();
    return Spoken(suffixes);
}

QString FileFilter(const Output &output, const QString &name)
{
    QStringList patterns;
    for (const QString &suffix : output.suffixes)
        patterns << QStringLiteral("*.") + suffix;
    return QStringLiteral("%1 (%2)").arg(name, patterns.join(QLatin1Char(' ')));
}

QString WriteFile(const QString &path, const QByteArray &bytes)
{
    return ExportDrawing::WriteFile(path, bytes);
}

bool SameFile(const QString &a, const QString &b)
{
    struct stat first, second;
    if (a.isEmpty() || b.isEmpty() || ::stat(QFile::encodeName(a).constData(), &first) != 0
        || ::stat(QFile::encodeName(b).constData(), &second) != 0)
        return false;
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

} // namespace Outputs
