#pragma once

#include "surface/GraphicalObject.h"
#include "surface/UserMessage.h"

#include <skimbler/SurfaceSettings.h>

#include <cstdint>
#include <memory>

class PixelImage;
class QString;
struct ImageError;

// The one textured quad the program edits: its settings (plain public
// fields, read directly by the view, the panels and the drawing code), the
// decoded image it shows and that image's size. The texture is the
// drawing's business: it is made from Image whenever ImageRevision differs
// from the one it was made for.
class Surface : public GraphicalObject, public skimbler::SurfaceSettings
{
public:
    Surface() = default;
    Surface(const Surface &) = delete;
    Surface &operator=(const Surface &) = delete;
    ~Surface() override;

    // Reads the image file at `path`, makes it the image and resets every
    // editable setting to the defaults. A picture with a side over
    // `maxSide` (the largest texture side the driver takes; 0: unknown) is
    // refused. A failed read leaves the surface with no image and a size of
    // 0 x 0, and adds why to `told` (the user is to hear it). Always
    // returns true.
    virtual bool Load(const QString &path, int maxSide = 0, UserMessages *told = nullptr);

    // Makes `image` the image, in place of the old one, and takes its size;
    // no other field changes.
    void SetImage(std::shared_ptr<const PixelImage> image);

    // No image: a size of 0 x 0 and every editable setting at its default.
    void Clear();

    // Filters, blend factors, flag bits 0x3E, corner layout and colours.
    void ApplyDefaults();
    // Only the corner layout (the view's "full window" command).
    void ResetPoints();

    // Shared with the texture cache and the workers that made it; never
    // changed in place, only replaced.
    std::shared_ptr<const PixelImage> Image;
    // Changes with every new image (or none), never repeating within the
    // process, so a texture made for one surface's image is never taken for
    // another's.
    std::uint64_t ImageRevision = 0;
    std::uint32_t Width = 0;
    std::uint32_t Height = 0;

private:
    void TakeImage(std::shared_ptr<const PixelImage> image);
};
