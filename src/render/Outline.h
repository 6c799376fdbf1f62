#ifndef CUBOMB_RENDER_OUTLINE_H
#define CUBOMB_RENDER_OUTLINE_H

// Lines along a cube's twelve edges, gap units outside it so that its own
// faces never hide them; depth-tested, so cubes in front hide them.

#include "support/Geometry.h"

struct LineStyle {
    float rgb[3];
    float width;  // in pixels
    float gap;    // in world units
};

void DrawCubeOutline(const BlockPos& cube, const LineStyle& style);

#endif
