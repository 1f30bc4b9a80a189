// Whole-process figures, each as a ratio to its floor measured in the same
// run (the machine is shared, so absolute times drift; ratios hold up):
//
//   start-up     skimbler with the sample image, start to first frame,
//                against a minimal Qt program showing one OpenGL window;
//   window while decoding  skimbler started with an 8192 x 8192 PNG, start
//                to its first frame (drawn while the PNG still decodes),
//                against the same minimal program;
//   first frame  skimbler opening an 8192 x 8192 PNG, start to first frame,
//                against QImageReader decoding it alone plus uploading it
//                with mipmaps alone;
//   memory       peak resident size of skimbler with the big PNG above the
//                peak with the sample, against the image's RGBA size.
//
// Each child runs with first_frame_exit preloaded, so it ends as its first
// frame is presented; its time is the wall clock from spawn to that frame and its
// peak memory is the VmHWM the hook read just before. The start-up is also
// given in processor time (user and system, all threads), which a busy
// machine disturbs far less than the wall clock. The window may show
// before its image has arrived, so the runs with the big PNG end at the
// first frame presented after an 8192-pixel texture was uploaded: the time
// until the user sees the picture. A child that never gets there is ended
// after a while and counts as failed. Run under a display, e.g.
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/process_bench --runs 5
// Figures are medians of the runs; min and max show the spread.

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char **environ;

namespace {

constexpr int kBigSide = 8192;
// Long enough for a slow shared machine, short enough not to hang the run.
constexpr int kChildTimeoutMs = 180000;

struct Child
{
    double ms = 0;
    double cpuMs = 0;  // user and system time of the child and its threads
    double peakMiB = 0;
    bool ok = false;
};

double NowMs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

// Waits for `pid` to end, at most `timeoutMs`; ends it if it has not.
bool WaitFor(pid_t pid, int timeoutMs, int *status, rusage *usage)
{
    // glibc's pidfd_open lacks C linkage in its header here; the call is the same.
    const int descriptor = int(syscall(SYS_pidfd_open, pid, 0));
    if (descriptor >= 0) {
        pollfd ended{descriptor, POLLIN, 0};
        const int ready = poll(&ended, 1, timeoutMs);
        close(descriptor);
        if (ready == 0) {
            std::fprintf(stderr, "process_bench: a child did not reach its frame in %d s; ended it\n",
                         timeoutMs / 1000);
            kill(pid, SIGKILL);
            waitpid(pid, status, 0);
            return false;
        }
    }
    return wait4(pid, status, 0, usage) == pid;
}

// Runs `program arguments...` in `folder` with the frame hook preloaded and
// `extraEnvironment` ("NAME=value") added.
Child Run(const QString &program, const QStringList &arguments, const QString &folder, const QString &configHome,
          const std::vector<std::string> &extraEnvironment = {},
          const std::string &preload = SKIMBLER_FIRST_FRAME_EXIT)
{
    std::vector<std::string> argStrings{QFile::encodeName(program).toStdString()};
    for (const QString &argument : arguments)
        argStrings.push_back(QFile::encodeName(argument).toStdString());
    std::vector<char *> argv;
    for (std::string &s : argStrings)
        argv.push_back(s.data());
    argv.push_back(nullptr);

    std::vector<std::string> envStrings;
    for (char **e = environ; *e; ++e) {
        if (std::strncmp(*e, "LD_PRELOAD=", 11) != 0 && std::strncmp(*e, "XDG_CONFIG_HOME=", 16) != 0
            && std::strncmp(*e, "SKIMBLER_EXIT_AFTER_", 20) != 0 && std::strncmp(*e, "SKIMBLER_STALL_", 15) != 0)
            envStrings.emplace_back(*e);
    }
    envStrings.insert(envStrings.end(), extraEnvironment.begin(), extraEnvironment.end());
    envStrings.push_back("LD_PRELOAD=" + preload);
    envStrings.push_back("XDG_CONFIG_HOME=" + QFile::encodeName(configHome).toStdString());
    const QString peakFile = configHome + QStringLiteral("/peak-kb");
    QFile::remove(peakFile);
    envStrings.push_back("SKIMBLER_PEAK_FILE=" + QFile::encodeName(peakFile).toStdString());
    std::vector<char *> envp;
    for (std::string &s : envStrings)
        envp.push_back(s.data());
    envp.push_back(nullptr);

    const QByteArray here = QFile::encodeName(QDir::currentPath());
    const QByteArray there = QFile::encodeName(folder);
    Child child;
    if (chdir(there.constData()) != 0)
        return child;
    const double start = NowMs();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data());
    if (chdir(here.constData()) != 0 || spawned != 0)
        return child;
    int status = 0;
    rusage usage{};
    if (!WaitFor(pid, kChildTimeoutMs, &status, &usage))
        return child;
    child.ms = NowMs() - start;
    const auto ms = [](const timeval &t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    child.cpuMs = ms(usage.ru_utime) + ms(usage.ru_stime);
    QFile peak(peakFile);
    if (peak.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> fields = peak.readAll().trimmed().split(' ');
        child.peakMiB = fields.value(0).toDouble() / 1024.0;
        // To the frame itself when the hook timed it: the exit that follows
        // (unmapping the process) is no part of getting there.
        const double frameMs = fields.value(1).toDouble();
        if (frameMs > start)
            child.ms = frameMs - start;
    }
    child.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0 && child.peakMiB > 0;
    return child;
}

// A bare event loop's heartbeat (heartbeat_floor), running until Stop().
class HeartbeatFloor
{
public:
    explicit HeartbeatFloor(const QString &folder)
        : m_file(folder + QStringLiteral("/heartbeat-gap"))
    {
        QFile::remove(m_file);
        std::string program = SKIMBLER_HEARTBEAT_FLOOR;
        std::string file = QFile::encodeName(m_file).toStdString();
        char *argv[] = {program.data(), file.data(), nullptr};
        if (posix_spawn(&m_pid, argv[0], nullptr, nullptr, argv, environ) != 0)
            m_pid = 0;
    }

