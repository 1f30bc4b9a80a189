#pragma once

#include "skimbler/RuntimeShaders.h"

#include <cstddef>
#include <cstdint>

namespace skimbler {

// The runtime's GLSL made into Vulkan GLSL (#version 450) by a fixed set of
// substitutions, so the one shader body serves Vulkan too:
//   - the version line becomes "#version 450";
//   - the plain uniforms (the matrices) become one push-constant block,
//     SurfacePushConstants, members in the order they were declared;
//   - each sampler takes "layout(set = 0, binding = N)", N counted from 0;
//   - each stage's in and out variables without a location take one: the
//     vertex stage's outputs in order, the fragment stage's inputs the
//     location of the vertex output of the same name;
//   - the in-shader border (SKIMBLER_BORDER_IN_SHADER) stays compiled out:
//     Vulkan's sampler clamps to the border itself.
// The build compiles these to SPIR-V (VulkanSpirv).
ShaderSources VulkanShaderSources();

// The push constants both matrices travel in, as VulkanShaderSources
// declares them: column-major mat4s, vertex stage only.
namespace vulkanpush {
constexpr std::uint32_t ProjectionOffset = 0;
constexpr std::uint32_t ModelViewOffset = 64;
constexpr std::uint32_t Size = 128;
} // namespace vulkanpush
constexpr std::uint32_t VulkanTextureBinding = 0;  // combined image sampler, set 0

struct SpirvWords
{
    const std::uint32_t *Words = nullptr;
    std::size_t Count = 0;  // 32-bit words
};

// The SPIR-V of VulkanShaderSources, compiled and validated at build time
// (only in builds that had a GLSL compiler: SKIMBLER_RUNTIME_HAS_VULKAN).
SpirvWords VulkanVertexSpirv();
SpirvWords VulkanFragmentSpirv();

} // namespace skimbler
