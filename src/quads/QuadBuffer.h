#ifndef CUBOMB_QUADS_QUADBUFFER_H
#define CUBOMB_QUADS_QUADBUFFER_H

#include "support/Geometry.h"

// The sink of textured rectangles. A drawing pass is: Start, then per texture
// SetTexture, any number of AddQuad, Flush; then End. In AddQuad, p4 is
// opposite p1 and (p2 - p1) x (p3 - p1) points out of the visible side; the
// four floats are the texture coordinate ranges over the rectangle.
class QuadBuffer {
public:
    virtual ~QuadBuffer() = default;
    virtual void Start() = 0;
    virtual void SetTexture(int texture) = 0;
    virtual void AddQuad(const Vector& p1, const Vector& p2, const Vector& p3, const Vector& p4,
                         float uMin, float uMax, float vMin, float vMax) = 0;
    virtual void Flush() = 0;
    virtual void End() = 0;
};

#endif
