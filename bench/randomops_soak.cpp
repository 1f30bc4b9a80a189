// Runs random operation sequences on a real document for a long time: a
// million steps by default, in sequences of 10000, each from its own seed.
// Usage: randomops_soak [total steps] [first seed]   (needs a display)

#include "common/GlTestContext.h"
#include "common/RandomOps.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QGuiApplication application(argc, argv);
    const long total = argc > 1 ? std::atol(argv[1]) : 1000000;
    const std::uint32_t first = argc > 2 ? std::uint32_t(std::strtoul(argv[2], nullptr, 10)) : 1;
    constexpr int kSequence = 10000;
    GlTestContext gl(64, 64);
    if (!gl.valid) {
        std::fprintf(stderr, "no OpenGL context\n");
        return 2;
    }
    RandomOps::Runner runner;
    long done = 0;
    for (std::uint32_t seed = first; done < total; ++seed) {
        const int steps = int(std::min<long>(kSequence, total - done));
        const std::vector<RandomOps::Op> ops = RandomOps::Generate(seed, steps);
        const QString failure = runner.Run(ops);
        done += steps;
        if (!failure.isEmpty()) {
            const std::vector<RandomOps::Op> shortest = RandomOps::Shrink(ops);
            std::printf("seed %u: %s\nshortest failing sequence (%zu operations): %s\n", seed,
                        qPrintable(failure), shortest.size(), qPrintable(runner.Run(shortest, 1)));
            for (const RandomOps::Op &op : shortest)
                std::printf("  %s\n", qPrintable(RandomOps::Describe(op)));
            return 1;
        }
        std::printf("%ld steps, seeds %u to %u: fine\n", done, first, seed);
        std::fflush(stdout);
    }
    return 0;
}
