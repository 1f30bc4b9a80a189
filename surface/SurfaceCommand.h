#pragma once

#include "surface/SurfaceSettings.h"

#include <QUndoCommand>

class CSkimblerDoc;

// The one kind of edit: the surface's settings before and after. Pushes with
// the same non-zero merge key follow one another into a single undo step (a
// drag from press to release, a run of nudges of one corner).
class SurfaceCommand : public QUndoCommand
{
public:
    SurfaceCommand(CSkimblerDoc *document, const SurfaceSettings &before, const SurfaceSettings &after,
                   const QString &text, int mergeKey);

    void undo() override;
    void redo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand *other) override;

    const SurfaceSettings &Before() const { return m_before; }
    const SurfaceSettings &After() const { return m_after; }

private:
    CSkimblerDoc *m_document;
    SurfaceSettings m_before;
    SurfaceSettings m_after;
    int m_mergeKey;
};
