#include "surface/ImageCommand.h"

#include "surface/CSkimblerDoc.h"

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
    m_document->ShowImage(m_after);
}

