#include "render/GraphicalInterface.h"

// Placeholder until the drawing code lands.
GraphicalInterface::~GraphicalInterface() = default;

bool GraphicalInterface::Init(int /*width*/, int /*height*/)
{
    return true;
}

void GraphicalInterface::Release()
{
    
}

bool GraphicalInterface::Resize(int /*width*/, int /*height*/, bool /*orthographic*/)
{
    return true;
}

TextureImage GraphicalInterface::CreateImage(const void */*pixels*/, int /*width*/, int /*height*/, int /*bitsPerPixel*/)
{
    return TextureImage();
}

bool GraphicalInterface::DrawImageQuad(const TextureImage &/*image*/, float /*s*/, float /*t*/, const float /*corners*/[4][3], float /*alpha*/)
{
    return true;
}

bool GraphicalInterface::DrawImage(const TextureImage &/*image*/, float /*width*/, float /*height*/, float /*x*/, float /*y*/, float /*angle*/, float /*scaleX*/, float /*scaleY*/, float /*alpha*/)
{
    return true;
}

bool GraphicalInterface::DrawImageAt(const TextureImage &/*image*/, float /*x*/, float /*y*/, float /*angle*/, float /*scaleX*/, float /*scaleY*/, float /*alpha*/)
{
    return true;
}

bool GraphicalInterface::DrawSurface(const Surface &/*surface*/, float /*x*/, float /*y*/, float /*angle*/, float /*scaleX*/, float /*scaleY*/, float /*alpha*/)
{
    return true;
}

bool GraphicalInterface::DrawPixels(const void */*pixels*/, int /*width*/, int /*height*/, float /*x*/, float /*y*/)
{
    return true;
}

void GraphicalInterface::DrawRect(float /*x*/, float /*y*/, float /*width*/, float /*height*/, bool /*filled*/)
{
    
}

void GraphicalInterface::DrawLine(float /*x1*/, float /*y1*/, float /*z1*/, float /*x2*/, float /*y2*/, float /*z2*/)
{
    
}

void GraphicalInterface::DrawLineXY(float /*x1*/, float /*y1*/, float /*x2*/, float /*y2*/)
{
    
}

void GraphicalInterface::BeginPick(int /*x*/, int /*y*/, int /*width*/, int /*height*/, std::uint32_t */*buffer*/, int /*count*/)
{
    
}

void GraphicalInterface::LoadName(std::uint32_t /*name*/)
{
    
}

void GraphicalInterface::PushName(std::uint32_t /*name*/)
{
    
}

int GraphicalInterface::EndPick()
{
    return 0;
}

void GraphicalInterface::SetLineWidth(float /*width*/)
{
    
}

void GraphicalInterface::SetLineStipple(int /*factor*/, std::uint16_t /*pattern*/, bool /*enable*/)
{
    
}

void GraphicalInterface::SetColor(float /*r*/, float /*g*/, float /*b*/, float /*a*/)
{
    
}

bool GraphicalInterface::Clear()
{
    return true;
}

bool GraphicalInterface::Swap(DeviceContext /*deviceContext*/)
{
    return true;
}

void GraphicalInterface::ScreenToWorld(float &/*x*/, float &/*y*/) const
{
    
}

void GraphicalInterface::WorldToScreen(float &/*x*/, float &/*y*/) const
{
    
}

float GraphicalInterface::OffsetX(float /*x*/, float /*pixels*/) const
{
    return 0.0f;
}

float GraphicalInterface::OffsetY(float /*y*/, float /*pixels*/) const
{
    return 0.0f;
}
