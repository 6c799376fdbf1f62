#include "world/DenseIndex.h"

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
    slots.clear();
    if (positions <= kMostIndexedPositions) {
        slots.assign(static_cast<size_t>(positions), Slot{none, BlockRecord()});
    }
    slots.shrink_to_fit();
}

// The cubes of the plane's cells are stepped through by slot; a face shows
// unless the cube across it, inside the box, has a face that touches it.
void DenseIndex::VisibleFaces(int side, int plane, std::vector<int16_t>& cells) const {
    const Side& facts = kSides[side];
    const int64_t stride[3] = {extent[1] * extent[2], extent[2], 1};
    const int64_t layer = plane - (facts.sign > 0) - Coordinate(box.low, facts.axis);
    const bool across = layer + facts.sign >= 0 && layer + facts.sign < extent[facts.axis];
    const int64_t width = extent[facts.u];
    const int64_t height = extent[facts.v];
    cells.assign(static_cast<size_t>(width * height), 0);
    if (layer < 0 || layer >= extent[facts.axis]) {
        return;
    }
    const int64_t toAcross = facts.sign * stride[facts.axis];
    for (int64_t u = 0; u < width; ++u) {
        size_t slot = static_cast<size_t>(layer * stride[facts.axis] + u * stride[facts.u]);
        for (int64_t v = 0; v < height; ++v, slot += static_cast<size_t>(stride[facts.v])) {
            const int texture = slots[slot].block.sideTexture[side - 1];
            if (texture != 0 && (!across || slots[slot + toAcross].block.sideTexture[facts.opposite - 1] == 0)) {
                cells[static_cast<size_t>(v * width + u)] = static_cast<int16_t>(texture);
            }
        }
    }
}

// Putting back the records that hold anything, in order, costs less than
// erasing many one by one.
void DenseIndex::RestoreRecords(BlockRecords& records) {
    records.clear();
    size_t slot = 0;
    BlockPos pos;
    for (pos.x = box.low.x; pos.x <= box.high.x; ++pos.x) {
        for (pos.y = box.low.y; pos.y <= box.high.y; ++pos.y) {
            for (pos.z = box.low.z; pos.z <= box.high.z; ++pos.z, ++slot) {
                Slot& kept = slots[slot];
                kept.record = kept.block.Empty() ? records.end() : records.emplace_hint(records.end(), pos, kept.block);
            }
        }
    }
}
