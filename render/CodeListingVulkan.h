#pragma once

#include "skimbler/DrawState.h"
#include "skimbler/Scene.h"

#include <QString>

namespace CodeListing {

// Whether this build can list Vulkan code: it needs the runtime's SPIR-V,
// which only builds with a GLSL compiler and the Vulkan headers have.
bool HasVulkanCode();

// The surface for a Vulkan renderer, as C++ to paste: the runtime's SPIR-V,
// the vertex data and its input layout, the push constants (the matrices of
// a viewWidth x viewHeight view at zoom 1 whose projection has `aspect`,
// in Vulkan's clip space), the descriptor binding, the sampler and the blend
// attachment VulkanSurfaceRenderer draws `state` with. `rgb`: the image is
// 24-bit, so its border is opaque. Empty without HasVulkanCode.
QString VulkanCode(const skimbler::DrawState &state, const QString &imagePath, bool rgb, int viewWidth,
                   int viewHeight, double aspect = skimbler::scene::Aspect);

} // namespace CodeListing
