#include "render/BackgroundCache.h"

#include <QOpenGLContext>
#include <QOpenGLExtraFunctions>

#include <GL/gl.h>

#include <algorithm>

#ifndef GL_BGRA
#define GL_BGRA 0x80E1
#endif

namespace {

bool CanBlit(QOpenGLContext *context)
{
    return context->format().version() >= qMakePair(3, 0)
        || context->hasExtension(QByteArrayLiteral("GL_ARB_framebuffer_object"));
}

} // namespace

std::vector<unsigned char> BackgroundCache::TilePixels()
{
    const int cell = TileSize / 2;
    std::vector<unsigned char> pixels(static_cast<size_t>(TileSize * TileSize * 4));
    for (int row = 0; row < TileSize; ++row) {
        for (int column = 0; column < TileSize; ++column) {
            const bool grey = (row < cell) == (column < cell);
            const unsigned char level = grey ? 192 : 255;
            unsigned char *pixel = &pixels[static_cast<size_t>((row * TileSize + column) * 4)];
            pixel[0] = level;
            pixel[1] = level;
            pixel[2] = level;
            pixel[3] = 255;
        }
    }
    return pixels;
}

BackgroundCache::BackgroundCache(const unsigned char *tile, int width, int height)
    : m_tile(tile, tile + static_cast<size_t>(width) * static_cast<size_t>(height) * 4)
    , m_tileWidth(width)
    , m_tileHeight(height)
{
}

BackgroundCache::~BackgroundCache() = default;

void BackgroundCache::Release()
{
    QOpenGLContext *context = QOpenGLContext::currentContext();
    if (context && m_framebuffer != 0)
        context->extraFunctions()->glDeleteFramebuffers(1, &m_framebuffer);
    if (context && m_texture != 0)
        glDeleteTextures(1, &m_texture);
    m_framebuffer = 0;
    m_texture = 0;
    m_width = 0;
    m_height = 0;
}

int BackgroundCache::StripRows() const
{
    // A whole number of tiles, and small enough to stay in the processor's
    // cache while it is copied again and again.
    return std::max(1, kStripRows / m_tileHeight) * m_tileHeight;
}

bool BackgroundCache::Build(int width, int height)
{
    Release();
    QOpenGLContext *context = QOpenGLContext::currentContext();
    if (!context || !CanBlit(context) || m_tileWidth <= 0 || m_tileHeight <= 0) {
        m_unsupported = true;
        return false;
    }
    QOpenGLExtraFunctions *gl = context->extraFunctions();

    // The image is kept top row first and copied upside down: a window's
    // rows run the other way from an off-screen image's, so the two flips
    // cancel and the copy stays a plain copy of memory. Bytes are stored
    // B, G, R, A, the window's own order.
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    for (int row = 0; row < height; ++row) {
        const int tileRow = (height - 1 - row) % m_tileHeight;
        const unsigned char *source = &m_tile[static_cast<size_t>(tileRow * m_tileWidth) * 4];
        unsigned char *target = &pixels[static_cast<size_t>(row) * static_cast<size_t>(width) * 4];
        for (int column = 0; column < width; ++column) {
            const unsigned char *texel = source + static_cast<size_t>(column % m_tileWidth) * 4;
            target[0] = texel[2];
            target[1] = texel[1];
            target[2] = texel[0];
            target[3] = texel[3];
            target += 4;
        }
    }

    GLint previousFramebuffer = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &previousFramebuffer);
    GLint previousTexture = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previousTexture);
    glGenTextures(1, &m_texture);
    glBindTexture(GL_TEXTURE_2D, m_texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previousTexture));

    gl->glGenFramebuffers(1, &m_framebuffer);
    gl->glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
    gl->glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, m_texture, 0);
    const bool complete = gl->glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    gl->glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previousFramebuffer));
    if (!complete) {
        Release();
        m_unsupported = true;
        return false;
    }
    m_width = width;
    m_height = height;
    return true;
}

bool BackgroundCache::Draw()
{
    if (m_unsupported)
        return false;
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    const int width = viewport[2];
    const int height = viewport[3];
    if (width <= 0 || height <= 0)
        return false;
    // Whatever is bound now is where the frame goes: the window, or an
    // off-screen target someone renders the scene into.
    GLint target = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &target);
    const int strip = StripRows();
    if (width != m_width && !Build(width, strip))
        return false;
    QOpenGLContext *context = QOpenGLContext::currentContext();
    if (!context)
        return false;
    QOpenGLExtraFunctions *gl = context->extraFunctions();
    gl->glBindFramebuffer(GL_READ_FRAMEBUFFER, m_framebuffer);
    gl->glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(target));
    const int left = viewport[0];
    const int bottom = viewport[1];
    // The strip is laid from the bottom up; a last, shorter one takes the
    // strip's top rows, whose pattern starts where a whole strip's does.
    for (int y = 0; y < height; y += strip) {
        const int rows = std::min(strip, height - y);
        const int from = strip - rows;
        gl->glBlitFramebuffer(0, from, width, strip, left, bottom + y + rows, left + width, bottom + y,
                              GL_COLOR_BUFFER_BIT, GL_NEAREST);
    }
    gl->glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(target));
    return true;
}
