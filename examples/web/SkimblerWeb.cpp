// skimbler::SurfaceRenderer in a web page. The page puts the surface file
// into the module's file system, decodes the image itself (the browser reads
// every format it shows) and hands the pixels in; the renderer draws with
// WebGL 2 on the page's canvas.

#include "skimbler/SurfaceRenderer.h"

#include <GLES3/gl3.h>
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <string>

namespace {

skimbler::SurfaceRenderer renderer;
std::string lastError;

void *Lookup(const char *name)
{
    return emscripten_webgl_get_proc_address(name);
}

} // namespace

extern "C" {

// Makes a WebGL 2 context on the canvas `selector` names ("#surface") and
// the renderer in it. 0, with skimbler_error, when it cannot.
EMSCRIPTEN_KEEPALIVE int skimbler_init(const char *selector)
{
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 2;
    attributes.minorVersion = 0;
    attributes.alpha = EM_TRUE;
    attributes.depth = EM_FALSE;
    attributes.antialias = EM_FALSE;  // the editor's edges
    attributes.premultipliedAlpha = EM_FALSE;  // the frame's alpha is straight, as the editor's
    attributes.preserveDrawingBuffer = EM_TRUE;  // the page may read the picture back
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_create_context(selector, &attributes);
    if (context <= 0) {
        lastError = "this browser gives no WebGL 2 context";
        return 0;
    }
    emscripten_webgl_make_context_current(context);
    renderer.Release();
    return renderer.Init(Lookup, skimbler::ShaderApi::WebGL2, &lastError) ? 1 : 0;
}

// Reads a surface file from the module's file system (FS.writeFile).
EMSCRIPTEN_KEEPALIVE int skimbler_open(const char *path)
{
    return renderer.Open(path, &lastError) ? 1 : 0;
}

// The image: width x height texels of 4 (RGBA) or 3 (RGB, a 24-bit image)
// bytes, rows from v = 0 up (the image's bottom row first).
EMSCRIPTEN_KEEPALIVE int skimbler_upload(const std::uint8_t *pixels, int width, int height, int components)
{
    if (width <= 0 || height <= 0 || (components != 3 && components != 4)) {
        lastError = "the image must have a size and 3 or 4 bytes a texel";
        return 0;
    }
    const auto w = std::uint32_t(width), h = std::uint32_t(height);
    // A 24-bit image goes up as RGB: the shader then mixes in an opaque
    // border at its edges, as the editor's RGB texture does.
    if (components == 4)
        return renderer.UploadRgba(pixels, w, h, &lastError) ? 1 : 0;
    return renderer.UploadRgb(pixels, w, h, &lastError) ? 1 : 0;
}

// Draws the surface with the editor's camera over the whole canvas of
// width x height pixels, over whatever the page cleared it to.
EMSCRIPTEN_KEEPALIVE void skimbler_draw(int width, int height, int projective)
{
    skimbler::View view;
    view.Width = width;
    view.Height = height;
    glViewport(0, 0, width, height);
    renderer.Draw(view, projective != 0);
}

// The image the opened file names, as the file gives it.
EMSCRIPTEN_KEEPALIVE const char *skimbler_image_path()
{
    return renderer.ImagePath().c_str();
}

EMSCRIPTEN_KEEPALIVE const char *skimbler_error()
{
    return lastError.c_str();
}

} // extern "C"
