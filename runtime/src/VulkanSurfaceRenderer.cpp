// Every Vulkan function comes through the caller's vkGetInstanceProcAddr.
#define VK_NO_PROTOTYPES
#include "skimbler/VulkanSurfaceRenderer.h"

#include "skimbler/MipLevels.h"
#include "skimbler/RuntimeShaders.h"
#include "skimbler/SurfaceFile.h"

#include <cstring>
#include <map>
#include <tuple>
#include <vector>

namespace skimbler {

namespace {

#define SKIMBLER_VK_INSTANCE_FUNCTIONS(X)                                                                      \
    X(GetDeviceProcAddr)                                                                                       \
    X(GetPhysicalDeviceMemoryProperties)                                                                       \
    X(GetPhysicalDeviceProperties)

#define SKIMBLER_VK_DEVICE_FUNCTIONS(X)                                                                        \
    X(AllocateCommandBuffers)                                                                                  \
    X(AllocateDescriptorSets)                                                                                  \
    X(AllocateMemory)                                                                                          \
    X(BeginCommandBuffer)                                                                                      \
    X(BindBufferMemory)                                                                                        \
    X(BindImageMemory)                                                                                         \
    X(CmdBindDescriptorSets)                                                                                   \
    X(CmdBindPipeline)                                                                                         \
    X(CmdBindVertexBuffers)                                                                                    \
    X(CmdCopyBufferToImage)                                                                                    \
    X(CmdDraw)                                                                                                 \
    X(CmdPipelineBarrier)                                                                                      \
    X(CmdPushConstants)                                                                                        \
    X(CmdSetScissor)                                                                                           \
    X(CmdSetViewport)                                                                                          \
    X(CreateBuffer)                                                                                            \
    X(CreateCommandPool)                                                                                       \
    X(CreateDescriptorPool)                                                                                    \
    X(CreateDescriptorSetLayout)                                                                               \
    X(CreateFence)                                                                                             \
    X(CreateGraphicsPipelines)                                                                                 \
    X(CreateImage)                                                                                             \
    X(CreateImageView)                                                                                         \
    X(CreatePipelineLayout)                                                                                    \
    X(CreateSampler)                                                                                           \
    X(CreateShaderModule)                                                                                      \
    X(DestroyBuffer)                                                                                           \
    X(DestroyCommandPool)                                                                                      \
    X(DestroyDescriptorPool)                                                                                   \
    X(DestroyDescriptorSetLayout)                                                                              \
    X(DestroyFence)                                                                                            \
    X(DestroyImage)                                                                                            \
    X(DestroyImageView)                                                                                        \
    X(DestroyPipeline)                                                                                         \
    X(DestroyPipelineLayout)                                                                                   \
    X(DestroySampler)                                                                                          \
    X(DestroyShaderModule)                                                                                     \
    X(EndCommandBuffer)                                                                                        \
    X(FreeCommandBuffers)                                                                                      \
    X(FreeMemory)                                                                                              \
    X(GetBufferMemoryRequirements)                                                                             \
    X(GetDeviceQueue)                                                                                          \
    X(GetImageMemoryRequirements)                                                                              \
    X(MapMemory)                                                                                               \
    X(QueueSubmit)                                                                                             \
    X(QueueWaitIdle)                                                                                           \
    X(ResetDescriptorPool)                                                                                     \
    X(UnmapMemory)                                                                                             \
    X(UpdateDescriptorSets)                                                                                    \
    X(WaitForFences)

struct Functions
{
#define SKIMBLER_DECLARE(name) PFN_vk##name name = nullptr;
    SKIMBLER_VK_INSTANCE_FUNCTIONS(SKIMBLER_DECLARE)
    SKIMBLER_VK_DEVICE_FUNCTIONS(SKIMBLER_DECLARE)
#undef SKIMBLER_DECLARE

    // The name of the first function not found, or null.
    const char *Load(const VulkanContext &context)
    {
#define SKIMBLER_LOAD(name)                                                                                    \
    name = reinterpret_cast<PFN_vk##name>(context.GetInstanceProcAddr(context.Instance, "vk" #name));          \
    if (!name)                                                                                                 \
        return "vk" #name;
        SKIMBLER_VK_INSTANCE_FUNCTIONS(SKIMBLER_LOAD)
#undef SKIMBLER_LOAD
#define SKIMBLER_LOAD(name)                                                                                    \
    name = reinterpret_cast<PFN_vk##name>(GetDeviceProcAddr(context.Device, "vk" #name));                      \
    if (!name)                                                                                                 \
        return "vk" #name;
        SKIMBLER_VK_DEVICE_FUNCTIONS(SKIMBLER_LOAD)
#undef SKIMBLER_LOAD
        return nullptr;
    }
};

// A create-info structure with its type and every other member zero.
template <typename Info>
Info Made(VkStructureType type)
{
    Info info{};
    info.sType = type;
    return info;
}

// OpenGL's blend factors in Vulkan's spelling (the same meaning, one by one).
VkBlendFactor BlendFactor(std::uint32_t factor)
{
    switch (factor) {
    case gl::ZERO: return VK_BLEND_FACTOR_ZERO;
    case gl::ONE: return VK_BLEND_FACTOR_ONE;
    case gl::SRC_COLOR: return VK_BLEND_FACTOR_SRC_COLOR;
    case gl::ONE_MINUS_SRC_COLOR: return VK_BLEND_FACTOR_ONE_MINUS_SRC_COLOR;
    case gl::SRC_ALPHA: return VK_BLEND_FACTOR_SRC_ALPHA;
    case gl::ONE_MINUS_SRC_ALPHA: return VK_BLEND_FACTOR_ONE_MINUS_SRC_ALPHA;
    case gl::DST_ALPHA: return VK_BLEND_FACTOR_DST_ALPHA;
    case gl::ONE_MINUS_DST_ALPHA: return VK_BLEND_FACTOR_ONE_MINUS_DST_ALPHA;
    case gl::DST_COLOR: return VK_BLEND_FACTOR_DST_COLOR;
    case gl::ONE_MINUS_DST_COLOR: return VK_BLEND_FACTOR_ONE_MINUS_DST_COLOR;
    case gl::SRC_ALPHA_SATURATE: return VK_BLEND_FACTOR_SRC_ALPHA_SATURATE;
    default: return VK_BLEND_FACTOR_ONE;
    }
}

// Vulkan's matrix that turns OpenGL's clip space into its own: y down, z
// from 0 to w instead of -w to w. Applied in front of the projection, so the
// pixels land where OpenGL puts them, counted from the top.
void ToVulkanClip(const float in[16], float out[16])
{
    for (int column = 0; column < 4; ++column) {
        const float *c = in + column * 4;
        float *o = out + column * 4;
        o[0] = c[0];
        o[1] = -c[1];
        o[2] = static_cast<float>(0.5 * double(c[2]) + 0.5 * double(c[3]));
        o[3] = c[3];
    }
}

void ToFloat(const double in[16], float out[16])
{
    for (int i = 0; i < 16; ++i)
        out[i] = static_cast<float>(in[i]);
}

std::string VkError(const char *what, VkResult result)
{
    return std::string(what) + " failed (VkResult " + std::to_string(int(result)) + ")";
}

} // namespace

struct VulkanSurfaceRenderer::Impl
{
    Functions vk;
    VulkanContext context;
    bool ready = false;
    VkPhysicalDeviceMemoryProperties memory{};
    std::uint32_t maxSide = 0;
    VkQueue queue = VK_NULL_HANDLE;

