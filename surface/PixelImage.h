#pragma once

#include "skimbler/GlEnums.h"
#include "surface/TgaImage.h"

#include <QImage>

#include <cstdint>
#include <cstdlib>
#include <memory>

// A decoded picture ready to be handed to glTexImage2D: tightly packed rows,
// the first row the one a TGA stores first (the bottom of the picture), in
// the OpenGL format it names. Move-only; owns its pixels.
class PixelImage
{
public:
    PixelImage() = default;

    // Takes over a decoded TGA's buffer (R G B or R G B A bytes).
    explicit PixelImage(TgaImage &tga)
        : m_owned(tga.Pixels)
        , m_pixels(tga.Pixels)
        , m_width(int(tga.Width))
        , m_height(int(tga.Height))
        , m_components(int(tga.BitsPerPixel / 8))
        , m_format(tga.Format)
        , m_bytesPerPixel(m_components)
    {
        tga.Pixels = nullptr;
    }

    // Shares a 32-bit image (Format_RGB32 or Format_ARGB32) whose rows are
    // already in texture order. Its words are B G R A bytes on the
    // little-endian machines this runs on.
    explicit PixelImage(const QImage &image)
        : m_image(image)
        , m_pixels(m_image.constBits())
        , m_width(m_image.width())
        , m_height(m_image.height())
        , m_components(m_image.format() == QImage::Format_RGB32 ? 3 : 4)
        , m_format(skimbler::gl::BGRA)
        , m_bytesPerPixel(4)
    {
        static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "32-bit image words are read as B G R A bytes");
    }

    bool IsNull() const { return m_pixels == nullptr; }
    const std::uint8_t *Pixels() const { return m_pixels; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // The texture's internal format as a component count: 3 keeps no alpha.
    int Components() const { return m_components; }
    // GL_RGB, GL_RGBA or GL_BGRA, of unsigned bytes.
    std::uint32_t Format() const { return m_format; }
    int BytesPerPixel() const { return m_bytesPerPixel; }

private:
    struct Free
    {
        void operator()(std::uint8_t *pixels) const { std::free(pixels); }
    };

    std::unique_ptr<std::uint8_t, Free> m_owned;
    QImage m_image;
    const std::uint8_t *m_pixels = nullptr;
    int m_width = 0;
    int m_height = 0;
    int m_components = 0;
    std::uint32_t m_format = 0;
    int m_bytesPerPixel = 0;
};
