#include "world/BlockWorld2.h"

#include "support/ProcessEnd.h"
#include "support/Sides.h"

bool BlockWorld2::Block::Empty() const {
    for (const int16_t texture : sideTexture) {
        if (texture != 0) {
            return false;
        }
    }
    return !solid;
}

// The merging structure exists from the start, so no call needs a guard.
BlockWorld2::BlockWorld2() : quadAlgorithm(std::make_unique<QuadAlgorithm>()) {}

void BlockWorld2::Initialize(const BlockRect& bounds, bool outsideSolid) {
    this->outsideSolid = outsideSolid;
    this->bounds = bounds;
    blocks.clear();
    batchOpen = false;
    emptied.clear();
    BuildIndex();
    quadAlgorithm = std::make_unique<QuadAlgorithm>();
}

namespace {

// Beyond this many positions the index would cost more memory than it saves time.
constexpr int64_t kMaxIndexedPositions = int64_t(1) << 25;

int64_t Extent(int32_t low, int32_t high) {
    return high < low ? 0 : int64_t(high) - low + 1;
}

}  // namespace

void BlockWorld2::BuildIndex() {
    const int64_t positions = Extent(bounds.low.x, bounds.high.x) * Extent(bounds.low.y, bounds.high.y) *
                              Extent(bounds.low.z, bounds.high.z);
    index.clear();
    if (positions <= kMaxIndexedPositions) {
        index.assign(static_cast<size_t>(positions), Slot{blocks.end(), Block()});
    }
    index.shrink_to_fit();
}

bool BlockWorld2::Indexed(const BlockPos& pos, size_t& slot) const {
    if (index.empty() || !BlockInBlockRect(pos, bounds)) {
        return false;
    }
    const int64_t sizeY = Extent(bounds.low.y, bounds.high.y);
    const int64_t sizeZ = Extent(bounds.low.z, bounds.high.z);
    slot = static_cast<size_t>(((int64_t(pos.x) - bounds.low.x) * sizeY + (int64_t(pos.y) - bounds.low.y)) * sizeZ +
                               (int64_t(pos.z) - bounds.low.z));
    return true;
}

BlockWorld2::Blocks::iterator BlockWorld2::Find(const BlockPos& pos) {
    size_t slot = 0;
    return Indexed(pos, slot) ? index[slot].record : blocks.find(pos);
}

BlockWorld2::Blocks::const_iterator BlockWorld2::Find(const BlockPos& pos) const {
    size_t slot = 0;
    return Indexed(pos, slot) ? Blocks::const_iterator(index[slot].record) : blocks.find(pos);
}

const BlockWorld2::Block& BlockWorld2::Look(const BlockPos& pos) const {
    static const Block kNoBlock;
    size_t slot = 0;
    if (Indexed(pos, slot)) {
        return index[slot].block;
    }
    const auto found = blocks.find(pos);
    return found == blocks.end() ? kNoBlock : found->second;
}

void BlockWorld2::Mirror(Blocks::iterator record) {
    size_t slot = 0;
    if (Indexed(record->first, slot)) {
        index[slot].block = record->second;
    }
}

// A new field arrives in position order, where the end is the right hint.
BlockWorld2::Blocks::iterator BlockWorld2::Insert(const BlockPos& pos) {
    const Blocks::iterator record = blocks.emplace_hint(blocks.end(), pos, Block());
    size_t slot = 0;
    if (Indexed(pos, slot)) {
        index[slot] = Slot{record, Block()};
    }
    return record;
}

void BlockWorld2::Erase(Blocks::iterator record) {
    if (batchOpen) {
        emptied.push_back(record->first);
        return;
    }
    size_t slot = 0;
    if (Indexed(record->first, slot)) {
        index[slot] = Slot{blocks.end(), Block()};
    }
    blocks.erase(record);
}

void BlockWorld2::EndBatch() {
    batchOpen = false;
    if (emptied.size() * 16 < blocks.size()) {
        for (const BlockPos& pos : emptied) {
            RemoveIfEmpty(pos);
        }
    } else {
        for (auto record = blocks.begin(); record != blocks.end();) {
            const auto next = std::next(record);
            if (record->second.Empty()) {
                Erase(record);
            }
            record = next;
        }
    }
    emptied.clear();
}

