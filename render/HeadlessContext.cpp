#include "render/HeadlessContext.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstdio>
#include <cstring>
#include <type_traits>

#ifndef EGL_PLATFORM_SURFACELESS_MESA
#define EGL_PLATFORM_SURFACELESS_MESA 0x31DD
#endif
#ifndef EGL_NO_CONFIG_KHR
#define EGL_NO_CONFIG_KHR ((EGLConfig)0)
#endif

namespace {

// The few OpenGL entry points the framebuffer needs, loaded through EGL so
// that this file links EGL alone.
constexpr unsigned kFramebuffer = 0x8D40;
constexpr unsigned kRenderbuffer = 0x8D41;
constexpr unsigned kRgba8 = 0x8058;
constexpr unsigned kDepth24Stencil8 = 0x88F0;
constexpr unsigned kColorAttachment0 = 0x8CE0;
constexpr unsigned kDepthStencilAttachment = 0x821A;
constexpr unsigned kFramebufferComplete = 0x8CD5;
constexpr unsigned kRgba = 0x1908;
constexpr unsigned kUnsignedByte = 0x1401;
constexpr unsigned kPackAlignment = 0x0D05;

struct GlFunctions
{
    void (*GenFramebuffers)(int, unsigned *) = nullptr;
    void (*DeleteFramebuffers)(int, const unsigned *) = nullptr;
    void (*BindFramebuffer)(unsigned, unsigned) = nullptr;
    void (*GenRenderbuffers)(int, unsigned *) = nullptr;
    void (*DeleteRenderbuffers)(int, const unsigned *) = nullptr;
    void (*BindRenderbuffer)(unsigned, unsigned) = nullptr;
    void (*RenderbufferStorage)(unsigned, unsigned, int, int) = nullptr;
    void (*FramebufferRenderbuffer)(unsigned, unsigned, unsigned, unsigned) = nullptr;
    unsigned (*CheckFramebufferStatus)(unsigned) = nullptr;
    void (*Viewport)(int, int, int, int) = nullptr;
    void (*ReadPixels)(int, int, int, int, unsigned, unsigned, void *) = nullptr;
    void (*PixelStorei)(unsigned, int) = nullptr;
    void (*Finish)() = nullptr;

    bool Load()
    {
        bool ok = true;
        auto load = [&ok](auto &function, const char *name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(eglGetProcAddress(name));
            ok = ok && function != nullptr;
        };
        load(GenFramebuffers, "glGenFramebuffers");
        load(DeleteFramebuffers, "glDeleteFramebuffers");
        load(BindFramebuffer, "glBindFramebuffer");
        load(GenRenderbuffers, "glGenRenderbuffers");
        load(DeleteRenderbuffers, "glDeleteRenderbuffers");
        load(BindRenderbuffer, "glBindRenderbuffer");
        load(RenderbufferStorage, "glRenderbufferStorage");
        load(FramebufferRenderbuffer, "glFramebufferRenderbuffer");
        load(CheckFramebufferStatus, "glCheckFramebufferStatus");
        load(Viewport, "glViewport");
        load(ReadPixels, "glReadPixels");
        load(PixelStorei, "glPixelStorei");
        load(Finish, "glFinish");
        return ok;
    }
};

GlFunctions &Gl()
{
    static GlFunctions functions;
    return functions;
}

bool HasExtension(const char *list, const char *name)
{
    if (!list)
        return false;
    const std::size_t length = std::strlen(name);
    for (const char *p = std::strstr(list, name); p; p = std::strstr(p + 1, name)) {
        if ((p == list || p[-1] == ' ') && (p[length] == ' ' || p[length] == '\0'))
            return true;
    }
    return false;
}

std::string EglError(const char *what)
{
    char code[16];
    std::snprintf(code, sizeof code, "0x%04X", static_cast<unsigned>(eglGetError()));
    return std::string(what) + " failed (EGL error " + code + ")";
}

// One display for the process: terminating it would take every other
// context on it along.
EGLDisplay SurfacelessDisplay(std::string *error)
{
    static EGLDisplay display = EGL_NO_DISPLAY;
    if (display != EGL_NO_DISPLAY)
        return display;
    const char *clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (!HasExtension(clientExtensions, "EGL_MESA_platform_surfaceless")) {
        *error = "EGL has no surfaceless platform (Mesa's EGL_MESA_platform_surfaceless)";
        return EGL_NO_DISPLAY;
    }
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) {
        *error = "EGL has no eglGetPlatformDisplayEXT";
        return EGL_NO_DISPLAY;
    }
    EGLDisplay candidate = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    EGLint major = 0, minor = 0;
    if (candidate == EGL_NO_DISPLAY || !eglInitialize(candidate, &major, &minor)) {
        *error = EglError("eglInitialize");
        return EGL_NO_DISPLAY;
    }
    const char *extensions = eglQueryString(candidate, EGL_EXTENSIONS);
    for (const char *needed : {"EGL_KHR_no_config_context", "EGL_KHR_surfaceless_context"}) {
        if (!HasExtension(extensions, needed)) {
            *error = std::string("EGL lacks ") + needed;
            return EGL_NO_DISPLAY;
        }
    }
    display = candidate;
    return display;
}

