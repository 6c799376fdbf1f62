#ifndef CUBOMB_WORLD_BLOCKRECORD_H
#define CUBOMB_WORLD_BLOCKRECORD_H

// What the block world keeps of one position, and its sparse map of them for
// positions beyond its dense store, walked in x, y, z order.

#include <cstdint>
#include <map>

#include "support/Geometry.h"

struct BlockRecord {
    int16_t sideTexture[6] = {0, 0, 0, 0, 0, 0};  // side i + 1; 0 is no face
    bool solid = false;                           // stops the picking ray

    bool Empty() const {
        for (const int16_t texture : sideTexture) {
            if (texture != 0) {
                return false;
            }
        }
        return !solid;
    }
};

using BlockRecords = std::map<BlockPos, BlockRecord>;

#endif
