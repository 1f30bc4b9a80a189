#include "skimbler/MipLevels.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace skimbler {

namespace {

// Where each texel of a level samples the one above it: the neighbours and
// the second one's weight in 1/256ths.
struct Tap
{
    int first;
    int second;
    int weight;
};

std::vector<Tap> Taps(int from, int to)
{
    std::vector<Tap> taps(static_cast<std::size_t>(to));
    for (int i = 0; i < to; ++i) {
        const double centre = (i + 0.5) * from / to - 0.5;
        const int first = int(std::floor(centre));
        taps[std::size_t(i)] = {std::clamp(first, 0, from - 1), std::clamp(first + 1, 0, from - 1),
                                int(std::lround((centre - first) * 256.0))};
    }
    return taps;
}

int Mix(int a, int b, int weight)
{
    return (a * (256 - weight) + b * weight + 128) >> 8;
}

} // namespace

int MipLevelCount(int width, int height)
{
    int levels = 1;
    for (; width > 1 || height > 1; ++levels) {
        width = NextLevelSide(width);
        height = NextLevelSide(height);
    }
    return levels;
}

void NextMipLevel(const std::uint8_t *source, int width, int height, int components, std::uint8_t *target, int w,
                  int h)
{
    const std::vector<Tap> columns = Taps(width, w), rows = Taps(height, h);
    for (int y = 0; y < h; ++y) {
        const Tap &row = rows[std::size_t(y)];
        const std::uint8_t *top = source + std::size_t(row.first) * width * components;
        const std::uint8_t *bottom = source + std::size_t(row.second) * width * components;
        std::uint8_t *out = target + std::size_t(y) * w * components;
        for (const Tap &column : columns) {
            const std::size_t left = std::size_t(column.first) * components;
            const std::size_t right = std::size_t(column.second) * components;
            for (int c = 0; c < components; ++c) {
                const int upper = Mix(top[left + c], top[right + c], column.weight);
                const int lower = Mix(bottom[left + c], bottom[right + c], column.weight);
                *out++ = std::uint8_t(Mix(upper, lower, row.weight));
            }
        }
    }
}

} // namespace skimbler
