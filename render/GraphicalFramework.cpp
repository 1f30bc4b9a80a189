#include "render/GraphicalFramework.h"

#include <QCoreApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QString>
#include <QWindow>

#include <utility>

namespace {
// Callers hand over QT_TRANSLATE_NOOP texts of this context.
QString Translated(const char *text)
{
    return QCoreApplication::translate("GraphicalFramework", text);
}

UserMessage Error(const char *text)
{
    return UserMessage{Translated(text), Translated(QT_TRANSLATE_NOOP("GraphicalFramework", "ERROR")),
                       UserMessage::Exclamation, QString()};
}

UserMessage ShutdownError(const char *text)
{
    return UserMessage{Translated(text), Translated(QT_TRANSLATE_NOOP("GraphicalFramework", "SHUTDOWN ERROR")),
                       UserMessage::Information, QString()};
}
}

GraphicalFramework::GraphicalFramework() = default;

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
    if (!SetupPixelFormat())
        return false;
    return CreateRenderContext();
}

PixelFormatDescriptor GraphicalFramework::GetPixelFormatDescriptor() const
{
    PixelFormatDescriptor descriptor;
    descriptor.dwFlags = PixelFormatDescriptor::PFD_DRAW_TO_WINDOW | PixelFormatDescriptor::PFD_SUPPORT_OPENGL
        | PixelFormatDescriptor::PFD_DOUBLEBUFFER;
    descriptor.iPixelType = PixelFormatDescriptor::PFD_TYPE_RGBA;
    descriptor.cColorBits = static_cast<std::uint8_t>(Depth & 0xFF);
    descriptor.cDepthBits = 16;
    descriptor.iLayerType = PixelFormatDescriptor::PFD_MAIN_PLANE;
    return descriptor;
}

QSurfaceFormat GraphicalFramework::FormatFor(const PixelFormatDescriptor &descriptor)
{
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    // Fixed-function drawing needs the compatibility profile.
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setSwapBehavior((descriptor.dwFlags & PixelFormatDescriptor::PFD_DOUBLEBUFFER)
                               ? QSurfaceFormat::DoubleBuffer
                               : QSurfaceFormat::SingleBuffer);
    // Colour bits count red, green and blue; 24 and 32 both mean 8 per channel.
    const int channel = descriptor.cColorBits >= 24 ? 8 : descriptor.cColorBits >= 15 ? 5 : -1;
    format.setRedBufferSize(channel);
    format.setGreenBufferSize(channel);
    format.setBlueBufferSize(channel);
    format.setDepthBufferSize(descriptor.cDepthBits);
    format.setStencilBufferSize(descriptor.cStencilBits);
    return format;
}

bool GraphicalFramework::SetupPixelFormat()
{
    DeviceContextHandle = GetDC(Window);
    if (!DeviceContextHandle) {
        Release();
        m_told.append(Error(QT_TRANSLATE_NOOP("GraphicalFramework", "Can't Create A GL Device Context.")));
        return false;
    }
    const PixelFormatDescriptor descriptor = GetPixelFormatDescriptor();
    const int format = ChoosePixelFormat(DeviceContextHandle, descriptor);
    if (format == 0) {
        Release();
        m_told.append(Error(QT_TRANSLATE_NOOP("GraphicalFramework", "Can't Find A Suitable PixelFormat.")));
        return false;
    }
    if (!SetPixelFormat(DeviceContextHandle, format, descriptor)) {
        Release();
        m_told.append(Error(QT_TRANSLATE_NOOP("GraphicalFramework", "Can't Set The PixelFormat.")));
        return false;
    }
    return true;
}

bool GraphicalFramework::CreateRenderContext()
{
    RenderContext = CreateContext(DeviceContextHandle);
    if (!RenderContext) {
        Release();
        m_told.append(Error(QT_TRANSLATE_NOOP("GraphicalFramework", "Can't Create A GL Rendering Context.")));
        return false;
    }
    if (!MakeCurrent(DeviceContextHandle, RenderContext)) {
        Release();
        m_told.append(Error(QT_TRANSLATE_NOOP("GraphicalFramework", "Can't Activate The GL Rendering Context.")));
        return false;
    }
    return true;
}

void GraphicalFramework::Release()
{
    if (RenderContext) {
        if (!MakeCurrent(nullptr, nullptr))
            m_told.append(ShutdownError(QT_TRANSLATE_NOOP("GraphicalFramework", "Release Of DC And RC Failed.")));
        if (!DeleteContext(RenderContext))
            m_told.append(ShutdownError(QT_TRANSLATE_NOOP("GraphicalFramework", "Release Rendering Context Failed.")));
        RenderContext = nullptr;
    }
    m_standIn.reset();
    m_windowBound = false;
    Width = 0;
    Height = 0;
    Depth = 0;
}

DeviceContext GraphicalFramework::GetDC(QWindow *window)
{
    return window;
}

int GraphicalFramework::ChoosePixelFormat(DeviceContext deviceContext, const PixelFormatDescriptor &descriptor)
{
    constexpr std::uint32_t required = PixelFormatDescriptor::PFD_DRAW_TO_WINDOW
        | PixelFormatDescriptor::PFD_SUPPORT_OPENGL;
    if (!deviceContext || (descriptor.dwFlags & required) != required
        || descriptor.iPixelType != PixelFormatDescriptor::PFD_TYPE_RGBA)
        return 0;
    m_chosenFormat = FormatFor(descriptor);
    return 1;
}

bool GraphicalFramework::SetPixelFormat(DeviceContext deviceContext, int format, const PixelFormatDescriptor &)
{
    auto *window = static_cast<QWindow *>(deviceContext);
    if (!window || format != 1)
        return false;
    // Like a window's pixel format, the surface format only takes effect
    // when the platform window is made, so it can be set once.
    if (!window->handle()) {
        window->setSurfaceType(QSurface::OpenGLSurface);
        window->setFormat(m_chosenFormat);
        window->create();
    }
    return window->handle() != nullptr && window->supportsOpenGL();
}

QOpenGLContext *GraphicalFramework::CreateContext(DeviceContext deviceContext)
{
    auto *context = new QOpenGLContext;
    context->setFormat(deviceContext ? deviceContext->format() : m_chosenFormat);
    if (!context->create()) {
        delete context;
        return nullptr;
    }
    return context;
}

bool GraphicalFramework::MakeCurrent(DeviceContext deviceContext, QOpenGLContext *context)
{
    if (!context) {
        if (QOpenGLContext *current = QOpenGLContext::currentContext())
            current->doneCurrent();
        return QOpenGLContext::currentContext() == nullptr;
    }
    if (deviceContext && deviceContext == Window && !m_windowBound) {
        if (!Window->isExposed()) {
            if (!m_standIn) {
                m_standIn = std::make_unique<QOffscreenSurface>(Window->screen());
                m_standIn->setFormat(context->format());
                m_standIn->create();
            }
            if (m_standIn->isValid() && context->makeCurrent(m_standIn.get()))
                return true;
            // No stand-in here: the window it is, at whatever size.
        }
        m_windowBound = true;
    }
    return context->makeCurrent(deviceContext);
}

UserMessages GraphicalFramework::TakeMessages()
{
    return std::exchange(m_told, UserMessages());
}

bool GraphicalFramework::MakeWindowCurrent()
{
    return RenderContext && Window && MakeCurrent(Window, RenderContext);
}

bool GraphicalFramework::DeleteContext(QOpenGLContext *context)
{
    delete context;
    return true;
}
