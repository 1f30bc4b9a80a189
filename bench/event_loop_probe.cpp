// Preloaded into the editor (LD_PRELOAD) while it opens a large picture:
// measures how long its GUI thread stays away from its event loop while
// the picture opens, from the moment start-up hands over to the
// application's event loop (QApplication::exec) to the first frame with
// the picture in it, and, in the same process, how long one paint pass of
// that window takes. Two measures of the same thing:
//
//   away     the longest stretch from one return of the event loop's wait
//            (its poll) to its next wait: the thread's own work, and its
//            waits for anything but input (a window-system reply, a lock);
//   gap      the longest gap between two ticks of a 1 ms timer on the GUI
//            thread: what a user's input could meet, the machine's own
//            pauses included (a late wake-up, a processor taken away).
//
// The same gaps counted in the GUI thread's own processor time say how much
// of a gap was its work and how much waiting. The time from the first
// frame to the hand-over (the rest of start-up: the tool windows) is
// reported on its own.
//
// SKIMBLER_STALL_FILE: where "<longest gap ms> <median paint ms> <start-up
// rest ms> <longest gap in thread time ms> <longest away ms>" is written
// before the process ends. SKIMBLER_STALL_TEXTURE_SIDE: the picture counts
// as shown once a texture with a side at least this large was uploaded
// (glTexImage2D, on any thread) and then bound. SKIMBLER_STALL_TRACE: where
// the longest gap is taken apart (what the thread ran, waited for a processor
// for, and slept through, and the events it handled meanwhile), for finding
// what a stall is made of; events over 0.8 ms are also named on stderr with
// their CLOCK_MONOTONIC times, to be found in a `perf record -k
// CLOCK_MONOTONIC` of the same run.

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QPointer>
#include <QTimer>
#include <QWindow>

#include <dlfcn.h>
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
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

double MonotonicS()
{
    timespec mono{};
    clock_gettime(CLOCK_MONOTONIC, &mono);
    return mono.tv_sec + mono.tv_nsec / 1e9;
}

bool Tracing()
{
    static const bool tracing = std::getenv("SKIMBLER_STALL_TRACE") != nullptr;
    return tracing;
}

// The kernel's account of the calling thread: time run and time spent
// runnable waiting for a processor, in ms.
struct SchedTimes
{
    double runMs = 0;
    double waitMs = 0;
};

SchedTimes ReadSchedTimes()
{
    static const int descriptor = open("/proc/thread-self/schedstat", O_RDONLY | O_CLOEXEC);
    SchedTimes times;
    char text[128] = {};
    if (descriptor < 0 || pread(descriptor, text, sizeof text - 1, 0) <= 0)
        return times;
    unsigned long long run = 0, wait = 0;
    if (std::sscanf(text, "%llu %llu", &run, &wait) == 2) {
        times.runMs = run / 1e6;
        times.waitMs = wait / 1e6;
    }
    return times;
}

// One event the GUI thread handled outside any other.
struct Handled
{
    double start = 0;
    double ms = 0;
    int type = 0;
    std::string receiver;
};

