#ifndef CUBOMB_WORLD_DENSEINDEX_H
#define CUBOMB_WORLD_DENSEINDEX_H

// The block world's records of a box, one byte a position in x, y, z order:
// nothing, a whole solid cube of one texture (how the field's cubes always
// are), or a mark that the record lies in a small map beside it because its
// faces differ. Finding a record or a neighbour's face costs one memory
// access, and a flooded box's empty space is read eight positions at a time.
//
// The store is empty when the box holds too many positions to be worth it.

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "world/BlockRecord.h"

class DenseIndex {
public:
    // Every position of the box without a record.
    void Build(const BlockRect& box);
    bool Empty() const { return looks.empty(); }
    size_t Size() const { return looks.size(); }
    // The positions that hold a record.
    size_t Records() const { return records; }
    // False for a position outside the box, or when nothing is stored.
    bool SlotOf(const BlockPos& pos, size_t& slot) const {
        const uint64_t x = uint64_t(int64_t(pos.x) - box.low.x);
        const uint64_t y = uint64_t(int64_t(pos.y) - box.low.y);
        const uint64_t z = uint64_t(int64_t(pos.z) - box.low.z);
        if (looks.empty() || x >= uint64_t(extent[0]) || y >= uint64_t(extent[1]) || z >= uint64_t(extent[2])) {
            return false;
        }
        slot = static_cast<size_t>((x * extent[1] + y) * extent[2] + z);
        return true;
    }
    BlockRecord Get(size_t slot) const;
    bool Holds(size_t slot) const { return looks[slot] != 0; }
    int Face(size_t slot, int side) const { return looks[slot] != kMixed ? looks[slot] : mixed.at(slot).sideTexture[side - 1]; }
    bool Solid(size_t slot) const { return looks[slot] != kMixed ? looks[slot] != 0 : mixed.at(slot).solid; }
    // The texture of all six faces, or -1 where a record in the map holds them.
    int Look(size_t slot) const { return looks[slot] != kMixed ? looks[slot] : -1; }
    // Whether all six faces have a texture: such a cube hides every face
    // that touches it and shows all of its own that meet none.
    bool Closed(size_t slot) const {
        if (looks[slot] != kMixed) {
            return looks[slot] != 0;
        }
        const BlockRecord& block = mixed.at(slot);
        return std::all_of(block.sideTexture, block.sideTexture + 6, [](int16_t t) { return t != 0; });
    }
    void Set(size_t slot, const BlockRecord& block);
    // A whole cube: every face the texture, solid when it is not 0. A flood
    // sets a million, so a texture that fits a look takes no call.
    void SetCube(size_t slot, int texture) {
        if (texture >= 0 && texture < kMixed) {
            SetLook(slot, static_cast<uint8_t>(texture));
        } else {
            SetWideCube(slot, texture);
        }
    }
    void SetFace(size_t slot, int side, int texture);
    // The slots from first on that the bits of run mark, each emptied as
    // SetCube(slot, 0) empties it: a flood empties rows of them.
    void EmptyRun(size_t first, uint64_t run) {
        for (; run != 0; run &= run - 1) {
            SetLook(first + static_cast<size_t>(__builtin_ctzll(run)), 0);
        }
    }
    int64_t Extent(int axis) const { return extent[axis]; }
    BlockPos PositionOf(size_t slot) const {
        const size_t column = slot / static_cast<size_t>(extent[2]);
        return BlockPos(box.low.x + static_cast<int32_t>(column / static_cast<size_t>(extent[1])),
                        box.low.y + static_cast<int32_t>(column % static_cast<size_t>(extent[1])),
                        box.low.z + static_cast<int32_t>(slot % static_cast<size_t>(extent[2])));
    }
    // The first slot from slot on, before end, that holds a record; end if none.
    size_t NextShowing(size_t slot, size_t end) const;

    // For count layers of cubes across the axis from firstLayer (counted from
    // the box's low corner), the texture of each face visible on their low
    // side and on their high side (0 where none shows): layer after layer,
    // each row by row from the box's low corner. Layers beyond the box show
    // nothing. The cells must come in all 0, as a sweep that takes every
    // face leaves them: clearing them took a tenth of a flood's sweep.
    struct Faces {
        std::vector<int16_t> cells;
        std::vector<uint64_t> occupied;  // per row of each layer, a bit for each cell with a face, as a sweep reads them
    };
    void VisibleFaces(int axis, int64_t firstLayer, int64_t count, Faces& lowSides, Faces& highSides) const;

private:
    static constexpr uint8_t kMixed = 255;
    static uint8_t LookOf(const BlockRecord& block);
    struct FaceReader;
    void SetLook(size_t slot, uint8_t look) {
        records += (look != 0) - (looks[slot] != 0);
        if (looks[slot] == kMixed && look != kMixed) {
            mixed.erase(slot);
        }
        looks[slot] = look;
    }
    // A cube whose texture no look holds, kept in the map.
    void SetWideCube(size_t slot, int texture);

    BlockRect box{BlockPos(0, 0, 0), BlockPos(-1, -1, -1)};
    int64_t extent[3] = {0, 0, 0};
    std::vector<uint8_t> looks;
    std::unordered_map<size_t, BlockRecord> mixed;
    size_t records = 0;
};

#endif
