#pragma once

#include <cstdint>

namespace skimbler {

// The size of the next mipmap level: each side halved, at least 1.
inline int NextLevelSide(int side)
{
    return side > 1 ? side / 2 : 1;
}

// The number of levels from width x height down to 1 x 1.
int MipLevelCount(int width, int height);

// The next level down of a tightly packed image of `components` bytes a
// texel: every texel the bilinear sample of `source` at its centre, in
// 1/256ths, the way a GPU's copy makes the level. The editor's texture and
// the runtime's Vulkan texture both make their levels here.
void NextMipLevel(const std::uint8_t *source, int width, int height, int components, std::uint8_t *target, int w,
                  int h);

} // namespace skimbler
