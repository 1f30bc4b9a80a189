#pragma once

#include "panels/ColorQuestion.h"

#include <QString>

class QWidget;

namespace ExportImage {
struct Options;
}

// Every question the editor asks through a standard dialog: the files to
// open, replace the image with, save as and export to, the export's size,
// a corner's colour. The application owns one and hands it to whatever
// asks; this one shows Qt's dialogs, a test puts a script in its place.
class Dialogs : public ColorQuestion
{
public:
    virtual ~Dialogs();

    // File > Open: a surface or an image, starting in `folder`; empty when
    // cancelled.
    virtual QString AskOpenPath(QWidget *parent, const QString &folder);
    // File > Replace Image: an image, starting in `folder`.
    virtual QString AskImagePath(QWidget *parent, const QString &folder);
    // File > Save As: where to save, `suggestion` offered.
    virtual QString AskSavePath(QWidget *parent, const QString &suggestion);
    // File > Export Image: the size (`options->size` offered, the view's)
    // and background. False when cancelled.
    virtual bool AskExportOptions(QWidget *parent, ExportImage::Options *options);
    // Then where to, every file output of the registry as a filter.
    virtual QString AskExportPath(QWidget *parent, const QString &suggestion);
    QColor AskColor(QWidget *parent, const QColor &initial, const QString &title) override;
};
