#include "surface/Surface.h"

#include "surface/ImageReader.h"
#include "surface/PixelImage.h"
#include "surface/TextureUpload.h"
#include "skimbler/Scene.h"

#include <QString>

#include <GL/gl.h>

Surface::~Surface()
{
    DeleteTexture();
}

void Surface::DeleteTexture()
{
    // At exit the rendering context may already be gone; it took its
    // textures with it, so there is nothing left to delete.
    if (Texture != 0 && TextureUpload::ContextIsCurrent()) {
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
    skimbler::ResetPoints(this);
}

void Surface::ApplyDefaults()
{
    skimbler::ApplyDefaults(this);
}
