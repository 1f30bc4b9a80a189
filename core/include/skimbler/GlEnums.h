#pragma once

#include <cstdint>

namespace skimbler {

// The OpenGL enumerants a surface stores or a renderer is told to use, by
// value, so that nothing here needs an OpenGL header.
namespace gl {
constexpr std::uint32_t ZERO = 0;
constexpr std::uint32_t ONE = 1;
constexpr std::uint32_t SRC_COLOR = 0x0300;
constexpr std::uint32_t ONE_MINUS_SRC_COLOR = 0x0301;
constexpr std::uint32_t SRC_ALPHA = 0x0302;
constexpr std::uint32_t ONE_MINUS_SRC_ALPHA = 0x0303;
constexpr std::uint32_t DST_ALPHA = 0x0304;
constexpr std::uint32_t ONE_MINUS_DST_ALPHA = 0x0305;
constexpr std::uint32_t DST_COLOR = 0x0306;
constexpr std::uint32_t ONE_MINUS_DST_COLOR = 0x0307;
constexpr std::uint32_t SRC_ALPHA_SATURATE = 0x0308;

constexpr std::uint32_t NEAREST = 0x2600;
constexpr std::uint32_t LINEAR = 0x2601;
constexpr std::uint32_t NEAREST_MIPMAP_NEAREST = 0x2700;
constexpr std::uint32_t LINEAR_MIPMAP_NEAREST = 0x2701;
constexpr std::uint32_t NEAREST_MIPMAP_LINEAR = 0x2702;
constexpr std::uint32_t LINEAR_MIPMAP_LINEAR = 0x2703;

constexpr std::uint32_t CLAMP = 0x2900;  // clamp to [0, 1], border mixed in by linear filters
constexpr std::uint32_t REPEAT = 0x2901;
constexpr std::uint32_t MODULATE = 0x2100;
constexpr std::uint32_t TRIANGLE_STRIP = 0x0005;

// Pixel formats of a decoded image, in unsigned bytes.
constexpr std::uint32_t RGB = 0x1907;
constexpr std::uint32_t RGBA = 0x1908;
constexpr std::uint32_t BGRA = 0x80E1;
} // namespace gl

constexpr bool IsMipmapFilter(std::uint32_t filter)
{
    return filter >= gl::NEAREST_MIPMAP_NEAREST && filter <= gl::LINEAR_MIPMAP_LINEAR;
}

// The values OpenGL accepts for each setting; a file can hold any number.
constexpr bool IsMagFilter(std::uint32_t filter)
{
    return filter == gl::NEAREST || filter == gl::LINEAR;
}

constexpr bool IsMinFilter(std::uint32_t filter)
{
    return IsMagFilter(filter) || IsMipmapFilter(filter);
}

constexpr bool IsBlendFactor(std::uint32_t factor)
{
    return factor == gl::ZERO || factor == gl::ONE || (factor >= gl::SRC_COLOR && factor <= gl::SRC_ALPHA_SATURATE);
}

} // namespace skimbler
