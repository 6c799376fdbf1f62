#include "quads/QuadDrawBuffer.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "support/ProcessEnd.h"
#include "system/System.h"
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

int FacingSide(const Vector& p1, const Vector& p2, const Vector& p3) {
    Vector n = Cross(p2 - p1, p3 - p1);
    if (!(LengthSquared(n) > 0)) {
        return 0;  // degenerate: no normal
    }
    Normalize(n);
    const float across[3] = {n.x, n.y, n.z};
    for (const int axis : {0, 1, 2}) {
        if (Beyond(across[axis])) {
            return SideAcross(axis, across[axis] > 0 ? 1 : -1);
        }
    }
    return 0;
}

float SideShade(int side) {
    return IsSide(side) ? kSides[side].shade : 0.5f;
}

void QuadDrawBuffer::Start() {
    std::srand(kPassSeed);
    batch.clear();
    glColor3f(1, 1, 1);
    System::BeginMappedTextures();
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

bool TextureMap::operator==(const TextureMap& other) const {
    return std::equal(s, s + 4, other.s) && std::equal(t, t + 4, other.t);
}

Vector TextureMap::At(const Vector& p) const {
    return Vector(s[0] * p.x + s[1] * p.y + s[2] * p.z + s[3], t[0] * p.x + t[1] * p.y + t[2] * p.z + t[3], 0);
}

// In doubles, so that a side's whole-number rectangles of any size give
// exactly the same map.
TextureMap RectangleTextureMap(const Vector (&p)[4], float uMin, float uMax, float vMin, float vMax) {
    const double along[2][3] = {{p[1].x - double(p[0].x), p[1].y - double(p[0].y), p[1].z - double(p[0].z)},
                                {p[2].x - double(p[0].x), p[2].y - double(p[0].y), p[2].z - double(p[0].z)}};
    const double first[2] = {uMin, vMax}, range[2] = {double(uMax) - uMin, double(vMin) - vMax};
    const double from[3] = {p[0].x, p[0].y, p[0].z};
    TextureMap map;
    float* const out[2] = {map.s, map.t};
    for (int k = 0; k < 2; ++k) {
        const double length = along[k][0] * along[k][0] + along[k][1] * along[k][1] + along[k][2] * along[k][2];
        if (!(length > 0)) {
            continue;  // degenerate: one texel
        }
        double offset = first[k];
        for (int axis = 0; axis < 3; ++axis) {
            const double slope = along[k][axis] * range[k] / length;
            out[k][axis] = static_cast<float>(slope);
            offset -= slope * from[axis];
        }
        out[k][3] = static_cast<float>(offset - std::floor(offset));
    }
    return map;
}

void UseTextureMap(const TextureMap& map, const float rgb[3]) {
    System::UseTextureMap(map.s, map.t, rgb);
}

void QuadDrawBuffer::AddQuad(const Vector& p1, const Vector& p2, const Vector& p3, const Vector& p4, float uMin,
                             float uMax, float vMin, float vMax) {
    float rgb[3];
    if (rainbowDebug) {
        NextRainbowColour(rgb);
    } else {
        rgb[0] = rgb[1] = rgb[2] = SideShade(FacingSide(p1, p2, p3));
    }
    const TextureMap map = RectangleTextureMap({p1, p2, p3, p4}, uMin, uMax, vMin, vMax);
    if (!std::equal(rgb, rgb + 3, batchColour) || map != batchMap) {
        DrawBatch();
        std::copy(rgb, rgb + 3, batchColour);
        batchMap = map;
    }
    const FaceVertex corners[4] = {{p1.x, p1.y, p1.z}, {p2.x, p2.y, p2.z}, {p3.x, p3.y, p3.z}, {p4.x, p4.y, p4.z}};
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
    System::EndMappedTextures();
}

size_t CornerBytes(CornerFormat format) {
    return format == CornerFormat::kShort ? 3 * sizeof(int16_t) : sizeof(FaceVertex);
}

void AppendCorner(const Vector& p, CornerFormat format, std::vector<uint8_t>& out) {
    const size_t end = out.size();
    out.resize(end + CornerBytes(format));
    if (format == CornerFormat::kShort) {
        const int16_t c[3] = {static_cast<int16_t>(p.x), static_cast<int16_t>(p.y), static_cast<int16_t>(p.z)};
        std::memcpy(&out[end], c, sizeof c);
    } else {
        const float c[3] = {p.x, p.y, p.z};
        std::memcpy(&out[end], c, sizeof c);
    }
}

void PointFaceArrays(const void* first, CornerFormat format) {
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, format == CornerFormat::kShort ? GL_SHORT : GL_FLOAT, static_cast<GLsizei>(CornerBytes(format)), first);
}

// The flush lets the driver draw them now rather than hold a whole big
// field's worth at once.
void DrawFaceTriangles(const FaceVertex* vertices, size_t count) {
    if (count == 0) {
        return;
    }
    PointFaceArrays(vertices);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(count));
    glDisableClientState(GL_VERTEX_ARRAY);  // the only one PointFaceArrays turned on
    glFlush();
}

// The triangles so far, in the order they came.
void QuadDrawBuffer::DrawBatch() {
    if (!batch.empty()) {
        UseTextureMap(batchMap, batchColour);
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
