// The document's half of a drag step, without drawing: the settings change
// pushed and merged into the drag's undo step, the views told, and the three
// tool windows listening as in the program. A corner drag changes only the
// points, which no panel shows; a colour "drag" is what every step cost the
// panels when they re-read every change.

#include "common/SettingsThroughCommand.h"
#include "common/SurfaceTestAccess.h"
#include "panels/CColorsPanel.h"
#include "panels/CFlagsPanel.h"
#include "panels/CPropertyPanel.h"
#include "surface/CSkimblerDoc.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct Scene
{
    CSkimblerDoc document;
    std::unique_ptr<CPropertyPanel> property;
    std::unique_ptr<CFlagsPanel> flags;
    std::unique_ptr<CColorsPanel> colors;

    explicit Scene(bool panels)
    {
        // The size of a large image without decoding one: only the seam
        // gives a size.
        SurfaceTestAccess::Of(document).Width = 4096;
        SurfaceTestAccess::Of(document).Height = 4096;
        ArrangeThroughCommand(document, [](auto &s) { skimbler::ApplyDefaults(&s); });
        if (!panels)
            return;
        property = std::make_unique<CPropertyPanel>();
        flags = std::make_unique<CFlagsPanel>();
        colors = std::make_unique<CColorsPanel>();
        property->Create(nullptr);
        flags->Create(nullptr);
        colors->Create(nullptr);
        property->SetDocument(&document);
        flags->SetDocument(&document);
        colors->SetDocument(&document);
        property->show();
        flags->show();
        colors->show();
        QApplication::processEvents();
    }
};

enum class What { Point, Colour };

void DragChanges(benchmark::State &state, bool panels, What what)
{
    Scene scene(panels);
    CSkimblerDoc &document = scene.document;
    const int key = document.NewMergeKey();
    int step = 0;
    for (auto _ : state) {
        skimbler::SurfaceSettings after = document.Settings();
        ++step;
        if (what == What::Point)
            after.Points[0][0] = -1.0f + 0.001f * float(step % 997);
        else
            after.Colors[0][1] = float(step % 997) / 997.0f;
        document.ChangeSettings(after, QStringLiteral("drag"), key);
    }
    // The panels' repaints happen once per frame whatever they were told.
    QApplication::processEvents();
}

void BM_DragChange(benchmark::State &state)
{
    DragChanges(state, false, What::Point);
}
BENCHMARK(BM_DragChange)->Unit(benchmark::kMicrosecond);

void BM_DragChangeWithPanels(benchmark::State &state)
{
    DragChanges(state, true, What::Point);
}
BENCHMARK(BM_DragChangeWithPanels)->Unit(benchmark::kMicrosecond);

void BM_ColourChangeWithPanels(benchmark::State &state)
{
    DragChanges(state, true, What::Colour);
}
BENCHMARK(BM_ColourChangeWithPanels)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
