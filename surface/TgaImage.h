#pragma once

#include <cstdint>

// A decoded TGA picture: tightly packed rows, bottom row first and each row
// left to right whatever corner the file starts at, R G B (A) bytes.
// After a successful load the caller owns Pixels (release with std::free).
struct TgaImage
{
    std::uint8_t *Pixels = nullptr;
    std::uint32_t BitsPerPixel = 0;
    std::uint32_t Width = 0;
    std::uint32_t Height = 0;
    std::uint32_t Texture = 0;
    std::uint32_t Format = 0;  // GL_RGB or GL_RGBA
};
