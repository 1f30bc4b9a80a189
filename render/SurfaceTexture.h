#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

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
    // per image) says why; otherwise `error` is left alone. With `mayWait`
    // and a waiter set, a large image no one prepared (an undo, a recovered
    // or reloaded picture) is made on the thread instead: until it is
    // whole the texture before it is answered, and the waiter is called
    // once it can be taken.
    std::uint32_t For(const Surface &surface, QString *error = nullptr, bool mayWait = false);
    // Called on this thread when a texture For is waiting for can be taken
    // (the drawer draws again); empty: For never waits.
    void SetWaiter(std::function<void()> waiter) { m_waiter = std::move(waiter); }
    // Whether For answered an older texture than its surface's image the
    // last time, and is waiting for the thread.
    bool Waiting() const { return m_waiting; }
    // Whether the texture For answered last was made on the thread and has
    // not been asked about since; asking clears it. Its first draw may then
    // go elsewhere (see ContextLender).
    bool TakeMadeOnThread() { return std::exchange(m_madeOnThread, false); }
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
    // Starts the thread now (the context to share is current), so that the
    // first large picture does not wait for it: asking whether this
    // platform can share a context with a thread makes a context of its
    // own, which takes a software renderer tens of milliseconds.
    void StartThread();
    // Ends the thread, waiting for what it is doing; before the context it
    // shares goes (the next Prepare starts another).
    void EndThread();

    // Images of at most this many pixels are uploaded where they are drawn.
    static long long PrepareFrom();
    // Test seam: a smaller threshold (0 restores it).
    static void SetPrepareFrom(long long pixels);

private:
    bool StartPrepare(std::shared_ptr<const PixelImage> image, std::function<void()> ready);
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
    // The thread could not have a context: the texture is made here.
    bool m_preparedUnavailable = false;
    // Begun by For for the drawer rather than by Prepare for a document
    // that waits for it.
    bool m_preparedForDrawer = false;
    bool m_waiting = false;
    bool m_madeOnThread = false;
    std::function<void()> m_waiter;
};
