#include "render/TextureUpload.h"

#include "surface/ImageReader.h"
#include "surface/PixelImage.h"

#include "skimbler/MipLevels.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QThread>

#include <GL/gl.h>
#include <GL/glu.h>

// Exported by libOpenGL; Qt's OpenGL header leaves the extension prototypes out.
extern "C" void APIENTRY glGenerateMipmap(GLenum target);

#include <algorithm>
#include <atomic>
#include <climits>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <vector>

#ifndef GL_PROXY_TEXTURE_2D
#define GL_PROXY_TEXTURE_2D 0x8064
#endif

namespace {

// Read by the upload thread as well.
std::atomic<int> g_maxSideOverride{0};
std::atomic<bool> g_forceGlu{false};

using GenerateMipmapFunction = void (*)(GLenum target);

// glGenerateMipmap is core from OpenGL 3.0 and comes with the framebuffer
// object extensions before that; older contexts have only GLU.
GenerateMipmapFunction GenerateMipmap()
{
    if (g_forceGlu)
        return nullptr;
    QOpenGLContext *context = QOpenGLContext::currentContext();
    if (!context) {
        // Core since 3.0, which every context made without Qt here is.
        const char *version = reinterpret_cast<const char *>(glGetString(GL_VERSION));
        return version && version[0] >= '3' && version[0] <= '9' ? &glGenerateMipmap : nullptr;
    }
    const char *name = nullptr;
    if (context->format().version() >= qMakePair(3, 0) || context->hasExtension("GL_ARB_framebuffer_object"))
        name = "glGenerateMipmap";
    else if (context->hasExtension("GL_EXT_framebuffer_object"))
        name = "glGenerateMipmapEXT";
    if (!name)
        return nullptr;
    return reinterpret_cast<GenerateMipmapFunction>(context->getProcAddress(name));
}

void ClearErrors()
{
    // Bounded: some drivers report a lost context's error again and again.
    for (int i = 0; i < 32 && glGetError() != GL_NO_ERROR; ++i) {
    }
}

QString ErrorText(GLenum error)
{
    switch (error) {
    case GL_OUT_OF_MEMORY: return QCoreApplication::translate("TextureUpload", "out of memory");
    case GL_INVALID_VALUE: return QCoreApplication::translate("TextureUpload", "invalid size");
    default: return QCoreApplication::translate("TextureUpload", "error 0x%1").arg(error, 4, 16, QLatin1Char('0'));
    }
}

#ifndef GL_BGRA
#define GL_BGRA 0x80E1
#endif

// One level of the texture, always kept in the driver's B G R A layout
// whatever order the image's bytes are in. The driver picks a texture's
// layout from the bytes it is first given; a software renderer builds a
// new drawing routine for every layout it samples, and builds it in the
// context that draws, on the window's thread, at the first frame with the
// picture (tens of milliseconds). One layout for every picture (that of
// decoded images) means the routine the window built for the picture
// before serves the next one. The bytes in another order are reordered by
// the driver as they are stored; the texels are the same. Answers
// OpenGL's error.
GLenum StoreLevel(const PixelImage &image, int level, int width, int height, const void *pixels)
{
    const bool reorder = image.Format() != GL_BGRA;
    glTexImage2D(GL_TEXTURE_2D, level, image.Components(), width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                 reorder ? nullptr : pixels);
    GLenum error = glGetError();
    if (reorder && error == GL_NO_ERROR) {
        glTexSubImage2D(GL_TEXTURE_2D, level, 0, 0, width, height, image.Format(), GL_UNSIGNED_BYTE, pixels);
        error = glGetError();
    }
    return error;
}

// Levels 1 and up, each scaled from the one before by `scale` (source,
// its size, target, its size; false: give up, said as out of memory).
template <typename Scale>
GLenum UploadLevels(const PixelImage &image, Scale scale)
{
    const int size = image.BytesPerPixel();
    std::vector<std::uint8_t> previous, next;
    const std::uint8_t *source = image.Pixels();
    int width = image.Width(), height = image.Height();
    for (int level = 1; width > 1 || height > 1; ++level) {
        const int w = std::max(1, width / 2), h = std::max(1, height / 2);
        next.resize(std::size_t(w) * h * size);
        if (!scale(source, width, height, next.data(), w, h))
            return GL_OUT_OF_MEMORY;
        if (const GLenum error = StoreLevel(image, level, w, h, next.data()); error != GL_NO_ERROR)
            return error;
        previous.swap(next);
        source = previous.data();
        width = w;
        height = h;
    }
    return GL_NO_ERROR;
}

// gluBuild2DMipmaps would first stretch a picture whose sides are not
// powers of two, so level 0 would no longer be the image; scaling level by
// level keeps it.
GLenum BuildGluLevels(const PixelImage &image)
{
    return UploadLevels(image, [&image](const std::uint8_t *source, int width, int height, std::uint8_t *target,
                                        int w, int h) {
        return gluScaleImage(image.Format(), width, height, GL_UNSIGNED_BYTE, source, w, h, GL_UNSIGNED_BYTE,
                             target)
               == 0;
    });
}

// Up to this many pixels the levels are made here. On software OpenGL the
// driver's glGenerateMipmap first compiles a shader for its copies, which
// costs more than making a small image's whole chain on the processor; on
// hardware either is quick at this size.
constexpr long long kLevelsMadeHereUpTo = 1024LL * 1024LL;

GLenum BuildLevels(const PixelImage &image)
{
    const int components = image.BytesPerPixel();
    return UploadLevels(image, [components](const std::uint8_t *source, int width, int height, std::uint8_t *target,
                                     int w, int h) {
        skimbler::NextMipLevel(source, width, height, components, target, w, h);
        return true;
    });
}

} // namespace

