#pragma once

#include "skimbler/PixelReference.h"

#include <QString>

// Why a window pixel has the colour it has: the reference worked out by
// skimbler::PixelAt, written out for the user.
namespace PixelProbe {

using Colour = skimbler::Colour;
using Result = skimbler::PixelResult;
using skimbler::ToByte;

// The readout: one fact a line, colours as RGBA 0-255.
QString Describe(const Result &result);

} // namespace PixelProbe