    // Its longest gap in ms, or 0 if it said nothing.
    double Stop()
    {
        if (m_pid <= 0)
            return 0;
        kill(m_pid, SIGTERM);
        int status = 0;
        rusage usage{};
        WaitFor(m_pid, 10000, &status, &usage);
        m_pid = 0;
        QFile file(m_file);
        return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toDouble() : 0;
    }

    ~HeartbeatFloor() { Stop(); }

private:
    QString m_file;
    pid_t m_pid = 0;
};

struct Stall
{
    double ms = 0;            // longest time the GUI thread stayed away from its event loop
    double paintMs = 0;       // one paint pass of that window
    double startupRestMs = 0; // the first frame to the event loop's first turn
    double threadMs = 0;      // the longest stall in the GUI thread's own processor time
    double floorMs = 0;       // a bare event loop's longest gap beside it
    double awayMs = 0;        // the longest stretch between two of the loop's waits
};

// The editor opening `big` with the event-loop probe preloaded, from the
// event loop's first turn to the first frame with the picture, while a bare
// event loop beats beside it; false when the probe said nothing.
bool RunStall(const QString &program, const QString &big, const QString &folder, const QString &configHome,
              Stall *stall)
{
    const QString stallFile = configHome + QStringLiteral("/stall");
    QFile::remove(stallFile);
    HeartbeatFloor floor(configHome);
    Run(program, {big}, folder, configHome,
        {"SKIMBLER_STALL_FILE=" + QFile::encodeName(stallFile).toStdString(),
         "SKIMBLER_STALL_TEXTURE_SIDE=" + std::to_string(kBigSide)},
        SKIMBLER_EVENT_LOOP_PROBE);
    stall->floorMs = floor.Stop();
    QFile file(stallFile);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QList<QByteArray> fields = file.readAll().trimmed().split(' ');
    stall->ms = fields.value(0).toDouble();
    stall->paintMs = fields.value(1).toDouble();
    stall->startupRestMs = fields.value(2).toDouble();
    stall->threadMs = fields.value(3).toDouble();
    stall->awayMs = fields.value(4).toDouble();
    return stall->paintMs > 0;
}

struct Series
{
    std::vector<double> values;
    void Add(double v) { values.push_back(v); }
    double Median() const
    {
        std::vector<double> v = values;
        std::sort(v.begin(), v.end());
        return v.empty() ? 0 : (v[(v.size() - 1) / 2] + v[v.size() / 2]) / 2;
    }
    double Min() const { return values.empty() ? 0 : *std::min_element(values.begin(), values.end()); }
    double Max() const { return values.empty() ? 0 : *std::max_element(values.begin(), values.end()); }
};

void Print(const char *name, const Series &s, const char *unit)
{
    // Ratios want two places, times one.
    const int places = std::strcmp(unit, "x") == 0 ? 2 : 1;
    std::printf("  %-34s %9.*f %s   (min %.*f, max %.*f)\n", name, places, s.Median(), unit, places, s.Min(), places,
                s.Max());
}

// The stall runs' figures, each run's ratio against its own paint pass.
struct StallSeries
{
    Series ms, paintMs, ratios, awayMs, awayRatios, threadMs, threadRatios, startupRestMs, startupRestRatios;
    Series floorMs, floorRatios;