bool TextureUpload::ContextIsCurrent()
{
    // Without any context the dispatch answers nothing.
    return QOpenGLContext::currentContext() != nullptr || glGetString(GL_VERSION) != nullptr;
}

int TextureUpload::MaxSide()
{
    if (!ContextIsCurrent())
        return 0;
    GLint side = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
    if (g_maxSideOverride > 0 && (side <= 0 || g_maxSideOverride < side))
        return g_maxSideOverride;
    return side;
}

QString TextureUpload::Refusal(int width, int height, int components)
{
    const int side = MaxSide();
    if (side <= 0)
        return QString();  // no context to ask: the upload will tell
    const QString tooWide = ImageReader::SideRefusal(width, height, side);
    if (!tooWide.isEmpty())
        return tooWide;
    // The limit is per side; the implementation may still lack room for
    // the whole image, which only the proxy says.
    const GLenum format = components == 3 ? GL_RGB : GL_RGBA;
    glTexImage2D(GL_PROXY_TEXTURE_2D, 0, components, width, height, 0, format, GL_UNSIGNED_BYTE, nullptr);
    GLint proxyWidth = 0;
    glGetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &proxyWidth);
    if (proxyWidth == 0)
        return QCoreApplication::translate("TextureUpload", "more than this OpenGL can hold");
    return QString();
}