    VkShaderModule vertexModule = VK_NULL_HANDLE;
    VkShaderModule fragmentModule = VK_NULL_HANDLE;
    VkDescriptorSetLayout setLayout = VK_NULL_HANDLE;
    VkPipelineLayout pipelineLayout = VK_NULL_HANDLE;
    VkDescriptorPool descriptorPool = VK_NULL_HANDLE;
    VkCommandPool commandPool = VK_NULL_HANDLE;

    VkBuffer vertexBuffer = VK_NULL_HANDLE;
    VkDeviceMemory vertexMemory = VK_NULL_HANDLE;
    std::uint8_t *vertexMapped = nullptr;
    std::uint32_t nextSlot = 0;

    VkImage image = VK_NULL_HANDLE;
    VkDeviceMemory imageMemory = VK_NULL_HANDLE;
    VkImageView imageView = VK_NULL_HANDLE;
    bool rgb = false;

    // Made on demand and kept until Release.
    using PipelineKey = std::tuple<VkRenderPass, std::uint32_t, VkSampleCountFlagBits, bool, std::uint32_t,
                                   std::uint32_t, VkColorComponentFlags>;
    std::map<PipelineKey, VkPipeline> pipelines;
    using SamplerKey = std::tuple<std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, bool>;
    std::map<SamplerKey, VkSampler> samplers;
    std::map<SamplerKey, VkDescriptorSet> sets;  // for the current image

    SurfaceSettings settings = DefaultSettings();
    AlphaOutput output = AlphaOutput::Blended;
    std::string imagePath;
    std::uint32_t width = 0;
    std::uint32_t height = 0;

    // Enough sets for every sampler one image can be drawn with: two mag
    // filters, six min filters, two wraps a side.
    static constexpr std::uint32_t kMaxSets = 2 * 6 * 2 * 2;
    static constexpr VkDeviceSize kSlotSize = sizeof(DrawVertex) * 4;

    VkDevice Device() const { return context.Device; }

    bool MemoryType(std::uint32_t allowed, VkMemoryPropertyFlags wanted, std::uint32_t *index) const
    {
        for (std::uint32_t i = 0; i < memory.memoryTypeCount; ++i) {
            if ((allowed & (1u << i)) && (memory.memoryTypes[i].propertyFlags & wanted) == wanted) {
                *index = i;
                return true;
            }
        }
        return false;
    }

    VkResult Allocate(const VkMemoryRequirements &needs, VkMemoryPropertyFlags wanted, VkMemoryPropertyFlags fallback,
                      VkDeviceMemory *out) const
    {
        std::uint32_t type = 0;
        if (!MemoryType(needs.memoryTypeBits, wanted, &type) && !MemoryType(needs.memoryTypeBits, fallback, &type))
            return VK_ERROR_OUT_OF_DEVICE_MEMORY;
        auto info = Made<VkMemoryAllocateInfo>(VK_STRUCTURE_TYPE_MEMORY_ALLOCATE_INFO);
        info.allocationSize = needs.size;
        info.memoryTypeIndex = type;
        return vk.AllocateMemory(Device(), &info, nullptr, out);
    }

    VkResult HostBuffer(VkDeviceSize size, VkBufferUsageFlags usage, VkBuffer *buffer, VkDeviceMemory *bufferMemory,
                        void **mapped) const
    {
        auto info = Made<VkBufferCreateInfo>(VK_STRUCTURE_TYPE_BUFFER_CREATE_INFO);
        info.size = size;
        info.usage = usage;
        info.sharingMode = VK_SHARING_MODE_EXCLUSIVE;
        VkResult result = vk.CreateBuffer(Device(), &info, nullptr, buffer);
        if (result != VK_SUCCESS)
            return result;
        VkMemoryRequirements needs;
        vk.GetBufferMemoryRequirements(Device(), *buffer, &needs);
        const VkMemoryPropertyFlags host = VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT | VK_MEMORY_PROPERTY_HOST_COHERENT_BIT;
        result = Allocate(needs, host, host, bufferMemory);
        if (result == VK_SUCCESS)
            result = vk.BindBufferMemory(Device(), *buffer, *bufferMemory, 0);
        if (result == VK_SUCCESS)
            result = vk.MapMemory(Device(), *bufferMemory, 0, VK_WHOLE_SIZE, 0, mapped);
        if (result != VK_SUCCESS) {
            vk.DestroyBuffer(Device(), *buffer, nullptr);
            if (*bufferMemory)
                vk.FreeMemory(Device(), *bufferMemory, nullptr);
            *buffer = VK_NULL_HANDLE;
            *bufferMemory = VK_NULL_HANDLE;
        }
        return result;
    }

