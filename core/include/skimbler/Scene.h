#pragma once

namespace skimbler {

// The fixed scene every Skimbler picture is drawn in: a plane at PlaneZ seen
// through a 45-degree perspective, of aspect 4:3 unless a view asks for its
// screen's true shape, so that at zoom 1 the plane shows y in [-1, 1] and x
// in [-4/3, 4/3] (or [-aspect, aspect]) whatever the window's shape.
namespace scene {
constexpr float PlaneZ = -2.4142136f;
constexpr float PlaneHalfWidth = 4.0f / 3.0f;  // 1.3333334f
constexpr float PlaneHalfHeight = 1.0f;
constexpr double FieldOfViewY = 45.0;
constexpr double Aspect = 1.3333333730697632;  // 4/3 in single precision
constexpr double NearPlane = 1.0;
constexpr double FarPlane = 5000.05615234375;
// The zoom a view keeps to (View::Zoom): never zero, never turned over.
constexpr float MinZoom = 0.1f;
constexpr float MaxZoom = 100.0f;
} // namespace scene

// How a window shows the plane.
struct View
{
    int Width = 0;  // device pixels
    int Height = 0;
    float Zoom = 1.0f;  // x and y of the surface scaled about the plane's origin
    float PanX = 0.0f;  // the finished picture shifted right and down, device pixels
    float PanY = 0.0f;
    // Where the drawn area (Width x Height) starts in the window, device
    // pixels from the left and the top: non-zero when the picture is
    // letter-boxed into a window of another shape. Window positions given
    // to and returned by the conversions below include it.
    int OffsetX = 0;
    int OffsetY = 0;
    // The projection's width over its height. The fixed 4:3 stretches over
    // a window of any shape; a target screen's own shape (TrueShapeAspect)
    // keeps a square square.
    double Aspect = scene::Aspect;
};

// The aspect that shows a width x height picture in its true shape.
double TrueShapeAspect(int width, int height);

// Half the plane's visible width at zoom 1 for `aspect` (its height is
// always 2): scene::PlaneHalfWidth for the fixed 4:3.
float PlaneHalfWidthFor(double aspect);

// The projection as a column-major matrix (glLoadMatrixd order): the pan as a
// translation in front of gluPerspective's matrix. At a zero pan it is
// exactly gluPerspective(FieldOfViewY, view.Aspect, NearPlane, FarPlane).
void ProjectionMatrix(const View &view, double matrix[16]);

// The surface's model-view: the plane's depth, then x and y scaled by the zoom.
void SurfaceModelView(const View &view, double matrix[16]);

// How much the perspective enlarges x and y of a point lifted z above the
// plane, relative to a point on the plane: 1 at z = 0, 0 at or behind the
// near plane, where the point has no place on the screen.
float DepthScale(float z);

// Window pixels (y down, no zoom or pan) to plane units and back, in the
// single-precision steps the editor has always used. A height of 0 counts as 1.
// `halfWidth` is PlaneHalfWidthFor the view's aspect.
void WindowToPlane(int width, int height, float *x, float *y, float halfWidth = scene::PlaneHalfWidth);
void PlaneToWindow(int width, int height, float *x, float *y, float halfWidth = scene::PlaneHalfWidth);

// A window position in device pixels to the surface's own coordinates on the
// plane at height z (zoom and pan undone), and back. NaN for a z at or behind
// the eye. Everything that turns a pointer into plane units goes through these.
void WindowToSurface(const View &view, float x, float y, float z, float *surfaceX, float *surfaceY);
void SurfaceToWindow(const View &view, float x, float y, float z, float *windowX, float *windowY);

} // namespace skimbler
