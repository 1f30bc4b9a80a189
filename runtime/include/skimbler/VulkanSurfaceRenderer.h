#pragma once

#include "skimbler/DrawState.h"
#include "skimbler/Scene.h"
#include "skimbler/SurfaceSettings.h"
#include "skimbler/VulkanShaders.h"

// Types only: nothing here calls a Vulkan function by its prototype.
#include <vulkan/vulkan_core.h>

#include <cstdint>
#include <memory>
#include <string>

namespace skimbler {

// The caller's Vulkan: its loader's vkGetInstanceProcAddr (every other
// function is looked up through it), instance, physical and logical device,
// and a queue family able to take transfer commands; textures are uploaded
// on that family's queue 0.
struct VulkanContext
{
    PFN_vkGetInstanceProcAddr GetInstanceProcAddr = nullptr;
    VkInstance Instance = VK_NULL_HANDLE;
    VkPhysicalDevice PhysicalDevice = VK_NULL_HANDLE;
    VkDevice Device = VK_NULL_HANDLE;
    std::uint32_t QueueFamily = 0;
};

// The render pass a draw is recorded in: its subpass must have one colour
// attachment, of `Samples` samples.
struct VulkanTarget
{
    VkRenderPass RenderPass = VK_NULL_HANDLE;
    std::uint32_t Subpass = 0;
    VkSampleCountFlagBits Samples = VK_SAMPLE_COUNT_1_BIT;
};

// Draws one surface into the caller's Vulkan render pass with the same
// pixels as the editor: texture times corner colour, the filters and blend
// factors in force (core's Resolve), projective texture coordinates, and the
// editor's clamp with its border (transparent black for RGBA images, opaque
// black for RGB ones). Links no Vulkan library.
//
// It owns what it makes (shader modules, layouts, one pipeline per render
// pass and blend pair, samplers, descriptor sets, a vertex ring, the
// texture) and frees all of it in Release, which the caller calls while the
// device is still there and no command buffer that drew with it is pending.
// Draws need no synchronisation of the caller's beyond that: each takes its
// own slot of a ring of VertexSlots vertex quads, so up to that many draws
// may be in flight at once.
class VulkanSurfaceRenderer
{
public:
    static constexpr std::uint32_t VertexSlots = 256;

    VulkanSurfaceRenderer();
    ~VulkanSurfaceRenderer();
    VulkanSurfaceRenderer(const VulkanSurfaceRenderer &) = delete;
    VulkanSurfaceRenderer &operator=(const VulkanSurfaceRenderer &) = delete;

    // Loads the functions and makes the shader modules, layouts and the
    // vertex ring. False with `error` when it cannot.
    bool Init(const VulkanContext &context, std::string *error);
    void Release();

    // As SurfaceRenderer: a surface file's settings, image path and size.
    bool Open(const std::string &path, std::string *error);
    void SetSettings(const SurfaceSettings &settings);
    const SurfaceSettings &Settings() const;
    const std::string &ImagePath() const;

    // Makes the texture, with its whole mipmap chain made as the editor
    // makes it, from width x height pixels of 4 (RGBA8) or 3 (RGB8)
    // tightly packed bytes, rows from v = 0 up. Waits for the upload queue
    // to go idle, both to finish the copy and before the old texture is
    // freed.
    bool UploadRgba(const std::uint8_t *pixels, std::uint32_t width, std::uint32_t height, std::string *error);
    bool UploadRgb(const std::uint8_t *pixels, std::uint32_t width, std::uint32_t height, std::string *error);

    // What Draw writes (DrawState.h); Blended until set. StraightPasses
    // records two draws, the colour channels blended and then the alpha
    // alone with blending off, for a target cleared to (0, 0, 0, 0) whose
    // frame the caller reads back and passes to StraightenAlpha.
    void SetAlphaOutput(AlphaOutput output);
    AlphaOutput Output() const;

    // What Draw sends for this view: the flag rules applied.
    DrawState Resolved(const View &view, bool projective = false) const;

    // Records the draw with the editor's camera for `view` into `commands`,
    // inside `target`'s render pass; sets the viewport and scissor to the
    // view's area (its offset and size). False, recording nothing, before
    // there is a texture or when a pipeline cannot be made.
    bool Draw(VkCommandBuffer commands, const VulkanTarget &target, const View &view, bool projective = false);
    // The same with the caller's matrices, column-major as OpenGL takes them
    // (clip z from -1 to 1, y up; the renderer turns that into Vulkan's clip
    // space, so a picture is the right way up). `view` places only the
    // image-sized quad of a surface whose corner points are off. The
    // viewport and scissor are the caller's to set.
    bool Draw(VkCommandBuffer commands, const VulkanTarget &target, const View &view, const float projection[16],
              const float modelView[16], bool projective = false);

    // The sampler settings and blend attachment a draw of `state` uses,
    // for those who build their own pipeline (skimbler-cli code --api vulkan
    // prints them). `rgb`: the image has no alpha.
    static VkSamplerCreateInfo SamplerInfo(const DrawState &state, bool rgb);
    // `channels`: the write mask, every channel unless the caller draws
    // straight alpha's passes itself.
    static VkPipelineColorBlendAttachmentState BlendAttachment(
        const DrawState &state, VkColorComponentFlags channels = VK_COLOR_COMPONENT_R_BIT | VK_COLOR_COMPONENT_G_BIT
                                    | VK_COLOR_COMPONENT_B_BIT | VK_COLOR_COMPONENT_A_BIT);
    // An OpenGL projection (clip z from -1 to 1, y up) as the push constants
    // carry it: Vulkan's clip space, y down and z from 0 to 1.
    static void VulkanProjection(const float projection[16], float out[16]);

private:
    bool Upload(const std::uint8_t *pixels, std::uint32_t width, std::uint32_t height, int components,
                std::string *error);
    bool Record(VkCommandBuffer commands, const VulkanTarget &target, const DrawState &state,
                const float projection[16], const float modelView[16]);

    struct Impl;
    std::unique_ptr<Impl> m;
};

} // namespace skimbler
