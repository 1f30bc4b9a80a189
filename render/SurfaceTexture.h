#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class PixelImage;
class Surface;
class UploadThread;

// The texture of a surface's image in the current OpenGL context, made
// from the decoded image the first time it is asked for after the image
// changed (by its revision number), and kept until the next change.
class SurfaceTexture
{
public:
    SurfaceTexture();
    SurfaceTexture(const SurfaceTexture &) = delete;
    SurfaceTexture &operator=(const SurfaceTexture &) = delete;
    // Deletes the texture when a context is still current; otherwise the
    // context took it with it.
    ~SurfaceTexture();

    // The texture name for `surface`'s image, 0 without one. When OpenGL
    // refuses a new image, the texture before it stays, and `error` (once
    // per image) says why; otherwise `error` is left alone.
    std::uint32_t For(const Surface &surface, QString *error = nullptr);
    // The name made last, without looking at any surface.
    std::uint32_t Name() const { return m_name; }
    // Why the latest image has no texture of its own (the one shown is an
    // older image's, or none), or empty when it has one.
    const QString &Failure() const { return m_failure; }
    // Deletes the texture (the context must be current); the next For
    // makes it again.
    void Release();

    // Makes `image`'s texture on a thread with a context sharing this one's
    // (current now), so that a large picture never stops the drawing; `ready`
    // runs on this thread once it is made (or refused), and the first For of
    // a surface showing that very image takes it, with its failure, in place
    // of uploading. False, and `ready` never called, when the image is small
    // enough to upload at once or no such thread can be had. A later Prepare
    // or DropPrepared supersedes it.
    bool Prepare(std::shared_ptr<const PixelImage> image, std::function<void()> ready);
    // Whatever was prepared and not yet taken is deleted; its `ready` never runs.
    void DropPrepared();

    // Images of at most this many pixels are uploaded where they are drawn.
    static long long PrepareFrom();
    // Test seam: a smaller threshold (0 restores it).
    static void SetPrepareFrom(long long pixels);

private:
    void Replace(std::uint32_t made);

    std::uint32_t m_name = 0;
    std::uint64_t m_revision = 0;
    QString m_failure;

    // The prepared texture and the image it is of (never taken for another
    // image that happens to reuse the address).
    std::unique_ptr<UploadThread> m_thread;
    std::weak_ptr<const PixelImage> m_preparedImage;
    std::uint32_t m_prepared = 0;
    QString m_preparedFailure;
    bool m_preparedReady = false;
};