    VkResult Module(SpirvWords code, VkShaderModule *module) const
    {
        auto info = Made<VkShaderModuleCreateInfo>(VK_STRUCTURE_TYPE_SHADER_MODULE_CREATE_INFO);
        info.codeSize = code.Count * sizeof(std::uint32_t);
        info.pCode = code.Words;
        return vk.CreateShaderModule(Device(), &info, nullptr, module);
    }

    bool Create(std::string *error)
    {
        VkResult result = Module(VulkanVertexSpirv(), &vertexModule);
        if (result == VK_SUCCESS)
            result = Module(VulkanFragmentSpirv(), &fragmentModule);
        if (result != VK_SUCCESS) {
            *error = VkError("vkCreateShaderModule", result);
            return false;
        }

        VkDescriptorSetLayoutBinding binding{};
        binding.binding = VulkanTextureBinding;
        binding.descriptorType = VK_DESCRIPTOR_TYPE_COMBINED_IMAGE_SAMPLER;
        binding.descriptorCount = 1;
        binding.stageFlags = VK_SHADER_STAGE_FRAGMENT_BIT;
        auto setInfo = Made<VkDescriptorSetLayoutCreateInfo>(VK_STRUCTURE_TYPE_DESCRIPTOR_SET_LAYOUT_CREATE_INFO);
        setInfo.bindingCount = 1;
        setInfo.pBindings = &binding;
        result = vk.CreateDescriptorSetLayout(Device(), &setInfo, nullptr, &setLayout);
        if (result != VK_SUCCESS) {
            *error = VkError("vkCreateDescriptorSetLayout", result);
            return false;
        }
        VkPushConstantRange range{VK_SHADER_STAGE_VERTEX_BIT, 0, vulkanpush::Size};
        auto layoutInfo = Made<VkPipelineLayoutCreateInfo>(VK_STRUCTURE_TYPE_PIPELINE_LAYOUT_CREATE_INFO);
        layoutInfo.setLayoutCount = 1;
        layoutInfo.pSetLayouts = &setLayout;
        layoutInfo.pushConstantRangeCount = 1;
        layoutInfo.pPushConstantRanges = &range;
        result = vk.CreatePipelineLayout(Device(), &layoutInfo, nullptr, &pipelineLayout);
        if (result != VK_SUCCESS) {
            *error = VkError("vkCreatePipelineLayout", result);
            return false;
        }

        VkDescriptorPoolSize poolSize{VK_DESCRIPTOR_TYPE_COMBINED_IMAGE_SAMPLER, kMaxSets};
        auto poolInfo = Made<VkDescriptorPoolCreateInfo>(VK_STRUCTURE_TYPE_DESCRIPTOR_POOL_CREATE_INFO);
        poolInfo.maxSets = kMaxSets;
        poolInfo.poolSizeCount = 1;
        poolInfo.pPoolSizes = &poolSize;
        result = vk.CreateDescriptorPool(Device(), &poolInfo, nullptr, &descriptorPool);
        if (result != VK_SUCCESS) {
            *error = VkError("vkCreateDescriptorPool", result);
            return false;
        }

        auto commandInfo = Made<VkCommandPoolCreateInfo>(VK_STRUCTURE_TYPE_COMMAND_POOL_CREATE_INFO);
        commandInfo.flags = VK_COMMAND_POOL_CREATE_TRANSIENT_BIT;
        commandInfo.queueFamilyIndex = context.QueueFamily;
        result = vk.CreateCommandPool(Device(), &commandInfo, nullptr, &commandPool);
        if (result != VK_SUCCESS) {
            *error = VkError("vkCreateCommandPool", result);
            return false;
        }

        void *mapped = nullptr;
        result = HostBuffer(kSlotSize * VertexSlots, VK_BUFFER_USAGE_VERTEX_BUFFER_BIT, &vertexBuffer, &vertexMemory,
                            &mapped);
        if (result != VK_SUCCESS) {
            *error = VkError("the vertex buffer", result);
            return false;
        }
        vertexMapped = static_cast<std::uint8_t *>(mapped);
        vk.GetDeviceQueue(Device(), context.QueueFamily, 0, &queue);
        return true;
    }

    void DropImage()
    {
        if (!image)
            return;
        vk.ResetDescriptorPool(Device(), descriptorPool, 0);
        sets.clear();
        vk.DestroyImageView(Device(), imageView, nullptr);
        vk.DestroyImage(Device(), image, nullptr);
        vk.FreeMemory(Device(), imageMemory, nullptr);
        image = VK_NULL_HANDLE;
        imageView = VK_NULL_HANDLE;
        imageMemory = VK_NULL_HANDLE;
    }

