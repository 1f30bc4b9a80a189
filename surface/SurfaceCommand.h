#pragma once

#include <QUndoCommand>

#include <skimbler/SurfaceSettings.h>

class CSkimblerDoc;

// The one kind of edit: the surface's settings before and after. Pushes with
// the same non-zero merge key follow one another into a single undo step (a
// drag from press to release, a run of nudges of one corner).
class SurfaceCommand : public QUndoCommand
{
public:
    SurfaceCommand(CSkimblerDoc *document, const skimbler::SurfaceSettings &before,
                   const skimbler::SurfaceSettings &after,
                   const QString &text, int mergeKey);

    void undo() override;
    void redo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand *other) override;

    const skimbler::SurfaceSettings &Before() const { return m_before; }
    const skimbler::SurfaceSettings &After() const { return m_after; }

private:
    CSkimblerDoc *m_document;
    skimbler::SurfaceSettings m_before;
    skimbler::SurfaceSettings m_after;
    int m_mergeKey;
};
