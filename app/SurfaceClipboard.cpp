#include "app/SurfaceClipboard.h"

#include "render/Outputs.h"
#include "surface/CSkimblerDoc.h"
#include "surface/Surface.h"

#include <skimbler/SurfaceFile.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>

#include <cstring>
#include <string>

namespace SurfaceFile = skimbler::SurfaceFile;
using skimbler::SurfaceSettings;

namespace SurfaceClipboard {

const char *const MimeType = "application/x-skimbler-surface";

namespace {

// Settings are small; a bigger clipboard is not one of ours.
constexpr qsizetype kMaxSize = 1 << 20;

} // namespace

QMimeData *MakeMimeData(const Surface &surface, const QString &imagePath, int viewWidth, int viewHeight,
                        bool projective, QString *error, double aspect)
{
    // The image's own folder as the base: the relative path is its name.
    const QString base = imagePath.isEmpty() ? QString() : QFileInfo(imagePath).absolutePath();
    std::string text;
    std::string why;
    if (!SurfaceFile::Serialise(surface, surface.Width, surface.Height, QFile::encodeName(imagePath).toStdString(),
                                QFile::encodeName(base).toStdString(), &text, &why)) {
        *error = QString::fromLocal8Bit(why.c_str());
        return nullptr;
    }
    const QByteArray json = QByteArray::fromStdString(text);
    auto *mime = new QMimeData;
    mime->setData(QString::fromLatin1(MimeType), json);
    mime->setData(QStringLiteral("application/json"), json);
    Outputs::Source source;
    source.surface = &surface;
    source.imagePath = imagePath;
    source.view = QSize(viewWidth, viewHeight);
    source.projective = projective;
    source.aspect = aspect;
    const Outputs::Output *listing = Outputs::Find(QLatin1String(Outputs::CopyListing), Outputs::Kind::Listing);
    mime->setText(QString::fromUtf8(listing->write(source).bytes));
    return mime;
}

bool Paste(const QMimeData *mime, CSkimblerDoc *document, QString *error, bool *changed)
{
    if (changed)
        *changed = false;
    if (!document) {
        *error = QCoreApplication::translate("SurfaceClipboard", "there is no document");
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
        *error = QCoreApplication::translate("SurfaceClipboard", "the clipboard is empty");
        return false;
    }
    if (data.size() > kMaxSize) {
        *error = QCoreApplication::translate("SurfaceClipboard", "the clipboard holds too much to be surface settings");
        return false;
    }
    SurfaceFile::Contents contents;
    std::string why;
    if (!SurfaceFile::Parse(std::string_view(data.constData(), static_cast<std::size_t>(data.size())), std::string(),
                            &contents, &why)) {
        *error = QCoreApplication::translate("SurfaceClipboard", "the clipboard does not hold a Skimbler surface's settings: %1")
                     .arg(QString::fromLocal8Bit(why.c_str()));
        return false;
    }

    SurfaceSettings after = document->Settings();
    after.ColorKey = contents.Settings.ColorKey;
    after.MagFilter = contents.Settings.MagFilter;
    after.MinFilter = contents.Settings.MinFilter;
    after.SrcFactor = contents.Settings.SrcFactor;
    after.DestFactor = contents.Settings.DestFactor;
    after.Flags = contents.Settings.Flags;
    after.PerspectiveCorrect = contents.Settings.PerspectiveCorrect;
    std::memcpy(after.Points, contents.Settings.Points, sizeof after.Points);
    std::memcpy(after.Colors, contents.Settings.Colors, sizeof after.Colors);
    const bool differs = document->ChangeSettings(after, QCoreApplication::translate("SurfaceClipboard", "貼上"));
    if (changed)
        *changed = differs;
    return true;
}

} // namespace SurfaceClipboard
