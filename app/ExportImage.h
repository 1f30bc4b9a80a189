#pragma once

#include "render/ExportDrawing.h"

#include <QImage>
#include <QSize>
#include <QString>

class CSkimblerView;
class QWidget;

// File > Export Image: the surface as the view draws it, never with handles
// or axes, rendered off-screen at any size.
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

// Writes a PNG; false with `error` on failure.
bool Save(const QImage &image, const QString &path, QString *error);

// The dialog: the view's size or a typed one, with or without the
// view's background. False when cancelled.
bool AskOptions(QWidget *parent, const QSize &viewSize, Options *options);

} // namespace ExportImage
