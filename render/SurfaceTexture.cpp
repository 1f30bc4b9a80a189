#include "render/SurfaceTexture.h"

#include "render/TextureUpload.h"
#include "surface/PixelImage.h"
#include "surface/Surface.h"

#include <GL/gl.h>

namespace {

// Up to 1024 x 1024 the upload and its levels take a few milliseconds,
// less than the round trip through the thread and the frame it waits for.
constexpr long long kPrepareFrom = 1024LL * 1024LL;
long long g_prepareFrom = 0;

} // namespace

SurfaceTexture::SurfaceTexture() = default;

SurfaceTexture::~SurfaceTexture()
{
    // First: nothing may arrive once this is gone.
    m_thread.reset();
    if (TextureUpload::ContextIsCurrent()) {
        DropPrepared();
        Release();
    }
}

long long SurfaceTexture::PrepareFrom()
{
    return g_prepareFrom > 0 ? g_prepareFrom : kPrepareFrom;
}

void SurfaceTexture::SetPrepareFrom(long long pixels)
{
    g_prepareFrom = pixels;
}

bool SurfaceTexture::Prepare(std::shared_ptr<const PixelImage> image, std::function<void()> ready)
{
    // A texture the drawer was waiting for gives way; it asks again.
    const bool drawerWaited = m_preparedForDrawer;
    DropPrepared();
    if (drawerWaited && m_waiter)
        m_waiter();
    if (!image || image->IsNull() || (long long)image->Width() * image->Height() <= PrepareFrom()
        || !TextureUpload::ContextIsCurrent())
        return false;
    return StartPrepare(std::move(image), std::move(ready));
}

bool SurfaceTexture::StartPrepare(std::shared_ptr<const PixelImage> image, std::function<void()> ready)
{
    if (!m_thread)
        m_thread = UploadThread::ForCurrentContext();
    if (!m_thread || m_thread->Unavailable())
        return false;
    m_preparedImage = image;
    m_thread->Upload(std::move(image), [this, ready](const UploadThread::Result &result) {
        m_prepared = result.texture;
        m_preparedFailure = result.error;
        m_preparedUnavailable = result.unavailable;
        m_preparedReady = true;
        if (ready)
            ready();
    });
    return true;
}

void SurfaceTexture::StartThread()
{
    if (!m_thread && TextureUpload::ContextIsCurrent())
        m_thread = UploadThread::ForCurrentContext();
}

void SurfaceTexture::EndThread()
{
    m_thread.reset();
    if (TextureUpload::ContextIsCurrent())
        DropPrepared();
}

void SurfaceTexture::DropPrepared()
{
    if (m_thread)
        m_thread->Cancel();
    if (m_prepared != 0) {
        const GLuint name = m_prepared;
        glDeleteTextures(1, &name);
    }
    m_prepared = 0;
    m_preparedFailure.clear();
    m_preparedReady = false;
    m_preparedUnavailable = false;
    m_preparedForDrawer = false;
    m_preparedImage.reset();
}

void SurfaceTexture::Replace(std::uint32_t made)
{
    if (m_name != 0) {
        const GLuint name = m_name;
        glDeleteTextures(1, &name);
    }
    m_name = made;
    // The new texture stays bound, as after every upload.
    if (made != 0)
        glBindTexture(GL_TEXTURE_2D, made);
}

void SurfaceTexture::Release()
{
    DropPrepared();
    if (m_name != 0) {
        const GLuint name = m_name;
        glDeleteTextures(1, &name);
    }
    m_name = 0;
    m_revision = 0;
    m_failure.clear();
}

std::uint32_t SurfaceTexture::For(const Surface &surface, QString *error, bool mayWait)
{
    // Without a context there is nothing to make it in: asked again later.
    if (surface.ImageRevision == m_revision || !TextureUpload::ContextIsCurrent())
        return m_name;
    m_waiting = false;
    m_madeOnThread = false;
    if (!surface.Image || surface.Image->IsNull()) {
        if (m_preparedForDrawer)
            DropPrepared();
        m_revision = surface.ImageRevision;
        m_failure.clear();
        if (m_name != 0) {
            const GLuint name = m_name;
            glDeleteTextures(1, &name);
        }
        m_name = 0;
        return 0;
    }
    const bool preparedThis = m_preparedImage.lock() == surface.Image;
    const bool wait = mayWait && m_waiter;
    if (preparedThis && !m_preparedReady && wait) {
        // On its way: the texture before it meanwhile.
        m_waiting = true;
        return m_name;
    }
    std::uint32_t made = 0;
    QString reason;
    bool ok = true;
    bool madeOnThread = false;
    if (preparedThis && m_preparedReady && !m_preparedUnavailable) {
        // Made on the thread for this very image: taken as it is.
        made = m_prepared;
        madeOnThread = true;
        reason = m_preparedFailure;
        ok = reason.isEmpty();
        m_prepared = 0;
        DropPrepared();
    } else {
        // Nothing prepared it (an undo, a recovery, a reload): made on the
        // thread all the same, unless a document waits on the thread for
        // a picture of its own.
        const bool documentWaits = !m_preparedForDrawer && !preparedThis && !m_preparedImage.expired();
        if (wait && !documentWaits && (long long)surface.Image->Width() * surface.Image->Height() > PrepareFrom()) {
            DropPrepared();
            if (StartPrepare(surface.Image, m_waiter)) {
                m_preparedForDrawer = true;
                m_waiting = true;
                return m_name;
            }
        }
        if (preparedThis || m_preparedForDrawer)
            DropPrepared();
        ok = TextureUpload::Create(*surface.Image, &made, &reason);
    }
    m_revision = surface.ImageRevision;
    m_failure.clear();
    if (!ok) {
        m_failure = reason;
        if (error)
            *error = reason;
        if (m_name != 0)
            glBindTexture(GL_TEXTURE_2D, m_name);
        return m_name;
    }
    Replace(made);
    m_madeOnThread = madeOnThread;
    return m_name;
}
