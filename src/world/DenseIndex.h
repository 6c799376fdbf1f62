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

#include <algorithm>
#include <cstdint>
#include <vector>

#include "world/BlockRecord.h"

class DenseIndex {
public:

    // Every slot of the box empty, records at none.
    void Build(const BlockRect& box, BlockRecords::iterator none);
    bool Empty() const { return copies.empty(); }
    size_t Size() const { return copies.size(); }
    // False for a position outside the box, or when nothing is indexed.
    bool SlotOf(const BlockPos& pos, size_t& slot) const {
        const uint64_t x = uint64_t(int64_t(pos.x) - box.low.x);
        const uint64_t y = uint64_t(int64_t(pos.y) - box.low.y);
        const uint64_t z = uint64_t(int64_t(pos.z) - box.low.z);
        if (copies.empty() || x >= uint64_t(extent[0]) || y >= uint64_t(extent[1]) || z >= uint64_t(extent[2])) {
            return false;
        }
        slot = static_cast<size_t>((x * extent[1] + y) * extent[2] + z);
        return true;
    }
    BlockRecords::iterator& Record(size_t slot) { return records[slot]; }
    const BlockRecord& Copy(size_t slot) const { return copies[slot]; }
    void SetCopy(size_t slot, const BlockRecord& block) {
        copies[slot] = block;
        looks[slot] = LookOf(block);
    }
    // Changes to the copy alone, ahead of the map: the slot is noted for
    // RestoreChanged. Every face shows the texture, solid when it is not 0.
    void SetCube(size_t slot, int texture) {
        Note(slot);
        std::fill_n(copies[slot].sideTexture, 6, static_cast<int16_t>(texture));
        copies[slot].solid = texture != 0;
        looks[slot] = LookOf(copies[slot]);
    }
    void SetFace(size_t slot, int side, int texture) {
        Note(slot);
        copies[slot].sideTexture[side - 1] = static_cast<int16_t>(texture);
        looks[slot] = LookOf(copies[slot]);
    }
    int64_t Extent(int axis) const { return extent[axis]; }

    // For count layers of cubes across the axis from firstLayer (counted from
    // the box's low corner), the texture of each face visible on their low
    // side and on their high side (0 where none shows): layer after layer,
    // each row by row from the box's low corner. Read from the copies in
    // memory order; layers beyond the box show nothing.
    struct Faces {
        std::vector<int16_t> cells;
        std::vector<uint8_t> rows;  // per row of each layer: whether any face shows in it
    };
    void VisibleFaces(int axis, int64_t firstLayer, int64_t count, Faces& lowSides, Faces& highSides) const;
    // Makes the map hold exactly the copies that hold anything, in position
    // order. The map holds nothing outside the box.
    void RestoreRecords(BlockRecords& map);
    // The same where only the noted slots' copies went ahead of the map.
    void RestoreChanged(BlockRecords& map);

private:
    // One byte for what a copy's faces show: the texture of all six where
    // they agree and it fits, kMixed otherwise.
    static constexpr uint8_t kMixed = 255;
    static uint8_t LookOf(const BlockRecord& block) {
        const int16_t first = block.sideTexture[0];
        for (const int16_t texture : block.sideTexture) {
            if (texture != first) {
                return kMixed;
            }
        }
        return first >= 0 && first < kMixed ? static_cast<uint8_t>(first) : kMixed;
    }
    // The first slot from slot on, before end, whose faces show anything; end if none.
    size_t NextShowing(size_t slot, size_t end) const;
    int Face(size_t slot, int side) const { return looks[slot] != kMixed ? looks[slot] : copies[slot].sideTexture[side - 1]; }
    BlockPos PositionOf(size_t slot) const {
        const size_t column = slot / static_cast<size_t>(extent[2]);
        return BlockPos(box.low.x + static_cast<int32_t>(column / static_cast<size_t>(extent[1])),
                        box.low.y + static_cast<int32_t>(column % static_cast<size_t>(extent[1])),
                        box.low.z + static_cast<int32_t>(slot % static_cast<size_t>(extent[2])));
    }
    void Note(size_t slot) {
        if (!noted[slot]) {
            noted[slot] = true;
            changed.push_back(slot);
        }
    }

    BlockRect box{BlockPos(0, 0, 0), BlockPos(-1, -1, -1)};
    int64_t extent[3] = {0, 0, 0};
    // Apart, so that reading the faces of many slots reads little else.
    std::vector<BlockRecords::iterator> records;
    std::vector<BlockRecord> copies;
    std::vector<uint8_t> looks;
    std::vector<bool> noted;
    std::vector<size_t> changed;  // the noted slots
};

#endif
