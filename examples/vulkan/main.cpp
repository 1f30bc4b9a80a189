// skimbler_vulkan_example SURFACE OUT.png [WIDTHxHEIGHT]: draws a surface
// file with VulkanSurfaceRenderer into an image of its own, with no window
// or display (any Vulkan device, lavapipe included), on a transparent
// background with straight alpha, and saves it as a PNG: the picture
// `skimbler-cli render --transparent` writes.

#include "skimbler/VulkanSurfaceRenderer.h"

#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include <vulkan/vulkan.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

int Fail(const std::string &message)
{
    std::fprintf(stderr, "skimbler_vulkan_example: %s\n", message.c_str());
    return 1;
}

std::uint32_t MemoryType(VkPhysicalDevice device, std::uint32_t bits, VkMemoryPropertyFlags wanted)
{
    VkPhysicalDeviceMemoryProperties memory;
    vkGetPhysicalDeviceMemoryProperties(device, &memory);
    for (std::uint32_t i = 0; i < memory.memoryTypeCount; ++i)
        if ((bits & (1u << i)) && (memory.memoryTypes[i].propertyFlags & wanted) == wanted)
            return i;
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3)
        return Fail("usage: skimbler_vulkan_example SURFACE OUT.png [WIDTHxHEIGHT]");
    std::uint32_t width = 800, height = 600;
    if (argc > 3 && std::sscanf(argv[3], "%ux%u", &width, &height) != 2)
        return Fail("the size must be WIDTHxHEIGHT");

    // Instance, device and a graphics queue.
    VkApplicationInfo app{VK_STRUCTURE_TYPE_APPLICATION_INFO};
    app.apiVersion = VK_API_VERSION_1_0;
    VkInstanceCreateInfo instanceInfo{VK_STRUCTURE_TYPE_INSTANCE_CREATE_INFO};
    instanceInfo.pApplicationInfo = &app;
    VkInstance instance;
    if (vkCreateInstance(&instanceInfo, nullptr, &instance) != VK_SUCCESS)
        return Fail("no Vulkan instance");
    std::uint32_t count = 1;
    VkPhysicalDevice physical = VK_NULL_HANDLE;
    vkEnumeratePhysicalDevices(instance, &count, &physical);
    if (!physical)
        return Fail("no Vulkan device (mesa-vulkan-drivers gives lavapipe)");
    vkGetPhysicalDeviceQueueFamilyProperties(physical, &count, nullptr);
    std::vector<VkQueueFamilyProperties> families(count);
    vkGetPhysicalDeviceQueueFamilyProperties(physical, &count, families.data());
    std::uint32_t family = 0;
    while (family < count && !(families[family].queueFlags & VK_QUEUE_GRAPHICS_BIT))
        ++family;
    const float priority = 1.0f;
    VkDeviceQueueCreateInfo queueInfo{VK_STRUCTURE_TYPE_DEVICE_QUEUE_CREATE_INFO};
    queueInfo.queueFamilyIndex = family;
    queueInfo.queueCount = 1;
    queueInfo.pQueuePriorities = &priority;
    VkDeviceCreateInfo deviceInfo{VK_STRUCTURE_TYPE_DEVICE_CREATE_INFO};
    deviceInfo.queueCreateInfoCount = 1;
    deviceInfo.pQueueCreateInfos = &queueInfo;
    VkDevice device;
    if (family == count || vkCreateDevice(physical, &deviceInfo, nullptr, &device) != VK_SUCCESS)
        return Fail("no Vulkan device with a graphics queue");
    VkQueue queue;
    vkGetDeviceQueue(device, family, 0, &queue);

    // The picture: an RGBA8 image, then a buffer the host reads it from.
    VkImageCreateInfo imageInfo{VK_STRUCTURE_TYPE_IMAGE_CREATE_INFO};
    imageInfo.imageType = VK_IMAGE_TYPE_2D;
    imageInfo.format = VK_FORMAT_R8G8B8A8_UNORM;
    imageInfo.extent = {width, height, 1};
    imageInfo.mipLevels = 1;
    imageInfo.arrayLayers = 1;
    imageInfo.samples = VK_SAMPLE_COUNT_1_BIT;
    imageInfo.usage = VK_IMAGE_USAGE_COLOR_ATTACHMENT_BIT | VK_IMAGE_USAGE_TRANSFER_SRC_BIT;
    VkImage image;
    vkCreateImage(device, &imageInfo, nullptr, &image);
    VkMemoryRequirements needs;
    vkGetImageMemoryRequirements(device, image, &needs);
    VkMemoryAllocateInfo allocation{VK_STRUCTURE_TYPE_MEMORY_ALLOCATE_INFO};
    allocation.allocationSize = needs.size;
    allocation.memoryTypeIndex = MemoryType(physical, needs.memoryTypeBits, VK_MEMORY_PROPERTY_DEVICE_LOCAL_BIT);
    VkDeviceMemory imageMemory;
    vkAllocateMemory(device, &allocation, nullptr, &imageMemory);
    vkBindImageMemory(device, image, imageMemory, 0);
    VkImageViewCreateInfo viewInfo{VK_STRUCTURE_TYPE_IMAGE_VIEW_CREATE_INFO};
    viewInfo.image = image;
    viewInfo.viewType = VK_IMAGE_VIEW_TYPE_2D;
    viewInfo.format = imageInfo.format;
    viewInfo.subresourceRange = {VK_IMAGE_ASPECT_COLOR_BIT, 0, 1, 0, 1};
    VkImageView imageView;
    vkCreateImageView(device, &viewInfo, nullptr, &imageView);

    VkBufferCreateInfo bufferInfo{VK_STRUCTURE_TYPE_BUFFER_CREATE_INFO};
    bufferInfo.size = VkDeviceSize(width) * height * 4;
    bufferInfo.usage = VK_BUFFER_USAGE_TRANSFER_DST_BIT;
    VkBuffer readback;
    vkCreateBuffer(device, &bufferInfo, nullptr, &readback);
    vkGetBufferMemoryRequirements(device, readback, &needs);
    allocation.allocationSize = needs.size;
    allocation.memoryTypeIndex = MemoryType(physical, needs.memoryTypeBits,
                                            VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT | VK_MEMORY_PROPERTY_HOST_COHERENT_BIT);
    VkDeviceMemory readbackMemory;
    vkAllocateMemory(device, &allocation, nullptr, &readbackMemory);
    vkBindBufferMemory(device, readback, readbackMemory, 0);

    // A render pass that clears to transparent and leaves the image ready to copy.
    VkAttachmentDescription attachment{};
    attachment.format = imageInfo.format;
    attachment.samples = VK_SAMPLE_COUNT_1_BIT;
    attachment.loadOp = VK_ATTACHMENT_LOAD_OP_CLEAR;
    attachment.storeOp = VK_ATTACHMENT_STORE_OP_STORE;
    attachment.stencilLoadOp = VK_ATTACHMENT_LOAD_OP_DONT_CARE;
    attachment.stencilStoreOp = VK_ATTACHMENT_STORE_OP_DONT_CARE;
    attachment.initialLayout = VK_IMAGE_LAYOUT_UNDEFINED;
    attachment.finalLayout = VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL;
    VkAttachmentReference colour{0, VK_IMAGE_LAYOUT_COLOR_ATTACHMENT_OPTIMAL};
    VkSubpassDescription subpass{};
    subpass.pipelineBindPoint = VK_PIPELINE_BIND_POINT_GRAPHICS;
    subpass.colorAttachmentCount = 1;
    subpass.pColorAttachments = &colour;
    VkRenderPassCreateInfo passInfo{VK_STRUCTURE_TYPE_RENDER_PASS_CREATE_INFO};
    passInfo.attachmentCount = 1;
    passInfo.pAttachments = &attachment;
    passInfo.subpassCount = 1;
    passInfo.pSubpasses = &subpass;
    VkRenderPass renderPass;
    vkCreateRenderPass(device, &passInfo, nullptr, &renderPass);
    VkFramebufferCreateInfo framebufferInfo{VK_STRUCTURE_TYPE_FRAMEBUFFER_CREATE_INFO};
    framebufferInfo.renderPass = renderPass;
    framebufferInfo.attachmentCount = 1;
    framebufferInfo.pAttachments = &imageView;
    framebufferInfo.width = width;
    framebufferInfo.height = height;
    framebufferInfo.layers = 1;
    VkFramebuffer framebuffer;
    vkCreateFramebuffer(device, &framebufferInfo, nullptr, &framebuffer);

    // The surface: its file, and its image decoded by stb (rows from the top,
    // so flipped for v = 0 at the bottom).
    skimbler::VulkanSurfaceRenderer surface;
    std::string error;
    if (!surface.Init({vkGetInstanceProcAddr, instance, physical, device, family}, &error)
        || !surface.Open(argv[1], &error))
        return Fail(error);
    int imageWidth = 0, imageHeight = 0, components = 0;
    stbi_set_flip_vertically_on_load(1);
    stbi_uc *pixels = stbi_load(surface.ImagePath().c_str(), &imageWidth, &imageHeight, &components, 0);
    if (!pixels)
        return Fail(surface.ImagePath() + ": " + stbi_failure_reason());
    std::vector<stbi_uc> rgba;
    bool uploaded = false;
    if (components == 3) {
        uploaded = surface.UploadRgb(pixels, std::uint32_t(imageWidth), std::uint32_t(imageHeight), &error);
    } else {
        // Grey and grey with alpha as RGBA.
        stbi_image_free(pixels);
        pixels = stbi_load(surface.ImagePath().c_str(), &imageWidth, &imageHeight, &components, 4);
        uploaded = pixels && surface.UploadRgba(pixels, std::uint32_t(imageWidth), std::uint32_t(imageHeight), &error);
    }
    stbi_image_free(pixels);
    if (!uploaded)
        return Fail(error);

    // Record, run, read back.
    VkCommandPoolCreateInfo poolInfo{VK_STRUCTURE_TYPE_COMMAND_POOL_CREATE_INFO};
    poolInfo.queueFamilyIndex = family;
    VkCommandPool pool;
    vkCreateCommandPool(device, &poolInfo, nullptr, &pool);
    VkCommandBufferAllocateInfo commandInfo{VK_STRUCTURE_TYPE_COMMAND_BUFFER_ALLOCATE_INFO};
    commandInfo.commandPool = pool;
    commandInfo.level = VK_COMMAND_BUFFER_LEVEL_PRIMARY;
    commandInfo.commandBufferCount = 1;
    VkCommandBuffer commands;
    vkAllocateCommandBuffers(device, &commandInfo, &commands);
    VkCommandBufferBeginInfo begin{VK_STRUCTURE_TYPE_COMMAND_BUFFER_BEGIN_INFO};
    vkBeginCommandBuffer(commands, &begin);
    VkClearValue clear{};
    VkRenderPassBeginInfo passBegin{VK_STRUCTURE_TYPE_RENDER_PASS_BEGIN_INFO};
    passBegin.renderPass = renderPass;
    passBegin.framebuffer = framebuffer;
    passBegin.renderArea = {{0, 0}, {width, height}};
    passBegin.clearValueCount = 1;
    passBegin.pClearValues = &clear;
    vkCmdBeginRenderPass(commands, &passBegin, VK_SUBPASS_CONTENTS_INLINE);
    skimbler::View view;
    view.Width = int(width);
    view.Height = int(height);
    // A PNG's alpha is straight: the surface's own alpha, not blended.
    surface.SetAlphaOutput(skimbler::AlphaOutput::StraightPasses);
    const bool drawn = surface.Draw(commands, {renderPass, 0, VK_SAMPLE_COUNT_1_BIT}, view);
    vkCmdEndRenderPass(commands);
    VkBufferImageCopy copy{};
    copy.imageSubresource = {VK_IMAGE_ASPECT_COLOR_BIT, 0, 0, 1};
    copy.imageExtent = {width, height, 1};
    vkCmdCopyImageToBuffer(commands, image, VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL, readback, 1, &copy);
    VkBufferMemoryBarrier toHost{VK_STRUCTURE_TYPE_BUFFER_MEMORY_BARRIER};
    toHost.srcAccessMask = VK_ACCESS_TRANSFER_WRITE_BIT;
    toHost.dstAccessMask = VK_ACCESS_HOST_READ_BIT;
    toHost.srcQueueFamilyIndex = VK_QUEUE_FAMILY_IGNORED;
    toHost.dstQueueFamilyIndex = VK_QUEUE_FAMILY_IGNORED;
    toHost.buffer = readback;
    toHost.size = VK_WHOLE_SIZE;
    vkCmdPipelineBarrier(commands, VK_PIPELINE_STAGE_TRANSFER_BIT, VK_PIPELINE_STAGE_HOST_BIT, 0, 0, nullptr, 1,
                         &toHost, 0, nullptr);
    vkEndCommandBuffer(commands);
    VkSubmitInfo submit{VK_STRUCTURE_TYPE_SUBMIT_INFO};
    submit.commandBufferCount = 1;
    submit.pCommandBuffers = &commands;
    vkQueueSubmit(queue, 1, &submit, VK_NULL_HANDLE);
    vkQueueWaitIdle(queue);
    if (!drawn)
        return Fail("the surface could not be drawn");

    // Vulkan's row 0 is the picture's top, as PNG's is.
    void *mapped = nullptr;
    vkMapMemory(device, readbackMemory, 0, VK_WHOLE_SIZE, 0, &mapped);
    skimbler::StraightenAlpha(surface.Resolved(view), static_cast<std::uint8_t *>(mapped),
                              std::size_t(width) * height);
    const bool written = stbi_write_png(argv[2], int(width), int(height), 4, mapped, int(width) * 4) != 0;
    vkUnmapMemory(device, readbackMemory);

    surface.Release();
    vkDestroyCommandPool(device, pool, nullptr);
    vkDestroyFramebuffer(device, framebuffer, nullptr);
    vkDestroyRenderPass(device, renderPass, nullptr);
    vkDestroyBuffer(device, readback, nullptr);
    vkFreeMemory(device, readbackMemory, nullptr);
    vkDestroyImageView(device, imageView, nullptr);
    vkDestroyImage(device, image, nullptr);
    vkFreeMemory(device, imageMemory, nullptr);
    vkDestroyDevice(device, nullptr);
    vkDestroyInstance(instance, nullptr);
    if (!written)
        return Fail(std::string("could not write ") + argv[2]);
    std::printf("%s: %u x %u\n", argv[2], width, height);
    return 0;
}