EGLenum ClientApi(HeadlessContext::Api api)
{
    return api == HeadlessContext::Api::Es30 ? EGL_OPENGL_ES_API : EGL_OPENGL_API;
}

} // namespace

HeadlessContext::~HeadlessContext()
{
    Destroy();
}

bool HeadlessContext::Create(Api api, int width, int height, std::string *error)
{
    Destroy();
    std::string ignored;
    if (!error)
        error = &ignored;
    if (width <= 0 || height <= 0) {
        *error = "the framebuffer needs a positive size";
        return false;
    }
    EGLDisplay display = SurfacelessDisplay(error);
    if (display == EGL_NO_DISPLAY)
        return false;
    if (!eglBindAPI(ClientApi(api))) {
        *error = EglError("eglBindAPI");
        return false;
    }
    EGLint attributes[16];
    int n = 0;
    switch (api) {
    case Api::Core33:
        attributes[n++] = EGL_CONTEXT_MAJOR_VERSION;
        attributes[n++] = 3;
        attributes[n++] = EGL_CONTEXT_MINOR_VERSION;
        attributes[n++] = 3;
        attributes[n++] = EGL_CONTEXT_OPENGL_PROFILE_MASK;
        attributes[n++] = EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT;
        break;
    case Api::Compatibility:
        attributes[n++] = EGL_CONTEXT_OPENGL_PROFILE_MASK;
        attributes[n++] = EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT;
        break;
    case Api::Es30:
        attributes[n++] = EGL_CONTEXT_MAJOR_VERSION;
        attributes[n++] = 3;
        attributes[n++] = EGL_CONTEXT_MINOR_VERSION;
        attributes[n++] = 0;
        break;
    }
    attributes[n] = EGL_NONE;
    EGLContext context = eglCreateContext(display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes);
    if (context == EGL_NO_CONTEXT) {
        *error = EglError("eglCreateContext");
        return false;
    }
    m_display = display;
    m_context = context;
    m_api = api;
    if (!MakeCurrent()) {
        *error = EglError("eglMakeCurrent");
        Destroy();
        return false;
    }
    GlFunctions &gl = Gl();
    if (!gl.GenFramebuffers && !gl.Load()) {
        *error = "the driver lacks framebuffer objects";
        Destroy();
        return false;
    }
    gl.GenFramebuffers(1, &m_framebuffer);
    gl.BindFramebuffer(kFramebuffer, m_framebuffer);
    gl.GenRenderbuffers(2, m_renderbuffers);
    gl.BindRenderbuffer(kRenderbuffer, m_renderbuffers[0]);
    gl.RenderbufferStorage(kRenderbuffer, kRgba8, width, height);
    gl.FramebufferRenderbuffer(kFramebuffer, kColorAttachment0, kRenderbuffer, m_renderbuffers[0]);
    gl.BindRenderbuffer(kRenderbuffer, m_renderbuffers[1]);
    gl.RenderbufferStorage(kRenderbuffer, kDepth24Stencil8, width, height);
    gl.FramebufferRenderbuffer(kFramebuffer, kDepthStencilAttachment, kRenderbuffer, m_renderbuffers[1]);
    gl.BindRenderbuffer(kRenderbuffer, 0);
    if (gl.CheckFramebufferStatus(kFramebuffer) != kFramebufferComplete) {
        *error = "the framebuffer object is incomplete";
        Destroy();
        return false;
    }
    gl.Viewport(0, 0, width, height);
    m_width = width;
    m_height = height;
    return true;
}

bool HeadlessContext::MakeCurrent()
{
    if (!m_context)
        return false;
    eglBindAPI(ClientApi(m_api));
    return eglMakeCurrent(m_display, EGL_NO_SURFACE, EGL_NO_SURFACE, m_context) == EGL_TRUE;
}

void HeadlessContext::DoneCurrent()
{
    if (!m_context)
        return;
    eglBindAPI(ClientApi(m_api));
    if (eglGetCurrentContext() == m_context)
        eglMakeCurrent(m_display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

std::vector<std::uint8_t> HeadlessContext::ReadPixels()
{
    std::vector<std::uint8_t> pixels;
    if (!MakeCurrent())
        return pixels;
    GlFunctions &gl = Gl();
    pixels.resize(std::size_t(m_width) * m_height * 4);
    gl.Finish();
    gl.BindFramebuffer(kFramebuffer, m_framebuffer);
    gl.PixelStorei(kPackAlignment, 1);
    gl.ReadPixels(0, 0, m_width, m_height, kRgba, kUnsignedByte, pixels.data());
    return pixels;
}

void *HeadlessContext::GetProcAddress(const char *name)
{
    return reinterpret_cast<void *>(eglGetProcAddress(name));
}

void HeadlessContext::Destroy()
{
    if (!m_context)
        return;
    if (MakeCurrent()) {
        GlFunctions &gl = Gl();
        if (m_framebuffer)
            gl.DeleteFramebuffers(1, &m_framebuffer);
        if (m_renderbuffers[0] || m_renderbuffers[1])
            gl.DeleteRenderbuffers(2, m_renderbuffers);
    }
    m_framebuffer = 0;
    m_renderbuffers[0] = m_renderbuffers[1] = 0;
    DoneCurrent();
    eglDestroyContext(m_display, m_context);
    m_context = nullptr;
    m_display = nullptr;
    m_width = m_height = 0;
}
