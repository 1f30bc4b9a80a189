#pragma once

#include <QString>

#include <cstdint>

class Surface;

// The texture of a surface's image in the current OpenGL context, made
// from the decoded image the first time it is asked for after the image
// changed (by its revision number), and kept until the next change.
class SurfaceTexture
{
public:
    SurfaceTexture() = default;
    SurfaceTexture(const SurfaceTexture &) = delete;
    SurfaceTexture &operator=(const SurfaceTexture &) = delete;
    // Deletes the texture when a context is still current; otherwise the
    // context took it with it.
    ~SurfaceTexture();

    // The texture name for `surface`'s image, 0 without one. When OpenGL
    // refuses a new image, the texture before it stays, and `error` (once
    // per image) says why; otherwise `error` is left alone.
    std::uint32_t For(const Surface &surface, QString *error = nullptr);
    // The name made last, without looking at any surface.
    std::uint32_t Name() const { return m_name; }
    // Why the latest image has no texture of its own (the one shown is an
    // older image's, or none), or empty when it has one.
    const QString &Failure() const { return m_failure; }
    // Deletes the texture (the context must be current); the next For
    // makes it again.
    void Release();

private:
    std::uint32_t m_name = 0;
    std::uint64_t m_revision = 0;
    QString m_failure;
};
