// Preloaded into the editor (LD_PRELOAD) while it opens a large picture:
// measures the longest time its GUI thread stays away from its event loop
// while the picture opens, from the moment start-up hands over to the
// application's event loop (QApplication::exec) to the first frame with
// the picture in it, and, in the same process, how long one paint pass of that window
// takes. A 1 ms timer on the GUI thread is the probe of the loop: the gap
// between two of its ticks is how long nothing else could have run there.
// The time from the first frame to that hand-over (the rest of start-up:
// the tool windows) is reported on its own.
//
// The same gaps counted in the GUI thread's own processor time say how much
// of a gap was its work and how much waiting for a turn (on a machine with
// few cores, busy decoding) or for the window system.
//
// SKIMBLER_STALL_FILE: where "<longest gap ms> <median paint ms> <start-up
// rest ms> <longest gap in thread time ms>" is written before the process
// ends. SKIMBLER_STALL_TEXTURE_SIDE: the picture counts
// as shown once a texture with a side at least this large was uploaded
// (glTexImage2D, on any thread) and then bound.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QPointer>
#include <QTimer>
#include <QWindow>

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <vector>

#include <time.h>

namespace {

// Paint passes timed after the picture is shown.
constexpr int kPaints = 15;

std::atomic<int> g_uploaded{0};
// Set when start-up hands over to the application's event loop.
std::atomic<bool> g_loopEntered{false};
std::atomic<bool> g_shown{false};

int TextureSide()
{
    static const int side = [] {
        const char *value = std::getenv("SKIMBLER_STALL_TEXTURE_SIDE");
        return value ? std::max(0, std::atoi(value)) : 0;
    }();
    return side;
}

// Processor time of the calling thread.
double ThreadMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

double NowMs()
{
    static QElapsedTimer clock = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    return clock.nsecsElapsed() / 1e6;
}

// On the GUI thread only.
struct Probe : QObject
{
    QTimer heartbeat;
    double lastTick = 0;
    double longestGap = 0;
    double lastThreadTick = 0;
    double longestThreadGap = 0;
    // Until the application's loop runs, start-up holds the thread.
    bool started = false;
    double firstFrame = 0;
    double startupRest = 0;
    bool measuring = true;
    double paintStart = -1;
    QPointer<QWindow> window;
    std::vector<double> paints;

    Probe()
    {
        heartbeat.setTimerType(Qt::PreciseTimer);
        heartbeat.setInterval(1);
        QObject::connect(&heartbeat, &QTimer::timeout, [this] {
            const double now = NowMs();
            const double threadNow = ThreadMs();
            if (started && measuring)
                longestThreadGap = std::max(longestThreadGap, threadNow - lastThreadTick);
            lastThreadTick = threadNow;
            if (!started) {
                if (!g_loopEntered.load()) {
                    lastTick = now;
                    return;
                }
                started = true;
                startupRest = now - firstFrame;
            } else if (measuring) {
                longestGap = std::max(longestGap, now - lastTick);
            }
            lastTick = now;
        });
        lastTick = firstFrame = NowMs();
        heartbeat.start();
        QCoreApplication::instance()->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if ((event->type() == QEvent::UpdateRequest || event->type() == QEvent::Expose) && watched->isWindowType()) {
            paintStart = NowMs();
            window = static_cast<QWindow *>(watched);
        }
        return false;
    }

    void Swapped()
    {
        const double now = NowMs();
        const double paint = paintStart >= 0 ? now - paintStart : -1;
        paintStart = -1;
        if (!g_shown.load())
            return;
        if (measuring) {
            // The frame with the picture ends the open; the gap up to it counts.
            measuring = false;
            if (started) {
                longestGap = std::max(longestGap, now - lastTick);
                longestThreadGap = std::max(longestThreadGap, ThreadMs() - lastThreadTick);
            }
            else
                startupRest = now - firstFrame;
        } else if (paint >= 0) {
            paints.push_back(paint);
        }
        if (int(paints.size()) >= kPaints) {
            Finish();
            return;
        }
        QPointer<QWindow> target = window;
        QTimer::singleShot(0, [target] {
            if (target)
                target->requestUpdate();
        });
    }

    void Finish()
    {
        std::sort(paints.begin(), paints.end());
        const double median = paints[paints.size() / 2];
        if (const char *path = std::getenv("SKIMBLER_STALL_FILE")) {
            QFile file(QFile::decodeName(path));
            if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
                file.write(QByteArray::number(longestGap, 'f', 3) + ' ' + QByteArray::number(median, 'f', 3) + ' '
                           + QByteArray::number(startupRest, 'f', 3) + ' '
                           + QByteArray::number(longestThreadGap, 'f', 3));
        }
        _exit(0);
    }
};

Probe *g_probe = nullptr;

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
    // The first frame starts the probe: start-up is not the open.
    if (!g_probe)
        g_probe = new Probe;
    else
        g_probe->Swapped();
}

// QApplication::exec, interposed: the editor's start-up ends where it is called.
int _ZN12QApplication4execEv()
{
    using Exec = int (*)();
    static const Exec next = Next<Exec>("_ZN12QApplication4execEv");
    g_loopEntered.store(true);
    return next ? next() : 1;
}

void glTexImage2D(unsigned target, int level, int internalFormat, int width, int height, int border,
                  unsigned format, unsigned type, const void *pixels)
{
    using Upload = void (*)(unsigned, int, int, int, int, int, unsigned, unsigned, const void *);
    static const Upload next = Next<Upload>("glTexImage2D");
    if (next)
        next(target, level, internalFormat, width, height, border, format, type, pixels);
    constexpr unsigned kTexture2D = 0x0DE1;
    const int side = TextureSide();
    if (side > 0 && target == kTexture2D && level == 0 && (width >= side || height >= side)) {
        using GetIntegers = void (*)(unsigned, int *);
        static const GetIntegers getIntegers = Next<GetIntegers>("glGetIntegerv");
        int bound = 0;
        if (getIntegers)
            getIntegers(0x8069, &bound);  // GL_TEXTURE_BINDING_2D
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
        g_shown.store(true);
}

} // extern "C"
