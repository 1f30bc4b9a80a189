#pragma once

class Surface;

// The quad exactly as the drawing code sends it, without any OpenGL: shared by
// the drawing itself, the pixel probe and the clipboard's call listing, so the
// three can never disagree.
namespace SurfaceGeometry {

// Texture coordinates of the strip's four vertices: top-left, bottom-left,
// top-right, bottom-right.
extern const float TexCoords[4][2];

// The corners in strip order before the view's zoom: the surface's points, or
// without the points flag the image-sized quad hanging from the centre of a
// viewWidth x viewHeight window.
void Corners(const Surface &surface, int viewWidth, int viewHeight, float corners[4][3]);

// The homogeneous q of each corner that makes the two triangles one projective
// mapping: with c the crossing of the diagonals 0-3 and 1-2, q of a corner is
// (its distance to c + the opposite corner's) / the opposite corner's. Uses x
// and y only. False, with every q 1, for a parallelogram (the triangles
// already agree) and when the diagonals do not cross inside the quad (a
// concave, crossed or flat quad has no such mapping).
bool ProjectiveQ(const float corners[4][3], float q[4]);

} // namespace SurfaceGeometry
