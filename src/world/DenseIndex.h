#ifndef CUBOMB_WORLD_DENSEINDEX_H
#define CUBOMB_WORLD_DENSEINDEX_H

// A slot for every position of a box, in x, y, z order, holding the block
// world's record there and a copy of what it holds, so that finding a record
// or reading a neighbour's faces costs one memory access.
//
// Invariant, whenever the block world is not inside a batch: for every
// position p of the box, the slot's record is the map's record at p (the
// map's end where there is none), and the slot's copy equals what that record
// holds (an empty record where there is none). Inside a batch the copies stay
// exact, while the map may lag behind them until RestoreRecords.
//
// The index is empty when the box holds too many positions to be worth it.

#include <cstdint>
#include <vector>

#include "world/BlockRecord.h"

class DenseIndex {
public:
    struct Slot {
        BlockRecords::iterator record;
        BlockRecord block;
    };

    // Every slot of the box empty, records at none.
    void Build(const BlockRect& box, BlockRecords::iterator none);
    bool Empty() const { return slots.empty(); }
    size_t Size() const { return slots.size(); }
    // False for a position outside the box, or when nothing is indexed.
    bool SlotOf(const BlockPos& pos, size_t& slot) const {
        const uint64_t x = uint64_t(int64_t(pos.x) - box.low.x);
        const uint64_t y = uint64_t(int64_t(pos.y) - box.low.y);
        const uint64_t z = uint64_t(int64_t(pos.z) - box.low.z);
        if (slots.empty() || x >= uint64_t(extent[0]) || y >= uint64_t(extent[1]) || z >= uint64_t(extent[2])) {
            return false;
        }
        slot = static_cast<size_t>((x * extent[1] + y) * extent[2] + z);
        return true;
    }
    Slot& operator[](size_t slot) { return slots[slot]; }
    const Slot& operator[](size_t slot) const { return slots[slot]; }
    int64_t Extent(int axis) const { return extent[axis]; }

    // The texture of each face of the side visible in the plane (0 where none
    // shows), row by row from the box's low corner, read from the copies.
    void VisibleFaces(int side, int plane, std::vector<int16_t>& cells) const;
    // Makes the map hold exactly the copies that hold anything, in position order.
    void RestoreRecords(BlockRecords& records);

private:
    BlockRect box{BlockPos(0, 0, 0), BlockPos(-1, -1, -1)};
    int64_t extent[3] = {0, 0, 0};
    std::vector<Slot> slots;
};

#endif
