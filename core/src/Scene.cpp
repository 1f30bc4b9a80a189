#include "skimbler/Scene.h"

#include <cmath>
#include <limits>

namespace skimbler {

namespace {
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

void Identity(double m[16])
{
    for (int i = 0; i < 16; ++i)
        m[i] = (i % 5 == 0) ? 1.0 : 0.0;
}

// An aspect that could not draw anything stands for the fixed 4:3.
double UsableAspect(double aspect)
{
    return aspect > 0.0 && std::isfinite(aspect) ? aspect : scene::Aspect;
}
} // namespace

void ProjectionMatrix(const View &view, double m[16])
{
    // gluPerspective's matrix, built the way GLU builds it.
    const double radians = scene::FieldOfViewY / 2.0 * 3.14159265358979323846 / 180.0;
    const double deltaZ = scene::FarPlane - scene::NearPlane;
    const double cotangent = std::cos(radians) / std::sin(radians);
    Identity(m);
    m[0] = cotangent / UsableAspect(view.Aspect);
    m[5] = cotangent;
    m[10] = -(scene::FarPlane + scene::NearPlane) / deltaZ;
    m[11] = -1.0;
    m[14] = -2.0 * scene::NearPlane * scene::FarPlane / deltaZ;
    m[15] = 0.0;
    if (view.PanX == 0.0f && view.PanY == 0.0f)
        return;
    // A translation T in front: T * P adds tx * row 3 of P to row 0, ty to row 1.
    const int height = view.Height == 0 ? 1 : view.Height;
    const double tx = static_cast<double>(view.PanX) / (view.Width * 0.5);
    const double ty = -static_cast<double>(view.PanY) / (height * 0.5);
    for (int column = 0; column < 4; ++column) {
        m[column * 4 + 0] += tx * m[column * 4 + 3];
        m[column * 4 + 1] += ty * m[column * 4 + 3];
    }
}

void SurfaceModelView(const View &view, double m[16])
{
    Identity(m);
    m[0] = view.Zoom;
    m[5] = view.Zoom;
    m[14] = scene::PlaneZ;
}

float DepthScale(float z)
{
    // The eye looks down -z from the origin; the plane lies at PlaneZ.
    const float distance = -scene::PlaneZ - z;
    if (!(distance > static_cast<float>(scene::NearPlane)))
        return 0.0f;
    return -scene::PlaneZ / distance;
}

double TrueShapeAspect(int width, int height)
{
    if (width <= 0 || height <= 0)
        return scene::Aspect;
    return static_cast<double>(width) / static_cast<double>(height);
}

float PlaneHalfWidthFor(double aspect)
{
    // In single precision the fixed 4:3 is exactly PlaneHalfWidth.
    return static_cast<float>(UsableAspect(aspect)) * scene::PlaneHalfHeight;
}

void WindowToPlane(int width, int height, float *x, float *y, float halfWidth)
{
    const int h = height == 0 ? 1 : height;
    *x = *x / (width * 0.5f) * halfWidth - halfWidth;
    *y = *y / (-h * 0.5f) + 1.0f;
}

void PlaneToWindow(int width, int height, float *x, float *y, float halfWidth)
{
    const int h = height == 0 ? 1 : height;
    *x = (*x + halfWidth) / halfWidth * width * 0.5f;
    *y = (*y - 1.0f) * -h * 0.5f;
}

void WindowToSurface(const View &view, float x, float y, float z, float *surfaceX, float *surfaceY)
{
    const float depth = DepthScale(z);
    if (depth == 0.0f) {
        *surfaceX = *surfaceY = kNaN;
        return;
    }
    x -= view.PanX;
    y -= view.PanY;
    x -= static_cast<float>(view.OffsetX);
    y -= static_cast<float>(view.OffsetY);
    WindowToPlane(view.Width, view.Height, &x, &y, PlaneHalfWidthFor(view.Aspect));
    const float scale = view.Zoom * depth;
    *surfaceX = x / scale;
    *surfaceY = y / scale;
}

void SurfaceToWindow(const View &view, float x, float y, float z, float *windowX, float *windowY)
{
    const float depth = DepthScale(z);
    if (depth == 0.0f) {
        *windowX = *windowY = kNaN;
        return;
    }
    const float scale = view.Zoom * depth;
    x *= scale;
    y *= scale;
    PlaneToWindow(view.Width, view.Height, &x, &y, PlaneHalfWidthFor(view.Aspect));
    *windowX = x + view.PanX + static_cast<float>(view.OffsetX);
    *windowY = y + view.PanY + static_cast<float>(view.OffsetY);
}

} // namespace skimbler
