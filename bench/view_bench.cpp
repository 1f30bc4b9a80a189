// The view's hot paths on the machine's OpenGL: a full paint pass, a hover
// selection pass and one corner-drag step (also zoomed in and panned), on a
// 1920 x 1080 view showing a 4096 x 4096 texture. Needs a display (run under
// Xvfb with a screen of at least 1920 x 1080). Besides the wall clock each
// benchmark reports cpu_ms, the CPU time of the whole process (renderer
// threads included) per iteration, which says more on a busy machine.

#include "render/BackgroundCache.h"
#include "render/GraphicalInterface.h"
#include "surface/CSkimblerDoc.h"
#include "surface/PixelImage.h"
#include "view/CSkimblerView.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QElapsedTimer>

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int kViewWidth = 1920;
constexpr int kViewHeight = 1080;
constexpr int kTextureSize = 4096;

struct Scene
{
    CSkimblerDoc document;
    std::unique_ptr<CSkimblerView> view;
    bool ready = false;

    Scene()
    {
        view = std::make_unique<CSkimblerView>();
        view->resize(kViewWidth, kViewHeight);
        if (view->OnCreate() != 0 || !view->MakeCurrent())
            return;
        view->SetDocument(&document);
        view->show();
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 5000
               && (!view->isExposed() || view->ClientWidth() != kViewWidth || view->ClientHeight() != kViewHeight))
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QCoreApplication::processEvents();

        // A texture of the size the goal names, with the defaults of a
        // freshly loaded surface.
        Surface &surface = document.surface;
        QImage picture(kTextureSize, kTextureSize, QImage::Format_ARGB32);
        unsigned char *bytes = picture.bits();
        for (size_t i = 0; i < size_t(picture.sizeInBytes()); ++i)
            bytes[i] = static_cast<unsigned char>((i * 2654435761u) >> 24);
        surface.SetImage(std::make_shared<PixelImage>(picture));
        surface.ApplyDefaults();
        ready = view->isExposed() && view->ClientWidth() == kViewWidth && view->ClientHeight() == kViewHeight;
    }

    ~Scene()
    {
        view.reset();
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
    state.SkipWithError("no 1920 x 1080 exposed GL view (run under Xvfb with a large enough screen)");
    return false;
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
    CSkimblerView *view = g_scene->view.get();
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
    CSkimblerView *view = g_scene->view.get();
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
    if (!Ready(state))
        return;
    CSkimblerView *view = g_scene->view.get();
    view->MakeCurrent();
    CpuCounter cpu(state);
    for (auto _ : state) {
        view->DrawBackground();
        glFinish();
    }
}
BENCHMARK(BM_BackgroundQuad)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BackgroundCopy(benchmark::State &state)
{
    if (!Ready(state))
        return;
    CSkimblerView *view = g_scene->view.get();
    view->MakeCurrent();
    CpuCounter cpu(state);
    for (auto _ : state) {
        if (!view->Cache()->Draw()) {
            state.SkipWithError("this OpenGL cannot copy the background");
            break;
        }
        glFinish();
    }
}
BENCHMARK(BM_BackgroundCopy)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SurfaceQuad(benchmark::State &state)
{
    if (!Ready(state))
        return;
    CSkimblerView *view = g_scene->view.get();
    view->MakeCurrent();
    Surface &surface = g_scene->document.surface;
    CpuCounter cpu(state);
    for (auto _ : state) {
        view->Interface()->DrawSurface(surface, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
        glFinish();
    }
}
BENCHMARK(BM_SurfaceQuad)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_HoverSelectionPass(benchmark::State &state)
{
    if (!Ready(state))
        return;
    CSkimblerView *view = g_scene->view.get();
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

// The paint passes of a drag with the corner put in place directly: the
// drag step less its move handling.
void BM_PaintPassDragShapes(benchmark::State &state)
{
    if (!Ready(state))
        return;
    CSkimblerView *view = g_scene->view.get();
    Surface &surface = g_scene->document.surface;
    surface.ResetPoints();
    const float z = surface.Points[0][2];
    int step = 0;
    CpuCounter cpu(state);
    for (auto _ : state) {
        const QPoint position = DragPosition(step++);
        const QPointF plane = view->WindowToSurface(float(position.x()), float(position.y()), z);
        surface.Points[0][0] = float(plane.x());
        surface.Points[0][1] = float(plane.y());
        view->OnPaint();
        glFinish();
    }
    surface.ResetPoints();
}
BENCHMARK(BM_PaintPassDragShapes)->Unit(benchmark::kMillisecond)->UseRealTime();

// One step of a corner drag: the move event, then the frame it asks for.
// Zoomed in, the texture is magnified and the quad fills the window.
void DragSteps(benchmark::State &state, float zoom, float panX, float panY)
{
    if (!Ready(state))
        return;
    CSkimblerView *view = g_scene->view.get();
    Surface &surface = g_scene->document.surface;
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
    int step = 0;
    CpuCounter cpu(state);
    for (auto _ : state) {
        const QPoint position = DragPosition(step++);
        SendMove(view, position, Qt::LeftButton);
        view->OnPaint();
        glFinish();
    }
    SendMouse(view, QEvent::MouseButtonRelease, QPoint(200, 150), Qt::LeftButton, Qt::NoButton);
    view->SetZoom(1.0f);
    view->SetPan(0.0f, 0.0f);
    surface.ResetPoints();
}

void BM_DragStep(benchmark::State &state)
{
    DragSteps(state, 1.0f, 0.0f, 0.0f);
}
BENCHMARK(BM_DragStep)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DragStepZoomedPanned(benchmark::State &state)
{
    DragSteps(state, 4.0f, 700.0f, 400.0f);
}
BENCHMARK(BM_DragStepZoomedPanned)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    {
        Scene scene;
        g_scene = &scene;
        if (!scene.ready)
            std::fprintf(stderr, "view_bench: could not set up a 1920 x 1080 GL view\n");
        else
            std::fprintf(stderr, "view_bench: OpenGL renderer %s\n",
                         reinterpret_cast<const char *>(glGetString(GL_RENDERER)));
        benchmark::RunSpecifiedBenchmarks();
        g_scene = nullptr;
    }
    benchmark::Shutdown();
    return 0;
}
