#pragma once

#include "render/GraphicalFramework.h"
#include "render/SurfaceTexture.h"
#include "render/TextureImage.h"
#include "skimbler/DrawState.h"
#include "skimbler/Scene.h"
#include "surface/GraphicalObject.h"
#include "surface/UserMessage.h"

#include <cstdint>

class Surface;

// Everything the view draws goes through here: fixed-function OpenGL in
// skimbler::scene (a plane at PlaneZ seen through a fixed 45-degree
// perspective, 4:3 unless SetAspect gives a screen's true shape, so the plane
// shows x in [-4/3, 4/3] and y in [-1, 1] whatever the window's shape).
class GraphicalInterface : public GraphicalObject
{
public:
    GraphicalInterface() = default;
    ~GraphicalInterface() override;

    virtual bool Init(int width, int height);
    virtual void Release();
    virtual bool Resize(int width, int height, bool orthographic);
    // Where the width x height drawing area sits in the window: its
    // bottom-left corner in window pixels from the bottom-left, (0, 0)
    // unless letter-boxed. Takes effect at the next Resize. Pick positions
    // are then counted from the area's top-left corner.
    void SetViewportOrigin(int left, int bottom);
    virtual TextureImage CreateImage(const void *pixels, int width, int height, int bitsPerPixel);
    virtual bool DrawImageQuad(const TextureImage &image, float s, float t, const float corners[4][3], float alpha);
    virtual bool DrawImage(const TextureImage &image, float width, float height, float x, float y, float angle,
                           float scaleX, float scaleY, float alpha);
    virtual bool DrawImageAt(const TextureImage &image, float x, float y, float angle, float scaleX, float scaleY,
                             float alpha);
    // Draws a resolved state with `texture`, x and y scaled by scaleX and
    // scaleY (the zoom). Every number comes from the state.
    virtual bool DrawSurface(const skimbler::DrawState &state, std::uint32_t texture, float x, float y, float angle,
                             float scaleX, float scaleY, float alpha);
    // What that draw sends, with no object: it may run in this interface's
    // context on another thread (ContextLender).
    static void DrawStateQuad(const skimbler::DrawState &state, std::uint32_t texture, float x, float y, float angle,
                              float scaleX, float scaleY, float alpha);
    // Takes `surface`'s texture as DrawSurface would. When it was just made
    // on the upload thread, true, with the state and texture of its first
    // draw (which DrawStateQuad may make elsewhere).
    bool TakeFirstDrawOfThreadTexture(const Surface &surface, skimbler::DrawState *state, std::uint32_t *texture);
    // The texture of `surface`'s image in this interface's context, made
    // when its image changed since the last call (the context must be
    // current). A texture OpenGL refuses is kept for TakeMessages once;
    // with `failure`, it is said there instead, every time it is asked for,
    // so a picture is never made of an older image's texture as if it were
    // the latest's. `mayWait`: see SurfaceTexture::For (only a drawing
    // that may show the picture before for a while passes it).
    std::uint32_t SurfaceTextureOf(const Surface &surface, QString *failure = nullptr, bool mayWait = false);
    // The refusals kept since the last call, in order, for the user to hear
    // once the frame is done (a modal box in the middle of it would paint
    // again).
    UserMessages TakeMessages();
    // The texture of an image about to be shown, made off this thread
    // (SurfaceTexture::Prepare); the context must be current.
    SurfaceTexture &Textures() { return m_surfaceTexture; }
    // The surface resolved for this window (size, ProjectiveTexture), then drawn.
    bool DrawSurface(const Surface &surface, float x, float y, float angle, float scaleX, float scaleY, float alpha);
    // The window's background: `tile` repeated one texel per pixel from the
    // bottom-left corner over a width x height window, replacing what is there.
    void DrawTiledBackground(const TextureImage &tile, int tileWidth, int tileHeight, int width, int height);
    virtual bool DrawPixels(const void *pixels, int width, int height, float x, float y);
    virtual void DrawRect(float x, float y, float width, float height, bool filled);
    virtual void DrawLine(float x1, float y1, float z1, float x2, float y2, float z2);
    virtual void DrawLineXY(float x1, float y1, float x2, float y2);
    virtual void BeginPick(int x, int y, int width, int height, std::uint32_t *buffer, int count);
    virtual void LoadName(std::uint32_t name);
    virtual void PushName(std::uint32_t name);
    virtual int EndPick();
    virtual void SetLineWidth(float width);
    virtual void SetLineStipple(int factor, std::uint16_t pattern, bool enable);
    virtual void SetColor(float r, float g, float b, float a);
    virtual bool Clear();
    virtual bool Swap(DeviceContext deviceContext);
    virtual void ScreenToWorld(float &x, float &y) const;
    virtual void WorldToScreen(float &x, float &y) const;
    virtual float OffsetX(float x, float pixels) const;
    virtual float OffsetY(float y, float pixels) const;

    // Shifts everything drawn or picked afterwards by (x, y) window pixels
    // (y downwards), as a last step after the perspective, so that points at
    // every depth move alike. Kept across Resize. (0, 0) leaves the
    // projection exactly as without it.
    void SetViewOffset(float x, float y);
    float ViewOffsetX() const { return m_viewOffsetX; }
    float ViewOffsetY() const { return m_viewOffsetY; }
    // The perspective's width over height (skimbler::View::Aspect), for
    // everything drawn, picked and converted afterwards; kept across Resize.
    void SetAspect(double aspect);
    double Aspect() const { return m_aspect; }

    // How much the perspective enlarges x and y of a point lifted z above
    // the plane, relative to a point on the plane: 1 at z = 0. Zero when the
    // point is at or behind the near clipping plane, where it has no place
    // on the screen.
    float DepthScale(float z) const;

    int Width = 0;
    int Height = 0;
    int ViewportLeft = 0;
    int ViewportBottom = 0;
    // DrawSurface sends projective texture coordinates even when the
    // surface's own perspective-correct setting is off (skimbler-cli's
    // --projective); the surface's setting alone decides otherwise.
    bool ProjectiveTexture = false;
    static constexpr float PlaneZ = skimbler::scene::PlaneZ;

private:
    SurfaceTexture m_surfaceTexture;

    // The perspective, preceded by the view offset.
    void LoadProjection() const;

    float m_viewOffsetX = 0.0f;
    float m_viewOffsetY = 0.0f;
    double m_aspect = skimbler::scene::Aspect;
    UserMessages m_told;
};
