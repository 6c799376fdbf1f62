#include "render/Markers.h"

#include <GL/glew.h>

#include <cstddef>

#include "quads/QuadDrawBuffer.h"

namespace {

struct Colour {
    float r, g, b;
};

Colour CountColour(uint8_t count, float s) {
    switch (count) {
        case 1: return {0, 0, s};
        case 2: return {0, s, 0};
        case 3: return {s, 0, 0};
        case 4: return {s, 0, s};
        case 5: return {0, s, s};
        case 6: return {s, s, 0};
        default: return {s, s, s};
    }
}

// The triangles by their corners, the base first, each turning
// counter-clockwise seen from outside and ordered to end on the corner that
// carries its shade: the base BAC (1.0) on C, BDA (0.7) on A, CDB (0.4) on
// B, CAD (0.8) on D. The fixed shades give the unlit tetrahedron its look.
constexpr int kTriangles[kMarkerIndices] = {1, 0, 2, 1, 3, 0, 2, 3, 1, 2, 0, 3};
constexpr float kShades[kMarkerCorners] = {0.7f, 0.4f, 1.0f, 0.8f};

uint8_t Byte(float c) {
    return static_cast<uint8_t>(c * 255.0f + 0.5f);
}

// A marker at the origin: its corners, each with the bytes of its shade of
// the count's colour. Counts from 7 share one.
struct Shape {
    MarkerVertex corners[kMarkerCorners];
};

Shape ShapeOf(uint8_t count) {
    Shape shape{};
    for (int corner = 0; corner < kMarkerCorners; ++corner) {
        const Colour colour = CountColour(count, kShades[corner]);
        shape.corners[corner] = MarkerVertex{Byte(colour.r), Byte(colour.g), Byte(colour.b), 255, kMarkerCorner[corner][0],
                                             kMarkerCorner[corner][1], kMarkerCorner[corner][2]};
    }
    return shape;
}

const Shape& ShapeFor(uint8_t count) {
    static const Shape shapes[8] = {ShapeOf(0), ShapeOf(1), ShapeOf(2), ShapeOf(3),
                                    ShapeOf(4), ShapeOf(5), ShapeOf(6), ShapeOf(7)};
    return shapes[count < 7 ? count : 7];
}

}  // namespace

void MarkerColour(uint8_t count, float rgb[3]) {
    const Colour colour = CountColour(count, 1.0f);
    rgb[0] = colour.r;
    rgb[1] = colour.g;
    rgb[2] = colour.b;
}

void AppendMarker(const BlockPos& pos, uint8_t count, std::vector<MarkerVertex>& out) {
    if (count == 0) {
        return;
    }
    const Vector at(static_cast<float>(pos.x), static_cast<float>(pos.y), static_cast<float>(pos.z));
    for (MarkerVertex corner : ShapeFor(count).corners) {
        corner.x += at.x;
        corner.y += at.y;
        corner.z += at.z;
        out.push_back(corner);
    }
}

std::vector<uint16_t> MarkerIndices(size_t markers) {
    return RepeatedIndices(kTriangles, kMarkerCorners, markers);
}

void PointMarkerArrays(const void* first) {
    const char* const base = static_cast<const char*>(first);
    constexpr GLsizei kStride = sizeof(MarkerVertex);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    glColorPointer(4, GL_UNSIGNED_BYTE, kStride, base + offsetof(MarkerVertex, r));
    glVertexPointer(3, GL_FLOAT, kStride, base + offsetof(MarkerVertex, x));
}

void DrawMarkers(const MarkerVertex* corners, const uint16_t* indices, size_t markers) {
    if (markers == 0) {
        return;
    }
    glShadeModel(GL_FLAT);
    PointMarkerArrays(corners);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(markers * kMarkerIndices), GL_UNSIGNED_SHORT, indices);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glShadeModel(GL_SMOOTH);
}

namespace {

// The colour's four bytes, then the position.
constexpr size_t kPointColourBytes = 4;

size_t PointBytes(CornerFormat format) {
    return kPointColourBytes + CornerBytes(format);
}

}  // namespace

void MarkerPoints::Clear(CornerFormat how) {
    format = how;
    bytes.clear();
}

void MarkerPoints::Append(const BlockPos& pos, uint8_t count) {
    if (count == 0) {
        return;
    }
    const Colour colour = CountColour(count, 1.0f);
    const uint8_t rgba[kPointColourBytes] = {Byte(colour.r), Byte(colour.g), Byte(colour.b), 255};
    bytes.insert(bytes.end(), rgba, rgba + kPointColourBytes);
    AppendCorner(Vector(static_cast<float>(pos.x), static_cast<float>(pos.y), static_cast<float>(pos.z)), format, bytes);
}

void PointFarMarkerArrays(const void* first, CornerFormat format) {
    const char* const base = static_cast<const char*>(first);
    const GLsizei stride = static_cast<GLsizei>(PointBytes(format));
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    glColorPointer(4, GL_UNSIGNED_BYTE, stride, base);
    glVertexPointer(3, format == CornerFormat::kShort ? GL_SHORT : GL_FLOAT, stride, base + kPointColourBytes);
}
