#include "surface/SurfaceSettings.h"

#include "surface/Surface.h"

SurfaceSettings SurfaceSettings::Of(const Surface &surface)
{
    SurfaceSettings s;
    s.Version = surface.Version;
    s.BPP = surface.BPP;
    s.Type = surface.Type;
    s.DataFormat = surface.DataFormat;
    s.ColorKey = surface.ColorKey;
    s.MagFilter = surface.MagFilter;
    s.MinFilter = surface.MinFilter;
    s.SrcFactor = surface.SrcFactor;
    s.DestFactor = surface.DestFactor;
    s.Flags = surface.Flags;
    std::memcpy(s.Points, surface.Points, sizeof s.Points);
    std::memcpy(s.Colors, surface.Colors, sizeof s.Colors);
    return s;
}

void SurfaceSettings::ApplyTo(Surface *surface) const
{
    surface->Version = Version;
    surface->BPP = BPP;
    surface->Type = Type;
    surface->DataFormat = DataFormat;
    surface->ColorKey = ColorKey;
    surface->MagFilter = MagFilter;
    surface->MinFilter = MinFilter;
    surface->SrcFactor = SrcFactor;
    surface->DestFactor = DestFactor;
    surface->Flags = Flags;
    std::memcpy(surface->Points, Points, sizeof Points);
    std::memcpy(surface->Colors, Colors, sizeof Colors);
}
