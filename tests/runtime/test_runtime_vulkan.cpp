// VulkanSurfaceRenderer's frame on lavapipe against the editor's
// fixed-function frame, row by row of the runtime table, with no display,
// under the validation layer.

#include "common/CliRunner.h"
#include "common/EditorPicture.h"
#include "common/TgaTestFiles.h"
#include "common/RuntimeSurfaceCases.h"
#include "common/VulkanHeadless.h"

#include "skimbler/VulkanSurfaceRenderer.h"

#include <QtTest>

using namespace skimbler;
using namespace runtimecases;

namespace {

// Pixels whose centre lies this close to the quad's outline count as its
// edge: coverage and the texel a rasteriser picks there may differ.
constexpr double kEdgeWidth = 1.0;
// The worst difference measured there on lavapipe: no more than inside.
constexpr int kEdgeBound = 2;

View TableView()
{
    View view;
    view.Width = kWidth;
    view.Height = kHeight;
    return view;
}

} // namespace

class TestRuntimeVulkan : public QObject
{
    Q_OBJECT

private:
    EditorPicture m_editor;
    VulkanHeadless m_vulkan;
    VulkanSurfaceRenderer m_renderer;
    QString m_uploaded;
    int m_edgeWorst = 0;
    int m_tiesOff = 0;
    int m_tiePixels = 0;

    VulkanTarget Target() const { return {m_vulkan.RenderPass, 0, VK_SAMPLE_COUNT_1_BIT}; }

    bool Prepare(const Case &c)
    {
        if (m_uploaded != c.image) {
            const Image &image = Images().at(c.image);
            std::string error;
            const bool ok = image.Components == 4
                ? m_renderer.UploadRgba(image.Bytes.data(), std::uint32_t(image.Width), std::uint32_t(image.Height), &error)
                : m_renderer.UploadRgb(image.Bytes.data(), std::uint32_t(image.Width), std::uint32_t(image.Height), &error);
            if (!ok) {
                qWarning("upload: %s", error.c_str());
                return false;
            }
            m_uploaded = c.image;
        }
        m_renderer.SetSettings(SettingsOf(c));
        return true;
    }

    QString NewMessages(int before) const
    {
        QStringList texts;
        for (int i = before; i < m_vulkan.MessageCount(); ++i)
            texts << QString::fromStdString(m_vulkan.Messages()[std::size_t(i)]);
        return texts.join(QStringLiteral("\n"));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(qEnvironmentVariableIsEmpty("DISPLAY"));
        std::string error;
        QVERIFY2(m_editor.Create(&error), error.c_str());
        QVERIFY2(m_vulkan.Create(kWidth, kHeight, true, &error), error.c_str());
        VulkanContext context;
        context.GetInstanceProcAddr = m_vulkan.GetInstanceProcAddr;
        context.Instance = m_vulkan.Instance;
        context.PhysicalDevice = m_vulkan.PhysicalDevice;
        context.Device = m_vulkan.Device;
        context.QueueFamily = m_vulkan.QueueFamily;
        QVERIFY2(m_renderer.Init(context, &error), error.c_str());
        QCOMPARE(m_vulkan.MessageCount(), 0);

        // The layer is really listening: a sampler asking for anisotropy,
        // which the device was made without, is reported. Without this a
        // messenger that hears nothing would pass every row.
        auto createSampler = reinterpret_cast<PFN_vkCreateSampler>(
            m_vulkan.GetInstanceProcAddr(m_vulkan.Instance, "vkCreateSampler"));
        auto destroySampler = reinterpret_cast<PFN_vkDestroySampler>(
            m_vulkan.GetInstanceProcAddr(m_vulkan.Instance, "vkDestroySampler"));
        QVERIFY(createSampler && destroySampler);
        VkSamplerCreateInfo wrong{};
        wrong.sType = VK_STRUCTURE_TYPE_SAMPLER_CREATE_INFO;
        wrong.anisotropyEnable = VK_TRUE;
        wrong.maxAnisotropy = 4.0f;
        VkSampler sampler = VK_NULL_HANDLE;
        if (createSampler(m_vulkan.Device, &wrong, nullptr, &sampler) == VK_SUCCESS)
            destroySampler(m_vulkan.Device, sampler, nullptr);
        QVERIFY2(m_vulkan.MessageCount() > 0, "the validation layer reported nothing for a sampler it must refuse");
    }

