#include "render/CodeListingVulkan.h"

#include "render/CodeListing.h"
#include "render/OutputText.h"

#include "skimbler/RuntimeShaders.h"
#include "skimbler/Scene.h"
#include "skimbler/ValueTable.h"

#include <QFileInfo>
#include <QStringList>

#if SKIMBLER_RUNTIME_HAS_VULKAN
#include "skimbler/VulkanShaders.h"
#include "skimbler/VulkanSurfaceRenderer.h"
#endif

#include <cstring>
#include <utility>

namespace CodeListing {

using OutputText::FloatLiteral;

#if SKIMBLER_RUNTIME_HAS_VULKAN

namespace {

QString Numbered(const char *type, int value)
{
    return QStringLiteral("static_cast<%1>(%2) /* not a Vulkan name */").arg(QString::fromLatin1(type)).arg(value);
}

QString FilterName(VkFilter filter)
{
    switch (filter) {
    case VK_FILTER_NEAREST: return QStringLiteral("VK_FILTER_NEAREST");
    case VK_FILTER_LINEAR: return QStringLiteral("VK_FILTER_LINEAR");
    default: return Numbered("VkFilter", filter);
    }
}

QString MipmapModeName(VkSamplerMipmapMode mode)
{
    switch (mode) {
    case VK_SAMPLER_MIPMAP_MODE_NEAREST: return QStringLiteral("VK_SAMPLER_MIPMAP_MODE_NEAREST");
    case VK_SAMPLER_MIPMAP_MODE_LINEAR: return QStringLiteral("VK_SAMPLER_MIPMAP_MODE_LINEAR");
    default: return Numbered("VkSamplerMipmapMode", mode);
    }
}

QString AddressModeName(VkSamplerAddressMode mode)
{
    switch (mode) {
    case VK_SAMPLER_ADDRESS_MODE_REPEAT: return QStringLiteral("VK_SAMPLER_ADDRESS_MODE_REPEAT");
    case VK_SAMPLER_ADDRESS_MODE_MIRRORED_REPEAT: return QStringLiteral("VK_SAMPLER_ADDRESS_MODE_MIRRORED_REPEAT");
    case VK_SAMPLER_ADDRESS_MODE_CLAMP_TO_EDGE: return QStringLiteral("VK_SAMPLER_ADDRESS_MODE_CLAMP_TO_EDGE");
    case VK_SAMPLER_ADDRESS_MODE_CLAMP_TO_BORDER: return QStringLiteral("VK_SAMPLER_ADDRESS_MODE_CLAMP_TO_BORDER");
    default: return Numbered("VkSamplerAddressMode", mode);
    }
}

QString BorderName(VkBorderColor colour)
{
    switch (colour) {
    case VK_BORDER_COLOR_FLOAT_TRANSPARENT_BLACK: return QStringLiteral("VK_BORDER_COLOR_FLOAT_TRANSPARENT_BLACK");
    case VK_BORDER_COLOR_FLOAT_OPAQUE_BLACK: return QStringLiteral("VK_BORDER_COLOR_FLOAT_OPAQUE_BLACK");
    case VK_BORDER_COLOR_FLOAT_OPAQUE_WHITE: return QStringLiteral("VK_BORDER_COLOR_FLOAT_OPAQUE_WHITE");
    default: return Numbered("VkBorderColor", colour);
    }
}

QString BlendFactorName(VkBlendFactor factor)
{
    static const char *const names[] = {
        "VK_BLEND_FACTOR_ZERO", "VK_BLEND_FACTOR_ONE", "VK_BLEND_FACTOR_SRC_COLOR",
        "VK_BLEND_FACTOR_ONE_MINUS_SRC_COLOR", "VK_BLEND_FACTOR_DST_COLOR", "VK_BLEND_FACTOR_ONE_MINUS_DST_COLOR",
        "VK_BLEND_FACTOR_SRC_ALPHA", "VK_BLEND_FACTOR_ONE_MINUS_SRC_ALPHA", "VK_BLEND_FACTOR_DST_ALPHA",
        "VK_BLEND_FACTOR_ONE_MINUS_DST_ALPHA", "VK_BLEND_FACTOR_CONSTANT_COLOR",
        "VK_BLEND_FACTOR_ONE_MINUS_CONSTANT_COLOR", "VK_BLEND_FACTOR_CONSTANT_ALPHA",
        "VK_BLEND_FACTOR_ONE_MINUS_CONSTANT_ALPHA", "VK_BLEND_FACTOR_SRC_ALPHA_SATURATE"};
    if (factor >= 0 && std::size_t(factor) < sizeof names / sizeof names[0])
        return QString::fromLatin1(names[factor]);
    return Numbered("VkBlendFactor", factor);
}

QString Bool(VkBool32 value)
{
    return value ? QStringLiteral("VK_TRUE") : QStringLiteral("VK_FALSE");
}

// A blend attachment as a C++ initialiser named `name`.
QStringList Attachment(const QString &name, const VkPipelineColorBlendAttachmentState &blend)
{
    QStringList channels;
    const std::pair<VkColorComponentFlagBits, const char *> bits[] = {
        {VK_COLOR_COMPONENT_R_BIT, "VK_COLOR_COMPONENT_R_BIT"}, {VK_COLOR_COMPONENT_G_BIT, "VK_COLOR_COMPONENT_G_BIT"},
        {VK_COLOR_COMPONENT_B_BIT, "VK_COLOR_COMPONENT_B_BIT"}, {VK_COLOR_COMPONENT_A_BIT, "VK_COLOR_COMPONENT_A_BIT"}};
    for (const auto &bit : bits)
        if (blend.colorWriteMask & bit.first)
            channels << QString::fromLatin1(bit.second);
    return {QStringLiteral("static const VkPipelineColorBlendAttachmentState %1 = {").arg(name),
            QStringLiteral("    %1,").arg(Bool(blend.blendEnable)),
            QStringLiteral("    %1, %2, VK_BLEND_OP_ADD,")
                .arg(BlendFactorName(blend.srcColorBlendFactor), BlendFactorName(blend.dstColorBlendFactor)),
            QStringLiteral("    %1, %2, VK_BLEND_OP_ADD,")
                .arg(BlendFactorName(blend.srcAlphaBlendFactor), BlendFactorName(blend.dstAlphaBlendFactor)),
            QStringLiteral("    %1,").arg(channels.join(QStringLiteral(" | "))),
            QStringLiteral("};")};
}

QString Floats(const char *name, const float *values, int count, int perLine, const QString &comment)
{
    const QString array = OutputText::CArray("float", name, OutputText::FloatLiterals(values, count), perLine);
    return comment.isEmpty() ? array : comment + QLatin1Char('\n') + array;
}

QString Words(const char *name, const skimbler::SpirvWords &words)
{
    QStringList numbers;
    for (std::size_t i = 0; i < words.Count; ++i)
        numbers << QStringLiteral("0x%1").arg(words.Words[i], 8, 16, QLatin1Char('0'));
    return OutputText::CArray("uint32_t", name, numbers, 8);
}

QString GlName(const std::vector<skimbler::ValueTable::Entry> &table, std::uint32_t value)
{
    const QString name = OutputText::GlName(table, value);
    return name.isEmpty() ? OutputText::Hex(value) : name;
}

} // namespace

bool HasVulkanCode()
{
    return true;
}

QString VulkanCode(const skimbler::DrawState &state, const QString &imagePath, bool rgb, int viewWidth,
                   int viewHeight, double aspect)
{
    using skimbler::VulkanSurfaceRenderer;
    namespace vt = skimbler::ValueTable;
    const QString imageName = imagePath.isEmpty() ? QStringLiteral("no image") : QFileInfo(imagePath).fileName();
    QStringList lines;
    lines << QStringLiteral("/* Skimbler surface: %1, %2 x %3, for Vulkan 1.0. */")
                 .arg(imageName)
                 .arg(state.ImageWidth)
                 .arg(state.ImageHeight);
    lines << QStringLiteral("#include <vulkan/vulkan.h>");
    lines << QString();
    lines << QStringLiteral("/* The shaders as SPIR-V for vkCreateShaderModule (codeSize: sizeof the array); entry point \"main\". */");
    lines << Words("skimblerVertexSpirv", skimbler::VulkanVertexSpirv());
    lines << Words("skimblerFragmentSpirv", skimbler::VulkanFragmentSpirv());
    lines << QString();

    // Vertex input: one binding, the attributes as the shaders number them.
    const std::uint32_t stride = std::uint32_t(skimbler::RuntimeVertexStride());
    constexpr int kPerVertex = 3 + 4 + 4;
    float vertices[4 * kPerVertex];
    for (int i = 0; i < 4; ++i) {
        const skimbler::DrawVertex &vertex = state.Vertices[i];
        std::memcpy(&vertices[i * kPerVertex], vertex.Position, sizeof vertex.Position);
        std::memcpy(&vertices[i * kPerVertex + 3], vertex.TexCoord, sizeof vertex.TexCoord);
        std::memcpy(&vertices[i * kPerVertex + 7], vertex.Colour, sizeof vertex.Colour);
    }
    lines << Floats("skimblerVertices", vertices, 4 * kPerVertex, kPerVertex,
                    QStringLiteral("/* VK_PRIMITIVE_TOPOLOGY_TRIANGLE_STRIP of 4 vertices: top left, bottom left, top "
                                   "right, bottom right. */"));
    lines << QStringLiteral("static const VkVertexInputBindingDescription skimblerVertexBinding = {0, %1, VK_VERTEX_INPUT_RATE_VERTEX};")
                 .arg(stride);
    lines << QStringLiteral("static const VkVertexInputAttributeDescription skimblerVertexAttributes[%1] = {")
                 .arg(skimbler::RuntimeVertexAttributeCount);
    for (const skimbler::VertexAttribute &attribute : skimbler::RuntimeVertexAttributes) {
        lines << QStringLiteral("    {%1, 0, %2, %3}, /* %4 */")
                     .arg(attribute.Location)
                     .arg(attribute.Components == 3 ? QStringLiteral("VK_FORMAT_R32G32B32_SFLOAT")
                                                    : QStringLiteral("VK_FORMAT_R32G32B32A32_SFLOAT"))
                     .arg(attribute.Offset)
                     .arg(QString::fromLatin1(attribute.Name));
    }
    lines << QStringLiteral("};");
    lines << QString();

    // Push constants: the matrices, already in Vulkan's clip space.
    skimbler::View view;
    view.Width = viewWidth;
    view.Height = viewHeight;
    view.Aspect = aspect;
    double matrix[16];
    float projection[16], vulkanProjection[16], modelView[16];
    skimbler::ProjectionMatrix(view, matrix);
    for (int i = 0; i < 16; ++i)
        projection[i] = float(matrix[i]);
    VulkanSurfaceRenderer::VulkanProjection(projection, vulkanProjection);
    skimbler::SurfaceModelView(view, matrix);
    for (int i = 0; i < 16; ++i)
        modelView[i] = float(matrix[i]);
    lines << QStringLiteral("/* Push constants, vertex stage: the projection at byte %1, the model-view at byte %2,")
                 .arg(skimbler::vulkanpush::ProjectionOffset)
                 .arg(skimbler::vulkanpush::ModelViewOffset);
    lines << QStringLiteral("   column-major, for a %1 x %2 viewport {0, 0, %1, %2, 0, 1} at zoom 1 (clip space y down, z 0 to 1). */")
                 .arg(viewWidth)
                 .arg(viewHeight);
    lines << QStringLiteral("static const VkPushConstantRange skimblerPushConstants = {VK_SHADER_STAGE_VERTEX_BIT, 0, %1};")
                 .arg(skimbler::vulkanpush::Size);
    lines << Floats("skimblerProjection", vulkanProjection, 16, 4, QString());
    lines << Floats("skimblerModelView", modelView, 16, 4, QString());
    lines << QString();

    // The texture and its sampler.
    const VkSamplerCreateInfo sampler = VulkanSurfaceRenderer::SamplerInfo(state, rgb);
    lines << QStringLiteral("/* Set %1, binding %2: the texture, VK_FORMAT_R8G8B8A8_UNORM, %3 x %4, rows from v = 0 (the image's")
                 .arg(0)
                 .arg(skimbler::VulkanTextureBinding)
                 .arg(state.ImageWidth)
                 .arg(state.ImageHeight);
    lines << QStringLiteral("   bottom row) up%1, %2 with this sampler. */")
                 .arg(rgb ? QStringLiteral(" with alpha 255") : QString())
                 .arg(state.NeedsMipmaps ? QStringLiteral("every mipmap level down to 1 x 1,")
                                         : QStringLiteral("level 0 (a chain does no harm),"));
    lines << QStringLiteral("static const VkDescriptorSetLayoutBinding skimblerTextureBinding = {%1, "
                            "VK_DESCRIPTOR_TYPE_COMBINED_IMAGE_SAMPLER, 1, VK_SHADER_STAGE_FRAGMENT_BIT, nullptr};")
                 .arg(skimbler::VulkanTextureBinding);
    lines << QStringLiteral("static const VkSamplerCreateInfo skimblerSampler = {");
    lines << QStringLiteral("    VK_STRUCTURE_TYPE_SAMPLER_CREATE_INFO, nullptr, 0,");
    lines << QStringLiteral("    %1, /* magFilter: %2 */").arg(FilterName(sampler.magFilter), GlName(vt::MagFilter(), state.MagFilter));
    lines << QStringLiteral("    %1, /* minFilter: %2 */").arg(FilterName(sampler.minFilter), GlName(vt::MinFilter(), state.MinFilter));
    lines << QStringLiteral("    %1,").arg(MipmapModeName(sampler.mipmapMode));
    lines << QStringLiteral("    %1, %2, %3,")
                 .arg(AddressModeName(sampler.addressModeU), AddressModeName(sampler.addressModeV),
                      AddressModeName(sampler.addressModeW));
    lines << QStringLiteral("    %1, %2, %3, /* mipLodBias, anisotropyEnable, maxAnisotropy */")
                 .arg(FloatLiteral(sampler.mipLodBias), Bool(sampler.anisotropyEnable), FloatLiteral(sampler.maxAnisotropy));
    lines << QStringLiteral("    %1, VK_COMPARE_OP_NEVER,").arg(Bool(sampler.compareEnable));
    const QString maxLod = sampler.maxLod == VK_LOD_CLAMP_NONE ? QStringLiteral("VK_LOD_CLAMP_NONE")
                                                               : FloatLiteral(sampler.maxLod);
    lines << QStringLiteral("    %1, %2, /* minLod, maxLod%3 */")
                 .arg(FloatLiteral(sampler.minLod), maxLod,
                      sampler.maxLod == VK_LOD_CLAMP_NONE
                          ? QString()
                          : QStringLiteral(": level 0 alone, still minifying past the mag filter"));
    lines << QStringLiteral("    %1, /* %2 */")
                 .arg(BorderName(sampler.borderColor),
                      rgb ? QStringLiteral("a 24-bit image's border is opaque") : QStringLiteral("OpenGL's border"));
    lines << QStringLiteral("    %1,").arg(Bool(sampler.unnormalizedCoordinates));
    lines << QStringLiteral("};");
    lines << QString();

    // Blending.
    const VkPipelineColorBlendAttachmentState blend = VulkanSurfaceRenderer::BlendAttachment(state);
    lines << QStringLiteral("/* glBlendFunc(%1, %2)%3; no depth test, no culling, VK_POLYGON_MODE_FILL. */")
                 .arg(GlName(vt::BlendFactor(), state.SrcFactor), GlName(vt::BlendFactor(), state.DestFactor),
                      state.Blend ? QString() : QStringLiteral(", blending off"));
    lines << Attachment(QStringLiteral("skimblerBlend"), blend);
    lines << QString();
    // What VulkanSurfaceRenderer's StraightPasses record, for a pipeline of
    // the caller's own: the alpha alone, blending off (its factors then
    // unused, shown as the identity).
    skimbler::DrawState alphaPass = state;
    alphaPass.Blend = false;
    alphaPass.SrcFactor = skimbler::gl::ONE;
    alphaPass.DestFactor = skimbler::gl::ZERO;
    lines << QStringLiteral("/* Straight alpha, as render --transparent writes it: on (0, 0, 0, 0), draw with skimblerBlend");
    lines << QStringLiteral("   writing R, G and B alone, then again with skimblerAlphaPass; read the frame back and");
    lines << (skimbler::PremultipliesColour(state)
                  ? QStringLiteral("   divide each colour by its alpha (rounded), making pixels of alpha 0 all 0. */")
                  : QStringLiteral("   make pixels of alpha 0 all 0; the colours stay as drawn. */"));
    lines << Attachment(QStringLiteral("skimblerAlphaPass"),
                        VulkanSurfaceRenderer::BlendAttachment(alphaPass, VK_COLOR_COMPONENT_A_BIT));
    lines << QString();
    lines << QStringLiteral("/* Recording: vkCmdBindPipeline, vkCmdBindDescriptorSets, vkCmdBindVertexBuffers (skimblerVertices),");
    lines << QStringLiteral("   vkCmdPushConstants(commands, layout, VK_SHADER_STAGE_VERTEX_BIT, 0, %1, matrices) with")
                 .arg(skimbler::vulkanpush::Size);
    lines << QStringLiteral("   skimblerProjection then skimblerModelView, and vkCmdDraw(commands, 4, 1, 0, 0). */");
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

#else

bool HasVulkanCode()
{
    return false;
}

QString VulkanCode(const skimbler::DrawState &, const QString &, bool, int, int, double)
{
    return QString();
}

#endif

} // namespace CodeListing
