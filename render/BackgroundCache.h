#pragma once

#include <cstdint>
#include <vector>

// The window's background tiled once into an off-screen image of the
// window's size, then copied into the back buffer at the start of each
// frame instead of being drawn as a textured quad. The copy is one block
// copy of memory on software OpenGL, where a full-window quad costs a pass
// of the rasteriser. Every call needs the rendering context current.
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
    // repeated from the viewport's bottom-left corner, building the image
    // first when the viewport's size changed. False, drawing nothing, when
    // the OpenGL in use cannot copy between framebuffers; the caller then
    // draws the background itself.
    bool Draw();
    // Frees the OpenGL objects; the next Draw builds them again.
    void Release();

private:
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
