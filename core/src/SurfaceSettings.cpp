#include "skimbler/SurfaceSettings.h"

#include "skimbler/GlEnums.h"
#include "skimbler/Scene.h"

namespace skimbler {

void ResetPoints(SurfaceSettings *settings)
{
    const float w = scene::PlaneHalfWidth;
    const float h = scene::PlaneHalfHeight;
    const float layout[4][3] = {{-w, h, 0.0f}, {-w, -h, 0.0f}, {w, h, 0.0f}, {w, -h, 0.0f}};
    std::memcpy(settings->Points, layout, sizeof layout);
}

void ApplyDefaults(SurfaceSettings *settings)
{
    settings->MagFilter = gl::LINEAR;
    settings->MinFilter = gl::LINEAR;
    settings->SrcFactor = gl::ONE;
    settings->DestFactor = gl::ONE;
    settings->Flags |= SurfaceDefaultFlags;
    ResetPoints(settings);
    const float colors[4][4] = {{1, 0, 0, 1}, {0, 1, 0, 1}, {1, 1, 1, 1}, {1, 1, 1, 1}};
    std::memcpy(settings->Colors, colors, sizeof colors);
}

SurfaceSettings DefaultSettings()
{
    SurfaceSettings settings;
    ApplyDefaults(&settings);
    return settings;
}

} // namespace skimbler
