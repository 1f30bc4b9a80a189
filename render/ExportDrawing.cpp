#include "render/ExportDrawing.h"

#include "render/DrawLayers.h"
#include "render/GraphicalInterface.h"
#include "render/SurfaceDrawState.h"
#include "surface/Surface.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "skimbler/WholeFile.h"

#include <QCoreApplication>
#include <QFile>

namespace {

// Puts the drawing interface and the clear colour back however the
// rendering ends.
class InterfaceSizeGuard
{
public:
    InterfaceSizeGuard(GraphicalInterface *gi, int width, int height)
        : m_interface(gi)
        , m_width(gi->Width)
        , m_height(gi->Height)
        , m_offsetX(gi->ViewOffsetX())
        , m_offsetY(gi->ViewOffsetY())
        , m_aspect(gi->Aspect())
        , m_viewportLeft(gi->ViewportLeft)
        , m_viewportBottom(gi->ViewportBottom)
    {
        // The picture fills its own buffer, wherever a letter-boxed view's
        // drawing area sits in the window.
        m_interface->SetViewportOrigin(0, 0);
        m_interface->Resize(width, height, false);
    }
    ~InterfaceSizeGuard()
    {
        DrawLayers::WriteChannels(true, true);
        DrawLayers::EnableBlending(true);
        DrawLayers::SetClearColour(0.0f, 0.0f, 0.0f, 1.0f);
        m_interface->SetAspect(m_aspect);
        m_interface->SetViewportOrigin(m_viewportLeft, m_viewportBottom);
        m_interface->Resize(m_width, m_height, false);
        m_interface->SetViewOffset(m_offsetX, m_offsetY);
    }

private:
    GraphicalInterface *m_interface;
    int m_width;
    int m_height;
    float m_offsetX;
    float m_offsetY;
    double m_aspect;
    int m_viewportLeft;
    int m_viewportBottom;
};

// An RGBA8 colour buffer with depth and stencil, bound for drawing while it
// lives; the framebuffer bound before comes back afterwards.
class OffscreenTarget
{
public:
    OffscreenTarget(int width, int height)
    {
        glGetIntegerv(GL_FRAMEBUFFER_BINDING, &m_previous);
        glGenFramebuffers(1, &m_framebuffer);
        glGenRenderbuffers(2, m_renderbuffers);
        glBindRenderbuffer(GL_RENDERBUFFER, m_renderbuffers[0]);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        glBindRenderbuffer(GL_RENDERBUFFER, m_renderbuffers[1]);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
        glBindRenderbuffer(GL_RENDERBUFFER, 0);
        glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_renderbuffers[0]);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, m_renderbuffers[1]);
        m_complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    }
    ~OffscreenTarget()
    {
        glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(m_previous));
        glDeleteRenderbuffers(2, m_renderbuffers);
        glDeleteFramebuffers(1, &m_framebuffer);
    }
    OffscreenTarget(const OffscreenTarget &) = delete;
    OffscreenTarget &operator=(const OffscreenTarget &) = delete;

    bool IsComplete() const { return m_complete; }

private:
    GLint m_previous = 0;
    GLuint m_framebuffer = 0;
    GLuint m_renderbuffers[2] = {0, 0};
    bool m_complete = false;
};

// The buffer's bytes, top row first.
QImage ReadBack(int width, int height)
{
    QImage image(width, height, QImage::Format_RGBA8888);
    if (image.isNull())
        return image;
    std::vector<unsigned char> rows(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    GLint oldPack = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &oldPack);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rows.data());
    glPixelStorei(GL_PACK_ALIGNMENT, oldPack);
    const size_t stride = static_cast<size_t>(width) * 4;
    for (int y = 0; y < height; ++y)
        std::memcpy(image.scanLine(y), &rows[static_cast<size_t>(height - 1 - y) * stride], stride);
    return image;
}

} // namespace

namespace ExportDrawing {

QImage Render(GraphicalInterface *gi, const Surface *surface, const TextureImage &tile, const Picture &picture,
              QString *error)
{
    const int width = picture.Width;
    const int height = picture.Height;
    OffscreenTarget target(width, height);
    if (!target.IsComplete()) {
        *error = QCoreApplication::translate("ExportDrawing", "the graphics driver cannot draw a %1 x %2 picture").arg(width).arg(height);
        return QImage();
    }
    const bool background = picture.Background;
    // Resolved once for the picture's size: the drawing and the alpha rule
    // below read the same state.
    skimbler::DrawState state;
    if (surface)
        state = ResolveSurface(*surface, width, height, gi->ProjectiveTexture, picture.Aspect);
    QString uploadFailure;
    const std::uint32_t texture = surface ? gi->SurfaceTextureOf(*surface, &uploadFailure) : 0;
    if (!uploadFailure.isEmpty()) {
        // Without its image's texture the picture would be wrong, or blank.
        *error = uploadFailure;
        return QImage();
    }
    QImage read;
    {
        InterfaceSizeGuard guard(gi, width, height);
        gi->SetAspect(picture.Aspect);
        // The checkerboard belongs to the window and does not pan.
        gi->SetViewOffset(0.0f, 0.0f);
        DrawLayers::SetClearColour(0.0f, 0.0f, 0.0f, background ? 1.0f : 0.0f);
        gi->Clear();
        if (background && tile.Width > 0 && tile.Height > 0)
            gi->DrawTiledBackground(tile, tile.Width, tile.Height, width, height);
        gi->SetViewOffset(picture.PanX, picture.PanY);
        if (surface) {
            // The colour as drawn; the alpha channel keeps what the clear
            // gave, opaque over the checkerboard.
            DrawLayers::WriteChannels(true, false);
            gi->DrawSurface(state, texture, 0.0f, 0.0f, 0.0f, picture.Zoom, picture.Zoom, 1.0f);
            if (!background) {
                // Alone, the surface's alpha is its coverage.
                DrawLayers::WriteChannels(false, true);
                DrawLayers::EnableBlending(false);
                gi->DrawSurface(state, texture, 0.0f, 0.0f, 0.0f, picture.Zoom, picture.Zoom, 1.0f);
            }
        }
        read = ReadBack(width, height);
    }
    if (read.isNull()) {
        *error = QCoreApplication::translate("ExportDrawing", "the picture could not be read back");
        return QImage();
    }
    if (background)
        return read.convertToFormat(QImage::Format_RGB32);
    // Without a surface nothing was drawn: every pixel is (0, 0, 0, 0) and
    // stays so whatever the rule.
    for (int y = 0; y < read.height(); ++y)
        skimbler::StraightenAlpha(state, read.scanLine(y), std::size_t(read.width()));
    return read;
}

QString WriteFile(const QString &path, const QByteArray &bytes)
{
    const std::string error = skimbler::WriteWhole(QFile::encodeName(path).toStdString(),
                                                    std::string_view(bytes.constData(), std::size_t(bytes.size())));
    return QString::fromLocal8Bit(error.c_str());
}

} // namespace ExportDrawing
