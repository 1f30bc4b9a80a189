// The Vulkan runtime's SPIR-V and pipeline state as C++.
#include "render/outputs/Entries.h"

#include "render/CodeListing.h"
#include "render/CodeListingVulkan.h"
#include "surface/PixelImage.h"

namespace Outputs {

namespace {

Result Write(const Source &source)
{
    if (!CodeListing::HasVulkanCode())
        return {{}, {}, QStringLiteral("this build has no Vulkan code to list (it was built without the Vulkan headers or a GLSL compiler)")};
    const int width = source.view.width(), height = source.view.height();
    const skimbler::DrawState state = CodeListing::Resolve(*source.surface, width, height, source.projective, source.aspect);
    const bool rgb = source.image && source.image->Components() == 3;
    return {CodeListing::VulkanCode(state, source.imagePath, rgb, width, height, source.aspect).toUtf8(), {}, {}};
}

} // namespace

const Output VulkanListing{"vulkan", "SPIR-V and pipeline state as C++", Kind::Listing, {}, false, &Write};

} // namespace Outputs
