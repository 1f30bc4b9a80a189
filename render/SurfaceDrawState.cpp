#include "render/SurfaceDrawState.h"

#include "surface/Surface.h"

#include <algorithm>

skimbler::SurfaceSettings CoreSettings(const Surface &surface)
{
    skimbler::SurfaceSettings settings;
    settings.Version = surface.Version;
    settings.BPP = surface.BPP;
    settings.Type = surface.Type;
    settings.DataFormat = surface.DataFormat;
    settings.ColorKey = surface.ColorKey;
    settings.MagFilter = surface.MagFilter;
    settings.MinFilter = surface.MinFilter;
    settings.SrcFactor = surface.SrcFactor;
    settings.DestFactor = surface.DestFactor;
    settings.Flags = surface.Flags;
    std::copy(&surface.Points[0][0], &surface.Points[0][0] + 12, &settings.Points[0][0]);
    std::copy(&surface.Colors[0][0], &surface.Colors[0][0] + 16, &settings.Colors[0][0]);
    return settings;
}

skimbler::DrawState ResolveSurface(const Surface &surface, int viewWidth, int viewHeight, bool projective)
{
    skimbler::DrawOptions options;
    options.ViewWidth = viewWidth;
    options.ViewHeight = viewHeight;
    options.Projective = projective;
    return skimbler::Resolve(CoreSettings(surface), surface.Width, surface.Height, options);
}
