#pragma once

#include <QString>

#include <cstdint>

class PixelImage;

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
