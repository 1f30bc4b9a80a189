// The runtime's drawing as a JavaScript function for a WebGL 2 page.
#include "render/outputs/Entries.h"

#include "render/CodeListing.h"
#include "render/CodeListingWebGl.h"
#include "surface/PixelImage.h"

namespace Outputs {

namespace {

Result Write(const Source &source)
{
    const int width = source.view.width(), height = source.view.height();
    const skimbler::DrawState state = CodeListing::Resolve(*source.surface, width, height, source.projective, source.aspect);
    const bool rgb = source.image && source.image->Components() == 3;
    return {CodeListing::WebGl2Code(state, source.imagePath, rgb, width, height, source.aspect).toUtf8(), {}, {}};
}

} // namespace

const Output WebGl2Listing{"webgl2", "a JavaScript function for a WebGL 2 page", Kind::Listing, {}, false, &Write};

} // namespace Outputs
