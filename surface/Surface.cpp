#include "surface/Surface.h"

#include "surface/ImageReader.h"
#include "surface/PixelImage.h"
#include "skimbler/Scene.h"

#include <QString>

#include <atomic>

namespace {

std::uint64_t NextRevision()
{
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

} // namespace

Surface::~Surface() = default;

void Surface::TakeImage(std::shared_ptr<const PixelImage> image)
{
    Width = image ? std::uint32_t(image->Width()) : 0;
    Height = image ? std::uint32_t(image->Height()) : 0;
    Image = std::move(image);
    ImageRevision = NextRevision();
}

bool Surface::Load(const QString &path, int maxSide, UserMessages *told)
{
    auto image = std::make_shared<PixelImage>();
    ImageError error;
    const auto sizeCheck = [maxSide](int width, int height, int) {
        return ImageReader::SideRefusal(width, height, maxSide);
    };
    if (ImageReader::Read(path, sizeCheck, image.get(), &error)) {
        TakeImage(std::move(image));
    } else {
        if (told)
            told->append(error.Message());
        TakeImage(nullptr);
    }
    ApplyDefaults();
    return true;
}

void Surface::Clear()
{
    TakeImage(nullptr);
    ApplyDefaults();
}

void Surface::SetImage(std::shared_ptr<const PixelImage> image)
{
    TakeImage(std::move(image));
}

void Surface::ResetPoints()
{
    skimbler::ResetPoints(this);
}

void Surface::ApplyDefaults()
{
    skimbler::ApplyDefaults(this);
}
