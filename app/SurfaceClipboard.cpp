#include "app/SurfaceClipboard.h"

#include "render/CodeListing.h"
#include "surface/CSkimblerDoc.h"
#include "surface/Surface.h"
#include "surface/SurfaceFile.h"

#include <QFileInfo>
#include <QMimeData>

namespace SurfaceClipboard {

const char *const MimeType = "application/x-skimbler-surface";

namespace {

// Settings are small; a bigger clipboard is not one of ours.
constexpr qsizetype kMaxSize = 1 << 20;

} // namespace

QMimeData *MakeMimeData(const Surface &surface, const QString &imagePath, int viewWidth, int viewHeight,
                        bool projective, QString *error)
{
    // The image's own folder as the base: the relative path is its name.
    const QString base = imagePath.isEmpty() ? QString() : QFileInfo(imagePath).absolutePath();
    const QByteArray json = SurfaceFile::Serialise(surface, imagePath, base, error);
    if (json.isEmpty())
        return nullptr;
    auto *mime = new QMimeData;
    mime->setData(QString::fromLatin1(MimeType), json);
    mime->setData(QStringLiteral("application/json"), json);
    mime->setText(CodeListing::OpenGl11Calls(surface, imagePath, viewWidth, viewHeight, projective));
    return mime;
}

bool Paste(const QMimeData *mime, CSkimblerDoc *document, QString *error, bool *changed)
{
    if (changed)
        *changed = false;
    if (!document) {
        *error = QStringLiteral("there is no document");
        return false;
    }
    QByteArray data;
    if (mime) {
        for (const QString &type : {QString::fromLatin1(MimeType), QStringLiteral("application/json")}) {
            if (mime->hasFormat(type)) {
                data = mime->data(type);
                break;
            }
        }
        // JSON copied as text from an editor or a saved surface file.
        if (data.isEmpty() && mime->hasText())
            data = mime->text().toUtf8();
    }
    if (data.trimmed().isEmpty()) {
        *error = QStringLiteral("the clipboard is empty");
        return false;
    }
    if (data.size() > kMaxSize) {
        *error = QStringLiteral("the clipboard holds too much to be surface settings");
        return false;
    }
    SurfaceFile::Contents contents;
    QString why;
    if (!SurfaceFile::Parse(data, QString(), &contents, &why)) {
        *error = QStringLiteral("the clipboard does not hold a Skimbler surface's settings: %1").arg(why);
        return false;
    }

    SurfaceSettings after = document->Settings();
    after.ColorKey = contents.ColorKey;
    after.MagFilter = contents.MagFilter;
    after.MinFilter = contents.MinFilter;
    after.SrcFactor = contents.SrcFactor;
    after.DestFactor = contents.DestFactor;
    after.Flags = contents.Flags;
    std::copy(&contents.Points[0][0], &contents.Points[0][0] + 12, &after.Points[0][0]);
    std::copy(&contents.Colors[0][0], &contents.Colors[0][0] + 16, &after.Colors[0][0]);
    const bool differs = document->ChangeSettings(after, QStringLiteral("貼上"));
    if (changed)
        *changed = differs;
    return true;
}

} // namespace SurfaceClipboard
