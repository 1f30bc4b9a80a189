#include "render/SurfaceTexture.h"

#include "render/TextureUpload.h"
#include "surface/PixelImage.h"
#include "surface/Surface.h"

#include <GL/gl.h>

SurfaceTexture::~SurfaceTexture()
{
    if (m_name != 0 && TextureUpload::ContextIsCurrent())
        Release();
}

void SurfaceTexture::Release()
{
    if (m_name != 0) {
        const GLuint name = m_name;
        glDeleteTextures(1, &name);
    }
    m_name = 0;
    m_revision = 0;
    m_failure.clear();
}

std::uint32_t SurfaceTexture::For(const Surface &surface, QString *error)
{
    // Without a context there is nothing to make it in: asked again later.
    if (surface.ImageRevision == m_revision || !TextureUpload::ContextIsCurrent())
        return m_name;
    m_revision = surface.ImageRevision;
    m_failure.clear();
    if (!surface.Image || surface.Image->IsNull()) {
        if (m_name != 0) {
            const GLuint name = m_name;
            glDeleteTextures(1, &name);
        }
        m_name = 0;
        return 0;
    }
    std::uint32_t made = 0;
    QString reason;
    if (!TextureUpload::Create(*surface.Image, &made, &reason)) {
        m_failure = reason;
        if (error)
            *error = reason;
        if (m_name != 0)
            glBindTexture(GL_TEXTURE_2D, m_name);
        return m_name;
    }
    if (m_name != 0) {
        const GLuint name = m_name;
        glDeleteTextures(1, &name);
    }
    m_name = made;
    // The new texture stays bound, as after every upload.
    if (made != 0)
        glBindTexture(GL_TEXTURE_2D, made);
    return m_name;
}
