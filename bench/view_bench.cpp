// The view's hot paths on the machine's OpenGL: a full paint pass, a hover
// selection pass and one corner-drag step (also zoomed in and panned), on a
// 1920 x 1080 view showing a 4096 x 4096 texture. The view sits in the real
// main window with its fields, status bar and tool windows, so that a drag
// step pays for everything the program does with a move. Needs a display
// (run under Xvfb with a screen of at least 2048 x 1200). Besides the wall
// clock each benchmark reports cpu_ms, the CPU time of the whole process
// (renderer threads included) per iteration, which says more on a busy
// machine. The run ends with the ratios the view is held to, from the
// medians (or single runs) of this same run.

#include "common/SettingsThroughCommand.h"
#include "common/SurfaceTestAccess.h"
#include "app/CMainFrame.h"
#include "common/ScriptedDialogs.h"
#include "render/BackgroundCache.h"
#include "render/GraphicalInterface.h"
#include "surface/CSkimblerDoc.h"
#include "surface/PixelImage.h"
#include "view/CSkimblerView.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QStandardPaths>

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kViewWidth = 1920;
constexpr int kViewHeight = 1080;
constexpr int kTextureSize = 4096;
// The drag step and the paints it is compared with draw the same frames:
// each run takes the same steps, so the same shapes, in the same order.
constexpr int kDragSteps = 40;

// The view's frames that come from its own update requests, the way the
// program paints; with `withhold` set they are counted but not painted.
class FrameCounter : public QObject
{
public:
    int frames = 0;
    bool withhold = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::UpdateRequest)
            return false;
        ++frames;
        return withhold;
    }
};

struct Scene
{
    CSkimblerDoc document;
    std::unique_ptr<CMainFrame> frame;
    CSkimblerView *view = nullptr;
    FrameCounter counter;
    bool ready = false;

