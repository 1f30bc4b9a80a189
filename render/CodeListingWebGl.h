#pragma once

#include "skimbler/DrawState.h"

#include <QString>

namespace CodeListing {

// The surface for a WebGL 2 page, as JavaScript to paste: a function
// skimblerSurface(gl, image) that makes the program (the runtime's GLSL ES
// shaders, as printed), the vertex buffer and array, the texture from the
// page's image (rows turned so that v = 0 is its bottom row, every mipmap
// level) and the sampler, and returns draw(), which sets the uniforms and
// the blend state and draws the strip in a viewWidth x viewHeight viewport
// whose projection has `aspect` (skimbler::View::Aspect). `rgb`: the image
// is 24-bit.
QString WebGl2Code(const skimbler::DrawState &state, const QString &imagePath, bool rgb, int viewWidth,
                   int viewHeight, double aspect = skimbler::scene::Aspect);

} // namespace CodeListing
