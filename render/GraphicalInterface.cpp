#include "render/GraphicalInterface.h"

#include "render/SurfaceDrawState.h"
#include "surface/Surface.h"

#include <QOpenGLContext>
#include <QWindow>

#include <cmath>
#include <utility>

#include <GL/gl.h>
#include <GL/glu.h>

using skimbler::SURFACE_FLAG_BLEND;
using skimbler::SURFACE_FLAG_COLORS;
using skimbler::SURFACE_FLAG_MAG;
using skimbler::SURFACE_FLAG_MIN;

#ifndef GL_BGRA_EXT
#define GL_BGRA_EXT 0x80E1
#endif

GraphicalInterface::~GraphicalInterface() = default;

bool GraphicalInterface::Init(int width, int height)
{
    Width = width;
    Height = height;
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClearDepth(10.0);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    Resize(Width, Height, false);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    return true;
}

void GraphicalInterface::Release()
{
    m_surfaceTexture.Release();
}

std::uint32_t GraphicalInterface::SurfaceTextureOf(const Surface &surface, QString *failure, bool mayWait)
{
    QString error;
    const std::uint32_t texture = m_surfaceTexture.For(surface, &error, mayWait);
    if (failure) {
        *failure = m_surfaceTexture.Failure();
        return texture;
    }
    if (!error.isEmpty())
        m_told.append(UserMessage{error + QStringLiteral("."), QStringLiteral("Skimbler"), UserMessage::Exclamation,
                                  QString()});
    return texture;
}

UserMessages GraphicalInterface::TakeMessages()
{
    return std::exchange(m_told, UserMessages());
}

bool GraphicalInterface::Resize(int width, int height, bool orthographic)
{
    Width = width;
    Height = height == 0 ? 1 : height;
    glViewport(ViewportLeft, ViewportBottom, width, Height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (orthographic)
        glOrtho(-width, width, -height, height, skimbler::scene::NearPlane, skimbler::scene::FarPlane);
    else
        LoadProjection();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    return true;
}

void GraphicalInterface::SetViewportOrigin(int left, int bottom)
{
    ViewportLeft = left;
    ViewportBottom = bottom;
}

TextureImage GraphicalInterface::CreateImage(const void *pixels, int width, int height, int bitsPerPixel)
{
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, bitsPerPixel / 8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    TextureImage image;
    image.Width = width;
    image.Height = height;
    image.BitsPerPixel = bitsPerPixel;
    image.Texture = name;
    image.Pixels = pixels;
    return image;
}

bool GraphicalInterface::DrawImageQuad(const TextureImage &image, float s, float t, const float corners[4][3],
                                       float alpha)
{
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, PlaneZ);
    glBindTexture(GL_TEXTURE_2D, image.Texture);
    glBlendFunc(GL_ONE, GL_ZERO);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glColor4f(1.0f, 1.0f, 1.0f, alpha);
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2f(0.0f, t);
    glVertex3f(corners[0][0], corners[0][1], 0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(corners[1][0], corners[1][1], 0.0f);
    glTexCoord2f(s, t);
    glVertex3f(corners[2][0], corners[2][1], 0.0f);
    glTexCoord2f(s, 0.0f);
    glVertex3f(corners[3][0], corners[3][1], 0.0f);
    glEnd();
    return true;
}

bool GraphicalInterface::DrawImage(const TextureImage &image, float width, float height, float x, float y,
                                   float angle, float scaleX, float scaleY, float alpha)
{
    glLoadIdentity();
    glTranslatef(x, y, PlaneZ);
    glRotatef(angle, 0.0f, 0.0f, 1.0f);
    glScalef(scaleX, scaleY, 1.0f);
    float extentX = Width * 0.5f + width;
    float extentY = Height * 0.5f + height;
    ScreenToWorld(extentX, extentY);
    glBindTexture(GL_TEXTURE_2D, image.Texture);
    glBlendFunc(GL_ONE, GL_ZERO);
    glColor4f(1.0f, 1.0f, 1.0f, alpha);
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(0.0f, 0.0f, 0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(0.0f, extentY, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(extentX, 0.0f, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(extentX, extentY, 0.0f);
    glEnd();
    return true;
}

bool GraphicalInterface::DrawImageAt(const TextureImage &image, float x, float y, float angle, float scaleX,
                                     float scaleY, float alpha)
{
    return DrawImage(image, static_cast<float>(image.Width), static_cast<float>(image.Height), x, y, angle,
                     scaleX, scaleY, alpha);
}

bool GraphicalInterface::DrawSurface(const Surface &surface, float x, float y, float angle, float scaleX,
                                     float scaleY, float alpha)
{
    // The window's own drawing: a large picture no one prepared is shown
    // once its texture is whole, the one before until then.
    const std::uint32_t texture = SurfaceTextureOf(surface, nullptr, true);
    // Its first draw is this one.
    m_surfaceTexture.TakeMadeOnThread();
    return DrawSurface(ResolveSurface(surface, Width, Height, ProjectiveTexture, m_aspect), texture, x, y, angle,
                       scaleX, scaleY, alpha);
}

bool GraphicalInterface::TakeFirstDrawOfThreadTexture(const Surface &surface, skimbler::DrawState *state,
                                                     std::uint32_t *texture)
{
    *texture = SurfaceTextureOf(surface, nullptr, true);
    if (!m_surfaceTexture.TakeMadeOnThread())
        return false;
    *state = ResolveSurface(surface, Width, Height, ProjectiveTexture, m_aspect);
    return true;
}

bool GraphicalInterface::DrawSurface(const skimbler::DrawState &state, std::uint32_t texture, float x, float y,
                                     float angle, float scaleX, float scaleY, float alpha)
{
    DrawStateQuad(state, texture, x, y, angle, scaleX, scaleY, alpha);
    return true;
}

void GraphicalInterface::DrawStateQuad(const skimbler::DrawState &state, std::uint32_t texture, float x, float y,
                                       float angle, float scaleX, float scaleY, float alpha)
{
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(x, y, PlaneZ);
    glRotatef(angle, 0.0f, 0.0f, 1.0f);
    glScalef(scaleX, scaleY, 1.0f);

    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(state.MagFilter));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(state.MinFilter));
    glBlendFunc(state.SrcFactor, state.DestFactor);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLint>(state.WrapS));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLint>(state.WrapT));

    glBegin(state.Primitive);
    if (!state.VertexColours)
        glColor4f(1.0f, 1.0f, 1.0f, alpha);
    for (const skimbler::DrawVertex &v : state.Vertices) {
        if (state.VertexColours)
            glColor4f(v.Colour[0], v.Colour[1], v.Colour[2], alpha * v.Colour[3]);
        // Off, the strip is sent exactly as it always was.
        if (state.Projective)
            glTexCoord4f(v.TexCoord[0], v.TexCoord[1], v.TexCoord[2], v.TexCoord[3]);
        else
            glTexCoord2f(v.TexCoord[0], v.TexCoord[1]);
        glVertex3f(v.Position[0], v.Position[1], v.Position[2]);
    }
    glEnd();
    glPopMatrix();
}

