#pragma once

#include "render/PixelFormatDescriptor.h"
#include "surface/GraphicalObject.h"

class QOpenGLContext;
class QSurface;
class QWindow;

// On Qt the window's "device context" is the window's drawable surface.
using DeviceContext = QSurface *;

// Binds an OpenGL context to the view's window and keeps it current on the
// user-interface thread until Release.
class GraphicalFramework : public GraphicalObject
{
public:
    GraphicalFramework() = default;
    ~GraphicalFramework() override;

    virtual bool Create(int width, int height, int depth, DeviceContext deviceContext, QWindow *window);
    virtual void Release();
    virtual PixelFormatDescriptor GetPixelFormatDescriptor() const;

    int Width = 0;
    int Height = 0;
    int Depth = 0;
    DeviceContext DeviceContextHandle = nullptr;
    QWindow *Window = nullptr;
    QOpenGLContext *RenderContext = nullptr;

protected:
    bool SetupPixelFormat();
    bool CreateRenderContext();
};
