#pragma once

#include <cstdint>

// The pixel format the rendering context asks for, field by field as the
// classic 40-byte descriptor lays it out. Fields not set here stay 0.
struct PixelFormatDescriptor
{
    std::uint16_t nSize = 40;
    std::uint16_t nVersion = 1;
    std::uint32_t dwFlags = 0;
    std::uint8_t iPixelType = 0;
    std::uint8_t cColorBits = 0;
    std::uint8_t cRedBits = 0;
    std::uint8_t cRedShift = 0;
    std::uint8_t cGreenBits = 0;
    std::uint8_t cGreenShift = 0;
    std::uint8_t cBlueBits = 0;
    std::uint8_t cBlueShift = 0;
    std::uint8_t cAlphaBits = 0;
    std::uint8_t cAlphaShift = 0;
    std::uint8_t cAccumBits = 0;
    std::uint8_t cAccumRedBits = 0;
    std::uint8_t cAccumGreenBits = 0;
    std::uint8_t cAccumBlueBits = 0;
    std::uint8_t cAccumAlphaBits = 0;
    std::uint8_t cDepthBits = 0;
    std::uint8_t cStencilBits = 0;
    std::uint8_t cAuxBuffers = 0;
    std::uint8_t iLayerType = 0;
    std::uint8_t bReserved = 0;
    std::uint32_t dwLayerMask = 0;
    std::uint32_t dwVisibleMask = 0;
    std::uint32_t dwDamageMask = 0;

    static constexpr std::uint32_t PFD_DOUBLEBUFFER = 0x01;
    static constexpr std::uint32_t PFD_DRAW_TO_WINDOW = 0x04;
    static constexpr std::uint32_t PFD_SUPPORT_OPENGL = 0x20;
    static constexpr std::uint8_t PFD_TYPE_RGBA = 0;
    static constexpr std::uint8_t PFD_MAIN_PLANE = 0;
};
