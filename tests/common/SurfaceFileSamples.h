#pragma once

// Surfaces whose files are kept in tests/data/surface-files/<name>.skimbler:
// the bytes a save must give, odd floats, -0, big and tiny numbers and
// awkward image paths included.

#include <skimbler/SurfaceSettings.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace SurfaceFileSamples {

struct Sample
{
    const char *name;
    skimbler::SurfaceSettings settings;
    std::uint32_t width;
    std::uint32_t height;
    std::string imagePath;
    std::string fileDirectory;
};

inline skimbler::SurfaceSettings With(const float (&points)[12], const float (&colors)[16])
{
    skimbler::SurfaceSettings s = skimbler::DefaultSettings();
    std::memcpy(&s.Points[0][0], points, sizeof points);
    std::memcpy(&s.Colors[0][0], colors, sizeof colors);
    return s;
}

inline std::vector<Sample> All()
{
    std::vector<Sample> samples;
    samples.push_back({"defaults-no-image", skimbler::DefaultSettings(), 0, 0, "", "/tmp"});

    skimbler::SurfaceSettings odd =
        With({-4.0f / 3.0f, 1.0f / 3.0f, 0.1f, 1e-40f, -3.4e38f, 3.4e38f, 0.7f, 0.0f, 123456.789f, -1.0f, 2.5e-7f,
              42.0f},
             {0.0f, 1.0f, 0.1f, 0.3f, 1.0f / 3.0f, 0.999999f, 1e-30f, 0.5f, 0.25f, 0.75f, 0.2f, 0.9f, 0.01f, 0.02f,
              0.03f, 1.0f});
    odd.Version = 7;
    odd.BPP = 32;
    odd.Type = 2;
    odd.DataFormat = 1;
    odd.ColorKey = 4294967295u;
    odd.MagFilter = 9728;
    odd.MinFilter = 9987;
    odd.SrcFactor = 776;
    odd.DestFactor = 0;
    odd.Flags = 0xFFFFFFC1u;
    samples.push_back({"odd-floats", odd, 256, 128, "/home/ann/cards/a.tga", "/home/ann/cards"});

    const float negativeZero = -0.0f;
    samples.push_back({"tiny-and-negative-zero",
                       With({negativeZero, 1e-5f, -1e-5f, 1e-4f, 0.0001f, -0.001f, 100000.0f, 1e6f, -1e7f, 1e20f,
                             1.5e-5f, 12345678.0f},
                            {negativeZero, 1e-5f, 0.0001f, 0.001f, 0.125f, 1e-7f, 0.999f, 1.0f, 0.5f, 0.05f,
                             0.005f, 0.0005f, 0.00005f, 1e-38f, 1e-45f, 0.9999999f}),
                       1, 1, "/srv/a/images/card.tga", "/srv/a/docs"});

    const float big = std::numeric_limits<float>::max();
    const float least = std::numeric_limits<float>::min();
    skimbler::SurfaceSettings huge =
        With({big, -big, least, -least, 16777217.0f, 1e30f, -1e30f, 9007199254740993.0f, 4294967296.0f,
              123456792.0f, 1e15f, 1e16f},
             {1, 1, 1, 1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 1, 0, 1});
    huge.Version = 4294967295u;
    huge.BPP = 4294967295u;
    huge.Type = 4294967295u;
    huge.DataFormat = 4294967295u;
    huge.ColorKey = 2147483648u;
    huge.Flags = 0;
    samples.push_back({"big-values", huge, 4294967295u, 65536, "/card.tga", "/"});

    samples.push_back({"unicode-path", skimbler::DefaultSettings(), 640, 480,
                       "/home/ann/卡片/ünïcødé \"quoted\" back\\slash é.tga", "/home/ann/文件"});
    samples.push_back({"image-above-the-folder", skimbler::DefaultSettings(), 2, 2, "/a/b.tga", "/a/c/d/e"});
    samples.push_back({"uncleaned-paths", skimbler::DefaultSettings(), 2, 2, "/srv//a/./b/../card.tga",
                       "/srv/a/./x/../"});
    samples.push_back({"control-characters", skimbler::DefaultSettings(), 2, 2,
                       std::string("/tmp/tab\there\nnew\x01\x1f\x7f\b\f\r/slash/ .tga"), "/tmp"});
    samples.push_back({"same-prefix-folders", skimbler::DefaultSettings(), 3, 5, "/data/cards2/x.tga",
                       "/data/cards"});
    // The one optional key: present only when on.
    skimbler::SurfaceSettings perspective = skimbler::DefaultSettings();
    perspective.Points[0][0] = -0.5f;
    perspective.Points[2][0] = 0.5f;
    perspective.PerspectiveCorrect = 1;
    samples.push_back({"perspective-correct", perspective, 64, 32, "/home/ann/poster.png", "/home/ann"});
    return samples;
}

} // namespace SurfaceFileSamples