pthread_t g_guiThread{};
bool g_guiThreadKnown = false;
thread_local int g_depth = 0;
// Set where the event loop is about to wait: the GUI thread's next poll is
// the loop's own (a poll for a window-system reply is not).
bool g_loopPollNext = false;
std::vector<Handled> g_sinceTick;
std::vector<Handled> g_sinceWake;

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
    SchedTimes lastSched;
    // The longest gap, taken apart when tracing.
    SchedTimes gapSched;
    double gapStart = 0;
    std::vector<Handled> gapEvents;
    // Where the frame that ended the longest gap began, if one did.
    double gapFrameStart = -1;
    // The GUI thread's stretches away from the loop's wait: from one return
    // of the loop's poll to its next call.
    double busySince = -1;
    double longestBusy = 0;
    // The longest of them, taken apart when tracing.
    double busyStart = 0;
    std::vector<Handled> busyEvents;

    void LoopWaits(double now)
    {
        if (busySince >= 0 && started && measuring && now - busySince > longestBusy) {
            longestBusy = now - busySince;
            busyStart = busySince;
            busyEvents = g_sinceWake;
        }
        busySince = -1;
    }

    void LoopWakes(double now)
    {
        busySince = now;
        g_sinceWake.clear();
    }

    // Called where a gap ends; keeps its account when it is the longest.
    void TraceGap(double now, double gap, double longestBefore)
    {
        const SchedTimes sched = ReadSchedTimes();
        if (gap > longestBefore) {
            gapSched = {sched.runMs - lastSched.runMs, sched.waitMs - lastSched.waitMs};
            gapStart = now - gap;
            gapEvents = g_sinceTick;
            gapFrameStart = -1;
        }
        lastSched = sched;
        g_sinceTick.clear();
    }

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
                const double before = longestGap;
                longestGap = std::max(longestGap, now - lastTick);
                if (Tracing())
                    TraceGap(now, now - lastTick, before);
            }
            if (Tracing() && !(started && measuring)) {
                lastSched = ReadSchedTimes();
                g_sinceTick.clear();
            }
            lastTick = now;
        });
        lastTick = firstFrame = NowMs();
        g_guiThread = pthread_self();
        g_guiThreadKnown = true;
        QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance();
        QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [] {
            g_loopPollNext = true;
            if (Tracing())
                g_sinceTick.push_back({NowMs(), 0, -1, "(the loop is about to wait)"});
        });
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
        const double frameStart = paintStart;
        const double paint = paintStart >= 0 ? now - paintStart : -1;
        paintStart = -1;
        if (!g_shown.load())
            return;
        if (measuring) {
            // The frame with the picture ends the open; the gap up to it counts.
            measuring = false;
            if (started) {
                LoopWaits(now);
                const double before = longestGap;
                longestGap = std::max(longestGap, now - lastTick);
                if (Tracing()) {
                    TraceGap(now, now - lastTick, before);
                    if (now - lastTick > before && frameStart >= 0)
                        gapFrameStart = frameStart;
                }
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
                           + QByteArray::number(longestThreadGap, 'f', 3) + ' '
                           + QByteArray::number(longestBusy, 'f', 3));
        }
        if (const char *path = std::getenv("SKIMBLER_STALL_TRACE")) {
            if (FILE *trace = std::fopen(path, "w")) {
                timespec mono{};
                clock_gettime(CLOCK_MONOTONIC, &mono);
                std::fprintf(trace, "gap began at monotonic %.6f s\n",
                             mono.tv_sec + mono.tv_nsec / 1e9 - (NowMs() - gapStart) / 1e3);
                std::fprintf(trace, "gap %.3f ms: ran %.3f, waited for a processor %.3f, asleep %.3f\n", longestGap,
                             gapSched.runMs, gapSched.waitMs, longestGap - gapSched.runMs - gapSched.waitMs);
                if (gapFrameStart >= 0)
                    std::fprintf(trace, "  +%.3f the frame with the picture begins; it ends the gap\n",
                                 gapFrameStart - gapStart);
                for (const Handled &h : gapEvents)
                    std::fprintf(trace, "  +%.3f %.3f ms event %d to %s\n", h.start - gapStart, h.ms, h.type,
                                 h.receiver.c_str());
                std::fprintf(trace, "longest away %.3f ms\n", longestBusy);
                for (const Handled &h : busyEvents)
                    std::fprintf(trace, "  +%.3f %.3f ms event %d to %s\n", h.start - busyStart, h.ms, h.type,
                                 h.receiver.c_str());
                std::fclose(trace);
            }
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

// poll, interposed: on the GUI thread, the event loop's wait.
int poll(struct pollfd *descriptors, unsigned long count, int timeout)
{
    using Poll = int (*)(struct pollfd *, unsigned long, int);
    static const Poll next = Next<Poll>("poll");
    if (!g_probe || !g_loopPollNext || !pthread_equal(pthread_self(), g_guiThread))
        return next(descriptors, count, timeout);
    g_loopPollNext = false;
    g_probe->LoopWaits(NowMs());
    const int ready = next(descriptors, count, timeout);
    g_probe->LoopWakes(NowMs());
    if (Tracing())
        g_sinceTick.push_back({NowMs(), 0, -2, "(the loop's wait returns)"});
    return ready;
}

// QApplication::exec, interposed: the editor's start-up ends where it is called.
int _ZN12QApplication4execEv()
{
    using Exec = int (*)();
    static const Exec next = Next<Exec>("_ZN12QApplication4execEv");
    g_loopEntered.store(true);
    return next ? next() : 1;
}

// QApplication::notify, interposed (its virtual table entry is resolved at
// load time): every event the GUI thread handles, timed when tracing.
bool _ZN12QApplication6notifyEP7QObjectP6QEvent(void *application, QObject *receiver, QEvent *event)
{
    using Notify = bool (*)(void *, QObject *, QEvent *);
    static const Notify next = Next<Notify>("_ZN12QApplication6notifyEP7QObjectP6QEvent");
    if (!Tracing() || !g_guiThreadKnown || !pthread_equal(pthread_self(), g_guiThread) || g_depth > 6) {
        ++g_depth;
        const bool handled = next(application, receiver, event);
        --g_depth;
        return handled;
    }
    Handled h;
    h.start = NowMs();
    h.type = int(event->type()) + 10000 * g_depth;
    h.receiver = receiver ? receiver->metaObject()->className() : "?";
    if (receiver && !receiver->objectName().isEmpty())
        h.receiver += " " + receiver->objectName().toStdString();
    ++g_depth;
    const bool handled = next(application, receiver, event);
    --g_depth;
    h.ms = NowMs() - h.start;
    if (h.ms > 0.8 && g_depth == 0 && g_loopEntered.load() && !g_shown.load())
        std::fprintf(stderr, "probe: %.3f ms event %d to %s at monotonic %.6f\n", h.ms, h.type, h.receiver.c_str(),
                     MonotonicS() - (NowMs() - h.start) / 1e3);
    if (h.ms > 0.05) {
        g_sinceWake.push_back(h);
        g_sinceTick.push_back(std::move(h));
    }
    return handled;
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
