#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace skimbler {

// The graphics APIs the runtime has shaders for. OpenGL ES 3.0 and WebGL 2
// share GLSL ES 3.00; desktop OpenGL uses GLSL 3.30 core.
enum class ShaderApi {
    OpenGL33,
    OpenGLES30,
    WebGL2,
};

struct ShaderSources
{
    std::string Vertex;
    std::string Fragment;
};

// The shaders the runtime draws with, complete with their version line. The
// body is the same for every API; GLSL ES gets a precision line and mixes the
// border in itself, since OpenGL ES 3.0 has no border clamp. It works the
// level of detail out itself for that, so in the quad's outermost pixels
// (within one of its outline) it can part from a driver's own choice of
// level: on Mesa, against the editor, up to 3 levels with GL_NEAREST or
// GL_LINEAR, 10 with GL_LINEAR_MIPMAP_LINEAR, 22 with
// GL_LINEAR_MIPMAP_NEAREST and 40 with the NEAREST_MIPMAP filters (a steeply
// tilted quad); inside it within 2 (3 where the blend weighs the source by
// itself, 7 on a small projective quad with mipmaps).
ShaderSources RuntimeShaderSources(ShaderApi api);

// How one DrawVertex is laid out in the vertex buffer the shaders read: three
// attributes, all GL_FLOAT, interleaved.
struct VertexAttribute
{
    const char *Name;        // as spelt in the vertex shader
    std::uint32_t Location;  // fixed by layout(location = N)
    int Components;
    std::size_t Offset;  // bytes from the start of the vertex
};

constexpr int RuntimeVertexAttributeCount = 3;
extern const VertexAttribute RuntimeVertexAttributes[RuntimeVertexAttributeCount];
std::size_t RuntimeVertexStride();  // sizeof(DrawVertex)

// The uniforms the shaders read.
namespace uniform {
constexpr const char *Projection = "u_projection";  // mat4, column-major, ProjectionMatrix
constexpr const char *ModelView = "u_modelView";    // mat4, column-major, SurfaceModelView
constexpr const char *Texture = "u_texture";        // sampler2D, texture unit 0
// ivec2 (mag filter, min filter) as enumerants: GLSL ES only, for the
// in-shader border.
constexpr const char *Filters = "u_filters";
// float: the border's alpha, 0 for an image with alpha, 1 for a 24-bit one.
// GLSL ES only.
constexpr const char *BorderAlpha = "u_borderAlpha";
} // namespace uniform

} // namespace skimbler
