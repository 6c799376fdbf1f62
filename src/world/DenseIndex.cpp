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

void DenseIndex::Build(const BlockRect& bounds) {
    box = bounds;
    extent[0] = Span(box.low.x, box.high.x);
    extent[1] = Span(box.low.y, box.high.y);
    extent[2] = Span(box.low.z, box.high.z);
    const int64_t positions = extent[0] * extent[1] * extent[2];
    looks.clear();
    mixed.clear();
    records = 0;
    if (positions <= kMostIndexedPositions) {
        looks.assign(static_cast<size_t>(positions), 0);
    }
    looks.shrink_to_fit();
}

// A whole cube of a texture that fits a byte is its texture; nothing is 0.
uint8_t DenseIndex::LookOf(const BlockRecord& block) {
    if (block.Empty()) {
        return 0;
    }
    const int16_t first = block.sideTexture[0];
    for (const int16_t texture : block.sideTexture) {
        if (texture != first) {
            return kMixed;
        }
    }
    return block.solid && first > 0 && first < kMixed ? static_cast<uint8_t>(first) : kMixed;
}

BlockRecord DenseIndex::Get(size_t slot) const {
    const uint8_t look = looks[slot];
    if (look == kMixed) {
        return mixed.at(slot);
    }
    BlockRecord block;
    std::fill_n(block.sideTexture, 6, static_cast<int16_t>(look));
    block.solid = look != 0;
    return block;
}

void DenseIndex::SetLook(size_t slot, uint8_t look) {
    records += (look != 0) - (looks[slot] != 0);
    if (looks[slot] == kMixed && look != kMixed) {
        mixed.erase(slot);
    }
    looks[slot] = look;
}

void DenseIndex::Set(size_t slot, const BlockRecord& block) {
    const uint8_t look = LookOf(block);
    SetLook(slot, look);
    if (look == kMixed) {
        mixed[slot] = block;
    }
}

void DenseIndex::SetCube(size_t slot, int texture) {
    if (texture >= 0 && texture < kMixed) {
        SetLook(slot, static_cast<uint8_t>(texture));
        return;
    }
    BlockRecord block;
    std::fill_n(block.sideTexture, 6, static_cast<int16_t>(texture));
    block.solid = texture != 0;
    Set(slot, block);
}

void DenseIndex::SetFace(size_t slot, int side, int texture) {
    BlockRecord block = Get(slot);
    block.sideTexture[side - 1] = static_cast<int16_t>(texture);
    Set(slot, block);
}

// A face shows unless the cube across it, inside the box, has a face that touches it.
void DenseIndex::VisibleFaces(int axis, int64_t firstLayer, int64_t count, Faces& lowSides, Faces& highSides) const {
    const int lowSide = SideAcross(axis, -1), highSide = SideAcross(axis, +1);
    const int u = kSides[lowSide].u, v = kSides[lowSide].v;
    const int64_t width = extent[u], area = extent[u] * extent[v], words = RowWords(width);
    // Cleared as bytes: filling 16-bit cells one by one took a tenth of a big sweep.
    for (Faces* faces : {&lowSides, &highSides}) {
        faces->cells.resize(static_cast<size_t>(count * area));
        std::memset(faces->cells.data(), 0, faces->cells.size() * sizeof(int16_t));
        faces->occupied.assign(static_cast<size_t>(count * extent[v] * words), 0);
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
            // Where eight slots and the eight on either side of them along the axis all lie in the box.
            const bool across = axis == 2 || (at[axis] > 0 && at[axis] + 1 < extent[axis]);
            const size_t windowsFrom = axis == 2 ? column + 1 : column;
            const size_t windowsTo = !across ? 0 : (axis == 2 ? column + static_cast<size_t>(extent[2]) - 1 : end);
            const size_t step = static_cast<size_t>(stride[axis]);
            for (size_t slot = NextFacing(column + static_cast<size_t>(from[2]), end, step, windowsFrom, windowsTo); slot < end;
                 slot = NextFacing(slot + 1, end, step, windowsFrom, windowsTo)) {
                at[2] = static_cast<int64_t>(slot - column);
                const size_t row = static_cast<size_t>((at[axis] - firstLayer) * extent[v] + at[v]);
                const size_t cell = row * static_cast<size_t>(width) + static_cast<size_t>(at[u]);
                const size_t word = row * static_cast<size_t>(words) + static_cast<size_t>(at[u] / 64);
                const uint64_t bit = uint64_t(1) << (at[u] % 64);
                const int low = Face(slot, lowSide), high = Face(slot, highSide);
                if (low != 0 && (at[axis] == 0 || Face(slot - stride[axis], highSide) == 0)) {
                    lowSides.cells[cell] = static_cast<int16_t>(low);
                    lowSides.occupied[word] |= bit;
                }
                if (high != 0 && (at[axis] + 1 == extent[axis] || Face(slot + stride[axis], lowSide) == 0)) {
                    highSides.cells[cell] = static_cast<int16_t>(high);
                    highSides.occupied[word] |= bit;
                }
            }
        }
    }
}

namespace {

constexpr uint64_t kLowBits = 0x7F7F7F7F7F7F7F7Full;
constexpr uint64_t kHighBits = 0x8080808080808080ull;

// The high bit of every byte of x that is 0.
uint64_t ZeroBytes(uint64_t x) {
    return ~(((x & kLowBits) + kLowBits) | x | kLowBits);
}

uint64_t EightBytes(const uint8_t* bytes) {
    uint64_t eight = 0;
    std::memcpy(&eight, bytes, sizeof eight);
    return eight;
}

}  // namespace

// A full box shows faces only at its sides, a flooded one mostly nothing:
// eight slots at a time pass while none of them is mixed and each is empty
// or has records on both sides along the axis.
size_t DenseIndex::NextFacing(size_t slot, size_t end, size_t stride, size_t windowsFrom, size_t windowsTo) const {
    while (slot >= windowsFrom && slot + 8 <= std::min(end, windowsTo)) {
        const uint64_t here = EightBytes(&looks[slot]);
        const uint64_t open = ZeroBytes(EightBytes(&looks[slot - stride])) | ZeroBytes(EightBytes(&looks[slot + stride]));
        if (ZeroBytes(~here) != 0 || (~ZeroBytes(here) & open & kHighBits) != 0) {
            break;
        }
        slot += 8;
    }
    return NextShowing(slot, end);
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

