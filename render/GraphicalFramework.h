#pragma once

#include "render/PixelFormatDescriptor.h"
#include "surface/GraphicalObject.h"
#include "surface/UserMessage.h"

#include <QSurfaceFormat>

#include <memory>

class QOffscreenSurface;
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
    GraphicalFramework();
    GraphicalFramework(const GraphicalFramework &) = delete;
    GraphicalFramework &operator=(const GraphicalFramework &) = delete;
    ~GraphicalFramework() override;

    // A failure of either is kept, worded for the user, until TakeMessages.
    virtual bool Create(int width, int height, int depth, DeviceContext deviceContext, QWindow *window);
    virtual void Release();
    // What Create and Release found wrong since the last call, in order.
    UserMessages TakeMessages();
    virtual PixelFormatDescriptor GetPixelFormatDescriptor() const;

    int Width = 0;
    int Height = 0;
    int Depth = 0;
    DeviceContext DeviceContextHandle = nullptr;
    QWindow *Window = nullptr;
    QOpenGLContext *RenderContext = nullptr;

    // The Qt surface format that a descriptor asks for.
    static QSurfaceFormat FormatFor(const PixelFormatDescriptor &descriptor);

    // Makes RenderContext current for drawing into Window. Until the window
    // has first been on screen the context is made current on a stand-in
    // surface instead: textures and state are the context's, not the
    // window's, and the window's drawable is then first bound at the size
    // it is shown at. Software OpenGL sizes a window's buffers when it is
    // bound and not again before its first swap, so a window bound early
    // would draw its first frame at a stale size, and copies into it would
    // take the slow path that compiles a shader.
    bool MakeWindowCurrent();

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
    std::unique_ptr<QOffscreenSurface> m_standIn;
    bool m_windowBound = false;
    UserMessages m_told;
};
