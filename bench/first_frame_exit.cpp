// Preloaded into a program under measurement (LD_PRELOAD): when the program
// presents its first frame, the process ends at once, so its whole life is
// "start-up to first frame" and its peak memory is that of getting there.
// SKIMBLER_EXIT_AFTER_SWAPS=N waits for the N-th frame instead; with
// SKIMBLER_PEAK_FILE set, the process's peak resident size (VmHWM, in kB) is
// written there first, then the moment of the frame (CLOCK_MONOTONIC, ms):
// tearing the process down is no part of its start. The parent's rusage cannot tell it: a spawned child
// inherits the parent's high-water mark across exec.
//
// SKIMBLER_EXIT_AFTER_TEXTURE_SIDE=S counts only frames presented after a
// texture whose larger side is at least S pixels was uploaded: when the
// window shows before its image has arrived, the frame that matters is the
// first one with the picture in it, not the first one at all. The upload
// is seen at glTexImage2D (level 0 of a 2D texture; proxies do not count),
// the call the renderer makes, and the texture counts once it is bound
// after that call: the view makes a large picture's texture on a thread of
// its own and binds it only when the picture is shown. The view's own
// window-sized textures count too, so S must be larger than the screen.

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

std::atomic<int> g_swaps{0};
std::atomic<bool> g_textureSeen{false};
// The large texture made, not yet bound since.
std::atomic<int> g_uploaded{0};

int TextureSide()
{
    static const int side = [] {
        const char *value = std::getenv("SKIMBLER_EXIT_AFTER_TEXTURE_SIDE");
        const int n = value ? std::atoi(value) : 0;
        return n > 0 ? n : 0;
    }();
    return side;
}

// Copies the VmHWM line's number from /proc/self/status to the peak file;
// plain system calls only, as this runs inside the program's frame.
void WritePeak()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const char *target = std::getenv("SKIMBLER_PEAK_FILE");
    if (!target)
        return;
    char status[8192];
    const int in = open("/proc/self/status", O_RDONLY);
    if (in < 0)
        return;
    const ssize_t size = read(in, status, sizeof status - 1);
    close(in);
    if (size <= 0)
        return;
    status[size] = 0;
    const char *line = std::strstr(status, "VmHWM:");
    if (!line)
        return;
    line += 6;
    while (*line == ' ' || *line == '\t')
        ++line;
    size_t length = 0;
    while (line[length] >= '0' && line[length] <= '9')
        ++length;
    const int out = open(target, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0)
        return;
    char frame[64];
    const int frameLength = std::snprintf(frame, sizeof frame, " %.3f", now.tv_sec * 1000.0 + now.tv_nsec / 1e6);
    if (write(out, line, length) < 0 || write(out, frame, size_t(frameLength)) < 0) {
    }
    close(out);
}

void CountSwap()
{
    static const int wanted = [] {
        const char *value = std::getenv("SKIMBLER_EXIT_AFTER_SWAPS");
        const int n = value ? std::atoi(value) : 1;
        return n > 0 ? n : 1;
    }();
    // Frames before the picture arrived are not what is being waited for.
    if (TextureSide() > 0 && !g_textureSeen.load())
        return;
    if (++g_swaps >= wanted) {
        WritePeak();
        _exit(0);
    }  // no destructors: the frame is what was measured
}

template <typename Function>
Function Next(const char *name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" {

void glXSwapBuffers(void *display, unsigned long drawable)
{
    using Swap = void (*)(void *, unsigned long);
    static const Swap next = Next<Swap>("glXSwapBuffers");
    if (next)
        next(display, drawable);
    CountSwap();
}

unsigned eglSwapBuffers(void *display, void *surface)
{
    using Swap = unsigned (*)(void *, void *);
    static const Swap next = Next<Swap>("eglSwapBuffers");
    const unsigned result = next ? next(display, surface) : 0;
    CountSwap();
    return result;
}

void glTexImage2D(unsigned target, int level, int internalFormat, int width, int height, int border,
                  unsigned format, unsigned type, const void *pixels)
{
    using Upload = void (*)(unsigned, int, int, int, int, int, unsigned, unsigned, const void *);
    static const Upload next = Next<Upload>("glTexImage2D");
    if (next)
        next(target, level, internalFormat, width, height, border, format, type, pixels);
    constexpr unsigned kTexture2D = 0x0DE1;  // GL_TEXTURE_2D; GL_PROXY_TEXTURE_2D only asks
    const int side = TextureSide();
    if (side > 0 && target == kTexture2D && level == 0 && (width >= side || height >= side)) {
        using GetIntegers = void (*)(unsigned, int *);
        static const GetIntegers getIntegers = Next<GetIntegers>("glGetIntegerv");
        constexpr unsigned kTextureBinding2D = 0x8069;
        int bound = 0;
        if (getIntegers)
            getIntegers(kTextureBinding2D, &bound);
        g_uploaded.store(bound);
    }
}

void glBindTexture(unsigned target, unsigned texture)
{
    using Bind = void (*)(unsigned, unsigned);
    static const Bind next = Next<Bind>("glBindTexture");
    if (next)
        next(target, texture);
    if (texture != 0 && int(texture) == g_uploaded.load())
        g_textureSeen.store(true);
}

} // extern "C"
