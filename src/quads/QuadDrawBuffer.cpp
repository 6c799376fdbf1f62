#include "quads/QuadDrawBuffer.h"

#include <GL/glew.h>

#include <cstdlib>

#include "support/ProcessEnd.h"
#include "textures/TexDict.h"
#include "textures/Texture.h"

namespace {

constexpr unsigned int kPassSeed = 58493;
constexpr unsigned int kRainbowSeed = 3405;

bool Beyond(float component) {
    return component < -0.5f || component > 0.5f;
}

}  // namespace

float FaceShade(const Vector& p1, const Vector& p2, const Vector& p3) {
    Vector n = Cross(p2 - p1, p3 - p1);
    if (!(LengthSquared(n) > 0)) {
        return 0.5f;  // degenerate: no normal
    }
    Normalize(n);
    if (Beyond(Dot(n, Vector(1, 0, 0)))) {
        return 1.0f;
    }
    if (Beyond(Dot(n, Vector(0, 1, 0)))) {
        return 0.7f;
    }
    if (Beyond(Dot(n, Vector(0, 0, 1)))) {
        return 0.85f;
    }
    return 0.5f;
}

void QuadDrawBuffer::Start() {
    std::srand(kPassSeed);
    batchOpen = false;
    glColor3f(1, 1, 1);
    if (rainbowDebug) {
        std::srand(kRainbowSeed);
    }
}

void QuadDrawBuffer::SetTexture(int texture) {
    if (texDict == nullptr) {
        Fatal("Error: texture dictionary not associated with QuadDrawBuffer.");
    }
    if (batchOpen) {
        glEnd();
    }
    texDict->GetTexture(texture)->UseTexture();
    if (batchOpen) {
        glBegin(GL_TRIANGLES);
    }
}

void QuadDrawBuffer::AddQuad(const Vector& p1, const Vector& p2, const Vector& p3, const Vector& p4, float uMin,
                             float uMax, float vMin, float vMax) {
    if (rainbowDebug) {
        RainbowColor();
    } else {
        const float grey = FaceShade(p1, p2, p3);
        glColor3f(grey, grey, grey);
    }
    if (!batchOpen) {
        batchOpen = true;
        glBegin(GL_TRIANGLES);
    }
    const struct {
        float u, v;
        const Vector& p;
    } vertices[] = {{uMin, vMin, p3}, {uMax, vMin, p4}, {uMax, vMax, p2},
                    {uMin, vMin, p3}, {uMax, vMax, p2}, {uMin, vMax, p1}};
    for (const auto& vertex : vertices) {
        glTexCoord2f(vertex.u, vertex.v);
        glVertex3f(vertex.p.x, vertex.p.y, vertex.p.z);
    }
}

void QuadDrawBuffer::End() {
    Flush();
    if (batchOpen) {
        glEnd();
    }
    batchOpen = false;
}

// Scaled by the C library's own RAND_MAX: glibc's is not 32767.
void QuadDrawBuffer::RainbowColor() {
    const float r = static_cast<float>(std::rand() / static_cast<double>(RAND_MAX));
    const float g = static_cast<float>(std::rand() / static_cast<double>(RAND_MAX));
    const float b = static_cast<float>(std::rand() / static_cast<double>(RAND_MAX));
    glColor3f(r, g, b);
}
