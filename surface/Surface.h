#pragma once

#include "surface/GraphicalObject.h"

#include <skimbler/SurfaceSettings.h>

#include <cstdint>

class PixelImage;
class QString;
struct ImageError;

// The one textured quad the program edits: its settings (plain public
// fields, read directly by the view, the panels and the drawing code), the
// texture and the size of the image it shows.
class Surface : public GraphicalObject, public skimbler::SurfaceSettings
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
    std::uint32_t Width = 0;
    std::uint32_t Height = 0;

private:
    void DeleteTexture();
};