    void Add(const Stall &stall)
    {
        ms.Add(stall.ms);
        paintMs.Add(stall.paintMs);
        ratios.Add(stall.ms / stall.paintMs);
        awayMs.Add(stall.awayMs);
        awayRatios.Add(stall.awayMs / stall.paintMs);
        threadMs.Add(stall.threadMs);
        threadRatios.Add(stall.threadMs / stall.paintMs);
        startupRestMs.Add(stall.startupRestMs);
        startupRestRatios.Add(stall.startupRestMs / stall.paintMs);
        if (stall.floorMs > 0) {
            floorMs.Add(stall.floorMs);
            floorRatios.Add(stall.ms / stall.floorMs);
        }
    }

    void Print() const
    {
        ::Print("one paint pass of that window", paintMs, "ms");
        ::Print("longest time away from the event loop", awayMs, "ms");
        ::Print("away / paint pass, per run", awayRatios, "x");
        ::Print("longest GUI-thread stall while the 8192 PNG opens", ms, "ms");
        ::Print("stall / paint pass, per run", ratios, "x");
        ::Print("the same stall in the GUI thread's own processor time", threadMs, "ms");
        ::Print("that processor time / paint pass, per run", threadRatios, "x");
        ::Print("a bare event loop's longest gap beside it", floorMs, "ms");
        ::Print("stall / that bare loop's gap, per run", floorRatios, "x");
        ::Print("rest of start-up after the first frame", startupRestMs, "ms");
        ::Print("rest of start-up / paint pass, per run", startupRestRatios, "x");
    }
};

// A picture with smooth areas, edges and noise, so that it compresses and
// decodes like a photograph rather than a flat fill. Made once and kept.
QString BigPng(const QString &folder)
{
    const QString path = folder + QStringLiteral("/big-8192.png");
    if (QFileInfo(path).size() > 0)
        return path;
    std::fprintf(stderr, "process_bench: writing %s (once)\n", qPrintable(path));
    QImage image(kBigSide, kBigSide, QImage::Format_ARGB32);
    quint32 noise = 12345;
    for (int y = 0; y < kBigSide; ++y) {
        auto *row = reinterpret_cast<quint32 *>(image.scanLine(y));
        for (int x = 0; x < kBigSide; ++x) {
            noise = noise * 1664525u + 1013904223u;
            const int n = int(noise >> 28);
            const int r = (x >> 5) + n;
            const int g = (y >> 5) + n;
            const int b = ((x ^ y) & 256) ? 200 : 40;
            const int a = 128 + ((x + y) >> 7) % 128;
            row[x] = qRgba(r & 255, g & 255, b, a);
        }
    }
    const QString partial = path + QStringLiteral(".part");
    if (!image.save(partial, "PNG") || !QFile::rename(partial, path))
        return QString();
    return path;
}

// The floor's two halves, in this process.
double DecodeMs(const QString &path, QImage *decoded)
{
    QElapsedTimer timer;
    timer.start();
    QImageReader reader(path);
    reader.setAllocationLimit(0);
    *decoded = reader.read();
    return timer.nsecsElapsed() / 1e6;
}

double UploadMs(const QImage &image)
{
    QOffscreenSurface surface;
    surface.create();
    QOpenGLContext context;
    if (!context.create() || !context.makeCurrent(&surface))
        return -1;
    QOpenGLFunctions *gl = context.functions();
    QElapsedTimer timer;
    timer.start();
    GLuint name = 0;
    gl->glGenTextures(1, &name);
    gl->glBindTexture(GL_TEXTURE_2D, name);
    gl->glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image.width(), image.height(), 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     image.constBits());
    gl->glGenerateMipmap(GL_TEXTURE_2D);
    gl->glFinish();
    const double ms = timer.nsecsElapsed() / 1e6;
    gl->glDeleteTextures(1, &name);
    context.doneCurrent();
    return ms;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication application(argc, argv);
    int runs = 3;
    // Only the stall and its floors, for trying a change to it quickly.
    bool stallOnly = false;
    QString folder = QDir::tempPath() + QStringLiteral("/skimbler-process-bench");
    const QStringList arguments = QGuiApplication::arguments();
    stallOnly = arguments.contains(QStringLiteral("--stall-only"));
    for (int i = 1; i + 1 < arguments.size(); ++i) {
        if (arguments[i] == QStringLiteral("--runs"))
            runs = std::max(1, arguments[i + 1].toInt());
        else if (arguments[i] == QStringLiteral("--folder"))
            folder = arguments[i + 1];
    }
    QDir().mkpath(folder);

