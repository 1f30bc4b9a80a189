#pragma once

#include "surface/GraphicalObject.h"
#include "surface/SurfaceFlags.h"

#include <cstdint>

class PixelImage;
class QString;
struct ImageError;

// The one textured quad the program edits. Plain public fields: the view,
// the panels and the drawing code read and write them directly.
class Surface : public GraphicalObject
{
public:
    Surface() = default;
    Surface(const Surface &) = delete;
    Surface &operator=(const Surface &) = delete;
    ~Surface() override;

    // Reads the image file at `path`, makes it the texture (in the current
    // GL context) and resets every editable setting to the defaults. A
    // failed read has already been reported to the user; the surface then
    // has no texture and a size of 0 x 0. Always returns true.
    virtual bool Load(const QString &path);

    // Makes `image` the texture, in place of the old one, and takes its
    // size; no other field changes. When OpenGL refuses it the old texture
    // stays and `error` says why.
    bool SetImage(const PixelImage &image, const QString &path, ImageError *error);

    // No image: no texture, a size of 0 x 0 and every editable setting at
    // its default.
    void Clear();

    // Filters, blend factors, flag bits 0x3E, corner layout and colours.
    void ApplyDefaults();
    // Only the corner layout (the view's "full window" command).
    void ResetPoints();

    std::uint32_t Texture = 0;
    std::uint32_t Version = 0;
    std::uint32_t BPP = 0;
    std::uint32_t Type = 0;
    std::uint32_t DataFormat = 0;
    std::uint32_t Width = 0;
    std::uint32_t Height = 0;
    std::uint32_t ColorKey = 0;
    std::uint32_t MagFilter = 0;
    std::uint32_t MinFilter = 0;
    std::uint32_t SrcFactor = 0;
    std::uint32_t DestFactor = 0;
    SurfaceFlags Flags = 0;
    float Points[4][3] = {};
    float Colors[4][4] = {};

    // 4/3 in single precision: the half-width of the visible drawing plane.
    static constexpr float PlaneHalfWidth = 4.0f / 3.0f;

private:
    void DeleteTexture();
};
