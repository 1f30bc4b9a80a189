#include "render/SurfaceGeometry.h"

#include "surface/Surface.h"

#include <cmath>

using skimbler::SURFACE_FLAG_POINTS;

namespace SurfaceGeometry {

const float TexCoords[4][2] = {{0, 1}, {0, 0}, {1, 1}, {1, 0}};

void Corners(const Surface &surface, int viewWidth, int viewHeight, float corners[4][3])
{
    if (surface.Flags & SURFACE_FLAG_POINTS) {
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 3; ++j)
                corners[i][j] = surface.Points[i][j];
        return;
    }
    // One image pixel per window pixel, in the same single-precision steps as
    // the window-to-plane conversion, so the quad lands on the same pixels.
    const float halfWidth = static_cast<float>(viewWidth) * 0.5f;
    const float halfHeight = static_cast<float>(viewHeight == 0 ? 1 : viewHeight) * 0.5f;
    const float extentX = (halfWidth + static_cast<float>(surface.Width)) / halfWidth * Surface::PlaneHalfWidth
        - Surface::PlaneHalfWidth;
    const float extentY = (halfHeight + static_cast<float>(surface.Height)) / -halfHeight + 1.0f;
    const float quad[4][3] = {{0, 0, 0}, {0, extentY, 0}, {extentX, 0, 0}, {extentX, extentY, 0}};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 3; ++j)
            corners[i][j] = quad[i][j];
}

bool ProjectiveQ(const float corners[4][3], float q[4])
{
    for (int i = 0; i < 4; ++i)
        q[i] = 1.0f;
    // Solve p0 + a (p3 - p0) = p1 + b (p2 - p1) in double precision.
    const double d03x = double(corners[3][0]) - corners[0][0];
    const double d03y = double(corners[3][1]) - corners[0][1];
    const double d12x = double(corners[2][0]) - corners[1][0];
    const double d12y = double(corners[2][1]) - corners[1][1];
    const double ox = double(corners[1][0]) - corners[0][0];
    const double oy = double(corners[1][1]) - corners[0][1];
    const double denominator = d03x * d12y - d03y * d12x;
    if (!std::isfinite(denominator) || denominator == 0.0)
        return false;
    const double a = (ox * d12y - oy * d12x) / denominator;
    const double b = (ox * d03y - oy * d03x) / denominator;
    // Too close to a corner and q runs away to infinity.
    constexpr double kEdge = 1e-6;
    if (!(a > kEdge && a < 1.0 - kEdge && b > kEdge && b < 1.0 - kEdge))
        return false;
    // Diagonals that halve each other make a parallelogram, where the two
    // triangles already are one mapping.
    if (std::fabs(a - 0.5) < 1e-7 && std::fabs(b - 0.5) < 1e-7)
        return false;
    q[0] = static_cast<float>(1.0 / (1.0 - a));
    q[3] = static_cast<float>(1.0 / a);
    q[1] = static_cast<float>(1.0 / (1.0 - b));
    q[2] = static_cast<float>(1.0 / b);
    return true;
}

} // namespace SurfaceGeometry
