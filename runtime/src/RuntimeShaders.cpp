#include "skimbler/RuntimeShaders.h"

#include "skimbler/DrawState.h"

namespace skimbler {

namespace {

const char *const kVertexBody = R"(
layout(location = 0) in vec3 a_position;
layout(location = 1) in vec4 a_texCoord;
layout(location = 2) in vec4 a_colour;

uniform mat4 u_projection;
uniform mat4 u_modelView;

out vec4 v_texCoord;
out vec4 v_colour;

void main()
{
    v_texCoord = a_texCoord;
    // Fixed-function colours are clamped as they are sent.
    v_colour = clamp(a_colour, 0.0, 1.0);
    gl_Position = u_projection * (u_modelView * vec4(a_position, 1.0));
}
)";

// Texture times colour (GL_MODULATE); (s q, t q, q) divided per fragment.
// Wrapping clamps to [0, 1] and lets a linear filter mix in a black border
// at the edges: transparent for an image with alpha, opaque for a 24-bit
// one. Desktop OpenGL does that in the sampler (GL_CLAMP_TO_BORDER); GLSL ES
// samples clamped to the edge and mixes the border in by how much of the
// footprint falls outside the image, which is the same thing within one
// level.
const char *const kFragmentBody = R"(
uniform sampler2D u_texture;

in vec4 v_texCoord;
in vec4 v_colour;

layout(location = 0) out vec4 o_colour;

#ifdef SKIMBLER_BORDER_IN_SHADER
uniform ivec2 u_filters;
uniform float u_borderAlpha;

float EdgeWeight(vec2 st, int level)
{
    vec2 size = vec2(textureSize(u_texture, level));
    vec2 inside = clamp(min(st, 1.0 - st) * size + 0.5, 0.0, 1.0);
    return inside.x * inside.y;
}

// How much of the filter's footprint at this fragment lies on the image
// rather than on the border, level by level as the sampler picks them. The
// level of detail is worked out as the OpenGL ES rules give it; a driver's
// own approximation may pick another level, weigh two levels otherwise or
// switch between mag and min elsewhere, which shows in the quad's outermost
// pixels only, and most with the mipmap filters on a steeply tilted quad.
float BorderWeight(vec2 st)
{
    vec2 size = vec2(textureSize(u_texture, 0));
    vec2 dx = dFdx(st * size);
    vec2 dy = dFdy(st * size);
    float lod = log2(max(length(dx), length(dy)));
    int chosen = lod > 0.0 ? u_filters.y : u_filters.x;
    if (chosen == 0x2601) // LINEAR
        return EdgeWeight(st, 0);
    if (chosen != 0x2701 && chosen != 0x2703) // nearest texels never reach the border
        return 1.0;
    float top = floor(log2(max(size.x, size.y)));
    float level = clamp(lod, 0.0, top);
    if (chosen == 0x2701) // LINEAR_MIPMAP_NEAREST
        return EdgeWeight(st, int(ceil(level + 0.5) - 1.0));
    int below = int(floor(level));
    return mix(EdgeWeight(st, below), EdgeWeight(st, min(below + 1, int(top))), fract(level));
}
#endif

void main()
{
    vec4 texel = textureProj(u_texture, v_texCoord.xyw);
#ifdef SKIMBLER_BORDER_IN_SHADER
    texel = mix(vec4(0.0, 0.0, 0.0, u_borderAlpha), texel, BorderWeight(v_texCoord.xy / v_texCoord.w));
#endif
    o_colour = texel * v_colour;
}
)";

std::string Prelude(ShaderApi api)
{
    if (api == ShaderApi::OpenGL33)
        return "#version 330 core\n";
    return "#version 300 es\nprecision highp float;\nprecision highp int;\nprecision highp sampler2D;\n";
}

} // namespace

ShaderSources RuntimeShaderSources(ShaderApi api)
{
    ShaderSources sources;
    sources.Vertex = Prelude(api) + kVertexBody;
    sources.Fragment = Prelude(api);
    if (api != ShaderApi::OpenGL33)
        sources.Fragment += "#define SKIMBLER_BORDER_IN_SHADER 1\n";
    sources.Fragment += kFragmentBody;
    return sources;
}

const VertexAttribute RuntimeVertexAttributes[RuntimeVertexAttributeCount] = {
    {"a_position", 0, 3, offsetof(DrawVertex, Position)},
    {"a_texCoord", 1, 4, offsetof(DrawVertex, TexCoord)},
    {"a_colour", 2, 4, offsetof(DrawVertex, Colour)},
};

std::size_t RuntimeVertexStride()
{
    return sizeof(DrawVertex);
}

} // namespace skimbler
