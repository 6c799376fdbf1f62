#ifndef CUBOMB_MINEFIELD_MINEWORLD_H
#define CUBOMB_MINEFIELD_MINEWORLD_H

// The minefield with its drawing: the block textures loaded at construction,
// the field's merged faces through the quad draw buffer, and a small coloured
// tetrahedron in every uncovered cube that has mined neighbours. Needs the
// OpenGL context and the texture states to exist before it is built.

#include <cstdint>
#include <vector>

#include "minefield/MineField.h"
#include "quads/QuadDrawBuffer.h"
#include "textures/TexDict.h"

// One corner of a count marker, laid out as OpenGL's GL_C3F_V3F arrays read it.
struct MarkerVertex {
    float r, g, b;
    float x, y, z;
};

// The four triangles of the marker for a count, in drawing order; none for 0.
void AppendMarker(const BlockPos& pos, uint8_t count, std::vector<MarkerVertex>& out);

class MineWorld : public MineField {
public:
    MineWorld();

    // The faces, then the markers; leaves depth testing on and 2D texturing off.
    void Render();
    void RenderFaces();
    void RenderMarkers();
    static void RenderNum(const BlockPos& pos, uint8_t count);
    // Thin black lines along the cube's twelve edges, hidden where other cubes stand in front.
    static void RenderOutline(const BlockPos& cube);

private:
    QuadDrawBuffer drawBuffer;
    TexDict texDict;
    std::vector<MarkerVertex> markerVertices;  // one slice of markers at a time
};

#endif
