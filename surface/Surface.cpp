#include "surface/Surface.h"

#include "surface/TgaImage.h"
#include "surface/TgaLoader.h"

#include <QByteArray>
#include <QFile>
#include <QOpenGLContext>
#include <QString>

#include <GL/gl.h>

#include <cstdlib>

namespace {
constexpr GLenum kLinear = 0x2601;  // GL_LINEAR
constexpr GLenum kOne = 1;          // GL_ONE
}

Surface::~Surface()
{
    DeleteTexture();
}

void Surface::DeleteTexture()
{
    // At exit the rendering context may already be gone; it took its
    // textures with it, so there is nothing left to delete.
    if (Texture != 0 && QOpenGLContext::currentContext() != nullptr) {
        const GLuint name = Texture;
        glDeleteTextures(1, &name);
    }
    Texture = 0;
}

bool Surface::Load(const QString &path)
{
    // Loading again (File New) must not leak the previous texture.
    DeleteTexture();

    TgaImage image;
    const QByteArray fileName = QFile::encodeName(path);
    if (LoadTga(&image, fileName.constData())) {
        GLuint name = 0;
        glGenTextures(1, &name);
        image.Texture = name;
        glBindTexture(GL_TEXTURE_2D, name);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        // Rows are tightly packed: a 24-bit row need not be a multiple of 4 bytes.
        GLint oldAlignment = 4;
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &oldAlignment);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(image.BitsPerPixel / 8),
                     static_cast<GLsizei>(image.Width), static_cast<GLsizei>(image.Height), 0,
                     image.Format, GL_UNSIGNED_BYTE, image.Pixels);
        glPixelStorei(GL_UNPACK_ALIGNMENT, oldAlignment);
        std::free(image.Pixels);
        image.Pixels = nullptr;

        Texture = image.Texture;
        Width = image.Width;
        Height = image.Height;
    } else {
        Texture = 0;
        Width = 0;
        Height = 0;
    }
    ApplyDefaults();
    return true;
}

void Surface::ResetPoints()
{
    const float w = PlaneHalfWidth;
    const float layout[4][3] = {{-w, 1.0f, 0.0f}, {-w, -1.0f, 0.0f}, {w, 1.0f, 0.0f}, {w, -1.0f, 0.0f}};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 3; ++j)
            Points[i][j] = layout[i][j];
}

void Surface::ApplyDefaults()
{
    MagFilter = kLinear;
    MinFilter = kLinear;
    SrcFactor = kOne;
    DestFactor = kOne;
    Flags |= 0x3Eu;
    ResetPoints();
    const float colors[4][4] = {{1, 0, 0, 1}, {0, 1, 0, 1}, {1, 1, 1, 1}, {1, 1, 1, 1}};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            Colors[i][j] = colors[i][j];
}
