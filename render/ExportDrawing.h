#pragma once

#include "render/TextureImage.h"
#include "skimbler/Scene.h"

#include <QImage>
#include <QString>

class GraphicalInterface;
class Surface;

// The picture File > Export Image saves and the command line renders: the
// surface alone (no handles or axes) in an off-screen buffer of the current
// context, over the view's background tile or on a transparent background.
namespace ExportDrawing {

// The largest side a picture may have.
constexpr int MaxSide = 8192;

struct Picture
{
    int Width = 0;  // pixels
    int Height = 0;
    bool Background = true;  // the background tile; without it, transparent
    float Zoom = 1.0f;
    float PanX = 0.0f;  // the surface shifted by these picture pixels, y down
    float PanY = 0.0f;
    // The projection's width over height: the fixed 4:3 stretched over the
    // picture, or TrueShapeAspect(Width, Height) for a screen's true shape.
    double Aspect = skimbler::scene::Aspect;
};

// Draws `surface` (none: the background alone) with `gi`, whose size, pan
// and clear colour are put back afterwards, and reads the picture back. With
// the background it is opaque (QImage::Format_RGB32); without, the colours
// are straight, not multiplied by alpha (Format_RGBA8888). `tile` is the
// background's tile texture (ViewBackground). A null image, with `error`
// saying why, when the context cannot draw it.
QImage Render(GraphicalInterface *gi, const Surface *surface, const TextureImage &tile, const Picture &picture,
              QString *error);

// Writes `bytes` as the whole of `path` (skimbler::WriteWhole): complete or
// not at all. An empty string when done, else why not, in the system's words.
QString WriteFile(const QString &path, const QByteArray &bytes);


} // namespace ExportDrawing