// One record lookup per cube; the faces are changed through it.
void BlockWorld2::ChangePos(const BlockPos& pos, int texture) {
    Blocks::iterator record = Find(pos);
    if (record == blocks.end() && texture == 0) {
        return;
    }
    if (record == blocks.end()) {
        record = Insert(pos);
    }
    record->second.solid = texture != 0;
    Mirror(record);
    for (int side = 1; side <= 6; ++side) {
        // An erased record has texture 0 on every remaining side: nothing more to change.
        if (record->second.sideTexture[side - 1] != texture && ChangeFace(record, texture, side)) {
            return;
        }
    }
}

void BlockWorld2::ChangeTexture(int texture, const BlockPos& pos, int side) {
    if (!IsSide(side)) {
        Fatal("Error: bad side (" + std::to_string(side) + ") passed to BlockWorld2::ChangeTexture");
    }
    ChangeTextureInternal(texture, pos, side);
}

void BlockWorld2::ChangeTextureInternal(int texture, const BlockPos& pos, int side) {
    Blocks::iterator record = Find(pos);
    const int old = record == blocks.end() ? 0 : record->second.sideTexture[side - 1];
    if (texture == old) {
        return;
    }
    if (record == blocks.end()) {
        record = Insert(pos);
    }
    ChangeFace(record, texture, side);
}

// Sets one face that changes, keeps the merging in step, and erases the record
// once it holds nothing; returns whether it was erased.
bool BlockWorld2::ChangeFace(Blocks::iterator record, int texture, int side) {
    const BlockPos pos = record->first;
    const int old = record->second.sideTexture[side - 1];
    const BlockPos adjPos = AdjBlock(pos, side);
    const int opp = OppSide(side);
    const int adj = TextureOfSide(adjPos, opp);
    if (adj != 0) {
        if (old != 0 && texture == 0) {
            AddQuad(adj, adjPos, opp);
        } else if (old == 0 && texture != 0) {
            RemoveQuad(adj, adjPos, opp);
        }
    } else {
        if (old != 0) {
            RemoveQuad(old, pos, side);
        }
        if (texture != 0) {
            AddQuad(texture, pos, side);
        }
    }
    record->second.sideTexture[side - 1] = static_cast<int16_t>(texture);
    Mirror(record);
    if (!record->second.Empty()) {
        return false;
    }
    Erase(record);
    return true;
}

bool BlockWorld2::IsPhysicallySolid(const BlockPos& pos) const {
    if (!BlockInBlockRect(pos, bounds)) {
        return outsideSolid;
    }
    return Look(pos).solid;
}

int BlockWorld2::TextureOfSide(const BlockPos& pos, int side) const {
    return Look(pos).sideTexture[side - 1];
}

int BlockWorld2::OppSide(int side) {
    if (!IsSide(side)) {
        Fatal("Error: bad side passed to BlockWorld2::OppSide");
    }
    return kSides[side].opposite;
}

BlockPos BlockWorld2::AdjBlock(const BlockPos& pos, int side) {
    return Across(pos, side);
}

int BlockWorld2::PlaneOfSide(const BlockPos& pos, int side) {
    if (!IsSide(side)) {
        Fatal("Error: bad side passed to BlockWorld2::PlaneOfSide");
    }
    return Coordinate(pos, kSides[side].axis) + (kSides[side].sign > 0);
}

void BlockWorld2::AddQuad(int texture, const BlockPos& pos, int side) {
    if (!quadsDisabled) {
        quadAlgorithm->AddQuad(texture, side, PlaneOfSide(pos, side), pos);
    }
}

void BlockWorld2::RemoveQuad(int texture, const BlockPos& pos, int side) {
    if (!quadsDisabled) {
        quadAlgorithm->RemoveQuad(texture, side, PlaneOfSide(pos, side), pos);
    }
}

void BlockWorld2::RemoveIfEmpty(const BlockPos& pos) {
    const auto found = Find(pos);
    if (found != blocks.end() && found->second.Empty()) {
        Erase(found);
    }
}

void BlockWorld2::QuickRender(QuadBuffer* buffer) const {
    if (!quadsDisabled) {
        quadAlgorithm->Draw(buffer);
    }
}

void BlockWorld2::SlowRender() const {
    for (const auto& [pos, block] : blocks) {
        if (block.solid) {
            DrawCube(pos.x, pos.y, pos.z);
        }
    }
}
