#ifndef CUBOMB_PICKING_POINTERRAY_H
#define CUBOMB_PICKING_POINTERRAY_H

// The ray from the eye through a pixel of the window, for a view set up as
// the frame sets it: a perspective of kViewDegrees from top to bottom over
// the whole window, looking along a direction with +z up.

#include "support/Geometry.h"

constexpr double kViewDegrees = 60;

// The direction through the centre of pixel (x, y), counted from the window's
// top left; look is the view's direction, never along the up axis.
Vector PointerRay(const Vector& look, int x, int y, int width, int height);

#endif
