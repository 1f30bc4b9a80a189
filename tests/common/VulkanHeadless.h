#pragma once

// A Vulkan device with no window or display, drawing into an RGBA8 image of
// its own that is read back after each frame: lavapipe on a machine without
// a GPU. The loader is opened at run time, as a renderer's host would hand
// vkGetInstanceProcAddr in. With validation on, the Khronos layer's warnings
// and errors are counted and kept.

#define VK_NO_PROTOTYPES
#include <vulkan/vulkan_core.h>

#include <dlfcn.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

class VulkanHeadless
{
public:
    VulkanHeadless() = default;
    VulkanHeadless(const VulkanHeadless &) = delete;
    VulkanHeadless &operator=(const VulkanHeadless &) = delete;
    ~VulkanHeadless() { Destroy(); }

    bool Create(int width, int height, bool validation, std::string *error)
    {
        m_width = width;
        m_height = height;
        m_library = dlopen("libvulkan.so.1", RTLD_NOW | RTLD_LOCAL);
        if (!m_library)
            return Fail(error, "libvulkan.so.1 cannot be opened");
        GetInstanceProcAddr = reinterpret_cast<PFN_vkGetInstanceProcAddr>(dlsym(m_library, "vkGetInstanceProcAddr"));
        auto createInstance = reinterpret_cast<PFN_vkCreateInstance>(GetInstanceProcAddr(nullptr, "vkCreateInstance"));
        if (!createInstance)
            return Fail(error, "no vkCreateInstance");

        VkApplicationInfo app{};
        app.sType = VK_STRUCTURE_TYPE_APPLICATION_INFO;
        app.pApplicationName = "skimbler";
        app.apiVersion = VK_API_VERSION_1_0;
        const char *layers[] = {"VK_LAYER_KHRONOS_validation"};
        const char *extensions[] = {VK_EXT_DEBUG_UTILS_EXTENSION_NAME};
        VkDebugUtilsMessengerCreateInfoEXT messenger{};
        messenger.sType = VK_STRUCTURE_TYPE_DEBUG_UTILS_MESSENGER_CREATE_INFO_EXT;
        messenger.messageSeverity =
            VK_DEBUG_UTILS_MESSAGE_SEVERITY_WARNING_BIT_EXT | VK_DEBUG_UTILS_MESSAGE_SEVERITY_ERROR_BIT_EXT;
        messenger.messageType = VK_DEBUG_UTILS_MESSAGE_TYPE_GENERAL_BIT_EXT
            | VK_DEBUG_UTILS_MESSAGE_TYPE_VALIDATION_BIT_EXT | VK_DEBUG_UTILS_MESSAGE_TYPE_PERFORMANCE_BIT_EXT;
        messenger.pfnUserCallback = &VulkanHeadless::Message;
        messenger.pUserData = this;
        VkInstanceCreateInfo instanceInfo{};
        instanceInfo.sType = VK_STRUCTURE_TYPE_INSTANCE_CREATE_INFO;
        instanceInfo.pApplicationInfo = &app;
        if (validation) {
            // Chained here too, so that the instance's own creation is watched.
            instanceInfo.pNext = &messenger;
            instanceInfo.enabledLayerCount = 1;
            instanceInfo.ppEnabledLayerNames = layers;
            instanceInfo.enabledExtensionCount = 1;
            instanceInfo.ppEnabledExtensionNames = extensions;
        }
        if (createInstance(&instanceInfo, nullptr, &Instance) != VK_SUCCESS)
            return Fail(error, validation ? "no Vulkan instance with VK_LAYER_KHRONOS_validation"
                                          : "no Vulkan instance");
        Load();
        if (validation) {
            auto create = reinterpret_cast<PFN_vkCreateDebugUtilsMessengerEXT>(
                GetInstanceProcAddr(Instance, "vkCreateDebugUtilsMessengerEXT"));
            if (!create || create(Instance, &messenger, nullptr, &m_messenger) != VK_SUCCESS)
                return Fail(error, "no debug messenger");
        }

        std::uint32_t count = 0;
        vkEnumeratePhysicalDevices(Instance, &count, nullptr);
        std::vector<VkPhysicalDevice> devices(count);
        vkEnumeratePhysicalDevices(Instance, &count, devices.data());
        if (devices.empty())
            return Fail(error, "no Vulkan device (mesa-vulkan-drivers gives lavapipe)");
        PhysicalDevice = devices[0];
        // The CPU's device where there is one, so every machine draws alike.
        for (VkPhysicalDevice device : devices) {
            VkPhysicalDeviceProperties properties;
            vkGetPhysicalDeviceProperties(device, &properties);
            if (properties.deviceType == VK_PHYSICAL_DEVICE_TYPE_CPU)
                PhysicalDevice = device;
        }
        vkGetPhysicalDeviceQueueFamilyProperties(PhysicalDevice, &count, nullptr);
        std::vector<VkQueueFamilyProperties> families(count);
        vkGetPhysicalDeviceQueueFamilyProperties(PhysicalDevice, &count, families.data());
        QueueFamily = count;
        for (std::uint32_t i = 0; i < count && QueueFamily == count; ++i)
            if (families[i].queueFlags & VK_QUEUE_GRAPHICS_BIT)
                QueueFamily = i;
        if (QueueFamily == count)
            return Fail(error, "no graphics queue");
        const float priority = 1.0f;
        VkDeviceQueueCreateInfo queueInfo{};
        queueInfo.sType = VK_STRUCTURE_TYPE_DEVICE_QUEUE_CREATE_INFO;
        queueInfo.queueFamilyIndex = QueueFamily;
        queueInfo.queueCount = 1;
        queueInfo.pQueuePriorities = &priority;
        VkDeviceCreateInfo deviceInfo{};
        deviceInfo.sType = VK_STRUCTURE_TYPE_DEVICE_CREATE_INFO;
        deviceInfo.queueCreateInfoCount = 1;
        deviceInfo.pQueueCreateInfos = &queueInfo;
        if (vkCreateDevice(PhysicalDevice, &deviceInfo, nullptr, &Device) != VK_SUCCESS)
            return Fail(error, "no Vulkan device");
        vkGetDeviceQueue(Device, QueueFamily, 0, &Queue);
        return MakeTarget(error);
    }

