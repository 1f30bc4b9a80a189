#pragma once

#include <cstdint>
#include <string>
#include <vector>

// An OpenGL context without a window or a display: EGL on Mesa's surfaceless
// platform, drawing into a framebuffer object of its own. For tests and the
// command line; nothing here needs Qt or a running X server.
class HeadlessContext
{
public:
    enum class Api {
        Core33,         // OpenGL 3.3 core profile
        Compatibility,  // OpenGL with the fixed-function pipeline, as the editor draws
        Es30,           // OpenGL ES 3.0
    };

    HeadlessContext() = default;
    HeadlessContext(const HeadlessContext &) = delete;
    HeadlessContext &operator=(const HeadlessContext &) = delete;
    ~HeadlessContext();

    // Makes the context and its width x height RGBA8 framebuffer (with a
    // depth buffer), leaves both current and bound. False with `error` set
    // when EGL or the driver cannot.
    bool Create(Api api, int width, int height, std::string *error);
    bool MakeCurrent();
    void DoneCurrent();

    // The framebuffer's pixels, RGBA8, rows from the bottom up.
    std::vector<std::uint8_t> ReadPixels();

    // eglGetProcAddress: what a renderer's loader is handed.
    static void *GetProcAddress(const char *name);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool IsValid() const { return m_context != nullptr; }

private:
    void Destroy();

    Api m_api = Api::Core33;
    void *m_display = nullptr;
    void *m_context = nullptr;
    std::uint32_t m_framebuffer = 0;
    std::uint32_t m_renderbuffers[2] = {0, 0};
    int m_width = 0;
    int m_height = 0;
};