    Scene()
    {
        frame = std::make_unique<CMainFrame>(&document, CancelledDialogs());
        if (frame->OnCreate() != 0 || !(view = frame->GetActiveView()))
            return;
        view->installEventFilter(&counter);
        frame->move(0, 0);
        frame->resize(kViewWidth + 100, kViewHeight + 100);
        frame->show();
        QElapsedTimer timer;
        timer.start();
        // The window around the view takes what it needs; the view is then
        // brought to its measured size.
        while (timer.elapsed() < 5000 && (!view->isExposed() || !frame->isVisible()))
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        frame->resize(frame->width() + kViewWidth - view->width(), frame->height() + kViewHeight - view->height());
        while (timer.elapsed() < 5000
               && (!view->isExposed() || view->ClientWidth() != kViewWidth || view->ClientHeight() != kViewHeight))
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QCoreApplication::processEvents();
        // The tool windows listen to every change, as in the program.
        frame->OpenToolWindows();
        QCoreApplication::processEvents();

        // A texture of the size the goal names, with the defaults of a
        // freshly loaded surface.
        Surface &surface = SurfaceTestAccess::Of(document);
        QImage picture(kTextureSize, kTextureSize, QImage::Format_ARGB32);
        unsigned char *bytes = picture.bits();
        const size_t size = size_t(picture.sizeInBytes());
        for (size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<unsigned char>((i * 2654435761u) >> 24);
        surface.SetImage(std::make_shared<PixelImage>(picture));
        ArrangeThroughCommand(document, [](auto &s) { skimbler::ApplyDefaults(&s); });
        document.UpdateAllViews(nullptr);  // the new image, whether or not a setting changed
        QCoreApplication::processEvents();
        // A picture this large is made into a texture on the upload thread
        // and arrives through the event loop, which a paint called directly
        // never runs: until it is in, the view draws the quad untextured.
        timer.restart();
        bool textured = false;
        while (timer.elapsed() < 20000 && !textured) {
            view->OnPaint();
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            textured = view->Interface() && !view->Interface()->Textures().Waiting();
        }
        // Its first draw is made on a thread of its own, the context lent
        // meanwhile; the frames measured are the ones after.
        for (int i = 0; i < 3; ++i) {
            view->MakeCurrent();
            view->OnPaint();
            QCoreApplication::processEvents();
        }
        ready = textured && view->MakeCurrent() && view->isExposed() && view->ClientWidth() == kViewWidth
                && view->ClientHeight() == kViewHeight;
    }

    ~Scene()
    {
        frame.reset();
    }
};

Scene *g_scene = nullptr;

double ProcessCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval &t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// Adds cpu_ms to the benchmark it lives in.
class CpuCounter
{
public:
    explicit CpuCounter(benchmark::State &state)
        : m_state(state)
        , m_start(ProcessCpuMs())
    {
    }
    ~CpuCounter()
    {
        if (m_state.iterations() > 0)
            m_state.counters["cpu_ms"] = (ProcessCpuMs() - m_start) / static_cast<double>(m_state.iterations());
    }

private:
    benchmark::State &m_state;
    double m_start;
};

bool Ready(benchmark::State &state)
{
    if (g_scene && g_scene->ready)
        return true;
    state.SkipWithError("no 1920 x 1080 exposed GL view with its picture's texture (run under Xvfb with a 2048 x 1200 screen)");
    return false;
}

// Times `draw` in the view's context, each run finished before the next.
template <typename Draw>
void TimeDrawing(benchmark::State &state, Draw draw)
{
    if (!Ready(state))
        return;
    g_scene->view->MakeCurrent();
    CpuCounter cpu(state);
    for (auto _ : state) {
        if (!draw())
            break;
        glFinish();
    }
}

void SendMouse(CSkimblerView *view, QEvent::Type type, QPoint position, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(position), view->mapToGlobal(QPointF(position)), button, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(view, &event);
}

void SendMove(CSkimblerView *view, QPoint position, Qt::MouseButtons buttons)
{
    SendMouse(view, QEvent::MouseMove, position, Qt::NoButton, buttons);
}

void BM_PaintPass(benchmark::State &state)
{
    if (!Ready(state))
        return;
    CSkimblerView *view = g_scene->view;
    CpuCounter cpu(state);
    for (auto _ : state) {
        view->OnPaint();
        glFinish();
    }
}
BENCHMARK(BM_PaintPass)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same paint with the background drawn as a tiled quad each frame.
void BM_PaintPassQuadBackground(benchmark::State &state)
{
    if (!Ready(state))
        return;
    CSkimblerView *view = g_scene->view;
    view->SetCacheBackground(false);
    CpuCounter cpu(state);
    for (auto _ : state) {
        view->OnPaint();
        glFinish();
    }
    view->SetCacheBackground(true);
}
BENCHMARK(BM_PaintPassQuadBackground)->Unit(benchmark::kMillisecond)->UseRealTime();

// The two full-window quads of a paint, each alone, to see where a paint
// spends its time.
void BM_BackgroundQuad(benchmark::State &state)
{
    TimeDrawing(state, [] {
        g_scene->view->DrawBackground();
        return true;
    });
}
BENCHMARK(BM_BackgroundQuad)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BackgroundCopy(benchmark::State &state)
{
    TimeDrawing(state, [&state] {
        if (g_scene->view->Cache()->Draw())
            return true;
        state.SkipWithError("this OpenGL cannot copy the background");
        return false;
    });
}
BENCHMARK(BM_BackgroundCopy)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SurfaceQuad(benchmark::State &state)
{
    TimeDrawing(state, [] {
        g_scene->view->Interface()->DrawSurface(g_scene->document.GetSurface(), 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
        return true;
    });
}
BENCHMARK(BM_SurfaceQuad)->Unit(benchmark::kMillisecond)->UseRealTime();

// The rest of a paint pass beyond its floor: the axes and the handles, and
// handing the finished frame to the window system.
void BM_AxesAndHandles(benchmark::State &state)
{
    TimeDrawing(state, [] {
        g_scene->view->DrawAxes();
        g_scene->view->DrawHandles();
        return true;
    });
}
BENCHMARK(BM_AxesAndHandles)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Swap(benchmark::State &state)
{
    TimeDrawing(state, [] {
        g_scene->view->Interface()->Swap(g_scene->view);
        return true;
    });
}
BENCHMARK(BM_Swap)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor's parts one after the other in each run, each finished before
// the next, as a paint does them: alone, each keeps its own data in the
// processor's caches from one run to the next, which a paint's parts,
// taking turns, cannot.
void BM_FloorInSequence(benchmark::State &state)
{
    TimeDrawing(state, [&state] {
        CSkimblerView *view = g_scene->view;
        if (!view->Cache()->Draw()) {
            state.SkipWithError("this OpenGL cannot copy the background");
            return false;
        }
        glFinish();
        view->Interface()->DrawSurface(view->GetDocument()->GetSurface(), 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
        glFinish();
        view->DrawAxes();
        view->DrawHandles();
        glFinish();
        view->Interface()->Swap(view);
        return true;
    });
}
BENCHMARK(BM_FloorInSequence)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_HoverSelectionPass(benchmark::State &state)
{
    if (!Ready(state))
        return;
    CSkimblerView *view = g_scene->view;
    int hit = 0;
    CpuCounter cpu(state);
    for (auto _ : state) {
        hit = view->PickHover(kViewWidth / 2 + 100, kViewHeight / 2 + 50);
        benchmark::DoNotOptimize(hit);
    }
    if (hit != CSkimblerView::HoverSurface)
        state.SkipWithError("the hover pass did not hit the surface");
}
BENCHMARK(BM_HoverSelectionPass)->Unit(benchmark::kMillisecond)->UseRealTime();

// Where the dragged corner is at each step: the drag's pictures differ from
// the resting quad's, so its paint is compared with the same shapes.
QPoint DragPosition(int step)
{
    return QPoint(200 + (step % 100), 150 + (step % 80));
}

// Puts corner 0 where the drag step puts it at `step`, directly.
void PlaceDragCorner(CSkimblerView *view, Surface &surface, int step)
{
    const QPoint position = DragPosition(step);
    const QPointF plane = view->WindowToSurface(float(position.x()), float(position.y()), surface.Points[0][2]);
    surface.Points[0][0] = float(plane.x());
    surface.Points[0][1] = float(plane.y());
}

// Times `draw` over the drag's shapes, corner 0 put in place directly
// before each.
template <typename Draw>
void TimeDragShapes(benchmark::State &state, Draw draw)
{
    if (!Ready(state))
        return;
    CSkimblerView *view = g_scene->view;
    view->MakeCurrent();
    Surface &surface = SurfaceTestAccess::Of(g_scene->document);
    surface.ResetPoints();
    int step = 0;
    {
        CpuCounter cpu(state);
        for (auto _ : state) {
            PlaceDragCorner(view, surface, step++);
            draw(view, surface);
            glFinish();
        }
    }
    surface.ResetPoints();
}

// The paint passes of a drag with the corner put in place directly: the
// drag step less its move handling, the same frames.
void BM_PaintPassDragShapes(benchmark::State &state)
{
    TimeDragShapes(state, [](CSkimblerView *view, Surface &) { view->OnPaint(); });
}
BENCHMARK(BM_PaintPassDragShapes)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(kDragSteps);

// The surface quad alone in those shapes: the floor of a drag's frame. A
// quad that is no longer a rectangle on the screen samples its texture
// across rows, which the resting quad does not.
void BM_SurfaceQuadDragShapes(benchmark::State &state)
{
    TimeDragShapes(state, [](CSkimblerView *view, Surface &surface) {
        view->Interface()->DrawSurface(surface, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
    });
}
BENCHMARK(BM_SurfaceQuadDragShapes)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(kDragSteps);

// Lets the event loop run until the view has painted at its own request,
// as the program paints; false if no frame came.
bool NextFrame()
{
    const int before = g_scene->counter.frames;
    QElapsedTimer waited;
    waited.start();
    while (g_scene->counter.frames == before && waited.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    return g_scene->counter.frames != before;
}

// One step of a corner drag as the program takes it: the move event with
// everything it sets off (undo step, fields, tool windows, repaints of the
// window's widgets), then the frame the view asked for. Zoomed in, the
// texture is magnified and the quad fills the window.
void DragSteps(benchmark::State &state, float zoom, float panX, float panY, bool paint = true)
{
    if (!Ready(state))
        return;
    CSkimblerView *view = g_scene->view;
    Surface &surface = SurfaceTestAccess::Of(g_scene->document);
    surface.ResetPoints();
    // Corner 0 is taken where it shows at zoom 1; the drag then goes on
    // at the zoom and pan measured.
    view->SetZoom(1.0f);
    view->SetPan(0.0f, 0.0f);
    const QPointF corner = view->SurfaceToWindow(surface.Points[0][0], surface.Points[0][1], surface.Points[0][2]);
    const qreal ratio = view->devicePixelRatio();
    const QPoint grab(qRound(corner.x() / ratio), qRound(corner.y() / ratio));
    SendMouse(view, QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
    view->SetZoom(zoom);
    view->SetPan(panX, panY);
    NextFrame();
    QCoreApplication::processEvents();
    g_scene->counter.withhold = !paint;
    int step = 0;
    {
        // Counted to the last step: the release below paints a frame too.
        CpuCounter cpu(state);
        for (auto _ : state) {
            SendMove(view, DragPosition(step++), Qt::LeftButton);
            if (!NextFrame()) {
                state.SkipWithError("the view did not paint after a drag step");
                break;
            }
            if (paint)
                glFinish();
            else
                view->AnnouncePendingCoordinates();  // what the withheld paint would have done first
        }
    }
    g_scene->counter.withhold = false;
    SendMouse(view, QEvent::MouseButtonRelease, DragPosition(step), Qt::LeftButton, Qt::NoButton);
    view->SetZoom(1.0f);
    view->SetPan(0.0f, 0.0f);
    g_scene->document.UndoStack()->clear();
    surface.ResetPoints();
    QCoreApplication::processEvents();
}

void BM_DragStep(benchmark::State &state)
{
    DragSteps(state, 1.0f, 0.0f, 0.0f);
}
BENCHMARK(BM_DragStep)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(kDragSteps);

// The drag step less its frame: the move and everything it sets off in the
// window (the fields it sets with the frame included), the view's drawing
// left out. What a drag step costs beyond the paint of the same frame.
void BM_DragStepMoveOnly(benchmark::State &state)
{
    DragSteps(state, 1.0f, 0.0f, 0.0f, false);
}
BENCHMARK(BM_DragStepMoveOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(kDragSteps);

void BM_DragStepZoomedPanned(benchmark::State &state)
{
    DragSteps(state, 4.0f, 700.0f, 400.0f);
}
BENCHMARK(BM_DragStepZoomedPanned)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(kDragSteps);

// The console's report, keeping each benchmark's median wall time (the
// median aggregate, or the median of the runs shown) and every single run
// for the ratios. A repeated benchmark shows its aggregates alone.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        std::vector<Run> shown;
        std::copy_if(runs.begin(), runs.end(), std::back_inserter(shown),
                     [](const Run &run) { return run.run_type == Run::RT_Aggregate || run.repetitions < 2; });
        if (!shown.empty())
            ConsoleReporter::ReportRuns(shown);
        for (const Run &run : runs) {
            if (run.error_occurred)
                continue;
            const std::string &name = run.run_name.function_name;
            if (run.run_type == Run::RT_Aggregate) {
                if (run.aggregate_name == "median") {
                    m_medians[name] = run.GetAdjustedRealTime();
                    m_cpuMedians[name] = CpuMs(run);
                }
            } else {
                m_runs[name].push_back(run.GetAdjustedRealTime());
                m_cpuRuns[name].push_back(CpuMs(run));
            }
        }
    }

    // 0 when the benchmark did not run.
    double Median(const std::string &name, bool cpu) const
    {
        const auto &medians = cpu ? m_cpuMedians : m_medians;
        const auto &runs = cpu ? m_cpuRuns : m_runs;
        const auto median = medians.find(name);
        if (median != medians.end())
            return median->second;
        const auto found = runs.find(name);
        if (found == runs.end() || found->second.empty())
            return 0.0;
        std::vector<double> times = found->second;
        std::sort(times.begin(), times.end());
        const size_t middle = times.size() / 2;
        return times.size() % 2 ? times[middle] : (times[middle - 1] + times[middle]) / 2.0;
    }

    // Wall time, then the process's CPU time (steadier on a busy machine).
    void PrintRatio(const char *what, const std::string &top, const std::vector<std::string> &bottom) const
    {
        PrintRatio(what, top, bottom, false);
        PrintRatio("  the same in cpu_ms:", top, bottom, true);
    }

private:
    static double CpuMs(const Run &run)
    {
        const auto counter = run.counters.find("cpu_ms");
        return counter == run.counters.end() ? 0.0 : double(counter->second);
    }

    void PrintRatio(const char *what, const std::string &top, const std::vector<std::string> &bottom, bool cpu) const
    {
        const double numerator = Median(top, cpu);
        double denominator = 0.0;
        std::string names;
        for (const std::string &name : bottom) {
            const double time = Median(name, cpu);
            if (time <= 0.0)
                return;
            denominator += time;
            names += (names.empty() ? "" : " + ") + name;
        }
        if (numerator <= 0.0 || denominator <= 0.0)
            return;
        std::printf("%-40s %s / (%s) = %.3f ms / %.3f ms = %.3fx%s\n", what, top.c_str(), names.c_str(), numerator,
                    denominator, numerator / denominator, Spread(top, bottom, cpu).c_str());
    }

    // The ratio of each repetition on its own (the n-th run of every side;
    // shuffled, they ran near each other), as its lowest and highest.
    std::string Spread(const std::string &top, const std::vector<std::string> &bottom, bool cpu) const
    {
        const auto &runs = cpu ? m_cpuRuns : m_runs;
        const auto topRuns = runs.find(top);
        if (topRuns == runs.end() || topRuns->second.size() < 2)
            return std::string();
        const size_t count = topRuns->second.size();
        std::vector<double> ratios;
        for (size_t i = 0; i < count; ++i) {
            double sum = 0.0;
            for (const std::string &name : bottom) {
                const auto found = runs.find(name);
                if (found == runs.end() || found->second.size() != count)
                    return std::string();
                sum += found->second[i];
            }
            if (sum > 0.0)
                ratios.push_back(topRuns->second[i] / sum);
        }
        if (ratios.empty())
            return std::string();
        std::sort(ratios.begin(), ratios.end());
        const double median = (ratios[(ratios.size() - 1) / 2] + ratios[ratios.size() / 2]) / 2;
        char text[96];
        std::snprintf(text, sizeof text, "  (runs min %.3f, median %.3f, max %.3f, n=%zu)", ratios.front(), median,
                      ratios.back(), ratios.size());
        return text;
    }

    std::map<std::string, double> m_medians;
    std::map<std::string, std::vector<double>> m_runs;
    std::map<std::string, double> m_cpuMedians;
    std::map<std::string, std::vector<double>> m_cpuRuns;
};

} // namespace

int main(int argc, char **argv)
{
    // The view's update requests are served at the next turn of the event
    // loop, not after the platform's few idle milliseconds: a drag step is
    // then its work, not a wait.
    qputenv("QT_QPA_UPDATE_IDLE_TIME", "0");
    QApplication application(argc, argv);
    // Tool-window places are read from and saved to the test settings, not
    // the user's.
    QStandardPaths::setTestModeEnabled(true);
    // Runs of the benchmarks are shuffled, so that a ratio does not take
    // one benchmark from a quiet minute and the other from a busy one.
    std::vector<char *> arguments(argv, argv + argc);
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    if (std::none_of(arguments.begin(), arguments.end(), [](const char *argument) {
            return std::strncmp(argument, "--benchmark_enable_random_interleaving", 38) == 0;
        }))
        arguments.push_back(interleave.data());
    // The ratios' spread needs the single runs, which these flags keep from
    // the reporter; the table shows only the aggregates anyway.
    arguments.erase(std::remove_if(arguments.begin(), arguments.end(),
                                   [](const char *argument) {
                                       return std::strncmp(argument, "--benchmark_report_aggregates_only", 34) == 0
                                           || std::strncmp(argument, "--benchmark_display_aggregates_only", 35) == 0;
                                   }),
                    arguments.end());
    int count = static_cast<int>(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    RatioReporter reporter;
    {
        Scene scene;
        g_scene = &scene;
        if (!scene.ready)
            std::fprintf(stderr, "view_bench: could not set up a 1920 x 1080 GL view\n");
        else
            std::fprintf(stderr, "view_bench: OpenGL renderer %s\n",
                         reinterpret_cast<const char *>(glGetString(GL_RENDERER)));
        benchmark::RunSpecifiedBenchmarks(&reporter);
        g_scene = nullptr;
    }
    std::printf("\nRatios of medians, this run (wall time, then process CPU time):\n");
    reporter.PrintRatio("drag step / paint of the same frame:", "BM_DragStep", {"BM_PaintPassDragShapes"});
    // The floor is all the work a frame must do, the swap included.
    reporter.PrintRatio("paint pass / its floor (all its parts):", "BM_PaintPass",
                        {"BM_BackgroundCopy", "BM_SurfaceQuad", "BM_AxesAndHandles", "BM_Swap"});
    reporter.PrintRatio("paint pass / its floor's parts in sequence:", "BM_PaintPass", {"BM_FloorInSequence"});
    reporter.PrintRatio("paint pass / copy + quad:", "BM_PaintPass", {"BM_BackgroundCopy", "BM_SurfaceQuad"});
    reporter.PrintRatio("drag step / resting paint pass:", "BM_DragStep", {"BM_PaintPass"});
    reporter.PrintRatio("move handling / paint of the same frame:", "BM_DragStepMoveOnly", {"BM_PaintPassDragShapes"});
    reporter.PrintRatio("drag frame / its floor:", "BM_PaintPassDragShapes",
                        {"BM_BackgroundCopy", "BM_SurfaceQuadDragShapes"});
    benchmark::Shutdown();
    return 0;
}
