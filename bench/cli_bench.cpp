// skimbler-cli rendering 100 small surfaces: in one call, which makes one
// OpenGL context and opens the image readers once, against 100 calls of one
// surface each, as a build script looping over files would run it.

#include "common/CliRunner.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kSurfaces = 100;

struct Inputs
{
    QTemporaryDir folder;
    QStringList files;

    Inputs()
    {
        for (int i = 0; i < kSurfaces; ++i) {
            QImage image(32, 32, QImage::Format_RGBA8888);
            image.fill(QColor::fromHsv(i * 3, 200, 220, 128 + i));
            const QString path = folder.filePath(QStringLiteral("surface%1.png").arg(i, 3, 10, QLatin1Char('0')));
            image.save(path);
            files << path;
        }
    }
};

Inputs &Files()
{
    static Inputs inputs;
    return inputs;
}

const QStringList kSize = {QStringLiteral("--size"), QStringLiteral("64x48")};

void BM_RenderInOneCall(benchmark::State &state)
{
    const QString out = Files().folder.filePath(QStringLiteral("one"));
    for (auto _ : state) {
        const CliRun run = RunCli(QStringList{QStringLiteral("render")} + Files().files
                                  + QStringList{QStringLiteral("-o"), out} + kSize);
        if (run.exitCode != 0)
            state.SkipWithError(run.err.constData());
    }
    state.SetItemsProcessed(state.iterations() * kSurfaces);
}
BENCHMARK(BM_RenderInOneCall)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_RenderInSeparateCalls(benchmark::State &state)
{
    const QDir out(Files().folder.filePath(QStringLiteral("separate")));
    QDir().mkpath(out.path());
    for (auto _ : state) {
        for (const QString &file : Files().files) {
            const CliRun run = RunCli(QStringList{QStringLiteral("render"), file, QStringLiteral("-o"),
                                                  out.filePath(QFileInfo(file).completeBaseName() + QStringLiteral(".png"))}
                                      + kSize);
            if (run.exitCode != 0) {
                state.SkipWithError(run.err.constData());
                break;
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * kSurfaces);
}
BENCHMARK(BM_RenderInSeparateCalls)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
