#include "picking/PointerRay.h"

#include <algorithm>
#include <cmath>

// The view's own basis, as the frame's look-at builds it: forward, then
// right of it, then up of both.
Vector PointerRay(const Vector& look, int x, int y, int width, int height) {
    Vector forward = look;
    Normalize(forward);
    Vector right = Cross(forward, Vector(0, 0, 1));
    Normalize(right);
    const Vector up = Cross(right, forward);
    const double w = std::max(width, 1);
    const double h = std::max(height, 1);
    const double halfHeight = std::tan(kViewDegrees / 2 * 3.14159265358979323846 / 180);
    const double across = ((x + 0.5) / w * 2 - 1) * halfHeight * (w / h);
    const double upward = (1 - (y + 0.5) / h * 2) * halfHeight;
    return forward + right * static_cast<float>(across) + up * static_cast<float>(upward);
}