void GraphicalInterface::DrawTiledBackground(const TextureImage &tile, int tileWidth, int tileHeight, int width,
                                             int height)
{
    const float right = static_cast<float>(width);
    const float bottom = static_cast<float>(height);
    float corners[4][3] = {{0.0f, 0.0f, 0.0f}, {0.0f, bottom, 0.0f}, {right, 0.0f, 0.0f}, {right, bottom, 0.0f}};
    for (auto &corner : corners)
        ScreenToWorld(corner[0], corner[1]);
    DrawImageQuad(tile, right / static_cast<float>(tileWidth), bottom / static_cast<float>(tileHeight), corners,
                  1.0f);
}

bool GraphicalInterface::DrawPixels(const void *pixels, int width, int height, float x, float y)
{
    glBlendFunc(GL_ONE, GL_ZERO);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, PlaneZ);
    glRasterPos2f(x, y);
    glDrawPixels(width, height, GL_BGRA_EXT, GL_UNSIGNED_BYTE, pixels);
    return true;
}

void GraphicalInterface::DrawRect(float x, float y, float width, float height, bool filled)
{
    glLoadIdentity();
    glTranslatef(x, y, PlaneZ);
    float extentX = Width * 0.5f + width;
    float extentY = Height * 0.5f + height;
    ScreenToWorld(extentX, extentY);
    glDisable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    if (filled) {
        glBegin(GL_TRIANGLE_STRIP);
        glVertex3f(0.0f, 0.0f, 0.0f);
        glVertex3f(0.0f, extentY, 0.0f);
        glVertex3f(extentX, 0.0f, 0.0f);
        glVertex3f(extentX, extentY, 0.0f);
    } else {
        glBegin(GL_LINE_STRIP);
        glVertex3f(0.0f, 0.0f, 0.0f);
        glVertex3f(0.0f, extentY, 0.0f);
        glVertex3f(extentX, extentY, 0.0f);
        glVertex3f(extentX, 0.0f, 0.0f);
        glVertex3f(0.0f, 0.0f, 0.0f);
    }
    glEnd();
    glEnable(GL_TEXTURE_2D);
}