    void cleanupTestCase()
    {
        const int before = m_vulkan.MessageCount();
        m_renderer.Release();
        m_vulkan.Destroy();  // the layer reports objects left behind here
        QVERIFY2(m_vulkan.MessageCount() == before, qPrintable(NewMessages(before)));
        qInfo("worst difference at the quad's edge over the table: %d levels; %d values off by more than 2 "
              "in the %d pixels on nearest texel ties",
              m_edgeWorst, m_tiesOff, m_tiePixels);
    }

    void sameFrame_data() { AddCases(); }

    // Inside the quad and around it within 2 levels; at its edge within the
    // bound measured on lavapipe (printed at the end). The caller's
    // matrices equal to the editor's draw the same frame as the view.
    void sameFrame()
    {
        QFETCH(Case, surface);
        const View view = TableView();
        const Pixels editor = m_editor.Frame(surface);
        QVERIFY(Prepare(surface));
        const int before = m_vulkan.MessageCount();
        bool drawn = false;
        const Pixels vulkan = m_vulkan.Frame(kQuadrantColours, [&](VkCommandBuffer commands) {
            drawn = m_renderer.Draw(commands, Target(), view, surface.projective);
        });
        QVERIFY(drawn);

        double projection[16], modelView[16];
        ProjectionMatrix(view, projection);
        SurfaceModelView(view, modelView);
        float projectionF[16], modelViewF[16];
        for (int i = 0; i < 16; ++i) {
            projectionF[i] = float(projection[i]);
            modelViewF[i] = float(modelView[i]);
        }
        const Pixels matrices = m_vulkan.Frame(kQuadrantColours, [&](VkCommandBuffer commands) {
            const VkViewport viewport{0, 0, float(kWidth), float(kHeight), 0, 1};
            const VkRect2D scissor{{0, 0}, {std::uint32_t(kWidth), std::uint32_t(kHeight)}};
            auto setViewport = reinterpret_cast<PFN_vkCmdSetViewport>(
                m_vulkan.GetInstanceProcAddr(m_vulkan.Instance, "vkCmdSetViewport"));
            auto setScissor = reinterpret_cast<PFN_vkCmdSetScissor>(
                m_vulkan.GetInstanceProcAddr(m_vulkan.Instance, "vkCmdSetScissor"));
            setViewport(commands, 0, 1, &viewport);
            setScissor(commands, 0, 1, &scissor);
            m_renderer.Draw(commands, Target(), view, projectionF, modelViewF, surface.projective);
        });
        QVERIFY2(m_vulkan.MessageCount() == before, qPrintable(NewMessages(before)));
        QVERIFY(matrices == vulkan);

        CheckAgainstEditor(editor, vulkan, m_renderer.Resolved(view, surface.projective));
        if (QTest::currentTestFailed())
            return;
        // The surface was drawn at all (unless the pair leaves the
        // destination as it is).
        const Pixels background = m_vulkan.Frame(kQuadrantColours, [](VkCommandBuffer) {});
        QVERIFY(editor == background || vulkan != background);
    }

    void straightPassesAreTheExports_data() { AddCases(); }