    // Records the clear of the four quadrants' colours (rows counted from the
    // bottom, as OpenGL counts them) and `draw` into one render pass, runs
    // it, and returns the picture as RGBA8 rows from the bottom up.
    std::vector<std::uint8_t> Frame(const float quadrants[4][4], const std::function<void(VkCommandBuffer)> &draw)
    {
        VkCommandBufferBeginInfo begin{};
        begin.sType = VK_STRUCTURE_TYPE_COMMAND_BUFFER_BEGIN_INFO;
        begin.flags = VK_COMMAND_BUFFER_USAGE_ONE_TIME_SUBMIT_BIT;
        vkResetCommandPool(Device, m_pool, 0);
        vkBeginCommandBuffer(m_commands, &begin);
        VkRenderPassBeginInfo pass{};
        pass.sType = VK_STRUCTURE_TYPE_RENDER_PASS_BEGIN_INFO;
        pass.renderPass = RenderPass;
        pass.framebuffer = m_framebuffer;
        pass.renderArea = {{0, 0}, {std::uint32_t(m_width), std::uint32_t(m_height)}};
        vkCmdBeginRenderPass(m_commands, &pass, VK_SUBPASS_CONTENTS_INLINE);
        for (int i = 0; quadrants && i < 4; ++i) {
            VkClearAttachment clear{};
            clear.aspectMask = VK_IMAGE_ASPECT_COLOR_BIT;
            std::memcpy(clear.clearValue.color.float32, quadrants[i], sizeof(float) * 4);
            const int fromBottom = (i / 2) * m_height / 2;
            VkClearRect rect{};
            rect.rect = {{(i % 2) * m_width / 2, m_height - fromBottom - m_height / 2},
                         {std::uint32_t(m_width / 2), std::uint32_t(m_height / 2)}};
            rect.layerCount = 1;
            vkCmdClearAttachments(m_commands, 1, &clear, 1, &rect);
        }
        draw(m_commands);
        vkCmdEndRenderPass(m_commands);
        VkBufferImageCopy copy{};
        copy.imageSubresource = {VK_IMAGE_ASPECT_COLOR_BIT, 0, 0, 1};
        copy.imageExtent = {std::uint32_t(m_width), std::uint32_t(m_height), 1};
        vkCmdCopyImageToBuffer(m_commands, m_image, VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL, m_readback, 1, &copy);
        VkBufferMemoryBarrier toHost{};
        toHost.sType = VK_STRUCTURE_TYPE_BUFFER_MEMORY_BARRIER;
        toHost.srcAccessMask = VK_ACCESS_TRANSFER_WRITE_BIT;
        toHost.dstAccessMask = VK_ACCESS_HOST_READ_BIT;
        toHost.srcQueueFamilyIndex = VK_QUEUE_FAMILY_IGNORED;
        toHost.dstQueueFamilyIndex = VK_QUEUE_FAMILY_IGNORED;
        toHost.buffer = m_readback;
        toHost.size = VK_WHOLE_SIZE;
        vkCmdPipelineBarrier(m_commands, VK_PIPELINE_STAGE_TRANSFER_BIT, VK_PIPELINE_STAGE_HOST_BIT, 0, 0, nullptr,
                             1, &toHost, 0, nullptr);
        vkEndCommandBuffer(m_commands);
        VkSubmitInfo submit{};
        submit.sType = VK_STRUCTURE_TYPE_SUBMIT_INFO;
        submit.commandBufferCount = 1;
        submit.pCommandBuffers = &m_commands;
        vkResetFences(Device, 1, &m_fence);
        vkQueueSubmit(Queue, 1, &submit, m_fence);
        vkWaitForFences(Device, 1, &m_fence, VK_TRUE, UINT64_MAX);
        std::vector<std::uint8_t> pixels(std::size_t(m_width) * m_height * 4);
        const std::size_t row = std::size_t(m_width) * 4;
        for (int y = 0; y < m_height; ++y)
            std::memcpy(&pixels[std::size_t(m_height - 1 - y) * row], m_mapped + std::size_t(y) * row, row);
        return pixels;
    }

