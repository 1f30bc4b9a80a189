#include "render/TextureReadback.h"

#include <GL/gl.h>

bool ReadTextureLevels(std::uint32_t texture, TexelPyramid *levels)
{
    levels->clear();
    if (texture == 0)
        return false;
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint packAlignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    // A full chain has at most 32 levels; a missing level reads as 0 x 0.
    for (GLint level = 0; level < 32; ++level) {
        GLint width = 0;
        GLint height = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
        if (width <= 0 || height <= 0)
            break;
        GLint alphaBits = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_ALPHA_SIZE, &alphaBits);
        TexelLevel read;
        read.Opaque = alphaBits == 0;
        read.Width = width;
        read.Height = height;
        read.Rgba.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, read.Rgba.data());
        levels->push_back(std::move(read));
        if (width == 1 && height == 1)
            break;
    }
    glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
    return !levels->empty();
}
