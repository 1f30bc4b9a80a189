#include "app/Dialogs.h"

#include "app/ExportImage.h"
#include "render/Outputs.h"
#include "surface/ImageReader.h"

#include <skimbler/SurfaceFile.h>

#include <QColorDialog>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>

#include <vector>

namespace SurfaceFile = skimbler::SurfaceFile;

namespace {

QString Patterns(const QStringList &suffixes)
{
    // File names are case-sensitive here: "*.png" alone would hide "A.PNG".
    QStringList patterns;
    for (const QString &suffix : suffixes)
        patterns << QStringLiteral("*.") + suffix << QStringLiteral("*.") + suffix.toUpper();
    return patterns.join(QLatin1Char(' '));
}

// Everything the program reads, surfaces and every image format there is a
// reader for, then each kind alone.
QString OpenFilters()
{
    const QString surfaces = Patterns({QString::fromLatin1(SurfaceFile::Extension)});
    const QString images = Patterns(ImageReader::Suffixes());
    return QCoreApplication::translate("CSkimblerApp",
                                      "Surfaces and images (%1 %2);;Skimbler surfaces (%1);;Images (%2);;All files (*)")
        .arg(surfaces, images);
}

QString ImageFilters()
{
    return QCoreApplication::translate("CSkimblerApp", "Images (%1);;All files (*)").arg(Patterns(ImageReader::Suffixes()));
}

QString SaveFilters()
{
    return QCoreApplication::translate("CSkimblerApp", "Skimbler surfaces (%1);;All files (*)")
        .arg(Patterns({QString::fromLatin1(SurfaceFile::Extension)}));
}

} // namespace

Dialogs::~Dialogs() = default;

QString Dialogs::AskOpenPath(QWidget *parent, const QString &folder)
{
    return QFileDialog::getOpenFileName(parent, QString(), folder, OpenFilters());
}

QString Dialogs::AskImagePath(QWidget *parent, const QString &folder)
{
    return QFileDialog::getOpenFileName(parent, QString(), folder, ImageFilters());
}

QString Dialogs::AskSavePath(QWidget *parent, const QString &suggestion)
{
    return QFileDialog::getSaveFileName(parent, QString(), suggestion, SaveFilters());
}

bool Dialogs::AskExportOptions(QWidget *parent, ExportImage::Options *options)
{
    return ExportImage::AskOptions(parent, options->size, options);
}

QString Dialogs::AskExportPath(QWidget *parent, const QString &suggestion)
{
    const std::vector<const Outputs::Output *> formats = Outputs::OfKind(Outputs::Kind::File);
    QStringList filters;
    for (const Outputs::Output *format : formats)
        filters << Outputs::FileFilter(*format, QCoreApplication::translate("Outputs", format->name));
    QFileDialog dialog(parent, QCoreApplication::translate("SurfaceTools", "匯出影像"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // Export asks itself, naming the file, and in other words when it is
    // the surface's own picture.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(filters);
    dialog.setDirectory(QFileInfo(suggestion).absolutePath());
    dialog.selectFile(suggestion);
    const auto suffixOf = [&](const QString &filter) {
        const qsizetype index = filters.indexOf(filter);
        return index < 0 ? QString() : formats[std::size_t(index)]->suffixes.first();
    };
    // The suggested name follows the format chosen.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString &filter) {
        if (!suffixOf(filter).isEmpty())
            dialog.selectFile(QFileInfo(suggestion).completeBaseName() + QLatin1Char('.') + suffixOf(filter));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    QString path = dialog.selectedFiles().first();
    // A name typed without a suffix takes the chosen format's.
    if (QFileInfo(path).suffix().isEmpty() && !suffixOf(dialog.selectedNameFilter()).isEmpty())
        path += QLatin1Char('.') + suffixOf(dialog.selectedNameFilter());
    return path;
}

QColor Dialogs::AskColor(QWidget *parent, const QColor &initial, const QString &title)
{
    return QColorDialog::getColor(initial, parent, title, QColorDialog::ShowAlphaChannel);
}
