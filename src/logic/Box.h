#ifndef CUBOMB_LOGIC_BOX_H
#define CUBOMB_LOGIC_BOX_H

// A box of cubes by index, x then y then z (z fastest), as the field and the
// replay file order them, and the cubes around one.

#include <cstddef>
#include <cstdint>

#include "support/Geometry.h"
#include "support/Sides.h"

struct Box {
    int sizeX = 0;
    int sizeY = 0;
    int sizeZ = 0;

    size_t Cubes() const { return static_cast<size_t>(sizeX) * sizeY * sizeZ; }
    bool Inside(const BlockPos& p) const {
        return p.x >= 0 && p.x < sizeX && p.y >= 0 && p.y < sizeY && p.z >= 0 && p.z < sizeZ;
    }
    size_t IndexOf(const BlockPos& p) const { return (static_cast<size_t>(p.x) * sizeY + p.y) * sizeZ + p.z; }
    BlockPos PositionOf(size_t index) const {
        const size_t column = index / sizeZ;
        return BlockPos(static_cast<int>(column / sizeY), static_cast<int>(column % sizeY), static_cast<int>(index % sizeZ));
    }
    // Calls visit with the index of each of the cube's neighbours inside the box.
    template <typename Visit>
    void ForEachNeighbour(size_t index, Visit visit) const {
        const BlockPos p = PositionOf(index);
        for (const BlockPos& d : kNeighbours) {
            const BlockPos q(p.x + d.x, p.y + d.y, p.z + d.z);
            if (Inside(q)) {
                visit(IndexOf(q));
            }
        }
    }
};

#endif
