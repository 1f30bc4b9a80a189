#include "surface/SurfaceCommand.h"

#include "surface/CSkimblerDoc.h"

using skimbler::SurfaceSettings;

namespace {
// QUndoStack only offers commands of equal id to mergeWith; the merge key
// then decides.
constexpr int kMergeableId = 0x534b;
}

SurfaceCommand::SurfaceCommand(CSkimblerDoc *document, const SurfaceSettings &before, const SurfaceSettings &after,
                               const QString &text, int mergeKey)
    : QUndoCommand(text)
    , m_document(document)
    , m_before(before)
    , m_after(after)
    , m_mergeKey(mergeKey)
{
}

void SurfaceCommand::undo()
{
    m_document->ApplySettings(m_before);
}

void SurfaceCommand::redo()
{
    m_document->ApplySettings(m_after);
}

int SurfaceCommand::id() const
{
    return m_mergeKey != 0 ? kMergeableId : -1;
}

bool SurfaceCommand::mergeWith(const QUndoCommand *other)
{
    const auto *next = static_cast<const SurfaceCommand *>(other);
    if (next->m_mergeKey != m_mergeKey)
        return false;
    m_after = next->m_after;
    // A drag that ends where it began is no edit at all.
    setObsolete(m_after == m_before);
    return true;
}