    // Straight alpha: the two passes on transparent black as the editor's
    // transparent export draws them, before StraightenAlpha (which both
    // then share, so its division does not magnify the rasterisers' levels).
    void straightPassesAreTheExports()
    {
        QFETCH(Case, surface);
        const Pixels editor = m_editor.Frame(surface, AlphaOutput::StraightPasses);
        QVERIFY(Prepare(surface));
        const int before = m_vulkan.MessageCount();
        constexpr float transparent[4][4] = {};
        m_renderer.SetAlphaOutput(AlphaOutput::StraightPasses);
        bool drawn = false;
        const Pixels vulkan = m_vulkan.Frame(transparent, [&](VkCommandBuffer commands) {
            drawn = m_renderer.Draw(commands, Target(), TableView(), surface.projective);
        });
        m_renderer.SetAlphaOutput(AlphaOutput::Blended);
        QVERIFY(drawn);
        QVERIFY2(m_vulkan.MessageCount() == before, qPrintable(NewMessages(before)));
        CheckAgainstEditor(editor, vulkan, m_renderer.Resolved(TableView(), surface.projective));
    }

#ifdef SKIMBLER_VULKAN_EXAMPLE
    // The example's PNG is the picture `render --transparent` writes: the
    // same straight alpha, to the rasterisers' levels (compared
    // premultiplied, so a small alpha does not magnify them).
    void exampleSavesTheTransparentRender()
    {
        QTemporaryDir folder;
        // The sample's 32 x 32 image, translucent in steps, so that a PNG of
        // the blended frame (its alpha blended too) would differ.
        QVERIFY(TgaTestFiles::WritePainted(folder.filePath(QStringLiteral("poster.tga")), 32, 32, [](int x, int y) {
            return qRgba(x * 8, y * 8, 255 - x * 4, 30 + x * 7);
        }));
        QFile sample(QStringLiteral(SKIMBLER_EXAMPLE_SURFACE));
        QVERIFY(sample.open(QIODevice::ReadOnly));
        const QString surface = folder.filePath(QStringLiteral("poster.skimbler"));
        QFile copy(surface);
        QVERIFY(copy.open(QIODevice::WriteOnly));
        // Blended over transparent black its colour is premultiplied and its
        // alpha squared: what straight alpha must undo.
        copy.write(sample.readAll()
                       .replace("poster.png", "poster.tga")
                       .replace("\"SrcFactor\": 1,", "\"SrcFactor\": 770,")
                       .replace("\"DestFactor\": 1,", "\"DestFactor\": 771,"));
        copy.close();

        const QString example = folder.filePath(QStringLiteral("example.png"));
        const QString size = QStringLiteral("%1x%2").arg(kWidth).arg(kHeight);
        QProcess process;
        process.start(QStringLiteral(SKIMBLER_VULKAN_EXAMPLE), {surface, example, size});
        QVERIFY(process.waitForFinished(60000));
        QVERIFY2(process.exitCode() == 0, process.readAllStandardError().constData());
        const QString rendered = folder.filePath(QStringLiteral("render.png"));
        const CliRun render = RunCli(RenderArguments(surface, rendered, QSize(kWidth, kHeight), true, false));
        QVERIFY2(render.exitCode == 0, render.err.constData());

        auto bottomUp = [](const QString &path) {
            const QImage image = QImage(path).convertToFormat(QImage::Format_RGBA8888_Premultiplied);
            Pixels pixels;
            for (int y = image.height() - 1; y >= 0; --y)
                pixels.insert(pixels.end(), image.constScanLine(y), image.constScanLine(y) + image.width() * 4);
            return pixels;
        };
        const Pixels expected = bottomUp(rendered), drawn = bottomUp(example);
        QCOMPARE(drawn.size(), std::size_t(kWidth * kHeight * 4));
        QCOMPARE(expected.size(), drawn.size());
        VulkanSurfaceRenderer file;
        std::string error;
        QVERIFY2(file.Open(surface.toStdString(), &error), error.c_str());
        const DrawState state = file.Resolved(TableView());
        const std::vector<bool> edge = NearOutline(state, TableView(), kEdgeWidth);
        const Difference d = Compare(expected, drawn, [&edge](int x, int y) { return bool(edge[std::size_t(y) * kWidth + x]); });
        QVERIFY2(d.worst <= 3, qPrintable(QStringLiteral("off by %1 at %2").arg(d.worst).arg(d.where)));
    }
#endif

private:
    // Inside the quad and around it within 2 levels; at its edge within the
    // bound; on nearest texel ties counted, not failed.
    void CheckAgainstEditor(const Pixels &editor, const Pixels &vulkan, const DrawState &state)
    {
        const View view = TableView();
        const std::vector<bool> edge = NearOutline(state, view, kEdgeWidth);
        const std::vector<bool> ties = NearestTies(state, view);
        auto atEdge = [&edge](int x, int y) { return bool(edge[std::size_t(y) * kWidth + x]); };
        auto atTie = [&ties](int x, int y) { return bool(ties[std::size_t(y) * kWidth + x]); };
        const Difference inside = Compare(editor, vulkan, [&](int x, int y) { return atEdge(x, y) || atTie(x, y); });
        const Difference tied = Compare(editor, vulkan, [&](int x, int y) { return !atTie(x, y); });
        m_tiesOff += tied.overTwo;
        m_tiePixels += int(std::count(ties.begin(), ties.end(), true));
        QVERIFY2(inside.worst <= 2, qPrintable(QStringLiteral("off by %1 at %2").arg(inside.worst).arg(inside.where)));
        const Difference atOutline = Compare(editor, vulkan, [&](int x, int y) { return !atEdge(x, y) || atTie(x, y); });
        m_edgeWorst = std::max(m_edgeWorst, atOutline.worst);
        QVERIFY2(atOutline.worst <= kEdgeBound, qPrintable(atOutline.where));
    }
};

QTEST_GUILESS_MAIN(TestRuntimeVulkan)
#include "test_runtime_vulkan.moc"
