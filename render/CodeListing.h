#pragma once

#include "skimbler/DrawState.h"
#include "skimbler/RuntimeShaders.h"

#include <QString>

class Surface;

// The surface as source code for someone else's renderer: what Edit > Copy
// and Edit > Copy as shader code put on the clipboard and what the command
// line's "code" prints. Plain text; no OpenGL is called here.
namespace CodeListing {

// The OpenGL 1.1 calls that draw the surface in a viewWidth x viewHeight
// window (the size matters only for the image-sized quad) whose projection
// has `aspect` (skimbler::View::Aspect), with projective texture
// coordinates if asked.
QString OpenGl11Calls(const Surface &surface, const QString &imagePath, int viewWidth, int viewHeight,
                      bool projective, double aspect = skimbler::scene::Aspect);

// The runtime's way of drawing the surface: its shaders for `api` (GLSL 330
// core, or GLSL ES 3.00 for OpenGL ES 3.0 and WebGL 2), the vertex data, the
// matrices of a viewWidth x viewHeight view at zoom 1 and the state calls
// the runtime makes, as C++ source.
QString ShaderCode(skimbler::ShaderApi api, const skimbler::DrawState &state, const QString &imagePath, int viewWidth,
                   int viewHeight, double aspect = skimbler::scene::Aspect);

// The surface's draw state with the flag rules applied, in a viewWidth x
// viewHeight window.
skimbler::DrawState Resolve(const Surface &surface, int viewWidth, int viewHeight, bool projective,
                            double aspect = skimbler::scene::Aspect);

} // namespace CodeListing
