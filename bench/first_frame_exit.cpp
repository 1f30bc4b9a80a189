// Preloaded into a program under measurement (LD_PRELOAD): when the program
// presents its first frame, the process ends at once, so its whole life is
// "start-up to first frame" and its peak memory is that of getting there.
// SKIMBLER_EXIT_AFTER_SWAPS=N waits for the N-th frame instead; with
// SKIMBLER_PEAK_FILE set, the process's peak resident size (VmHWM, in kB) is
// written there first. The parent's rusage cannot tell it: a spawned child
// inherits the parent's high-water mark across exec.

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace {

std::atomic<int> g_swaps{0};

// Copies the VmHWM line's number from /proc/self/status to the peak file;
// plain system calls only, as this runs inside the program's frame.
void WritePeak()
{
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
    if (write(out, line, length) < 0) {
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

} // extern "C"
