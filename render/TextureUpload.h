#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class PixelImage;
class QOffscreenSurface;
class QOpenGLContext;
class QThread;

// The one place pixels become a texture of the current OpenGL context: the
// size the context can hold, and the upload with the whole mipmap chain, so
// that every minification filter has the levels it samples.
class TextureUpload
{
public:
    // Why a width x height image of 3 or 4 components cannot be a texture
    // here ("larger than the 16384 x 16384 pixels this OpenGL can hold"), or
    // empty when it can. Asks GL_MAX_TEXTURE_SIZE and GL_PROXY_TEXTURE_2D.
    static QString Refusal(int width, int height, int components);

    // Whether an OpenGL context is current on this thread: Qt's, or one made
    // without Qt, as the command line's is.
    static bool ContextIsCurrent();

    // GL_MAX_TEXTURE_SIZE of the current context, or the override; 0
    // without a context.
    static int MaxSide();

    // Makes a new texture from `image`, levels 0 to 1 x 1, with the
    // texture's own filters GL_NEAREST, and leaves it bound. Level 0 is the
    // image exactly. False with `error` set when OpenGL refused it. Without
    // a current context there is nothing to upload into: true with texture
    // 0, so the model works (and is tested) without OpenGL.
    static bool Create(const PixelImage &image, std::uint32_t *texture, QString *error);

    // Test seams: a smaller limit than the context's (0 restores it), and
    // the GLU chain instead of glGenerateMipmap.
    static void SetMaxSideOverride(int side);
    static void SetForceGluMipmaps(bool force);
};

// A thread with an OpenGL context of its own that shares its textures with
// the context current when it was made, so that a large picture becomes a
// texture while the asking thread goes on drawing. A texture is handed over
// only once the worker has seen it complete (a fence, or glFinish without
// one): the asking context can bind and draw it at once.
class UploadThread
{
public:
    struct Result
    {
        std::uint32_t texture = 0;  // 0 when OpenGL refused the image
        QString error;              // why, as TextureUpload::Create says it
        // The thread could not have a context sharing the asking one's:
        // nothing was tried, the caller uploads where it is.
        bool unavailable = false;
    };

    // Null when the current context is not Qt's or the platform cannot
    // share one with a thread; the caller then uploads where it is. The
    // thread's own context is made on the thread, at its first upload
    // (making one takes a software renderer tens of milliseconds).
    static std::unique_ptr<UploadThread> ForCurrentContext();
    // Whether the thread found it could not have its context; nothing is
    // uploaded there from then on.
    bool Unavailable() const;
    // Waits for an upload under way; a texture no one took is deleted.
    ~UploadThread();
    UploadThread(const UploadThread &) = delete;
    UploadThread &operator=(const UploadThread &) = delete;

    // Makes `image`'s texture on the thread. `done` runs on the asking
    // thread's event loop, unless another Upload or Cancel came first: the
    // late texture is then deleted unseen and `done` is destroyed there.
    void Upload(std::shared_ptr<const PixelImage> image, std::function<void(const Result &)> done);
    void Cancel();

    // Test seam: while held, the thread starts no upload, so a test can do
    // what a user does while a large picture is being uploaded.
    static void Hold(bool held);

private:
    struct Shared;
    UploadThread() = default;
    std::shared_ptr<Shared> m_shared;
    QThread *m_thread = nullptr;
    QOpenGLContext *m_context = nullptr;
    std::unique_ptr<QOffscreenSurface> m_surface;
};