    int MessageCount() const { return int(m_messages.size()); }
    const std::vector<std::string> &Messages() const { return m_messages; }

    PFN_vkGetInstanceProcAddr GetInstanceProcAddr = nullptr;
    VkInstance Instance = VK_NULL_HANDLE;
    VkPhysicalDevice PhysicalDevice = VK_NULL_HANDLE;
    VkDevice Device = VK_NULL_HANDLE;
    std::uint32_t QueueFamily = 0;
    VkQueue Queue = VK_NULL_HANDLE;
    VkRenderPass RenderPass = VK_NULL_HANDLE;

    void Destroy()
    {
        if (Device) {
            vkDeviceWaitIdle(Device);
            vkDestroyFence(Device, m_fence, nullptr);
            vkDestroyCommandPool(Device, m_pool, nullptr);
            vkDestroyBuffer(Device, m_readback, nullptr);
            vkFreeMemory(Device, m_readbackMemory, nullptr);
            vkDestroyFramebuffer(Device, m_framebuffer, nullptr);
            vkDestroyImageView(Device, m_view, nullptr);
            vkDestroyImage(Device, m_image, nullptr);
            vkFreeMemory(Device, m_imageMemory, nullptr);
            vkDestroyRenderPass(Device, RenderPass, nullptr);
            vkDestroyDevice(Device, nullptr);
            Device = VK_NULL_HANDLE;
        }
        if (m_messenger) {
            auto destroy = reinterpret_cast<PFN_vkDestroyDebugUtilsMessengerEXT>(
                GetInstanceProcAddr(Instance, "vkDestroyDebugUtilsMessengerEXT"));
            destroy(Instance, m_messenger, nullptr);
            m_messenger = VK_NULL_HANDLE;
        }
        if (Instance) {
            vkDestroyInstance(Instance, nullptr);
            Instance = VK_NULL_HANDLE;
        }
        if (m_library) {
            dlclose(m_library);
            m_library = nullptr;
        }
    }

private:
#define VULKAN_HEADLESS_FUNCTIONS(X)                                                                           \
    X(AllocateCommandBuffers) X(AllocateMemory) X(BeginCommandBuffer) X(BindBufferMemory) X(BindImageMemory)   \
    X(CmdBeginRenderPass) X(CmdClearAttachments) X(CmdCopyImageToBuffer) X(CmdEndRenderPass)                   \
    X(CmdPipelineBarrier) X(CreateBuffer) X(CreateCommandPool) X(CreateDevice) X(CreateFence)                  \
    X(CreateFramebuffer) X(CreateImage) X(CreateImageView) X(CreateRenderPass) X(DestroyBuffer)                \
    X(DestroyCommandPool) X(DestroyDevice) X(DestroyFence) X(DestroyFramebuffer) X(DestroyImage)               \
    X(DestroyImageView) X(DestroyInstance) X(DestroyRenderPass) X(DeviceWaitIdle) X(EndCommandBuffer)          \
    X(EnumeratePhysicalDevices) X(FreeMemory) X(GetBufferMemoryRequirements) X(GetDeviceQueue)                 \
    X(GetImageMemoryRequirements) X(GetPhysicalDeviceMemoryProperties) X(GetPhysicalDeviceProperties)          \
    X(GetPhysicalDeviceQueueFamilyProperties) X(MapMemory) X(QueueSubmit) X(ResetCommandPool) X(ResetFences)   \
    X(WaitForFences)
#define VULKAN_HEADLESS_DECLARE(name) PFN_vk##name vk##name = nullptr;
    VULKAN_HEADLESS_FUNCTIONS(VULKAN_HEADLESS_DECLARE)
#undef VULKAN_HEADLESS_DECLARE

