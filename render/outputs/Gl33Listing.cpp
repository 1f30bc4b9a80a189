// The runtime's drawing for OpenGL 3.3 core: Edit > Copy as shader code.
#include "render/outputs/Entries.h"

#include "render/CodeListing.h"

namespace Outputs {

namespace {

Result Write(const Source &source)
{
    const int width = source.view.width(), height = source.view.height();
    const skimbler::DrawState state = CodeListing::Resolve(*source.surface, width, height, source.projective, source.aspect);
    return {CodeListing::ShaderCode(skimbler::ShaderApi::OpenGL33, state, source.imagePath, width, height, source.aspect).toUtf8(), {}, {}};
}

} // namespace

const Output Gl33Listing{"gl33", "OpenGL 3.3 core: GLSL 330 shaders, vertex data, state calls", Kind::Listing, {}, false, &Write};

} // namespace Outputs
