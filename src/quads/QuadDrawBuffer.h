#ifndef CUBOMB_QUADS_QUADDRAWBUFFER_H
#define CUBOMB_QUADS_QUADDRAWBUFFER_H

// Draws a pass of textured rectangles with OpenGL immediate mode: one triangle
// batch stays open across rectangles and closes only around texture binds;
// each rectangle gets a fixed grey by the axis it faces (x 1.0, y 0.7, z 0.85),
// or a random colour in rainbow debug mode.

#include "quads/QuadBuffer.h"

class TexDict;

class QuadDrawBuffer : public QuadBuffer {
public:
    void Initialize(int, TexDict* dict) { texDict = dict; }
    void SetRainbowDebug(bool on) { rainbowDebug = on; }

    void Start() override;
    void SetTexture(int texture) override;
    void AddQuad(const Vector& p1, const Vector& p2, const Vector& p3, const Vector& p4, float uMin, float uMax,
                 float vMin, float vMax) override;
    void Flush() override {}
    void End() override;

    static void RainbowColor();

private:
    TexDict* texDict = nullptr;
    bool batchOpen = false;
    bool rainbowDebug = false;
};

// The grey level of a rectangle facing along the normal of (p2 - p1) x (p3 - p1).
float FaceShade(const Vector& p1, const Vector& p2, const Vector& p3);

#endif
