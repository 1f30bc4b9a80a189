#pragma once

#include "surface/CSkimblerDoc.h"

#include <skimbler/SurfaceSettings.h>

// Tests arrange the document's settings as the editor changes them: through
// its own settings command, one undo step (none when nothing changes), the
// modified flag set and every view told. False when nothing changed.
inline bool ApplyThroughCommand(CSkimblerDoc &doc, const skimbler::SurfaceSettings &settings)
{
    return doc.ChangeSettings(settings, QStringLiteral("test"));
}

// The document's settings as `edit` changes them, through the same command.
template <typename Edit>
bool EditThroughCommand(CSkimblerDoc &doc, Edit edit)
{
    skimbler::SurfaceSettings settings = doc.Settings();
    edit(settings);
    return ApplyThroughCommand(doc, settings);
}

// As EditThroughCommand, then the history forgotten and the state the
// saved one: the start of a test that counts undo steps or reads the
// modified flag.
template <typename Edit>
void ArrangeThroughCommand(CSkimblerDoc &doc, Edit edit)
{
    EditThroughCommand(doc, edit);
    doc.UndoStack()->clear();
    doc.SetModifiedFlag(false);
}