    // The sample, as the program finds it at start-up.
    const QString sample = folder + QStringLiteral("/a.tga");
    if (!QFileInfo::exists(sample)
        && std::system(("'" SKIMBLER_MAKE_SAMPLE "' '" + QFile::encodeName(sample).toStdString() + "'").c_str())
               != 0) {
        std::fprintf(stderr, "process_bench: could not make the sample\n");
        return 1;
    }
    const QString big = BigPng(folder);
    if (big.isEmpty()) {
        std::fprintf(stderr, "process_bench: could not write the big PNG\n");
        return 1;
    }
    QTemporaryDir config;
    const QString skimbler = QStringLiteral(SKIMBLER_EXECUTABLE);
    const QString minimal = QStringLiteral(SKIMBLER_MINIMAL_WINDOW);

    // One unmeasured start of each, so that every measured run finds the
    // libraries in the page cache.
    Run(minimal, {}, folder, config.path());
    Run(skimbler, {}, folder, config.path());

    // The frame that counts for the big PNG is the first one with it in it.
    const std::string bigPictureShown = "SKIMBLER_EXIT_AFTER_TEXTURE_SIDE=" + std::to_string(kBigSide);
    Series minimalCpuMs, sampleCpuMs;
    Series minimalMs, sampleMs, bigMs, windowWhileDecodingMs, decodeMs, uploadMs, floorMs, sampleMiB, bigMiB;
    Series firstFrameRatios, memoryRatios;
    StallSeries stalls;
    const double rgbaMiB = double(kBigSide) * kBigSide * 4 / (1024.0 * 1024.0);
    bool failed = false;
    for (int run = 0; run < runs && stallOnly; ++run) {
        Stall stall;
        if (!RunStall(skimbler, big, folder, config.path(), &stall)) {
            failed = true;
            continue;
        }
        stalls.Add(stall);
    }
    if (stallOnly) {
        stalls.Print();
        return failed ? 1 : 0;
    }
    for (int run = 0; run < runs; ++run) {
        const Child m = Run(minimal, {}, folder, config.path());
        const Child s = Run(skimbler, {}, folder, config.path());
        const Child b = Run(skimbler, {big}, folder, config.path(), {bigPictureShown});
        // Its first frame at all: the window, drawn while the PNG decodes.
        const Child w = Run(skimbler, {big}, folder, config.path());
        Stall stall;
        const bool probed = RunStall(skimbler, big, folder, config.path(), &stall);
        if (probed)
            stalls.Add(stall);
        failed = failed || !m.ok || !s.ok || !b.ok || !w.ok || !probed;
        windowWhileDecodingMs.Add(w.ms);
        minimalMs.Add(m.ms);
        sampleMs.Add(s.ms);
        minimalCpuMs.Add(m.cpuMs);
        sampleCpuMs.Add(s.cpuMs);
        bigMs.Add(b.ms);
        sampleMiB.Add(s.peakMiB);
        bigMiB.Add(b.peakMiB);
        QImage decoded;
        const double d = DecodeMs(big, &decoded);
        const double u = UploadMs(decoded.convertToFormat(QImage::Format_RGBA8888));
        decodeMs.Add(d);
        uploadMs.Add(u);
        floorMs.Add(d + u);
        // Each run's own ratios, against the floor measured beside it.
        if (b.ok && d + u > 0)
            firstFrameRatios.Add(b.ms / (d + u));
        if (b.ok && s.ok)
            memoryRatios.Add((b.peakMiB - s.peakMiB) / rgbaMiB);
    }
    if (failed)
        std::fprintf(stderr, "process_bench: a child did not end cleanly at its first frame\n");

