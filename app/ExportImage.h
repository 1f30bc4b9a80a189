#pragma once

#include "render/ExportDrawing.h"

#include <QImage>
#include <QSize>
#include <QString>

class CSkimblerDoc;
class CSkimblerView;
class QWidget;

// File > Export Image: the surface as the view draws it, never with handles
// or axes, rendered off-screen at any size, or as any other file output of
// the registry (render/Outputs.h).
namespace ExportImage {

struct Options
{
    QSize size;               // pixels
    bool background = true;   // the view's background; without it, transparent
};

// The largest side the dialog offers.
constexpr int MaxSide = ExportDrawing::MaxSide;

// Draws the view's surface into an off-screen buffer of `size` pixels with
// the view's zoom and options. With the background the picture is opaque;
// without it the background is transparent and the colours straight (not
// multiplied by alpha). A null image, with `error` saying why, on failure.
QImage Render(CSkimblerView *view, const QSize &size, bool background, QString *error);

// Where the export is offered to go: <surface>-export.<suffix> beside the
// surface's file (an unsaved surface's beside its image, else in the
// working folder), numbered rather than ever naming the surface's picture.
QString SuggestedPath(const CSkimblerDoc *document, const QString &suffix);

// The dialog: the view's size or a typed one, with or without the
// view's background. False when cancelled.
bool AskOptions(QWidget *parent, const QSize &viewSize, Options *options);

} // namespace ExportImage
