#ifndef CUBOMB_MINEFIELD_MINEWORLD_H
#define CUBOMB_MINEFIELD_MINEWORLD_H

// The minefield with its drawing: the block textures loaded at construction,
// the field's merged faces, and a small coloured tetrahedron in every
// uncovered cube that has mined neighbours. A frame draws them region by
// region from buffers kept on the card; the plain way sends every face and
// marker anew. Needs the OpenGL context and the texture states to exist
// before it is built.

#include <cstdint>
#include <vector>

#include "minefield/MineField.h"
#include "quads/QuadDrawBuffer.h"
#include "render/FieldRegions.h"
#include "render/Markers.h"
#include "render/RegionDrawer.h"
#include "textures/TexDict.h"

class MineWorld : public MineField {
public:
    MineWorld();

    MineWorld(const MineWorld&) = delete;
    MineWorld& operator=(const MineWorld&) = delete;

    // The faces, then the markers; leaves depth testing on and 2D texturing off.
    void Render();
    // The same picture sent plainly: every face through the quad draw buffer, every marker's triangles.
    void RenderPlain();
    void RenderFaces();
    void RenderMarkers();
    RegionDrawer& Drawer() { return drawer; }
    // The field's cut, with the markers of the layer it changes drawn anew.
    bool CutDeeper(const Vector& look);
    bool CutShallower();
    static void RenderNum(const BlockPos& pos, uint8_t count);
    // Thin black lines along the cube's twelve edges, hidden where other cubes stand in front.
    static void RenderOutline(const BlockPos& cube);
    // Thinner lines in the marker's colour, a little further out, around the
    // covered neighbours its count speaks of.
    void RenderCoveredAround(const BlockPos& marker) const;

private:
    QuadDrawBuffer drawBuffer;
    TexDict texDict;
    std::vector<MarkerVertex> markerVertices;  // one slice of markers at a time
    FieldRegions regions{World(), [this](const BlockRect& box, std::vector<uint8_t>& out) { ShownCounts(box, out); }};
    RegionDrawer drawer;
};

#endif