void GraphicalInterface::DrawLine(float x1, float y1, float z1, float x2, float y2, float z2)
{
    glDisable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, PlaneZ);
    glBegin(GL_LINES);
    glVertex3f(x1, y1, z1);
    glVertex3f(x2, y2, z2);
    glEnd();
    glEnable(GL_TEXTURE_2D);
}

void GraphicalInterface::DrawLineXY(float x1, float y1, float x2, float y2)
{
    DrawLine(x1, y1, 0.0f, x2, y2, 0.0f);
}

void GraphicalInterface::BeginPick(int x, int y, int width, int height, std::uint32_t *buffer, int count)
{
    glSelectBuffer(count, buffer);
    glRenderMode(GL_SELECT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    gluPickMatrix(viewport[0] + x, viewport[1] + viewport[3] - y, width, height, viewport);
    LoadProjection();
    glInitNames();
    glPushName(0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void GraphicalInterface::LoadName(std::uint32_t name)
{
    glLoadName(name);
}

void GraphicalInterface::PushName(std::uint32_t name)
{
    glPushName(name);
}

int GraphicalInterface::EndPick()
{
    const int hits = glRenderMode(GL_RENDER);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    return hits;
}

void GraphicalInterface::SetLineWidth(float width)
{
    glLineWidth(width);
}

void GraphicalInterface::SetLineStipple(int factor, std::uint16_t pattern, bool enable)
{
    if (enable) {
        glEnable(GL_LINE_STIPPLE);
        glLineStipple(factor, pattern);
    } else {
        glDisable(GL_LINE_STIPPLE);
        glLineStipple(1, 0xFFFF);
    }
}

void GraphicalInterface::SetColor(float r, float g, float b, float a)
{
    glColor4f(r, g, b, a);
}

bool GraphicalInterface::Clear()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    return true;
}

bool GraphicalInterface::Swap(DeviceContext deviceContext)
{
    QOpenGLContext *context = QOpenGLContext::currentContext();
    if (!context || !deviceContext)
        return true;
    // Swapping a window that is not on screen is undefined in Qt; the frame
    // is finished all the same.
    if (deviceContext->surfaceClass() == QSurface::Window
        && !static_cast<QWindow *>(deviceContext)->isExposed()) {
        glFlush();
        return true;
    }
    context->swapBuffers(deviceContext);
    return true;
}

void GraphicalInterface::ScreenToWorld(float &x, float &y) const
{
    skimbler::WindowToPlane(Width, Height, &x, &y, skimbler::PlaneHalfWidthFor(m_aspect));
}

void GraphicalInterface::WorldToScreen(float &x, float &y) const
{
    skimbler::PlaneToWindow(Width, Height, &x, &y, skimbler::PlaneHalfWidthFor(m_aspect));
}

float GraphicalInterface::OffsetX(float x, float pixels) const
{
    return x + pixels / (Width * 0.5f) * skimbler::PlaneHalfWidthFor(m_aspect);
}

float GraphicalInterface::OffsetY(float y, float pixels) const
{
    return y + pixels / (-Height * 0.5f);
}

void GraphicalInterface::LoadProjection() const
{
    // Skipped at (0, 0), so that the matrix is bit for bit the plain
    // perspective.
    if (m_viewOffsetX != 0.0f || m_viewOffsetY != 0.0f) {
        glTranslated(static_cast<double>(m_viewOffsetX) / (Width * 0.5),
                     -static_cast<double>(m_viewOffsetY) / (Height * 0.5), 0.0);
    }
    gluPerspective(skimbler::scene::FieldOfViewY, m_aspect, skimbler::scene::NearPlane, skimbler::scene::FarPlane);
}

void GraphicalInterface::SetViewOffset(float x, float y)
{
    if (x == m_viewOffsetX && y == m_viewOffsetY)
        return;
    m_viewOffsetX = x;
    m_viewOffsetY = y;
    GLint mode = GL_MODELVIEW;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    LoadProjection();
    glMatrixMode(static_cast<GLenum>(mode));
}

void GraphicalInterface::SetAspect(double aspect)
{
    // An aspect that could not draw anything stands for the fixed 4:3, as in core.
    if (!(aspect > 0.0) || !std::isfinite(aspect))
        aspect = skimbler::scene::Aspect;
    if (aspect == m_aspect)
        return;
    m_aspect = aspect;
    GLint mode = GL_MODELVIEW;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    LoadProjection();
    glMatrixMode(static_cast<GLenum>(mode));
}

float GraphicalInterface::DepthScale(float z) const
{
    return skimbler::DepthScale(z);
}
