// The runtime's drawing for OpenGL ES 3.0 and WebGL 2.
#include "render/outputs/Entries.h"

#include "render/CodeListing.h"

namespace Outputs {

namespace {

Result Write(const Source &source)
{
    const int width = source.view.width(), height = source.view.height();
    const skimbler::DrawState state = CodeListing::Resolve(*source.surface, width, height, source.projective, source.aspect);
    return {CodeListing::ShaderCode(skimbler::ShaderApi::OpenGLES30, state, source.imagePath, width, height, source.aspect).toUtf8(), {}, {}};
}

} // namespace

const Output Gles3Listing{"gles3", "OpenGL ES 3.0 / WebGL 2: the same in GLSL ES 3.00", Kind::Listing, {}, false, &Write};

} // namespace Outputs
