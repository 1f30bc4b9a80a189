#pragma once

#include "render/SurfaceTexture.h"
#include "surface/Surface.h"

#include <QOpenGLContext>

#include <cstdint>

// The texture of `surface`'s image in the current Qt context, made as the
// view makes it when it draws. One cache per context: a name from another
// context is never deleted here (those textures went with their context).
inline std::uint32_t SurfaceTextureOf(const Surface &surface)
{
    static QOpenGLContext *context = nullptr;
    static SurfaceTexture *cache = nullptr;
    if (!cache || context != QOpenGLContext::currentContext()) {
        context = QOpenGLContext::currentContext();
        cache = new SurfaceTexture;  // the old one is left: its context owns its name
    }
    return cache->For(surface);
}