    void Destroy()
    {
        DropImage();
        for (auto &entry : pipelines)
            vk.DestroyPipeline(Device(), entry.second, nullptr);
        pipelines.clear();
        for (auto &entry : samplers)
            vk.DestroySampler(Device(), entry.second, nullptr);
        samplers.clear();
        if (vertexBuffer)
            vk.DestroyBuffer(Device(), vertexBuffer, nullptr);
        if (vertexMemory)
            vk.FreeMemory(Device(), vertexMemory, nullptr);  // unmaps it
        if (commandPool)
            vk.DestroyCommandPool(Device(), commandPool, nullptr);
        if (descriptorPool)
            vk.DestroyDescriptorPool(Device(), descriptorPool, nullptr);
        if (pipelineLayout)
            vk.DestroyPipelineLayout(Device(), pipelineLayout, nullptr);
        if (setLayout)
            vk.DestroyDescriptorSetLayout(Device(), setLayout, nullptr);
        if (vertexModule)
            vk.DestroyShaderModule(Device(), vertexModule, nullptr);
        if (fragmentModule)
            vk.DestroyShaderModule(Device(), fragmentModule, nullptr);
        vertexBuffer = VK_NULL_HANDLE;
        vertexMemory = VK_NULL_HANDLE;
        vertexMapped = nullptr;
        commandPool = VK_NULL_HANDLE;
        descriptorPool = VK_NULL_HANDLE;
        pipelineLayout = VK_NULL_HANDLE;
        setLayout = VK_NULL_HANDLE;
        vertexModule = VK_NULL_HANDLE;
        fragmentModule = VK_NULL_HANDLE;
        queue = VK_NULL_HANDLE;
    }

    VkPipeline PipelineFor(const VulkanTarget &target, const DrawState &state, VkColorComponentFlags channels)
    {
        const PipelineKey key{target.RenderPass, target.Subpass, target.Samples, state.Blend, state.SrcFactor,
                              state.DestFactor, channels};
        const auto found = pipelines.find(key);
        if (found != pipelines.end())
            return found->second;

        VkPipelineShaderStageCreateInfo stages[2]{};
        for (VkPipelineShaderStageCreateInfo &stage : stages) {
            stage.sType = VK_STRUCTURE_TYPE_PIPELINE_SHADER_STAGE_CREATE_INFO;
            stage.pName = "main";
        }
        stages[0].stage = VK_SHADER_STAGE_VERTEX_BIT;
        stages[0].module = vertexModule;
        stages[1].stage = VK_SHADER_STAGE_FRAGMENT_BIT;
        stages[1].module = fragmentModule;

        VkVertexInputBindingDescription binding{0, std::uint32_t(RuntimeVertexStride()), VK_VERTEX_INPUT_RATE_VERTEX};
        VkVertexInputAttributeDescription attributes[RuntimeVertexAttributeCount];
        for (int i = 0; i < RuntimeVertexAttributeCount; ++i) {
            const VertexAttribute &a = RuntimeVertexAttributes[i];
            attributes[i] = {a.Location, 0,
                             a.Components == 3 ? VK_FORMAT_R32G32B32_SFLOAT : VK_FORMAT_R32G32B32A32_SFLOAT,
                             std::uint32_t(a.Offset)};
        }
        auto vertexInput = Made<VkPipelineVertexInputStateCreateInfo>(VK_STRUCTURE_TYPE_PIPELINE_VERTEX_INPUT_STATE_CREATE_INFO);
        vertexInput.vertexBindingDescriptionCount = 1;
        vertexInput.pVertexBindingDescriptions = &binding;
        vertexInput.vertexAttributeDescriptionCount = RuntimeVertexAttributeCount;
        vertexInput.pVertexAttributeDescriptions = attributes;

        auto assembly = Made<VkPipelineInputAssemblyStateCreateInfo>(VK_STRUCTURE_TYPE_PIPELINE_INPUT_ASSEMBLY_STATE_CREATE_INFO);
        assembly.topology = VK_PRIMITIVE_TOPOLOGY_TRIANGLE_STRIP;  // state.Primitive: the strip
        auto viewport = Made<VkPipelineViewportStateCreateInfo>(VK_STRUCTURE_TYPE_PIPELINE_VIEWPORT_STATE_CREATE_INFO);
        viewport.viewportCount = 1;
        viewport.scissorCount = 1;
        auto raster = Made<VkPipelineRasterizationStateCreateInfo>(VK_STRUCTURE_TYPE_PIPELINE_RASTERIZATION_STATE_CREATE_INFO);
        raster.polygonMode = VK_POLYGON_MODE_FILL;
        raster.cullMode = VK_CULL_MODE_NONE;
        raster.frontFace = VK_FRONT_FACE_COUNTER_CLOCKWISE;
        raster.lineWidth = 1.0f;
        auto multisample = Made<VkPipelineMultisampleStateCreateInfo>(VK_STRUCTURE_TYPE_PIPELINE_MULTISAMPLE_STATE_CREATE_INFO);
        multisample.rasterizationSamples = target.Samples;
        // The editor draws the surface with no depth test.
        auto depth = Made<VkPipelineDepthStencilStateCreateInfo>(VK_STRUCTURE_TYPE_PIPELINE_DEPTH_STENCIL_STATE_CREATE_INFO);
        const VkPipelineColorBlendAttachmentState attachment = BlendAttachment(state, channels);
        auto blend = Made<VkPipelineColorBlendStateCreateInfo>(VK_STRUCTURE_TYPE_PIPELINE_COLOR_BLEND_STATE_CREATE_INFO);
        blend.attachmentCount = 1;
        blend.pAttachments = &attachment;
        const VkDynamicState dynamics[2] = {VK_DYNAMIC_STATE_VIEWPORT, VK_DYNAMIC_STATE_SCISSOR};
        auto dynamic = Made<VkPipelineDynamicStateCreateInfo>(VK_STRUCTURE_TYPE_PIPELINE_DYNAMIC_STATE_CREATE_INFO);
        dynamic.dynamicStateCount = 2;
        dynamic.pDynamicStates = dynamics;

        auto info = Made<VkGraphicsPipelineCreateInfo>(VK_STRUCTURE_TYPE_GRAPHICS_PIPELINE_CREATE_INFO);
        info.stageCount = 2;
        info.pStages = stages;
        info.pVertexInputState = &vertexInput;
        info.pInputAssemblyState = &assembly;
        info.pViewportState = &viewport;
        info.pRasterizationState = &raster;
        info.pMultisampleState = &multisample;
        info.pDepthStencilState = &depth;
        info.pColorBlendState = &blend;
        info.pDynamicState = &dynamic;
        info.layout = pipelineLayout;
        info.renderPass = target.RenderPass;
        info.subpass = target.Subpass;
        VkPipeline pipeline = VK_NULL_HANDLE;
        if (vk.CreateGraphicsPipelines(Device(), VK_NULL_HANDLE, 1, &info, nullptr, &pipeline) != VK_SUCCESS)
            return VK_NULL_HANDLE;
        pipelines.emplace(key, pipeline);
        return pipeline;
    }

