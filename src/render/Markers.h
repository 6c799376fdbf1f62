#ifndef CUBOMB_RENDER_MARKERS_H
#define CUBOMB_RENDER_MARKERS_H

// The count marker of an uncovered cube as plain data: a small tetrahedron at
// the cube's centre whose four triangles share the count's colour in four
// shades (1 blue, 2 green, 3 red, 4 magenta, 5 cyan, 6 yellow, 7 and more
// white). No marker for a count of 0. DrawMarkers draws them with OpenGL.

#include <cstdint>
#include <vector>

#include "quads/QuadDrawBuffer.h"
#include "support/Geometry.h"

// One corner of a marker's triangles, laid out as OpenGL's GL_C4UB_V3F
// arrays read it.
struct MarkerVertex {
    uint8_t r, g, b, a;
    float x, y, z;
};

// The colour of a count's marker at full brightness (its base).
void MarkerColour(uint8_t count, float rgb[3]);

// The marker's four corners A, B, C, D. Each closes one of the four
// triangles and carries that triangle's shade, so that drawn with flat
// shading, which colours a triangle from its last corner, each triangle keeps
// its own shade. Its triangles are the indices below from its first corner.
constexpr int kMarkerCorners = 4;
// Each corner's offset within the cube.
constexpr float kMarkerCorner[kMarkerCorners][3] = {{0.4f, 0.4f, 0.4f}, {0.6f, 0.4f, 0.4f}, {0.5f, 0.6f, 0.4f}, {0.5f, 0.5f, 0.6f}};
// Every marker's triangles and its point lie this far and no farther from
// its cube's low corner, along each axis.
constexpr float kMarkerLow = 0.4f;
constexpr float kMarkerHigh = 0.6f;
constexpr int kMarkerIndices = 12;
void AppendMarker(const BlockPos& pos, uint8_t count, std::vector<MarkerVertex>& out);

// The indices of the triangles of that many markers whose corners lie one
// after another, in drawing order: the base first.
// At most 16384 markers, whose corners a 16-bit index reaches.
std::vector<uint16_t> MarkerIndices(size_t markers);

// Markers as points in the colour of their bases, each at its cube's low
// corner, which kPointOffset moves to the marker's centre as they are drawn:
// a cube's own whole numbers, so a point takes 10 bytes where 16-bit
// integers hold them, else 16.
constexpr float kPointOffset[3] = {0.5f, 0.475f, 0.45f};
struct MarkerPoints {
    CornerFormat format = CornerFormat::kShort;
    std::vector<uint8_t> bytes;

    void Clear(CornerFormat how);
    // None for a count of 0.
    void Append(const BlockPos& pos, uint8_t count);
};
// The arrays OpenGL reads them from, starting at first, an offset into the bound array buffer.
void PointFarMarkerArrays(const void* first, CornerFormat format);

// The arrays OpenGL reads marker corners from, starting at first (in client
// memory, or an offset into the bound array buffer), as GL_C4UB_V3F lays
// them out.
void PointMarkerArrays(const void* first);

// The markers of these corners with flat shading, from client memory.
void DrawMarkers(const MarkerVertex* corners, const uint16_t* indices, size_t markers);

#endif
