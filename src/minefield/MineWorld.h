#ifndef CUBOMB_MINEFIELD_MINEWORLD_H
#define CUBOMB_MINEFIELD_MINEWORLD_H

// The minefield with its drawing: the block textures loaded at construction,
// the field's merged faces through the quad draw buffer, and a small coloured
// tetrahedron in every uncovered cube that has mined neighbours. Needs the
// OpenGL context and the texture states to exist before it is built.

#include <cstdint>

#include "minefield/MineField.h"
#include "quads/QuadDrawBuffer.h"
#include "textures/TexDict.h"

class MineWorld : public MineField {
public:
    MineWorld();

    // Leaves depth testing on and 2D texturing off.
    void Render();
    static void RenderNum(const BlockPos& pos, uint8_t count);

private:
    QuadDrawBuffer drawBuffer;
    TexDict texDict;
};

#endif