bool TextureUpload::Create(const PixelImage &image, std::uint32_t *texture, QString *error)
{
    *texture = 0;
    if (!ContextIsCurrent())
        return true;
    ClearErrors();
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    // Rows are tightly packed: a 24-bit row need not be a multiple of 4
    // bytes. GLU reads and writes its levels through both settings.
    GLint oldUnpack = 4, oldPack = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &oldUnpack);
    glGetIntegerv(GL_PACK_ALIGNMENT, &oldPack);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);

    // With a mipmapped minification filter while level 0 arrives, the
    // driver makes room for the whole chain at once. Otherwise it holds
    // level 0 alone and, asked for the mipmaps, moves it into new storage:
    // for a moment two copies of the largest level besides the decoded
    // picture.
    const GenerateMipmapFunction generate = GenerateMipmap();
    if (generate)
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    // A side over the limit is what the driver refuses with this error; the
    // smaller limit a test sets is refused the same way.
    GLenum failure = GL_NO_ERROR;
    if (const int side = MaxSide(); side > 0 && std::max(image.Width(), image.Height()) > side)
        failure = GL_INVALID_VALUE;
    else
        failure = StoreLevel(image, 0, image.Width(), image.Height(), image.Pixels());
    const bool small = (long long)image.Width() * image.Height() <= kLevelsMadeHereUpTo;
    if (failure == GL_NO_ERROR) {
        if (small && !g_forceGlu) {
            failure = BuildLevels(image);
        } else if (generate) {
            generate(GL_TEXTURE_2D);
            failure = glGetError();
        } else {
            failure = BuildGluLevels(image);
        }
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);

    glPixelStorei(GL_UNPACK_ALIGNMENT, oldUnpack);
    glPixelStorei(GL_PACK_ALIGNMENT, oldPack);
    if (failure != GL_NO_ERROR) {
        glDeleteTextures(1, &name);
        *error = QCoreApplication::translate("TextureUpload", "OpenGL could not make a %1 x %2 texture of it (%3)")
                     .arg(image.Width())
                     .arg(image.Height())
                     .arg(ErrorText(failure));
        return false;
    }
    *texture = name;
    return true;
}

void TextureUpload::SetMaxSideOverride(int side)
{
    g_maxSideOverride = side;
}

void TextureUpload::SetForceGluMipmaps(bool force)
{
    g_forceGlu = force;
}

// ---------------------------------------------------------------------------

namespace {

std::mutex g_holdMutex;
std::condition_variable g_holdChanged;
bool g_held = false;

#ifndef GL_SYNC_GPU_COMMANDS_COMPLETE
#define GL_SYNC_GPU_COMMANDS_COMPLETE 0x9117
#define GL_SYNC_FLUSH_COMMANDS_BIT 0x00000001
#define GL_TIMEOUT_EXPIRED 0x911B
#define GL_WAIT_FAILED 0x911D
#endif

using Sync = struct __GLsync *;
using FenceSyncFunction = Sync (*)(GLenum condition, GLbitfield flags);
using ClientWaitSyncFunction = GLenum (*)(Sync sync, GLbitfield flags, std::uint64_t timeout);
using DeleteSyncFunction = void (*)(Sync sync);

// Waits here, on the worker, until every command sent so far has been
// carried out, so that the texture is whole when another context binds it.
void WaitUntilComplete(QOpenGLContext *context)
{
    const bool hasSync = context->format().version() >= qMakePair(3, 2) || context->hasExtension("GL_ARB_sync");
    const auto fenceSync = hasSync ? reinterpret_cast<FenceSyncFunction>(context->getProcAddress("glFenceSync")) : nullptr;
    const auto clientWait
        = hasSync ? reinterpret_cast<ClientWaitSyncFunction>(context->getProcAddress("glClientWaitSync")) : nullptr;
    const auto deleteSync = hasSync ? reinterpret_cast<DeleteSyncFunction>(context->getProcAddress("glDeleteSync")) : nullptr;
    Sync fence = fenceSync && clientWait && deleteSync ? fenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0) : nullptr;
    if (!fence) {
        glFinish();
        return;
    }
    GLenum state = GL_TIMEOUT_EXPIRED;
    while (state == GL_TIMEOUT_EXPIRED)
        state = clientWait(fence, GL_SYNC_FLUSH_COMMANDS_BIT, 100000000ULL);  // 0.1 s at a time
    if (state == GL_WAIT_FAILED)
        glFinish();
    deleteSync(fence);
}

} // namespace

struct UploadThread::Shared
{
    // The number of the upload wanted; any other result is dropped.
    std::atomic<std::uint64_t> current{0};
    // Set by the asking thread when the thread is going away.
    std::atomic<bool> stopping{false};
    // Set by the thread when its context could not be made or shared.
    std::atomic<bool> unavailable{false};
    // Read on the thread only.
    bool created = false;
    QOpenGLContext *share = nullptr;
};

