#pragma once

#include "render/PixelFormatDescriptor.h"
#include "surface/GraphicalObject.h"

#include <QSurfaceFormat>

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
    GraphicalFramework(const GraphicalFramework &) = delete;
    GraphicalFramework &operator=(const GraphicalFramework &) = delete;
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

    // The Qt surface format that a descriptor asks for.
    static QSurfaceFormat FormatFor(const PixelFormatDescriptor &descriptor);

protected:
    bool SetupPixelFormat();
    bool CreateRenderContext();

    // The platform steps, one per call of the classic binding. Tests replace
    // them to walk every failure path.
    virtual DeviceContext GetDC(QWindow *window);
    virtual int ChoosePixelFormat(DeviceContext deviceContext, const PixelFormatDescriptor &descriptor);
    virtual bool SetPixelFormat(DeviceContext deviceContext, int format, const PixelFormatDescriptor &descriptor);
    virtual QOpenGLContext *CreateContext(DeviceContext deviceContext);
    virtual bool MakeCurrent(DeviceContext deviceContext, QOpenGLContext *context);
    virtual bool DeleteContext(QOpenGLContext *context);

private:
    QSurfaceFormat m_chosenFormat;
};
