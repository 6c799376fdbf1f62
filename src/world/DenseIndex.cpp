#include "world/DenseIndex.h"

#include <algorithm>
#include <cstring>

#include "quads/QuadAlgorithm.h"
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

void DenseIndex::Set(size_t slot, const BlockRecord& block) {
    const uint8_t look = LookOf(block);
    SetLook(slot, look);
    if (look == kMixed) {
        mixed[slot] = block;
    }
}

void DenseIndex::SetWideCube(size_t slot, int texture) {
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

// Eight slots read as one number hold the first in its lowest byte.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "slots are read eight at a time, lowest first");

}  // namespace

// The faces the slots of one column along z show across the axis, written
// into the layers of faces VisibleFaces fills.
struct DenseIndex::FaceReader {
    FaceReader(const DenseIndex& index, int axis, int64_t firstLayer, Faces& lowSides, Faces& highSides)
        : index(index), axis(axis), lowSide(SideAcross(axis, -1)), highSide(SideAcross(axis, +1)),
          u(kSides[lowSide].u), v(kSides[lowSide].v), firstLayer(firstLayer), width(index.extent[u]),
          words(QuadAlgorithm::RowWords(width)), step(axis == 0 ? index.extent[1] * index.extent[2] : (axis == 1 ? index.extent[2] : 1)),
          lowSides(lowSides), highSides(highSides) {}

    // From slot to before end; eight at a time from windowsFrom to windowsTo,
    // where the slots across the axis lie in the box.
    void Column(size_t slot, size_t end, size_t windowsFrom, size_t windowsTo) {
        while (slot < end) {
            if (slot + 8 <= end) {
                const uint64_t here = EightBytes(&index.looks[slot]);
                if (here == 0) {
                    slot += 8;
                    continue;
                }
                if (slot >= windowsFrom && slot + 8 <= windowsTo && Eight(slot, here)) {
                    slot += 8;
                    continue;
                }
            }
            if (index.looks[slot] != 0) {
                One(slot);
            }
            ++slot;
        }
    }

    // Where none of the eight nor their neighbours is mixed, a face is the
    // slot's look and shows where the neighbour's look is 0. False, showing
    // nothing, otherwise.
    bool Eight(size_t slot, uint64_t here) {
        const uint64_t below = EightBytes(&index.looks[slot - static_cast<size_t>(step)]);
        const uint64_t above = EightBytes(&index.looks[slot + static_cast<size_t>(step)]);
        if ((ZeroBytes(~here) | ZeroBytes(~below) | ZeroBytes(~above)) != 0) {
            return false;
        }
        const uint64_t solid = ~ZeroBytes(here) & kHighBits;
        const uint64_t low = solid & ZeroBytes(below), high = solid & ZeroBytes(above);
        for (uint64_t bits = low | high; bits != 0; bits &= bits - 1) {
            const int byte = __builtin_ctzll(bits) / 8;
            const uint64_t mark = uint64_t(0x80) << (8 * byte);
            const int look = index.looks[slot + static_cast<size_t>(byte)];
            Show(slot + static_cast<size_t>(byte), (low & mark) != 0 ? look : 0, (high & mark) != 0 ? look : 0);
        }
        return true;
    }

    // A face shows unless the cube across it, inside the box, has a face that touches it.
    void One(size_t slot) {
        const int64_t layer = axis == 2 ? static_cast<int64_t>(slot - column) : at[axis];
        const size_t across = static_cast<size_t>(step);
        const bool lowOpen = layer == 0 || index.Face(slot - across, highSide) == 0;
        const bool highOpen = layer + 1 == index.extent[axis] || index.Face(slot + across, lowSide) == 0;
        Show(slot, lowOpen ? index.Face(slot, lowSide) : 0, highOpen ? index.Face(slot, highSide) : 0);
    }

    // The textures of the slot's low and high faces that show, 0 for none.
    void Show(size_t slot, int low, int high) {
        at[2] = static_cast<int64_t>(slot - column);
        const size_t row = static_cast<size_t>((at[axis] - firstLayer) * index.extent[v] + at[v]);
        const size_t cell = row * static_cast<size_t>(width) + static_cast<size_t>(at[u]);
        const size_t word = row * static_cast<size_t>(words) + static_cast<size_t>(at[u] / 64);
        const uint64_t bit = uint64_t(1) << (at[u] % 64);
        if (low != 0) {
            lowSides.cells[cell] = static_cast<int16_t>(low);
            lowSides.occupied[word] |= bit;
        }
        if (high != 0) {
            highSides.cells[cell] = static_cast<int16_t>(high);
            highSides.occupied[word] |= bit;
        }
    }

    const DenseIndex& index;
    const int axis, lowSide, highSide, u, v;
    const int64_t firstLayer, width, words, step;
    Faces& lowSides;
    Faces& highSides;
    int64_t at[3] = {0, 0, 0};  // the column's x and y, and the slot's z once shown
    size_t column = 0;          // the column's first slot
};

// A full box shows faces only at its sides, a flooded one mostly nothing: a
// column's slots are read eight at a time where they can be.
void DenseIndex::VisibleFaces(int axis, int64_t firstLayer, int64_t count, Faces& lowSides, Faces& highSides) const {
    FaceReader reader(*this, axis, firstLayer, lowSides, highSides);
    const int64_t area = reader.width * extent[reader.v];
    for (Faces* faces : {&lowSides, &highSides}) {
        faces->cells.resize(static_cast<size_t>(count * area));
        faces->occupied.assign(static_cast<size_t>(count * extent[reader.v] * reader.words), 0);
    }
    int64_t from[3] = {0, 0, 0}, to[3] = {extent[0], extent[1], extent[2]};
    from[axis] = std::max<int64_t>(firstLayer, 0);
    to[axis] = std::min(firstLayer + count, extent[axis]);
    int64_t* const at = reader.at;
    for (at[0] = from[0]; at[0] < to[0]; ++at[0]) {
        for (at[1] = from[1]; at[1] < to[1]; ++at[1]) {
            reader.column = static_cast<size_t>((at[0] * extent[1] + at[1]) * extent[2]);
            const size_t column = reader.column, end = column + static_cast<size_t>(to[2]);
            const bool across = axis == 2 || (at[axis] > 0 && at[axis] + 1 < extent[axis]);
            const size_t windowsFrom = axis == 2 ? column + 1 : column;
            const size_t windowsTo = !across ? 0 : (axis == 2 ? column + static_cast<size_t>(extent[2]) - 1 : end);
            reader.Column(column + static_cast<size_t>(from[2]), end, windowsFrom, windowsTo);
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

