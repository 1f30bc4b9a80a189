#pragma once

#include <cstdint>

// An image uploaded as a texture; copied by value.
struct TextureImage
{
    int Width = 0;
    int Height = 0;
    int BitsPerPixel = 0;
    std::uint32_t Texture = 0;
    const void *Pixels = nullptr;  // as passed to CreateImage; not read afterwards
};
