// Decoding 4096 x 4096 TGA files: LoadTga against stb_image and against one
// plain fread of the same number of bytes into a fresh buffer (the floor any
// reader of the file pays). The files are made once, in a temporary folder.

// stb_image is someone else's code: its warnings are not ours to fix.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_TGA
#include <stb_image.h>
#pragma GCC diagnostic pop

#include "surface/TgaImage.h"
#include "surface/TgaLoader.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

constexpr unsigned kSide = 4096;

enum class Kind { Raw, RleMixed, RleSinglePixel };

struct BenchFile
{
    std::string path;
    long bytes = 0;
};

std::vector<std::string> &MadeFiles()
{
    static std::vector<std::string> files;
    return files;
}

std::string TempDirectory()
{
    static const std::string dir = [] {
        char pattern[] = "/tmp/tga_bench_XXXXXX";
        const char *made = mkdtemp(pattern);
        if (!made) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        std::atexit([] {
            for (const std::string &file : MadeFiles())
                unlink(file.c_str());
            rmdir(TempDirectory().c_str());
        });
        return std::string(made);
    }();
    return dir;
}

void Put(std::vector<std::uint8_t> &out, const std::uint8_t *pixel, int size)
{
    out.insert(out.end(), pixel, pixel + size);
}

// A photograph-like mix: stretches of flat colour (runs of 2 to 128) between
// stretches of varying pixels (raw packets of 1 to 128).
std::vector<std::uint8_t> Encode(Kind kind, int pixelSize)
{
    std::vector<std::uint8_t> out = {0, 0, std::uint8_t(kind == Kind::Raw ? 2 : 10), 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                     std::uint8_t(kSide & 0xFF), std::uint8_t(kSide >> 8),
                                     std::uint8_t(kSide & 0xFF), std::uint8_t(kSide >> 8),
                                     std::uint8_t(pixelSize * 8), 0};
    std::mt19937 random(42);
    std::uint8_t pixel[4] = {};
    const std::uint64_t total = std::uint64_t{kSide} * kSide;
    auto nextPixel = [&] {
        for (int b = 0; b < pixelSize; ++b)
            pixel[b] = std::uint8_t(random());
    };
    if (kind == Kind::Raw) {
        out.reserve(out.size() + total * pixelSize);
        for (std::uint64_t i = 0; i < total; ++i) {
            nextPixel();
            Put(out, pixel, pixelSize);
        }
        return out;
    }
    std::uint64_t done = 0;
    while (done < total) {
        const std::uint64_t left = total - done;
        if (kind == Kind::RleSinglePixel) {
            // One pixel per packet, alternating kinds: the most packets a file can have.
            nextPixel();
            out.push_back((done & 1) ? 0x80 : 0x00);
            Put(out, pixel, pixelSize);
            done += 1;
            continue;
        }
        const bool run = random() % 2 == 0;
        const std::uint64_t length = std::min<std::uint64_t>(left, run ? 2 + random() % 127 : 1 + random() % 128);
        if (run) {
            nextPixel();
            out.push_back(std::uint8_t(127 + length));
            Put(out, pixel, pixelSize);
        } else {
            out.push_back(std::uint8_t(length - 1));
            for (std::uint64_t k = 0; k < length; ++k) {
                nextPixel();
                Put(out, pixel, pixelSize);
            }
        }
        done += length;
    }
    return out;
}

const BenchFile &File(Kind kind, int pixelSize)
{
    static std::map<std::pair<int, int>, BenchFile> files;
    const auto key = std::make_pair(int(kind), pixelSize);
    auto found = files.find(key);
    if (found != files.end())
        return found->second;
    const std::vector<std::uint8_t> bytes = Encode(kind, pixelSize);
    BenchFile file;
    file.path = TempDirectory() + "/" + std::to_string(int(kind)) + "_" + std::to_string(pixelSize) + ".tga";
    file.bytes = long(bytes.size());
    MadeFiles().push_back(file.path);
    std::FILE *out = std::fopen(file.path.c_str(), "wb");
    if (!out || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size() || std::fclose(out) != 0) {
        std::perror("writing a benchmark file");
        std::exit(1);
    }
    return files.emplace(key, file).first->second;
}

void Label(benchmark::State &state, const BenchFile &file)
{
    state.SetBytesProcessed(std::int64_t(state.iterations()) * file.bytes);
}

void BM_LoadTga(benchmark::State &state, Kind kind, int pixelSize)
{
    const BenchFile &file = File(kind, pixelSize);
    for (auto _ : state) {
        TgaImage image;
        if (!LoadTga(&image, file.path.c_str())) {
            state.SkipWithError("LoadTga failed");
            break;
        }
        benchmark::DoNotOptimize(image.Pixels);
        std::free(image.Pixels);
    }
    Label(state, file);
}

void BM_StbImage(benchmark::State &state, Kind kind, int pixelSize)
{
    const BenchFile &file = File(kind, pixelSize);
    for (auto _ : state) {
        int width = 0, height = 0, channels = 0;
        // The file's own channel count, so stb does no conversion of its own.
        stbi_uc *pixels = stbi_load(file.path.c_str(), &width, &height, &channels, pixelSize);
        if (!pixels) {
            state.SkipWithError("stbi_load failed");
            break;
        }
        benchmark::DoNotOptimize(pixels);
        stbi_image_free(pixels);
    }
    Label(state, file);
}

void BM_PlainRead(benchmark::State &state, Kind kind, int pixelSize)
{
    const BenchFile &file = File(kind, pixelSize);
    for (auto _ : state) {
        std::FILE *in = std::fopen(file.path.c_str(), "rb");
        void *buffer = std::malloc(std::size_t(file.bytes));
        if (!in || !buffer || std::fread(buffer, 1, std::size_t(file.bytes), in) != std::size_t(file.bytes)) {
            state.SkipWithError("plain read failed");
            break;
        }
        std::fclose(in);
        benchmark::DoNotOptimize(buffer);
        std::free(buffer);
    }
    Label(state, file);
}

#define SKIMBLER_TGA_BENCH(name, kind, size)                                                         \
    BENCHMARK_CAPTURE(BM_LoadTga, name, kind, size)->Unit(benchmark::kMillisecond)->UseRealTime();    \
    BENCHMARK_CAPTURE(BM_StbImage, name, kind, size)->Unit(benchmark::kMillisecond)->UseRealTime();   \
    BENCHMARK_CAPTURE(BM_PlainRead, name, kind, size)->Unit(benchmark::kMillisecond)->UseRealTime()

SKIMBLER_TGA_BENCH(raw24, Kind::Raw, 3);
SKIMBLER_TGA_BENCH(raw32, Kind::Raw, 4);
SKIMBLER_TGA_BENCH(rle24_mixed, Kind::RleMixed, 3);
SKIMBLER_TGA_BENCH(rle32_mixed, Kind::RleMixed, 4);
SKIMBLER_TGA_BENCH(rle24_1px_packets, Kind::RleSinglePixel, 3);
SKIMBLER_TGA_BENCH(rle32_1px_packets, Kind::RleSinglePixel, 4);

} // namespace

BENCHMARK_MAIN();
