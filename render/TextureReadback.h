#pragma once

#include "skimbler/PixelReference.h"

#include <cstdint>

using TexelLevel = skimbler::TexelLevel;
using TexelPyramid = skimbler::TexelPyramid;

// Reads every level of a 2-D texture back from the current context (an RGB
// texture reads back with alpha 255). Binds the texture; no drawing state is
// changed. False, with `levels` empty, when the texture has no image.
bool ReadTextureLevels(std::uint32_t texture, TexelPyramid *levels);
