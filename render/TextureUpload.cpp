#include "render/TextureUpload.h"

#include "surface/ImageReader.h"
#include "surface/PixelImage.h"

#include "skimbler/MipLevels.h"

#include <QCoreApplication>
#include <QOpenGLContext>

#include <GL/gl.h>
#include <GL/glu.h>

// Exported by libOpenGL; Qt's OpenGL header leaves the extension prototypes out.
extern "C" void APIENTRY glGenerateMipmap(GLenum target);

#include <algorithm>
#include <cmath>
#include <vector>

#ifndef GL_PROXY_TEXTURE_2D
#define GL_PROXY_TEXTURE_2D 0x8064
#endif

namespace {

int g_maxSideOverride = 0;
bool g_forceGlu = false;

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

// Levels 1 and up, each scaled from the one before by `scale` (source,
// its size, target, its size; false: give up).
template <typename Scale>
bool UploadLevels(const PixelImage &image, Scale scale)
{
    const int size = image.BytesPerPixel();
    std::vector<std::uint8_t> previous, next;
    const std::uint8_t *source = image.Pixels();
    int width = image.Width(), height = image.Height();
    for (int level = 1; width > 1 || height > 1; ++level) {
        const int w = std::max(1, width / 2), h = std::max(1, height / 2);
        next.resize(std::size_t(w) * h * size);
        if (!scale(source, width, height, next.data(), w, h))
            return false;
        glTexImage2D(GL_TEXTURE_2D, level, image.Components(), w, h, 0, image.Format(), GL_UNSIGNED_BYTE,
                     next.data());
        previous.swap(next);
        source = previous.data();
        width = w;
        height = h;
    }
    return true;
}

// gluBuild2DMipmaps would first stretch a picture whose sides are not
// powers of two, so level 0 would no longer be the image; scaling level by
// level keeps it.
bool BuildGluLevels(const PixelImage &image)
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

void BuildLevels(const PixelImage &image)
{
    const int components = image.BytesPerPixel();
    UploadLevels(image, [components](const std::uint8_t *source, int width, int height, std::uint8_t *target,
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
    glTexImage2D(GL_TEXTURE_2D, 0, image.Components(), image.Width(), image.Height(), 0, image.Format(),
                 GL_UNSIGNED_BYTE, image.Pixels());
    GLenum failure = glGetError();
    const bool small = (long long)image.Width() * image.Height() <= kLevelsMadeHereUpTo;
    if (failure == GL_NO_ERROR) {
        if (small && !g_forceGlu)
            BuildLevels(image);
        else if (generate)
            generate(GL_TEXTURE_2D);
        else if (!BuildGluLevels(image))
            failure = GL_OUT_OF_MEMORY;
        if (failure == GL_NO_ERROR)
            failure = glGetError();
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
