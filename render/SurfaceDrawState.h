#pragma once

#include "skimbler/DrawState.h"
#include "skimbler/SurfaceSettings.h"

class Surface;

// The editor's surface as core sees it, and the state every drawer (the view,
// the pixel probe, the clipboard's call listing, the export) takes its
// numbers from.
skimbler::SurfaceSettings CoreSettings(const Surface &surface);

// The surface resolved for a viewWidth x viewHeight window whose projection
// has `aspect` (skimbler::View::Aspect); `projective` turns
// perspective-correct texture on when the surface's own setting is off.
skimbler::DrawState ResolveSurface(const Surface &surface, int viewWidth, int viewHeight, bool projective,
                                   double aspect = skimbler::scene::Aspect);
