#include "world/DenseIndex.h"

#include <algorithm>
#include <cstring>

#include "support/Sides.h"

namespace {

// Beyond this many positions the index would cost more memory than it saves time.
constexpr int64_t kMostIndexedPositions = int64_t(1) << 25;

int64_t Span(int32_t low, int32_t high) {
    return high < low ? 0 : int64_t(high) - low + 1;
}

}  // namespace

void DenseIndex::Build(const BlockRect& bounds, BlockRecords::iterator none) {
    box = bounds;
    extent[0] = Span(box.low.x, box.high.x);
    extent[1] = Span(box.low.y, box.high.y);
    extent[2] = Span(box.low.z, box.high.z);
    const int64_t positions = extent[0] * extent[1] * extent[2];
    records.clear();
    copies.clear();
    looks.clear();
    noted.clear();
    changed = {};
    if (positions <= kMostIndexedPositions) {
        records.assign(static_cast<size_t>(positions), none);
        copies.assign(static_cast<size_t>(positions), BlockRecord());
        looks.assign(static_cast<size_t>(positions), 0);
        noted.assign(static_cast<size_t>(positions), false);
    }
    records.shrink_to_fit();
    copies.shrink_to_fit();
    looks.shrink_to_fit();
}

// A face shows unless the cube across it, inside the box, has a face that touches it.
void DenseIndex::VisibleFaces(int axis, int64_t firstLayer, int64_t count, Faces& lowSides, Faces& highSides) const {
    const int lowSide = SideAcross(axis, -1), highSide = SideAcross(axis, +1);
    const int u = kSides[lowSide].u, v = kSides[lowSide].v;
    const int64_t width = extent[u], area = extent[u] * extent[v];
    for (Faces* faces : {&lowSides, &highSides}) {
        faces->cells.assign(static_cast<size_t>(count * area), 0);
        faces->rows.assign(static_cast<size_t>(count * extent[v]), 0);
    }
    const int64_t stride[3] = {extent[1] * extent[2], extent[2], 1};
    int64_t from[3] = {0, 0, 0}, to[3] = {extent[0], extent[1], extent[2]};
    from[axis] = std::max<int64_t>(firstLayer, 0);
    to[axis] = std::min(firstLayer + count, extent[axis]);
    int64_t at[3];
    for (at[0] = from[0]; at[0] < to[0]; ++at[0]) {
        for (at[1] = from[1]; at[1] < to[1]; ++at[1]) {
            const size_t column = static_cast<size_t>(at[0] * stride[0] + at[1] * stride[1]);
            const size_t end = column + static_cast<size_t>(to[2]);
            for (size_t slot = NextShowing(column + static_cast<size_t>(from[2]), end); slot < end;
                 slot = NextShowing(slot + 1, end)) {
                at[2] = static_cast<int64_t>(slot - column);
                const size_t row = static_cast<size_t>((at[axis] - firstLayer) * extent[v] + at[v]);
                const size_t cell = row * static_cast<size_t>(width) + static_cast<size_t>(at[u]);
                const int low = Face(slot, lowSide), high = Face(slot, highSide);
                if (low != 0 && (at[axis] == 0 || Face(slot - stride[axis], highSide) == 0)) {
                    lowSides.cells[cell] = static_cast<int16_t>(low);
                    lowSides.rows[row] = 1;
                }
                if (high != 0 && (at[axis] + 1 == extent[axis] || Face(slot + stride[axis], lowSide) == 0)) {
                    highSides.cells[cell] = static_cast<int16_t>(high);
                    highSides.rows[row] = 1;
                }
            }
        }
    }
}

// Most slots of a flooded box show nothing: eight at a time pass quicker.
size_t DenseIndex::NextShowing(size_t slot, size_t end) const {
    uint64_t eight = 0;
    while (slot + 8 <= end && (std::memcpy(&eight, &looks[slot], sizeof eight), eight == 0)) {
        slot += 8;
    }
    while (slot < end && looks[slot] == 0) {
        ++slot;
    }
    return slot;
}

// A few slots are found in the map one by one; many, in one walk.
void DenseIndex::RestoreChanged(BlockRecords& map) {
    if (changed.size() * 8 >= copies.size()) {
        RestoreRecords(map);
    } else {
        for (const size_t slot : changed) {
            BlockRecords::iterator& record = records[slot];
            const BlockRecord& copy = copies[slot];
            if (record == map.end() && !copy.Empty()) {
                record = map.emplace(PositionOf(slot), copy).first;
            } else if (record != map.end() && copy.Empty()) {
                map.erase(record);
                record = map.end();
            } else if (record != map.end()) {
                record->second = copy;
            }
        }
    }
    for (const size_t slot : changed) {
        noted[slot] = false;
    }
    changed = {};
}

// The records are brought in step with the copies in one walk. Where most
// are to go, clearing and putting back the few that stay is cheaper.
void DenseIndex::RestoreRecords(BlockRecords& map) {
    size_t going = 0;
    for (size_t slot = 0; slot < copies.size(); ++slot) {
        going += records[slot] != map.end() && copies[slot].Empty();
    }
    const bool rebuild = going * 4 > map.size();
    if (rebuild) {
        map.clear();
    }
    auto next = map.begin();  // the first record after the position reached
    size_t slot = 0;
    BlockPos pos;
    for (pos.x = box.low.x; pos.x <= box.high.x; ++pos.x) {
        for (pos.y = box.low.y; pos.y <= box.high.y; ++pos.y) {
            for (pos.z = box.low.z; pos.z <= box.high.z; ++pos.z, ++slot) {
                BlockRecords::iterator& record = records[slot];
                if (!rebuild && record != map.end()) {
                    next = std::next(record);
                    copies[slot].Empty() ? void(map.erase(record)) : void(record->second = copies[slot]);
                    record = copies[slot].Empty() ? map.end() : record;
                } else {
                    record = copies[slot].Empty() ? map.end() : map.emplace_hint(next, pos, copies[slot]);
                }
            }
        }
    }
}
