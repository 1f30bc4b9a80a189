#pragma once

#include <cstdint>
#include <vector>

// The window's background tiled once into an off-screen strip of the
// window's width and a few tiles' height, then copied strip by strip into
// the back buffer at the start of each frame instead of being drawn as a
// textured quad. Each copy is a block copy of memory on software OpenGL,
// where a full-window quad costs a pass of the rasteriser; a strip small
// enough to stay in the processor's cache leaves the cache to the picture
// drawn next. Every call needs the rendering context current.
class BackgroundCache
{
public:
    // The view's checkerboard tile: TileSize x TileSize pixels, rows top to
    // bottom, four bytes a pixel. In the top half the left cell is grey and
    // the right one white, in the bottom half the other way round.
    static constexpr int TileSize = 32;
    static std::vector<unsigned char> TilePixels();

    // tile: width x height pixels, four bytes each (R, G, B, A), rows from
    // the bottom of the window upwards, as the textured quad maps them.
    BackgroundCache(const unsigned char *tile, int width, int height);
    ~BackgroundCache();
    BackgroundCache(const BackgroundCache &) = delete;
    BackgroundCache &operator=(const BackgroundCache &) = delete;

    // Fills the viewport of the framebuffer being drawn into with the tile
    // repeated from the viewport's bottom-left corner, building the strip
    // first when the viewport's width changed. False, drawing nothing, when
    // the OpenGL in use cannot copy between framebuffers; the caller then
    // draws the background itself.
    bool Draw();
    // Frees the OpenGL objects; the next Draw builds them again.
    void Release();

private:
    static constexpr int kStripRows = 64;
    int StripRows() const;
    bool Build(int width, int height);

    std::vector<unsigned char> m_tile;
    int m_tileWidth = 0;
    int m_tileHeight = 0;
    int m_width = 0;
    int m_height = 0;
    unsigned int m_texture = 0;
    unsigned int m_framebuffer = 0;
    bool m_unsupported = false;
};
