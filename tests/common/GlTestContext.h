#pragma once

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QSurfaceFormat>
#include <QWindow>

#include <memory>

// A window with a current compatibility-profile OpenGL context, for tests
// that upload textures or draw without the real view. Needs a display.
class GlTestContext
{
public:
    explicit GlTestContext(int width = 800, int height = 600)
    {
        QSurfaceFormat format;
        format.setRenderableType(QSurfaceFormat::OpenGL);
        format.setProfile(QSurfaceFormat::CompatibilityProfile);
        format.setDepthBufferSize(16);
        format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
        window = std::make_unique<QWindow>();
        window->setSurfaceType(QSurface::OpenGLSurface);
        window->setFormat(format);
        window->resize(width, height);
        window->create();
        context = std::make_unique<QOpenGLContext>();
        context->setFormat(format);
        valid = context->create() && context->makeCurrent(window.get());
    }
    ~GlTestContext()
    {
        if (context)
            context->doneCurrent();
    }

    std::unique_ptr<QWindow> window;
    std::unique_ptr<QOpenGLContext> context;
    bool valid = false;
};
