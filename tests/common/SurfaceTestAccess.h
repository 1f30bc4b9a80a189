#pragma once

#include "surface/CSkimblerDoc.h"

// Tests and benches that arrange a surface (a size, a field, a layout) with
// no history and no view told, as they did when the surface was public.
class SurfaceTestAccess
{
public:
    static Surface &Of(CSkimblerDoc &doc) { return doc.m_surface; }
};
