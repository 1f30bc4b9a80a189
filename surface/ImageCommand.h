#pragma once

#include <QString>
#include <QUndoCommand>

#include <cstdint>
#include <memory>

class CSkimblerDoc;
class PixelImage;

// The picture a surface shows: the file it came from, its size and its
// decoded pixels (null when there is no picture, or none could be kept).
struct ShownImage
{
    QString path;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::shared_ptr<const PixelImage> pixels;
};

// File > Replace Image: the surface's picture and size before and after,
// every setting left alone. Both pictures stay decoded in memory, so undo
// and redo never read the disk (the old file may be gone by then).
class ImageCommand : public QUndoCommand
{
public:
    // The push's first redo puts `after` on the surface.
    ImageCommand(CSkimblerDoc *document, ShownImage before, ShownImage after, const QString &text);

    void undo() override;
    void redo() override;

private:
    CSkimblerDoc *m_document;
    ShownImage m_before;
    ShownImage m_after;
};
