#include "render/GraphicalFramework.h"

// Placeholder until the context binding lands.
GraphicalFramework::~GraphicalFramework()
{
    Release();
}

bool GraphicalFramework::Create(int width, int height, int depth, DeviceContext deviceContext, QWindow *window)
{
    Width = width;
    Height = height;
    Depth = depth;
    DeviceContextHandle = deviceContext;
    Window = window;
    return false;
}

void GraphicalFramework::Release()
{
    Width = Height = Depth = 0;
}

PixelFormatDescriptor GraphicalFramework::GetPixelFormatDescriptor() const
{
    return PixelFormatDescriptor();
}

bool GraphicalFramework::SetupPixelFormat()
{
    return false;
}

bool GraphicalFramework::CreateRenderContext()
{
    return false;
}
