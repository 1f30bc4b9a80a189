// The OpenGL 1.1 calls that draw the surface: Edit > Copy's text.
#include "render/outputs/Entries.h"

#include "render/CodeListing.h"

namespace Outputs {

namespace {

Result Write(const Source &source)
{
    return {CodeListing::OpenGl11Calls(*source.surface, source.imagePath, source.view.width(), source.view.height(),
                                       source.projective, source.aspect)
                .toUtf8(),
            {},
            {}};
}

} // namespace

const Output Gl11Listing{"gl11", "OpenGL 1.1 calls", Kind::Listing, {}, false, &Write};

} // namespace Outputs
