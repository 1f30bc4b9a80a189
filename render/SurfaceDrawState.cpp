#include "render/SurfaceDrawState.h"

#include "surface/Surface.h"

skimbler::SurfaceSettings CoreSettings(const Surface &surface)
{
    return surface;  // a Surface is its settings plus the image
}

skimbler::DrawState ResolveSurface(const Surface &surface, int viewWidth, int viewHeight, bool projective,
                                    double aspect)
{
    skimbler::DrawOptions options;
    options.ViewWidth = viewWidth;
    options.ViewHeight = viewHeight;
    options.Projective = projective;
    options.Aspect = aspect;
    return skimbler::Resolve(CoreSettings(surface), surface.Width, surface.Height, options);
}
