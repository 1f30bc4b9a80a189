#pragma once

#include "surface/CSkimblerDoc.h"

// Writes the document's surface directly, with no history and no view told.
// Settings go through the document's own command (SettingsThroughCommand.h)
// and reads through GetSurface(); this is kept only for a state no command
// makes:
// - an image size without that image (the property panel's Width and
//   Height rows, a size change the panels are told of, a paste keeping a
//   size of 17, a letter-box test's 37 x 23,
//   the document bench's 4096 x 4096);
// - an image set without a file to read (the view bench's texture);
// - the view bench's drag loops, which place the corner directly so that
//   they time drawing, not the drag's commands.
class SurfaceTestAccess
{
public:
    static Surface &Of(CSkimblerDoc &doc) { return doc.m_surface; }
};