    void Load()
    {
#define VULKAN_HEADLESS_LOAD(name) vk##name = reinterpret_cast<PFN_vk##name>(GetInstanceProcAddr(Instance, "vk" #name));
        VULKAN_HEADLESS_FUNCTIONS(VULKAN_HEADLESS_LOAD)
#undef VULKAN_HEADLESS_LOAD
    }

    static VKAPI_ATTR VkBool32 VKAPI_CALL Message(VkDebugUtilsMessageSeverityFlagBitsEXT,
                                                  VkDebugUtilsMessageTypeFlagsEXT,
                                                  const VkDebugUtilsMessengerCallbackDataEXT *data, void *self)
    {
        static_cast<VulkanHeadless *>(self)->m_messages.push_back(data && data->pMessage ? data->pMessage : "");
        return VK_FALSE;
    }

    static bool Fail(std::string *error, const char *text)
    {
        *error = text;
        return false;
    }

    bool Memory(const VkMemoryRequirements &needs, VkMemoryPropertyFlags wanted, VkDeviceMemory *memory)
    {
        VkPhysicalDeviceMemoryProperties properties;
        vkGetPhysicalDeviceMemoryProperties(PhysicalDevice, &properties);
        for (std::uint32_t i = 0; i < properties.memoryTypeCount; ++i) {
            if ((needs.memoryTypeBits & (1u << i)) && (properties.memoryTypes[i].propertyFlags & wanted) == wanted) {
                VkMemoryAllocateInfo info{};
                info.sType = VK_STRUCTURE_TYPE_MEMORY_ALLOCATE_INFO;
                info.allocationSize = needs.size;
                info.memoryTypeIndex = i;
                return vkAllocateMemory(Device, &info, nullptr, memory) == VK_SUCCESS;
            }
        }
        return false;
    }

