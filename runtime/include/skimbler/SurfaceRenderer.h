#pragma once

#include "skimbler/DrawState.h"
#include "skimbler/RuntimeShaders.h"
#include "skimbler/Scene.h"
#include "skimbler/SurfaceSettings.h"

#include <cstdint>
#include <memory>
#include <string>

namespace skimbler {

// Looks an OpenGL function up by name: SDL_GL_GetProcAddress or your own
// loader's.
using ProcAddressLoader = void *(*)(const char *name);
// The same for loaders that return a function pointer: glfwGetProcAddress,
// eglGetProcAddress.
using FunctionLoader = void (*(*)(const char *name))();

// Draws one surface in the caller's OpenGL 3.3 core, OpenGL ES 3.0 or
// WebGL 2 context with the same pixels as the editor. The caller owns the
// context and makes it current around every call but construction and
// destruction; call Release before the context goes, since the destructor
// cannot reach OpenGL. Nothing here links OpenGL.
//
// Draw binds its own program, vertex array, buffer, sampler and texture on
// unit 0 and sets blending, and puts all of these back as it found them.
// Depth testing, face culling, the viewport and the framebuffer are the
// caller's: the view given to Draw must match the viewport.
//
// Other APIs (Vulkan, Direct3D): skip this class. Resolve (DrawState.h)
// gives the four vertices with their (s q, t q, 0, q) texture coordinates
// and colours, the filters, wrap and blend factors in force;
// ProjectionMatrix and SurfaceModelView (Scene.h) give the matrices; the
// GLSL from RuntimeShaderSources shows what to do per vertex and fragment.
class SurfaceRenderer
{
public:
    // What Draw writes into the colour buffer (DrawState.h). StraightPasses
    // is what `skimbler-cli render --transparent` and the editor's
    // transparent export draw; with StraightenAlpha after it, the same bytes.
    using AlphaOutput = skimbler::AlphaOutput;

    SurfaceRenderer();
    ~SurfaceRenderer();
    SurfaceRenderer(const SurfaceRenderer &) = delete;
    SurfaceRenderer &operator=(const SurfaceRenderer &) = delete;

    // Loads the functions, compiles the shaders and makes the buffers. False
    // with `error` (the compiler's log, say) when it cannot.
    bool Init(ProcAddressLoader load, ShaderApi api, std::string *error);
    bool Init(FunctionLoader load, ShaderApi api, std::string *error);
    // Frees every OpenGL object made here; the context must be current.
    void Release();

    // Reads a surface file: its settings, the image path it names and the
    // image's size. The pixels are the caller's to load (UploadRgba).
    bool Open(const std::string &path, std::string *error);
    void SetSettings(const SurfaceSettings &settings);
    const SurfaceSettings &Settings() const;
    // The image the opened file names, resolved against the file's folder.
    const std::string &ImagePath() const;

    // Draws with a texture the caller made and keeps; with a min filter that
    // samples mipmaps it must hold its whole chain. Filters, wrap and the
    // border are set on the runtime's sampler, not on the texture.
    // `hasAlpha` false: a 24-bit image, whose border a linear filter mixes
    // in as opaque black rather than transparent black.
    void SetTexture(std::uint32_t texture, std::uint32_t width, std::uint32_t height, bool hasAlpha = true);
    // Makes the runtime's own texture from width x height pixels, rows from
    // v = 0 up, tightly packed, with the whole mipmap chain, as the editor
    // does: RGBA8 for an image with alpha, RGB8 for a 24-bit one (upload a
    // 24-bit image as RGB: made RGBA, its edges would fade to transparent).
    bool UploadRgba(const std::uint8_t *pixels, std::uint32_t width, std::uint32_t height, std::string *error);
    bool UploadRgb(const std::uint8_t *pixels, std::uint32_t width, std::uint32_t height, std::string *error);

    // Blended unless set; the colour write mask is put back after Draw.
    void SetAlphaOutput(AlphaOutput output);
    AlphaOutput Output() const;

    // What Draw sends for this view: the flag rules applied.
    DrawState Resolved(const View &view, bool projective = false) const;
    // Draws the surface into the bound framebuffer. The surface's own
    // PerspectiveCorrect (read by Open) decides whether a quad that is not a
    // parallelogram keeps the image's straight lines straight; `projective`
    // turns that on for a surface whose setting is off.
    void Draw(const View &view, bool projective = false);
    // Draws the surface in the caller's world: `model`, `view` and
    // `projection` are column-major 4 x 4 matrices (as glUniformMatrix4fv
    // takes them with transpose false, and as GLM and most engines keep
    // them), applied as projection * view * model * p. Model space is the
    // surface's own coordinates: its corner points as stored (x right, y up,
    // z towards the viewer; the plane's units, 4/3 across half the editor's
    // window), texture v = 0 at the bottom. The editor's camera is
    // model = SurfaceModelView, view = identity, projection =
    // ProjectionMatrix. Depth, culling and the viewport stay the caller's; a
    // surface with its corner points off is the image-sized quad of the
    // current viewport.
    void Draw(const float model[16], const float view[16], const float projection[16], bool projective = false);

private:
    template <typename Loader>
    bool InitWith(Loader load, ShaderApi api, std::string *error);
    void Adopt(const std::string &imagePath, std::uint32_t width, std::uint32_t height);
    bool Upload(const std::uint8_t *pixels, std::uint32_t width, std::uint32_t height, int components,
                std::string *error);
    void DrawWith(const DrawState &state, const float projection[16], const float modelView[16]);

    struct Impl;
    std::unique_ptr<Impl> m;
};

} // namespace skimbler
