#pragma once

#include "skimbler/DrawState.h"
#include "skimbler/SurfaceSettings.h"

#include <cstdint>
#include <string>
#include <vector>

namespace skimbler {

// A surface as one glTF 2.0 asset: the resolved quad, its texture with the
// editor's transparent border, its material, blend pair and camera.
struct GltfInput
{
    SurfaceSettings Settings;
    std::uint32_t ImageWidth = 0;  // the picture's own size, without the border
    std::uint32_t ImageHeight = 0;
    // PNG of PadImage's result, encoded by the caller.
    std::vector<std::uint8_t> Png;
    DrawOptions Options;  // the export size as ViewWidth x ViewHeight
    // The view's zoom (View::Zoom). It scales x and y of the surface in the
    // eye's space alone, which is the same as narrowing the camera's field
    // of view by it: the camera says it, the quad stays the surface's own.
    float Zoom = 1.0f;
    std::string Generator = "Skimbler";
    std::uint32_t FileFormatVersion = 0;
};

struct GltfOutput
{
    std::vector<std::uint8_t> Bytes;
    // Empty, or why an engine may draw the surface otherwise than the editor.
    std::string Warning;
};

// Texture rows (the first row is the bottom of the picture, `bytesPerPixel`
// 3 or 4 in `format` GL_RGB, GL_RGBA or GL_BGRA) to RGBA rows top row first
// with one border texel on every side: transparent black when the texture
// keeps alpha (`components` 4), else opaque black and every alpha 255.
std::vector<std::uint8_t> PadImage(const std::uint8_t *pixels, std::uint32_t width, std::uint32_t height,
                                   std::uint32_t format, int bytesPerPixel, int components);

// .gltf (JSON, buffer and image as data URIs) or .glb bytes.
GltfOutput ExportGltf(const GltfInput &input, bool binary);

// The settings kept in asset.extras.skimbler of an exported .gltf or .glb
// (its bytes), bit for bit. False when the file holds none.
bool SettingsFromGltf(const std::string &bytes, SurfaceSettings *settings);

} // namespace skimbler