    VkDescriptorSet SetFor(const DrawState &state)
    {
        const SamplerKey key{state.MagFilter, state.MinFilter, state.WrapS, state.WrapT, rgb};
        const auto found = sets.find(key);
        if (found != sets.end())
            return found->second;
        VkSampler &sampler = samplers[key];
        if (!sampler) {
            const VkSamplerCreateInfo info = SamplerInfo(state, rgb);
            if (vk.CreateSampler(Device(), &info, nullptr, &sampler) != VK_SUCCESS) {
                samplers.erase(key);
                return VK_NULL_HANDLE;
            }
        }
        auto allocate = Made<VkDescriptorSetAllocateInfo>(VK_STRUCTURE_TYPE_DESCRIPTOR_SET_ALLOCATE_INFO);
        allocate.descriptorPool = descriptorPool;
        allocate.descriptorSetCount = 1;
        allocate.pSetLayouts = &setLayout;
        VkDescriptorSet set = VK_NULL_HANDLE;
        if (vk.AllocateDescriptorSets(Device(), &allocate, &set) != VK_SUCCESS)
            return VK_NULL_HANDLE;
        VkDescriptorImageInfo imageInfo{sampler, imageView, VK_IMAGE_LAYOUT_SHADER_READ_ONLY_OPTIMAL};
        auto write = Made<VkWriteDescriptorSet>(VK_STRUCTURE_TYPE_WRITE_DESCRIPTOR_SET);
        write.dstSet = set;
        write.dstBinding = VulkanTextureBinding;
        write.descriptorCount = 1;
        write.descriptorType = VK_DESCRIPTOR_TYPE_COMBINED_IMAGE_SAMPLER;
        write.pImageInfo = &imageInfo;
        vk.UpdateDescriptorSets(Device(), 1, &write, 0, nullptr);
        sets.emplace(key, set);
        return set;
    }
};

VulkanSurfaceRenderer::VulkanSurfaceRenderer() : m(std::make_unique<Impl>())
{
}

VulkanSurfaceRenderer::~VulkanSurfaceRenderer() = default;

bool VulkanSurfaceRenderer::Init(const VulkanContext &context, std::string *error)
{
    std::string ignored;
    if (!error)
        error = &ignored;
    if (m->ready)
        Release();
    if (!context.GetInstanceProcAddr || !context.Instance || !context.PhysicalDevice || !context.Device) {
        *error = "vkGetInstanceProcAddr, the instance, the physical device and the device are all needed";
        return false;
    }
    m->context = context;
    if (const char *missing = m->vk.Load(context)) {
        *error = std::string("the Vulkan device lacks ") + missing;
        return false;
    }
    m->vk.GetPhysicalDeviceMemoryProperties(context.PhysicalDevice, &m->memory);
    VkPhysicalDeviceProperties properties;
    m->vk.GetPhysicalDeviceProperties(context.PhysicalDevice, &properties);
    m->maxSide = properties.limits.maxImageDimension2D;
    if (!m->Create(error)) {
        m->Destroy();
        return false;
    }
    m->ready = true;
    return true;
}

void VulkanSurfaceRenderer::Release()
{
    if (!m->ready)
        return;
    m->Destroy();
    m->ready = false;
}

bool VulkanSurfaceRenderer::Open(const std::string &path, std::string *error)
{
    std::string ignored;
    SurfaceFile::Contents contents;
    if (!SurfaceFile::Read(path, &contents, error ? error : &ignored))
        return false;
    m->settings = contents.Settings;
    m->imagePath = contents.imagePath;
    // The size the file was saved with stands until pixels arrive.
    if (!m->image) {
        m->width = contents.Width;
        m->height = contents.Height;
    }
    return true;
}

void VulkanSurfaceRenderer::SetSettings(const SurfaceSettings &settings)
{
    m->settings = settings;
}

const SurfaceSettings &VulkanSurfaceRenderer::Settings() const
{
    return m->settings;
}

const std::string &VulkanSurfaceRenderer::ImagePath() const
{
    return m->imagePath;
}

bool VulkanSurfaceRenderer::UploadRgba(const std::uint8_t *pixels, std::uint32_t width, std::uint32_t height,
                                       std::string *error)
{
    return Upload(pixels, width, height, 4, error);
}

bool VulkanSurfaceRenderer::UploadRgb(const std::uint8_t *pixels, std::uint32_t width, std::uint32_t height,
                                      std::string *error)
{
    return Upload(pixels, width, height, 3, error);
}

bool VulkanSurfaceRenderer::Upload(const std::uint8_t *pixels, std::uint32_t width, std::uint32_t height,
                                   int components, std::string *error)
{
    std::string ignored;
    if (!error)
        error = &ignored;
    if (!m->ready) {
        *error = "the renderer is not initialised";
        return false;
    }
    if (!pixels || width == 0 || height == 0 || width > m->maxSide || height > m->maxSide) {
        *error = "the image must be between 1 x 1 and " + std::to_string(m->maxSide) + " x "
            + std::to_string(m->maxSide) + " pixels";
        return false;
    }
    const Functions &vk = m->vk;
    const VkDevice device = m->Device();

    // Every level as the editor makes it, from the image's own bytes; then
    // RGBA for the texture, opaque where the image has no alpha.
    const int levels = MipLevelCount(int(width), int(height));
    std::vector<VkBufferImageCopy> regions;
    VkDeviceSize total = 0;
    {
        int w = int(width), h = int(height);
        for (int level = 0; level < levels; ++level) {
            VkBufferImageCopy region{};
            region.bufferOffset = total;
            region.imageSubresource = {VK_IMAGE_ASPECT_COLOR_BIT, std::uint32_t(level), 0, 1};
            region.imageExtent = {std::uint32_t(w), std::uint32_t(h), 1};
            regions.push_back(region);
            total += VkDeviceSize(w) * VkDeviceSize(h) * 4;
            w = NextLevelSide(w);
            h = NextLevelSide(h);
        }
    }
    VkBuffer staging = VK_NULL_HANDLE;
    VkDeviceMemory stagingMemory = VK_NULL_HANDLE;
    void *mapped = nullptr;
    VkResult result = m->HostBuffer(total, VK_BUFFER_USAGE_TRANSFER_SRC_BIT, &staging, &stagingMemory, &mapped);
    if (result != VK_SUCCESS) {
        *error = VkError("the staging buffer", result);
        return false;
    }
    {
        std::vector<std::uint8_t> level(pixels, pixels + std::size_t(width) * height * std::size_t(components));
        std::vector<std::uint8_t> next;
        int w = int(width), h = int(height);
        for (int i = 0; i < levels; ++i) {
            std::uint8_t *out = static_cast<std::uint8_t *>(mapped) + regions[std::size_t(i)].bufferOffset;
            const std::size_t count = std::size_t(w) * std::size_t(h);
            if (components == 4) {
                std::memcpy(out, level.data(), count * 4);
            } else {
                for (std::size_t p = 0; p < count; ++p) {
                    out[p * 4 + 0] = level[p * 3 + 0];
                    out[p * 4 + 1] = level[p * 3 + 1];
                    out[p * 4 + 2] = level[p * 3 + 2];
                    out[p * 4 + 3] = 255;
                }
            }
            if (i + 1 < levels) {
                const int nw = NextLevelSide(w), nh = NextLevelSide(h);
                next.resize(std::size_t(nw) * std::size_t(nh) * std::size_t(components));
                NextMipLevel(level.data(), w, h, components, next.data(), nw, nh);
                level.swap(next);
                w = nw;
                h = nh;
            }
        }
    }

    VkImage image = VK_NULL_HANDLE;
    VkDeviceMemory imageMemory = VK_NULL_HANDLE;
    VkImageView view = VK_NULL_HANDLE;
    VkCommandBuffer commands = VK_NULL_HANDLE;
    VkFence fence = VK_NULL_HANDLE;
    auto cleanUp = [&](bool keepImage) {
        if (fence)
            vk.DestroyFence(device, fence, nullptr);
        if (commands)
            vk.FreeCommandBuffers(device, m->commandPool, 1, &commands);
        vk.DestroyBuffer(device, staging, nullptr);
        vk.FreeMemory(device, stagingMemory, nullptr);
        if (!keepImage) {
            if (view)
                vk.DestroyImageView(device, view, nullptr);
            if (image)
                vk.DestroyImage(device, image, nullptr);
            if (imageMemory)
                vk.FreeMemory(device, imageMemory, nullptr);
        }
    };

    auto imageInfo = Made<VkImageCreateInfo>(VK_STRUCTURE_TYPE_IMAGE_CREATE_INFO);
    imageInfo.imageType = VK_IMAGE_TYPE_2D;
    imageInfo.format = VK_FORMAT_R8G8B8A8_UNORM;
    imageInfo.extent = {width, height, 1};
    imageInfo.mipLevels = std::uint32_t(levels);
    imageInfo.arrayLayers = 1;
    imageInfo.samples = VK_SAMPLE_COUNT_1_BIT;
    imageInfo.tiling = VK_IMAGE_TILING_OPTIMAL;
    imageInfo.usage = VK_IMAGE_USAGE_TRANSFER_DST_BIT | VK_IMAGE_USAGE_SAMPLED_BIT;
    imageInfo.sharingMode = VK_SHARING_MODE_EXCLUSIVE;
    imageInfo.initialLayout = VK_IMAGE_LAYOUT_UNDEFINED;
    result = vk.CreateImage(device, &imageInfo, nullptr, &image);
    if (result == VK_SUCCESS) {
        VkMemoryRequirements needs;
        vk.GetImageMemoryRequirements(device, image, &needs);
        result = m->Allocate(needs, VK_MEMORY_PROPERTY_DEVICE_LOCAL_BIT, 0, &imageMemory);
    }
    if (result == VK_SUCCESS)
        result = vk.BindImageMemory(device, image, imageMemory, 0);
    if (result == VK_SUCCESS) {
        auto viewInfo = Made<VkImageViewCreateInfo>(VK_STRUCTURE_TYPE_IMAGE_VIEW_CREATE_INFO);
        viewInfo.image = image;
        viewInfo.viewType = VK_IMAGE_VIEW_TYPE_2D;
        viewInfo.format = VK_FORMAT_R8G8B8A8_UNORM;
        viewInfo.subresourceRange = {VK_IMAGE_ASPECT_COLOR_BIT, 0, std::uint32_t(levels), 0, 1};
        result = vk.CreateImageView(device, &viewInfo, nullptr, &view);
    }
    if (result != VK_SUCCESS) {
        cleanUp(false);
        *error = "Vulkan could not make a " + std::to_string(width) + " x " + std::to_string(height)
            + " texture (VkResult " + std::to_string(int(result)) + ")";
        return false;
    }

    auto allocate = Made<VkCommandBufferAllocateInfo>(VK_STRUCTURE_TYPE_COMMAND_BUFFER_ALLOCATE_INFO);
    allocate.commandPool = m->commandPool;
    allocate.level = VK_COMMAND_BUFFER_LEVEL_PRIMARY;
    allocate.commandBufferCount = 1;
    result = vk.AllocateCommandBuffers(device, &allocate, &commands);
    if (result == VK_SUCCESS) {
        auto begin = Made<VkCommandBufferBeginInfo>(VK_STRUCTURE_TYPE_COMMAND_BUFFER_BEGIN_INFO);
        begin.flags = VK_COMMAND_BUFFER_USAGE_ONE_TIME_SUBMIT_BIT;
        vk.BeginCommandBuffer(commands, &begin);
        auto barrier = Made<VkImageMemoryBarrier>(VK_STRUCTURE_TYPE_IMAGE_MEMORY_BARRIER);
        barrier.srcAccessMask = 0;
        barrier.dstAccessMask = VK_ACCESS_TRANSFER_WRITE_BIT;
        barrier.oldLayout = VK_IMAGE_LAYOUT_UNDEFINED;
        barrier.newLayout = VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL;
        barrier.srcQueueFamilyIndex = VK_QUEUE_FAMILY_IGNORED;
        barrier.dstQueueFamilyIndex = VK_QUEUE_FAMILY_IGNORED;
        barrier.image = image;
        barrier.subresourceRange = {VK_IMAGE_ASPECT_COLOR_BIT, 0, std::uint32_t(levels), 0, 1};
        vk.CmdPipelineBarrier(commands, VK_PIPELINE_STAGE_TOP_OF_PIPE_BIT, VK_PIPELINE_STAGE_TRANSFER_BIT, 0, 0,
                              nullptr, 0, nullptr, 1, &barrier);
        vk.CmdCopyBufferToImage(commands, staging, image, VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL,
                                std::uint32_t(regions.size()), regions.data());
        barrier.srcAccessMask = VK_ACCESS_TRANSFER_WRITE_BIT;
        barrier.dstAccessMask = VK_ACCESS_SHADER_READ_BIT;
        barrier.oldLayout = VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL;
        barrier.newLayout = VK_IMAGE_LAYOUT_SHADER_READ_ONLY_OPTIMAL;
        vk.CmdPipelineBarrier(commands, VK_PIPELINE_STAGE_TRANSFER_BIT, VK_PIPELINE_STAGE_FRAGMENT_SHADER_BIT, 0, 0,
                              nullptr, 0, nullptr, 1, &barrier);
        result = vk.EndCommandBuffer(commands);
    }
    if (result == VK_SUCCESS) {
        auto fenceInfo = Made<VkFenceCreateInfo>(VK_STRUCTURE_TYPE_FENCE_CREATE_INFO);
        result = vk.CreateFence(device, &fenceInfo, nullptr, &fence);
    }
    if (result == VK_SUCCESS) {
        auto submit = Made<VkSubmitInfo>(VK_STRUCTURE_TYPE_SUBMIT_INFO);
        submit.commandBufferCount = 1;
        submit.pCommandBuffers = &commands;
        result = vk.QueueSubmit(m->queue, 1, &submit, fence);
    }
    if (result == VK_SUCCESS)
        result = vk.WaitForFences(device, 1, &fence, VK_TRUE, UINT64_MAX);
    // Draws of the old texture submitted to this queue are done too before
    // it goes.
    if (result == VK_SUCCESS)
        result = vk.QueueWaitIdle(m->queue);
    if (result != VK_SUCCESS) {
        cleanUp(false);
        *error = VkError("the texture upload", result);
        return false;
    }
    cleanUp(true);
    m->DropImage();
    m->image = image;
    m->imageMemory = imageMemory;
    m->imageView = view;
    m->rgb = components == 3;
    m->width = width;
    m->height = height;
    return true;
}

DrawState VulkanSurfaceRenderer::Resolved(const View &view, bool projective) const
{
    DrawOptions options;
    options.ViewWidth = view.Width;
    options.ViewHeight = view.Height;
    options.Aspect = view.Aspect;
    options.Projective = projective;
    return Resolve(m->settings, m->width, m->height, options);
}

VkSamplerCreateInfo VulkanSurfaceRenderer::SamplerInfo(const DrawState &state, bool rgb)
{
    auto info = Made<VkSamplerCreateInfo>(VK_STRUCTURE_TYPE_SAMPLER_CREATE_INFO);
    info.magFilter = state.MagFilter == gl::NEAREST ? VK_FILTER_NEAREST : VK_FILTER_LINEAR;
    const bool linearTexels = state.MinFilter == gl::LINEAR || state.MinFilter == gl::LINEAR_MIPMAP_NEAREST
        || state.MinFilter == gl::LINEAR_MIPMAP_LINEAR;
    info.minFilter = linearTexels ? VK_FILTER_LINEAR : VK_FILTER_NEAREST;
    const bool betweenLevels = state.MinFilter == gl::NEAREST_MIPMAP_LINEAR || state.MinFilter == gl::LINEAR_MIPMAP_LINEAR;
    info.mipmapMode = betweenLevels ? VK_SAMPLER_MIPMAP_MODE_LINEAR : VK_SAMPLER_MIPMAP_MODE_NEAREST;
    const VkSamplerAddressMode clamp = VK_SAMPLER_ADDRESS_MODE_CLAMP_TO_BORDER;
    info.addressModeU = state.WrapS == gl::REPEAT ? VK_SAMPLER_ADDRESS_MODE_REPEAT : clamp;
    info.addressModeV = state.WrapT == gl::REPEAT ? VK_SAMPLER_ADDRESS_MODE_REPEAT : clamp;
    info.addressModeW = clamp;
    info.minLod = 0.0f;
    // A min filter without mipmaps samples level 0 alone. 0.25 rather than 0
    // keeps the level of detail above 0 when minifying, so the min filter
    // still applies there (Vulkan picks mag or min after the clamp).
    info.maxLod = IsMipmapFilter(state.MinFilter) ? VK_LOD_CLAMP_NONE : 0.25f;
    // OpenGL's transparent black border, which an RGB texture holds with
    // alpha 1.
    info.borderColor = rgb ? VK_BORDER_COLOR_FLOAT_OPAQUE_BLACK : VK_BORDER_COLOR_FLOAT_TRANSPARENT_BLACK;
    return info;
}

void VulkanSurfaceRenderer::SetAlphaOutput(AlphaOutput output)
{
    m->output = output;
}

AlphaOutput VulkanSurfaceRenderer::Output() const
{
    return m->output;
}

VkPipelineColorBlendAttachmentState VulkanSurfaceRenderer::BlendAttachment(const DrawState &state,
                                                                            VkColorComponentFlags channels)
{
    VkPipelineColorBlendAttachmentState attachment{};
    attachment.blendEnable = state.Blend ? VK_TRUE : VK_FALSE;
    // glBlendFunc: one pair for colour and alpha.
    attachment.srcColorBlendFactor = BlendFactor(state.SrcFactor);
    attachment.dstColorBlendFactor = BlendFactor(state.DestFactor);
    attachment.colorBlendOp = VK_BLEND_OP_ADD;
    attachment.srcAlphaBlendFactor = BlendFactor(state.SrcFactor);
    attachment.dstAlphaBlendFactor = BlendFactor(state.DestFactor);
    attachment.alphaBlendOp = VK_BLEND_OP_ADD;
    attachment.colorWriteMask = channels;
    return attachment;
}

void VulkanSurfaceRenderer::VulkanProjection(const float projection[16], float out[16])
{
    ToVulkanClip(projection, out);
}

bool VulkanSurfaceRenderer::Draw(VkCommandBuffer commands, const VulkanTarget &target, const View &view,
                                 bool projective)
{
    if (!m->ready || !m->image)
        return false;
    double matrix[16];
    float projection[16], modelView[16];
    ProjectionMatrix(view, matrix);
    ToFloat(matrix, projection);
    SurfaceModelView(view, matrix);
    ToFloat(matrix, modelView);
    const VkViewport viewport{float(view.OffsetX), float(view.OffsetY), float(view.Width), float(view.Height), 0.0f,
                              1.0f};
    const VkRect2D scissor{{view.OffsetX, view.OffsetY}, {std::uint32_t(view.Width), std::uint32_t(view.Height)}};
    m->vk.CmdSetViewport(commands, 0, 1, &viewport);
    m->vk.CmdSetScissor(commands, 0, 1, &scissor);
    return Record(commands, target, Resolved(view, projective), projection, modelView);
}

bool VulkanSurfaceRenderer::Draw(VkCommandBuffer commands, const VulkanTarget &target, const View &view,
                                 const float projection[16], const float modelView[16], bool projective)
{
    if (!m->ready || !m->image)
        return false;
    return Record(commands, target, Resolved(view, projective), projection, modelView);
}

bool VulkanSurfaceRenderer::Record(VkCommandBuffer commands, const VulkanTarget &target, const DrawState &state,
                                   const float projection[16], const float modelView[16])
{
    constexpr VkColorComponentFlags rgb = VK_COLOR_COMPONENT_R_BIT | VK_COLOR_COMPONENT_G_BIT | VK_COLOR_COMPONENT_B_BIT;
    const bool straight = m->output == AlphaOutput::StraightPasses;
    const VkPipeline pipeline = m->PipelineFor(target, state, straight ? rgb : rgb | VK_COLOR_COMPONENT_A_BIT);
    // As the transparent export draws: the surface's own alpha, written
    // alone with blending off, is its coverage.
    DrawState alphaPass = state;
    alphaPass.Blend = false;
    const VkPipeline alphaPipeline = straight ? m->PipelineFor(target, alphaPass, VK_COLOR_COMPONENT_A_BIT)
                                              : VK_NULL_HANDLE;
    const VkDescriptorSet set = m->SetFor(state);
    if (!pipeline || !set || (straight && !alphaPipeline))
        return false;
    const Functions &vk = m->vk;
    const VkDeviceSize offset = Impl::kSlotSize * m->nextSlot;
    m->nextSlot = (m->nextSlot + 1) % VertexSlots;
    std::memcpy(m->vertexMapped + offset, state.Vertices, sizeof state.Vertices);

    float push[vulkanpush::Size / sizeof(float)];
    ToVulkanClip(projection, push + vulkanpush::ProjectionOffset / sizeof(float));
    std::memcpy(push + vulkanpush::ModelViewOffset / sizeof(float), modelView, 16 * sizeof(float));

    vk.CmdBindPipeline(commands, VK_PIPELINE_BIND_POINT_GRAPHICS, pipeline);
    vk.CmdBindDescriptorSets(commands, VK_PIPELINE_BIND_POINT_GRAPHICS, m->pipelineLayout, 0, 1, &set, 0, nullptr);
    vk.CmdBindVertexBuffers(commands, 0, 1, &m->vertexBuffer, &offset);
    vk.CmdPushConstants(commands, m->pipelineLayout, VK_SHADER_STAGE_VERTEX_BIT, 0, vulkanpush::Size, push);
    vk.CmdDraw(commands, 4, 1, 0, 0);
    if (straight) {
        // The layout is the same: the set and push constants stay bound.
        vk.CmdBindPipeline(commands, VK_PIPELINE_BIND_POINT_GRAPHICS, alphaPipeline);
        vk.CmdDraw(commands, 4, 1, 0, 0);
    }
    return true;
}

} // namespace skimbler