    bool MakeTarget(std::string *error)
    {
        VkAttachmentDescription colour{};
        colour.format = VK_FORMAT_R8G8B8A8_UNORM;
        colour.samples = VK_SAMPLE_COUNT_1_BIT;
        colour.loadOp = VK_ATTACHMENT_LOAD_OP_DONT_CARE;  // the quadrants clear it
        colour.storeOp = VK_ATTACHMENT_STORE_OP_STORE;
        colour.stencilLoadOp = VK_ATTACHMENT_LOAD_OP_DONT_CARE;
        colour.stencilStoreOp = VK_ATTACHMENT_STORE_OP_DONT_CARE;
        colour.initialLayout = VK_IMAGE_LAYOUT_UNDEFINED;
        colour.finalLayout = VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL;
        VkAttachmentReference reference{0, VK_IMAGE_LAYOUT_COLOR_ATTACHMENT_OPTIMAL};
        VkSubpassDescription subpass{};
        subpass.pipelineBindPoint = VK_PIPELINE_BIND_POINT_GRAPHICS;
        subpass.colorAttachmentCount = 1;
        subpass.pColorAttachments = &reference;
        VkSubpassDependency after{};
        after.srcSubpass = 0;
        after.dstSubpass = VK_SUBPASS_EXTERNAL;
        after.srcStageMask = VK_PIPELINE_STAGE_COLOR_ATTACHMENT_OUTPUT_BIT;
        after.dstStageMask = VK_PIPELINE_STAGE_TRANSFER_BIT;
        after.srcAccessMask = VK_ACCESS_COLOR_ATTACHMENT_WRITE_BIT;
        after.dstAccessMask = VK_ACCESS_TRANSFER_READ_BIT;
        VkRenderPassCreateInfo passInfo{};
        passInfo.sType = VK_STRUCTURE_TYPE_RENDER_PASS_CREATE_INFO;
        passInfo.attachmentCount = 1;
        passInfo.pAttachments = &colour;
        passInfo.subpassCount = 1;
        passInfo.pSubpasses = &subpass;
        passInfo.dependencyCount = 1;
        passInfo.pDependencies = &after;
        if (vkCreateRenderPass(Device, &passInfo, nullptr, &RenderPass) != VK_SUCCESS)
            return Fail(error, "no render pass");

        VkImageCreateInfo imageInfo{};
        imageInfo.sType = VK_STRUCTURE_TYPE_IMAGE_CREATE_INFO;
        imageInfo.imageType = VK_IMAGE_TYPE_2D;
        imageInfo.format = VK_FORMAT_R8G8B8A8_UNORM;
        imageInfo.extent = {std::uint32_t(m_width), std::uint32_t(m_height), 1};
        imageInfo.mipLevels = 1;
        imageInfo.arrayLayers = 1;
        imageInfo.samples = VK_SAMPLE_COUNT_1_BIT;
        imageInfo.tiling = VK_IMAGE_TILING_OPTIMAL;
        imageInfo.usage = VK_IMAGE_USAGE_COLOR_ATTACHMENT_BIT | VK_IMAGE_USAGE_TRANSFER_SRC_BIT;
        imageInfo.initialLayout = VK_IMAGE_LAYOUT_UNDEFINED;
        VkMemoryRequirements needs;
        if (vkCreateImage(Device, &imageInfo, nullptr, &m_image) != VK_SUCCESS)
            return Fail(error, "no image");
        vkGetImageMemoryRequirements(Device, m_image, &needs);
        if (!Memory(needs, 0, &m_imageMemory) || vkBindImageMemory(Device, m_image, m_imageMemory, 0) != VK_SUCCESS)
            return Fail(error, "no image memory");
        VkImageViewCreateInfo viewInfo{};
        viewInfo.sType = VK_STRUCTURE_TYPE_IMAGE_VIEW_CREATE_INFO;
        viewInfo.image = m_image;
        viewInfo.viewType = VK_IMAGE_VIEW_TYPE_2D;
        viewInfo.format = VK_FORMAT_R8G8B8A8_UNORM;
        viewInfo.subresourceRange = {VK_IMAGE_ASPECT_COLOR_BIT, 0, 1, 0, 1};
        if (vkCreateImageView(Device, &viewInfo, nullptr, &m_view) != VK_SUCCESS)
            return Fail(error, "no image view");
        VkFramebufferCreateInfo framebufferInfo{};
        framebufferInfo.sType = VK_STRUCTURE_TYPE_FRAMEBUFFER_CREATE_INFO;
        framebufferInfo.renderPass = RenderPass;
        framebufferInfo.attachmentCount = 1;
        framebufferInfo.pAttachments = &m_view;
        framebufferInfo.width = std::uint32_t(m_width);
        framebufferInfo.height = std::uint32_t(m_height);
        framebufferInfo.layers = 1;
        if (vkCreateFramebuffer(Device, &framebufferInfo, nullptr, &m_framebuffer) != VK_SUCCESS)
            return Fail(error, "no framebuffer");

        VkBufferCreateInfo bufferInfo{};
        bufferInfo.sType = VK_STRUCTURE_TYPE_BUFFER_CREATE_INFO;
        bufferInfo.size = VkDeviceSize(m_width) * m_height * 4;
        bufferInfo.usage = VK_BUFFER_USAGE_TRANSFER_DST_BIT;
        if (vkCreateBuffer(Device, &bufferInfo, nullptr, &m_readback) != VK_SUCCESS)
            return Fail(error, "no readback buffer");
        vkGetBufferMemoryRequirements(Device, m_readback, &needs);
        void *mapped = nullptr;
        if (!Memory(needs, VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT | VK_MEMORY_PROPERTY_HOST_COHERENT_BIT,
                    &m_readbackMemory)
            || vkBindBufferMemory(Device, m_readback, m_readbackMemory, 0) != VK_SUCCESS
            || vkMapMemory(Device, m_readbackMemory, 0, VK_WHOLE_SIZE, 0, &mapped) != VK_SUCCESS)
            return Fail(error, "no readback memory");
        m_mapped = static_cast<const std::uint8_t *>(mapped);

        VkCommandPoolCreateInfo poolInfo{};
        poolInfo.sType = VK_STRUCTURE_TYPE_COMMAND_POOL_CREATE_INFO;
        poolInfo.queueFamilyIndex = QueueFamily;
        VkCommandBufferAllocateInfo allocate{};
        allocate.sType = VK_STRUCTURE_TYPE_COMMAND_BUFFER_ALLOCATE_INFO;
        allocate.level = VK_COMMAND_BUFFER_LEVEL_PRIMARY;
        allocate.commandBufferCount = 1;
        VkFenceCreateInfo fenceInfo{};
        fenceInfo.sType = VK_STRUCTURE_TYPE_FENCE_CREATE_INFO;
        if (vkCreateCommandPool(Device, &poolInfo, nullptr, &m_pool) != VK_SUCCESS
            || (allocate.commandPool = m_pool, vkAllocateCommandBuffers(Device, &allocate, &m_commands)) != VK_SUCCESS
            || vkCreateFence(Device, &fenceInfo, nullptr, &m_fence) != VK_SUCCESS)
            return Fail(error, "no command buffer");
        return true;
    }

    void *m_library = nullptr;
    VkDebugUtilsMessengerEXT m_messenger = VK_NULL_HANDLE;
    std::vector<std::string> m_messages;
    int m_width = 0;
    int m_height = 0;
    VkImage m_image = VK_NULL_HANDLE;
    VkDeviceMemory m_imageMemory = VK_NULL_HANDLE;
    VkImageView m_view = VK_NULL_HANDLE;
    VkFramebuffer m_framebuffer = VK_NULL_HANDLE;
    VkBuffer m_readback = VK_NULL_HANDLE;
    VkDeviceMemory m_readbackMemory = VK_NULL_HANDLE;
    const std::uint8_t *m_mapped = nullptr;
    VkCommandPool m_pool = VK_NULL_HANDLE;
    VkCommandBuffer m_commands = VK_NULL_HANDLE;
    VkFence m_fence = VK_NULL_HANDLE;
};