std::unique_ptr<UploadThread> UploadThread::ForCurrentContext()
{
    QOpenGLContext *current = QOpenGLContext::currentContext();
    if (!current || !QOpenGLContext::supportsThreadedOpenGL())
        return nullptr;
    std::unique_ptr<UploadThread> thread(new UploadThread);
    // Made here: a platform surface belongs to the window system's thread.
    thread->m_surface = std::make_unique<QOffscreenSurface>();
    thread->m_surface->setFormat(current->format());
    thread->m_surface->create();
    if (!thread->m_surface->isValid())
        return nullptr;
    // Created on the thread: the window's thread never waits for it.
    auto context = std::make_unique<QOpenGLContext>();
    context->setFormat(current->format());
    context->setShareContext(current);
    thread->m_shared = std::make_shared<Shared>();
    thread->m_shared->share = current;
    thread->m_thread = new QThread;
    thread->m_thread->setObjectName(QStringLiteral("texture upload"));
    thread->m_context = context.release();
    thread->m_context->moveToThread(thread->m_thread);
    thread->m_thread->start();
    return thread;
}

UploadThread::~UploadThread()
{
    Cancel();
    m_shared->stopping = true;
    {
        const std::lock_guard<std::mutex> lock(g_holdMutex);
        g_holdChanged.notify_all();
    }
    // The context goes on its own thread, after the upload under way.
    QOpenGLContext *context = m_context;
    QMetaObject::invokeMethod(
        context,
        [context] {
            context->doneCurrent();
            delete context;
        },
        Qt::BlockingQueuedConnection);
    m_thread->quit();
    m_thread->wait();
    delete m_thread;
}

void UploadThread::Upload(std::shared_ptr<const PixelImage> image, std::function<void(const Result &)> done)
{
    const std::uint64_t number = ++m_shared->current;
    const std::shared_ptr<Shared> shared = m_shared;
    QOpenGLContext *context = m_context;
    QOffscreenSurface *surface = m_surface.get();
    QMetaObject::invokeMethod(context, [shared, context, surface, number, image, done]() mutable {
        {
            std::unique_lock<std::mutex> lock(g_holdMutex);
            g_holdChanged.wait(lock, [&] { return !g_held || shared->stopping; });
        }
        if (shared->current != number || shared->stopping)
            return;
        if (!shared->created) {
            shared->created = true;
            // The asking context outlives this thread (its owner ends the thread first).
            if (!context->create() || context->shareContext() != shared->share)
                shared->unavailable = true;
        }
        Result result;
        if (shared->unavailable || !context->makeCurrent(surface)) {
            shared->unavailable = true;
            result.unavailable = true;
        } else {
            if (!TextureUpload::Create(*image, &result.texture, &result.error))
                result.texture = 0;
            image.reset();
            glBindTexture(GL_TEXTURE_2D, 0);
            WaitUntilComplete(context);
        }
        if (shared->current != number) {
            const GLuint name = result.texture;
            if (name != 0)
                glDeleteTextures(1, &name);
            return;
        }
        QCoreApplication *application = QCoreApplication::instance();
        if (!application)
            return;
        // The asking thread is the application's: the view's context is current there.
        QMetaObject::invokeMethod(application, [shared, context, number, result, done] {
            if (shared->stopping)
                return;
            if (shared->current == number) {
                done(result);
                return;
            }
            // Superseded on the way: deleted where it was made.
            if (result.texture != 0) {
                const GLuint name = result.texture;
                QMetaObject::invokeMethod(context, [name] { glDeleteTextures(1, &name); });
            }
        });
    });
}

bool UploadThread::Unavailable() const
{
    return m_shared->unavailable;
}

void UploadThread::Cancel()
{
    ++m_shared->current;
}

void UploadThread::Hold(bool held)
{
    const std::lock_guard<std::mutex> lock(g_holdMutex);
    g_held = held;
    g_holdChanged.notify_all();
}