    std::printf("process_bench: %d runs, medians\n", runs);
    Print("minimal GL window, first frame", minimalMs, "ms");
    Print("skimbler + sample, first frame", sampleMs, "ms");
    Print("minimal GL window, CPU time", minimalCpuMs, "ms");
    Print("skimbler + sample, CPU time", sampleCpuMs, "ms");
    Print("skimbler + 8192 PNG, first frame", bigMs, "ms");
    Print("skimbler + 8192 PNG, window drawn", windowWhileDecodingMs, "ms");
    Print("QImageReader decode alone", decodeMs, "ms");
    Print("upload with mipmaps alone", uploadMs, "ms");
    Print("skimbler + sample, peak RSS", sampleMiB, "MiB");
    Print("skimbler + 8192 PNG, peak RSS", bigMiB, "MiB");
    std::printf("  start-up ratio      %.2f  (skimbler + sample / minimal window)\n",
                sampleMs.Median() / minimalMs.Median());
    std::printf("  start-up CPU ratio  %.2f  (the same in processor time, steadier on a busy machine)\n",
                sampleCpuMs.Median() / minimalCpuMs.Median());
    std::printf("  window while decoding ratio  %.2f  (skimbler's first frame, 8192 PNG still decoding / minimal window)\n",
                windowWhileDecodingMs.Median() / minimalMs.Median());
    std::printf("  first frame ratio   %.2f  (skimbler + 8192 PNG / (decode + upload))\n",
                bigMs.Median() / floorMs.Median());
    stalls.Print();
    Print("first frame / (decode + upload), per run", firstFrameRatios, "x");
    Print("memory / RGBA size, per run", memoryRatios, "x");
    std::printf("  away ratio          %.2f  (longest stretch between two waits of the event loop while the 8192 PNG opens / one paint pass)\n",
                stalls.awayRatios.Median());
    std::printf("  stall ratio         %.2f  (longest gap between ticks of a 1 ms timer on the GUI thread meanwhile / one paint pass)\n",
                stalls.ratios.Median());
    std::printf("  stall / machine floor  %.2f  (the same stall / the longest gap of a bare event loop beside it)\n",
                stalls.floorRatios.Median());
    std::printf("  memory ratio        %.2f  ((peak with 8192 PNG - peak with sample) / %.0f MiB RGBA)\n",
                (bigMiB.Median() - sampleMiB.Median()) / rgbaMiB, rgbaMiB);
    return failed ? 1 : 0;
}
