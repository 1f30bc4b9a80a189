#include "surface/ImageCommand.h"

#include "surface/CSkimblerDoc.h"
#include "surface/PixelImage.h"
#include "surface/TextureUpload.h"

#include <QImage>

#include <GL/gl.h>

ImageCommand::ImageCommand(CSkimblerDoc *document, ShownImage before, ShownImage after, const QString &text)
    : QUndoCommand(text)
    , m_document(document)
    , m_before(std::move(before))
    , m_after(std::move(after))
{
}

void ImageCommand::undo()
{
    m_document->ShowImage(m_before);
}

void ImageCommand::redo()
{
    if (m_applied) {
        m_applied = false;
        return;
    }
    m_document->ShowImage(m_after);
}

std::shared_ptr<const PixelImage> ImageCommand::ReadTexture(std::uint32_t texture)
{
    if (texture == 0 || !TextureUpload::ContextIsCurrent())
        return nullptr;
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint width = 0, height = 0, internal = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &internal);
    std::shared_ptr<const PixelImage> pixels;
    if (width > 0 && height > 0) {
        // A texture kept without alpha goes back without it: the same
        // internal format, the same texels.
        const bool opaque = internal == 3 || internal == GL_RGB || internal == GL_RGB8;
        QImage image(width, height, opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32);
        GLint alignment = 4;
        glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        // 32-bit rows are always packed tightly; the image's rows are in
        // texture order already, as PixelImage wants them.
        glGetTexImage(GL_TEXTURE_2D, 0, GL_BGRA, GL_UNSIGNED_BYTE, image.bits());
        glPixelStorei(GL_PACK_ALIGNMENT, alignment);
        pixels = std::make_shared<const PixelImage>(image);
    }
    glBindTexture(GL_TEXTURE_2D, GLuint(bound));
    return pixels;
}
