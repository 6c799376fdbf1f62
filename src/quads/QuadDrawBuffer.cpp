#include "quads/QuadDrawBuffer.h"

#include <GL/glew.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>

#include "support/ProcessEnd.h"
#include "support/Sides.h"
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
    const float across[3] = {n.x, n.y, n.z};
    for (const int axis : {0, 1, 2}) {
        if (Beyond(across[axis])) {
            return kSides[SideAcross(axis, 1)].shade;
        }
    }
    return 0.5f;
}

void QuadDrawBuffer::Start() {
    std::srand(kPassSeed);
    batch.clear();
    glColor3f(1, 1, 1);
    if (rainbowDebug) {
        std::srand(kRainbowSeed);
    }
}

void QuadDrawBuffer::SetTexture(int texture) {
    if (texDict == nullptr) {
        Fatal("Error: texture dictionary not associated with QuadDrawBuffer.");
    }
    DrawBatch();
    texDict->GetTexture(texture)->UseTexture();
}

void RectangleCorners(const Vector (&p)[4], float uMin, float uMax, float vMin, float vMax, FaceVertex (&out)[4]) {
    const float u[4] = {uMin, uMax, uMin, uMax};
    const float v[4] = {vMax, vMax, vMin, vMin};
    for (int i = 0; i < 4; ++i) {
        out[i] = FaceVertex{u[i], v[i], p[i].x, p[i].y, p[i].z};
    }
}

void QuadDrawBuffer::AddQuad(const Vector& p1, const Vector& p2, const Vector& p3, const Vector& p4, float uMin,
                             float uMax, float vMin, float vMax) {
    float rgb[3];
    if (rainbowDebug) {
        NextRainbowColour(rgb);
    } else {
        rgb[0] = rgb[1] = rgb[2] = FaceShade(p1, p2, p3);
    }
    if (!std::equal(rgb, rgb + 3, batchColour)) {
        DrawBatch();
        std::copy(rgb, rgb + 3, batchColour);
    }
    FaceVertex corners[4];
    RectangleCorners({p1, p2, p3, p4}, uMin, uMax, vMin, vMax, corners);
    for (const int corner : kRectangleTriangles) {
        batch.push_back(corners[corner]);
    }
    if (batch.size() >= kVerticesPerSlice) {
        DrawBatch();
    }
}

void QuadDrawBuffer::End() {
    Flush();
    DrawBatch();
}

// Pointer by pointer, where an interleaved format is not to be had.
void PointFaceArrays(const void* first) {
    const char* const base = static_cast<const char*>(first);
    constexpr GLsizei kStride = sizeof(FaceVertex);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, kStride, base + offsetof(FaceVertex, u));
    glVertexPointer(3, GL_FLOAT, kStride, base + offsetof(FaceVertex, x));
}

// The flush lets the driver draw them now rather than hold a whole big
// field's worth at once.
void DrawFaceTriangles(const FaceVertex* vertices, size_t count) {
    if (count == 0) {
        return;
    }
    PointFaceArrays(vertices);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(count));
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glFlush();
}

// The triangles so far, in the order they came.
void QuadDrawBuffer::DrawBatch() {
    if (!batch.empty()) {
        glColor3f(batchColour[0], batchColour[1], batchColour[2]);
    }
    DrawFaceTriangles(batch.data(), batch.size());
    batch.clear();
}

void QuadDrawBuffer::RainbowColor() {
    float rgb[3];
    NextRainbowColour(rgb);
    glColor3f(rgb[0], rgb[1], rgb[2]);
}

// Scaled by the C library's own RAND_MAX: glibc's is not 32767.
void QuadDrawBuffer::NextRainbowColour(float rgb[3]) {
    for (int i = 0; i < 3; ++i) {
        rgb[i] = static_cast<float>(std::rand() / static_cast<double>(RAND_MAX));
    }
}
