#pragma once

#include <cstdint>
#include <vector>

// One mipmap level of a texture as RGBA bytes, rows in the order of t (row 0
// at t = 0, which is the first row the image was uploaded with).
struct TexelLevel
{
    int Width = 0;
    int Height = 0;
    // An RGB texture: its alpha and its border's alpha are 1.
    bool Opaque = false;
    std::vector<std::uint8_t> Rgba;

    const std::uint8_t *At(int column, int row) const
    {
        const std::size_t index = static_cast<std::size_t>(row) * static_cast<std::size_t>(Width)
            + static_cast<std::size_t>(column);
        return &Rgba[index * 4];
    }
};

// Level 0 first; empty when there is no texture.
using TexelPyramid = std::vector<TexelLevel>;

// Reads every level of a 2-D texture back from the current context (an RGB
// texture reads back with alpha 255). Binds the texture; no drawing state is
// changed. False, with `levels` empty, when the texture has no image.
bool ReadTextureLevels(std::uint32_t texture, TexelPyramid *levels);
