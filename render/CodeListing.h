#pragma once

#include <QString>

class Surface;

// The surface as source code for someone else's renderer: what Edit > Copy
// and Edit > Copy as shader code put on the clipboard and what the command
// line's "code" prints. Plain text; no OpenGL is called here.
namespace CodeListing {

// The OpenGL 1.1 calls that draw the surface in a viewWidth x viewHeight
// window (the size matters only for the image-sized quad), with projective
// texture coordinates if asked.
QString OpenGl11Calls(const Surface &surface, const QString &imagePath, int viewWidth, int viewHeight,
                      bool projective);

// The shortest C float literal that reads back as exactly `value`.
QString FloatLiteral(float value);

} // namespace CodeListing
