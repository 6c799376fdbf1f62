#include "render/Markers.h"

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

// Corners A, B, C, D of the marker, offsets within the cube.
constexpr float kCorners[4][3] = {{0.4f, 0.4f, 0.4f}, {0.6f, 0.4f, 0.4f}, {0.5f, 0.6f, 0.4f}, {0.5f, 0.5f, 0.6f}};

struct Triangle {
    int corners[3];
    float shade;
};

// The base first; the fixed shades give the unlit tetrahedron its look.
constexpr Triangle kTriangles[4] = {{{0, 1, 2}, 1.0f}, {{1, 0, 3}, 0.7f}, {{2, 1, 3}, 0.4f}, {{0, 2, 3}, 0.8f}};

uint8_t Byte(float c) {
    return static_cast<uint8_t>(c * 255.0f + 0.5f);
}

MarkerVertex Corner(const BlockPos& pos, int corner, const Colour& colour) {
    return MarkerVertex{Byte(colour.r), Byte(colour.g), Byte(colour.b), 255,
                        static_cast<float>(pos.x) + kCorners[corner][0], static_cast<float>(pos.y) + kCorners[corner][1],
                        static_cast<float>(pos.z) + kCorners[corner][2]};
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
    for (const Triangle& triangle : kTriangles) {
        for (const int corner : triangle.corners) {
            out.push_back(Corner(pos, corner, CountColour(count, triangle.shade)));
        }
    }
}

void AppendMarkerPoint(const BlockPos& pos, uint8_t count, std::vector<MarkerVertex>& out) {
    if (count == 0) {
        return;
    }
    const Colour colour = CountColour(count, 1.0f);
    out.push_back(MarkerVertex{Byte(colour.r), Byte(colour.g), Byte(colour.b), 255, static_cast<float>(pos.x) + 0.5f,
                               static_cast<float>(pos.y) + 0.475f, static_cast<float>(pos.z) + 0.45f});
}
