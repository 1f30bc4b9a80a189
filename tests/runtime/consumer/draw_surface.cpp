// Writes a surface file, opens it with the runtime and draws it into an
// offscreen EGL context; exits 0 when the pixels are where they belong.
#include <skimbler/SurfaceFile.h>
#include <skimbler/SurfaceRenderer.h>

#include <fstream>

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int Fail(const char *what, const std::string &detail = std::string())
{
    std::fprintf(stderr, "draw_surface: %s %s\n", what, detail.c_str());
    return 1;
}

void *Load(const char *name)
{
    return reinterpret_cast<void *>(eglGetProcAddress(name));
}

template <typename Function>
Function Get(const char *name)
{
    return reinterpret_cast<Function>(eglGetProcAddress(name));
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2)
        return Fail("usage: draw_surface <folder to write in>");
    const int size = 64;

    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay)
        return Fail("no eglGetPlatformDisplayEXT");
    EGLDisplay display = getPlatformDisplay(0x31DD /* EGL_PLATFORM_SURFACELESS_MESA */, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr) || !eglBindAPI(EGL_OPENGL_API))
        return Fail("no surfaceless EGL display");
    const EGLint attributes[] = {EGL_CONTEXT_MAJOR_VERSION, 3, EGL_CONTEXT_MINOR_VERSION, 3,
                                 EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT, EGL_NONE};
    EGLContext context = eglCreateContext(display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes);
    if (context == EGL_NO_CONTEXT || !eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context))
        return Fail("no OpenGL 3.3 core context");

    // A framebuffer of our own: the runtime draws into whatever is bound.
    unsigned framebuffer = 0, colour = 0;
    Get<void (*)(int, unsigned *)>("glGenFramebuffers")(1, &framebuffer);
    Get<void (*)(unsigned, unsigned)>("glBindFramebuffer")(0x8D40, framebuffer);
    Get<void (*)(int, unsigned *)>("glGenRenderbuffers")(1, &colour);
    Get<void (*)(unsigned, unsigned)>("glBindRenderbuffer")(0x8D41, colour);
    Get<void (*)(unsigned, unsigned, int, int)>("glRenderbufferStorage")(0x8D41, 0x8058 /* RGBA8 */, size, size);
    Get<void (*)(unsigned, unsigned, unsigned, unsigned)>("glFramebufferRenderbuffer")(0x8D40, 0x8CE0, 0x8D41,
                                                                                        colour);
    Get<void (*)(int, int, int, int)>("glViewport")(0, 0, size, size);
    Get<void (*)(float, float, float, float)>("glClearColor")(0, 0, 0, 1);
    Get<void (*)(unsigned)>("glClear")(0x4000);

    // A white quad in the middle third of the window, every corner white.
    skimbler::SurfaceSettings settings = skimbler::DefaultSettings();
    const float points[4][3] = {{-0.4f, 0.3f, 0}, {-0.4f, -0.3f, 0}, {0.4f, 0.3f, 0}, {0.4f, -0.3f, 0}};
    for (int i = 0; i < 4; ++i) {
        for (int k = 0; k < 3; ++k)
            settings.Points[i][k] = points[i][k];
        for (int k = 0; k < 4; ++k)
            settings.Colors[i][k] = 1.0f;
    }
    const std::string path = std::string(argv[1]) + "/white.skimbler";
    std::string error;
    // The runtime only reads surface files: this one is written by hand.
    std::string text;
    if (!skimbler::SurfaceFile::Serialise(settings, 2, 2, std::string(argv[1]) + "/white.png", argv[1], &text, &error))
        return Fail("writing", error);
    std::ofstream(path, std::ios::binary) << text;

    skimbler::SurfaceRenderer renderer;
    if (!renderer.Init(&Load, skimbler::ShaderApi::OpenGL33, &error))
        return Fail("Init", error);
    if (!renderer.Open(path, &error))
        return Fail("Open", error);
    const std::uint8_t white[2 * 2 * 4] = {255, 255, 255, 255, 255, 255, 255, 255,
                                           255, 255, 255, 255, 255, 255, 255, 255};
    if (!renderer.UploadRgba(white, 2, 2, &error))
        return Fail("UploadRgba", error);
    skimbler::View view;
    view.Width = size;
    view.Height = size;
    renderer.Draw(view);

    unsigned char pixels[size * size * 4] = {};
    Get<void (*)(int, int, int, int, unsigned, unsigned, void *)>("glReadPixels")(0, 0, size, size, 0x1908, 0x1401,
                                                                                   pixels);
    const unsigned char *centre = &pixels[(size / 2 * size + size / 2) * 4];
    const unsigned char *corner = &pixels[0];
    renderer.Release();
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(display, context);
    if (centre[0] != 255 || centre[1] != 255 || centre[2] != 255)
        return Fail("the middle is not white");
    if (corner[0] != 0 || corner[1] != 0 || corner[2] != 0)
        return Fail("the corner is not the background");
    std::printf("drawn\n");
    return 0;
}
