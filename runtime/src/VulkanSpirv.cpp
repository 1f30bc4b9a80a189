#include "skimbler/VulkanShaders.h"

namespace skimbler {

namespace {
// Compiled from VulkanShaderSources by the build (runtime/CMakeLists.txt).
const std::uint32_t kVertex[] = {
#include "surface.vert.spv.inc"
};
const std::uint32_t kFragment[] = {
#include "surface.frag.spv.inc"
};
} // namespace

SpirvWords VulkanVertexSpirv()
{
    return {kVertex, sizeof kVertex / sizeof kVertex[0]};
}

SpirvWords VulkanFragmentSpirv()
{
    return {kFragment, sizeof kFragment / sizeof kFragment[0]};
}

} // namespace skimbler
