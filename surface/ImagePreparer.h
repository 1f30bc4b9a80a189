#pragma once

#include <functional>
#include <memory>

class PixelImage;

// Whoever draws the document may make what a new picture needs (its
// texture) before the document shows it, away from the window's thread, so
// that the window never stops for a large picture and shows it in one frame.
class ImagePreparer
{
public:
    // Starts preparing `image`; `ready` runs later on this thread, also when
    // the preparation failed (the drawing then says why, as it would have).
    // False when there is nothing to wait for: the document goes on at once.
    virtual bool PrepareImage(std::shared_ptr<const PixelImage> image, std::function<void()> ready) = 0;
    // The picture prepared last will not be shown: what was made for it
    // goes, and its `ready` never runs.
    virtual void DropPreparedImage() = 0;

protected:
    ~ImagePreparer() = default;
};
