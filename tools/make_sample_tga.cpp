// Writes the sample image: a 256 x 256 32-bit uncompressed TGA test card.
//
//   make_sample_tga <output.tga>
//
// What it shows, as it should appear on screen:
//   - a grid every 32 pixels on dark grey, framed by a white border;
//   - four corner blocks, each with its own colour and shape:
//       top left red disc, top right green triangle,
//       bottom left blue square, bottom right yellow diamond;
//   - a large white "F" in the middle (mirrored or upside down at a glance)
//     and an arrow above it pointing up;
//   - a band near the bottom whose alpha rises from 0 at the left to 255 at
//     the right over white, with a tick every 64 pixels; the rest is opaque.
//
// The rows are stored bottom row first, the usual TGA order (descriptor
// origin bit clear). The program keeps rows in file order and puts the
// first row at texture t = 0, the quad's lower edge, so the card appears
// the right way up there and in other viewers alike.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kSize = 256;

struct Rgba
{
    std::uint8_t r, g, b, a;
};

class Card
{
public:
    Card() : m_pixels(kSize * kSize, Rgba{48, 48, 48, 255}) {}

    // x to the right, y downwards, as the card is seen.
    void Set(int x, int y, Rgba color)
    {
        if (x >= 0 && x < kSize && y >= 0 && y < kSize)
            m_pixels[std::size_t(y * kSize + x)] = color;
    }
    void Fill(int x0, int y0, int x1, int y1, Rgba color)
    {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                Set(x, y, color);
    }
    const Rgba &At(int x, int y) const { return m_pixels[std::size_t(y * kSize + x)]; }

private:
    std::vector<Rgba> m_pixels;
};

const Rgba kWhite{255, 255, 255, 255};
const Rgba kBlack{0, 0, 0, 255};
const Rgba kGrid{96, 96, 96, 255};

void DrawCorners(Card &card)
{
    const int block = 48, margin = 8;
    const int left = margin, top = margin;
    const int right = kSize - margin - block, bottom = kSize - margin - block;

    // Top left: red block with a white disc.
    card.Fill(left, top, left + block, top + block, Rgba{220, 30, 30, 255});
    const int cx = left + block / 2, cy = top + block / 2, radius = 15;
    for (int y = -radius; y <= radius; ++y)
        for (int x = -radius; x <= radius; ++x)
            if (x * x + y * y <= radius * radius)
                card.Set(cx + x, cy + y, kWhite);

    // Top right: green block with a white triangle pointing up.
    card.Fill(right, top, right + block, top + block, Rgba{30, 180, 60, 255});
    for (int row = 0; row < 30; ++row)
        card.Fill(right + block / 2 - row / 2, top + 9 + row, right + block / 2 + row / 2 + 1, top + 10 + row, kWhite);

    // Bottom left: blue block with a white square.
    card.Fill(left, bottom, left + block, bottom + block, Rgba{40, 70, 230, 255});
    card.Fill(left + 12, bottom + 12, left + block - 12, bottom + block - 12, kWhite);

    // Bottom right: yellow block with a black diamond.
    card.Fill(right, bottom, right + block, bottom + block, Rgba{240, 220, 30, 255});
    const int dx = right + block / 2, dy = bottom + block / 2;
    for (int y = -15; y <= 15; ++y)
        for (int x = -15; x <= 15; ++x)
            if (std::abs(x) + std::abs(y) <= 15)
                card.Set(dx + x, dy + y, kBlack);
}

void DrawGlyphs(Card &card)
{
    // "F": stem on the left, long top bar, shorter middle bar.
    const int fx = 104, fy = 84;
    card.Fill(fx, fy, fx + 14, fy + 88, kWhite);
    card.Fill(fx, fy, fx + 56, fy + 14, kWhite);
    card.Fill(fx, fy + 38, fx + 40, fy + 50, kWhite);

    // Arrow pointing up, centred above the "F".
    const int ax = kSize / 2;
    for (int row = 0; row < 16; ++row)
        card.Fill(ax - row, 26 + row, ax + row + 1, 27 + row, kWhite);
    card.Fill(ax - 4, 42, ax + 5, 70, kWhite);
}

void DrawAlphaBand(Card &card)
{
    const int top = 178, bottom = 193;
    for (int y = top; y < bottom; ++y)
        for (int x = 8; x < kSize - 8; ++x)
            card.Set(x, y, Rgba{255, 255, 255, std::uint8_t((x - 8) * 255 / (kSize - 17))});
    // Ticks under the band: opaque, so they show where alpha is 0, 1/4, ...
    for (int x = 8; x < kSize; x += 60)
        card.Fill(x, bottom, x + 2, bottom + 5, kWhite);
}

void DrawGridAndBorder(Card &card)
{
    for (int i = 0; i < kSize; i += 32) {
        card.Fill(i, 0, i + 1, kSize, kGrid);
        card.Fill(0, i, kSize, i + 1, kGrid);
    }
    card.Fill(0, 0, kSize, 2, kWhite);
    card.Fill(0, kSize - 2, kSize, kSize, kWhite);
    card.Fill(0, 0, 2, kSize, kWhite);
    card.Fill(kSize - 2, 0, kSize, kSize, kWhite);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output.tga>\n", argv[0]);
        return 2;
    }

    Card card;
    DrawGridAndBorder(card);
    DrawCorners(card);
    DrawGlyphs(card);
    DrawAlphaBand(card);

    std::vector<std::uint8_t> bytes = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                       kSize & 0xFF, kSize >> 8, kSize & 0xFF, kSize >> 8, 32,
                                       0x08};  // 8 alpha bits, bottom-left origin
    // Bottom row first; each pixel as B G R A.
    for (int y = kSize - 1; y >= 0; --y) {
        for (int x = 0; x < kSize; ++x) {
            const Rgba &p = card.At(x, y);
            bytes.insert(bytes.end(), {p.b, p.g, p.r, p.a});
        }
    }

    std::FILE *out = std::fopen(argv[1], "wb");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    if (std::fclose(out) != 0 || !written) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
