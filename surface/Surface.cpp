#include "surface/Surface.h"

#include "surface/ImageReader.h"
#include "surface/PixelImage.h"
#include "surface/TextureUpload.h"

#include <QOpenGLContext>
#include <QString>

#include <GL/gl.h>

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
    PixelImage image;
    ImageError error;
    if (!ImageReader::Read(path, &TextureUpload::Refusal, &image, &error) || !SetImage(image, path, &error)) {
        error.Report();
        Texture = 0;
        Width = 0;
        Height = 0;
    }
    ApplyDefaults();
    return true;
}

void Surface::Clear()
{
    DeleteTexture();
    Width = 0;
    Height = 0;
    ApplyDefaults();
}

bool Surface::SetImage(const PixelImage &image, const QString &path, ImageError *error)
{
    QString reason;
    std::uint32_t texture = 0;
    if (!TextureUpload::Create(image, &texture, &reason)) {
        *error = ImageError::About(path, reason);
        return false;
    }
    DeleteTexture();
    Texture = texture;
    Width = std::uint32_t(image.Width());
    Height = std::uint32_t(image.Height());
    // The new texture stays bound, as after every upload.
    if (texture != 0)
        glBindTexture(GL_TEXTURE_2D, texture);
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
