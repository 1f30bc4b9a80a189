// The runtime's frame against the editor's, on the same surfaces in the same
// run: the editor's fixed-function draw (the floor), the OpenGL 3.3 runtime
// and the Vulkan runtime (lavapipe), each frame cleared, drawn and read
// back the same way, with no display. Rounds alternate the three so that a
// busy machine slows all of them alike; the ratios are per round, reported
// as median with the lowest and highest.

#include "common/EditorPicture.h"
#include "common/RuntimeSurfaceCases.h"
#ifdef SKIMBLER_RUNTIME_HAS_VULKAN
#include "common/VulkanHeadless.h"
#include "skimbler/VulkanSurfaceRenderer.h"
#endif

#include "skimbler/SurfaceRenderer.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace skimbler;
using namespace runtimecases;

namespace {

constexpr int kFramesPerRound = 40;
constexpr int kRounds = 15;

double Microseconds(const std::function<void()> &frame)
{
    frame();  // warm: textures, pipelines
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kFramesPerRound; ++i)
        frame();
    return double(timer.nsecsElapsed()) / 1000.0 / kFramesPerRound;
}

void Report(const char *what, std::vector<double> ratios)
{
    std::sort(ratios.begin(), ratios.end());
    std::printf("  %-34s median %.3fx (lowest %.3fx, highest %.3fx, %zu rounds)\n", what, ratios[ratios.size() / 2],
                ratios.front(), ratios.back(), ratios.size());
}

} // namespace

int main()
{
    std::string error;
    EditorPicture editor;
    HeadlessContext context;
    SurfaceRenderer runtime;
    if (!editor.Create(&error) || !context.Create(HeadlessContext::Api::Core33, kWidth, kHeight, &error)
        || !runtime.Init(&HeadlessContext::GetProcAddress, ShaderApi::OpenGL33, &error)) {
        std::fprintf(stderr, "runtime_frames: %s\n", error.c_str());
        return 1;
    }
#ifdef SKIMBLER_RUNTIME_HAS_VULKAN
    VulkanHeadless vulkan;
    VulkanSurfaceRenderer vulkanRuntime;
    bool haveVulkan = vulkan.Create(kWidth, kHeight, false, &error);
    if (haveVulkan) {
        VulkanContext vc{vulkan.GetInstanceProcAddr, vulkan.Instance, vulkan.PhysicalDevice, vulkan.Device,
                         vulkan.QueueFamily};
        haveVulkan = vulkanRuntime.Init(vc, &error);
    }
    if (!haveVulkan)
        std::fprintf(stderr, "runtime_frames: no Vulkan (%s): the Vulkan frame is left out\n", error.c_str());
#endif

    struct Named
    {
        const char *name;
        Case surface;
    };
    std::vector<Named> surfaces(3);
    surfaces[0].name = "alpha blend, linear, full view";
    surfaces[0].surface.colours = kTranslucent;
    surfaces[0].surface.src = gl::SRC_ALPHA;
    surfaces[0].surface.dst = gl::ONE_MINUS_SRC_ALPHA;
    surfaces[1].name = "lifted corners, mipmaps";
    surfaces[1].surface.points = kLifted;
    surfaces[1].surface.min = gl::LINEAR_MIPMAP_LINEAR;
    surfaces[2].name = "24-bit trapezoid, projective";
    surfaces[2].surface.image = QStringLiteral("rgb64");
    surfaces[2].surface.points = kTrapezoid;
    surfaces[2].surface.projective = true;

    View view;
    view.Width = kWidth;
    view.Height = kHeight;
    std::printf("One frame (%d x %d: clear, draw the surface, read back), %d frames a round:\n", kWidth, kHeight,
                kFramesPerRound);
    for (const Named &named : surfaces) {
        const Case &c = named.surface;
        const Image &image = Images().at(c.image);
        context.MakeCurrent();
        const bool rgb = image.Components == 3;
        rgb ? runtime.UploadRgb(image.Bytes.data(), image.Width, image.Height, &error)
            : runtime.UploadRgba(image.Bytes.data(), image.Width, image.Height, &error);
        runtime.SetSettings(SettingsOf(c));
#ifdef SKIMBLER_RUNTIME_HAS_VULKAN
        if (haveVulkan) {
            rgb ? vulkanRuntime.UploadRgb(image.Bytes.data(), image.Width, image.Height, &error)
                : vulkanRuntime.UploadRgba(image.Bytes.data(), image.Width, image.Height, &error);
            vulkanRuntime.SetSettings(SettingsOf(c));
        }
#endif
        std::vector<double> runtimeRatio, vulkanRatio, editorTimes;
        for (int round = 0; round < kRounds; ++round) {
            const double editorTime = Microseconds([&] { editor.Frame(c); });
            const double runtimeTime = Microseconds([&] {
                context.MakeCurrent();
                ClearQuadrants();
                runtime.Draw(view, c.projective);
                context.ReadPixels();
            });
            editorTimes.push_back(editorTime);
            runtimeRatio.push_back(runtimeTime / editorTime);
#ifdef SKIMBLER_RUNTIME_HAS_VULKAN
            if (haveVulkan) {
                const VulkanTarget target{vulkan.RenderPass, 0, VK_SAMPLE_COUNT_1_BIT};
                const double vulkanTime = Microseconds([&] {
                    vulkan.Frame(kQuadrantColours,
                                 [&](VkCommandBuffer commands) { vulkanRuntime.Draw(commands, target, view, c.projective); });
                });
                vulkanRatio.push_back(vulkanTime / runtimeTime);
            }
#endif
        }
        std::sort(editorTimes.begin(), editorTimes.end());
        std::printf("%s (editor's frame, the floor: median %.0f us)\n", named.name, editorTimes[editorTimes.size() / 2]);
        Report("OpenGL runtime / editor", runtimeRatio);
        if (!vulkanRatio.empty())
            Report("Vulkan runtime / OpenGL runtime", vulkanRatio);
    }
#ifdef SKIMBLER_RUNTIME_HAS_VULKAN
    if (haveVulkan)
        vulkanRuntime.Release();
    vulkan.Destroy();
#endif
    context.MakeCurrent();
    runtime.Release();
    return 0;
}
