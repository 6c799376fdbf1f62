#include "world/BlockWorld2.h"

#include <algorithm>

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
BlockWorld2::BlockWorld2() : blocks(&pool), quadAlgorithm(std::make_unique<QuadAlgorithm>(&pool)) {}

void BlockWorld2::Initialize(const BlockRect& bounds, bool outsideSolid) {
    this->outsideSolid = outsideSolid;
    this->bounds = bounds;
    quadAlgorithm.reset();
    blocks.clear();
    batchOpen = false;
    eraseAll = false;
    outsideCubes = false;
    emptied = {};
    BuildIndex();
    quadAlgorithm = std::make_unique<QuadAlgorithm>(&pool);
    quadAlgorithm->SetObserver(observer);
    if (observer != nullptr) {
        observer->Reset();
    }
}

void BlockWorld2::SetObserver(Observer* watcher) {
    observer = watcher;
    quadAlgorithm->SetObserver(watcher);
    watcher->Reset();
}

namespace {

// Beyond this many positions the index would cost more memory than it saves time.
constexpr int64_t kMaxIndexedPositions = int64_t(1) << 25;

int64_t Extent(int32_t low, int32_t high) {
    return high < low ? 0 : int64_t(high) - low + 1;
}

}  // namespace

void BlockWorld2::BuildIndex() {
    extent[0] = Extent(bounds.low.x, bounds.high.x);
    extent[1] = Extent(bounds.low.y, bounds.high.y);
    extent[2] = Extent(bounds.low.z, bounds.high.z);
    const int64_t positions = extent[0] * extent[1] * extent[2];
    index.clear();
    if (positions <= kMaxIndexedPositions) {
        index.assign(static_cast<size_t>(positions), Slot{blocks.end(), Block()});
    }
    index.shrink_to_fit();
}

BlockWorld2::Blocks::iterator BlockWorld2::Find(const BlockPos& pos) {
    size_t slot = 0;
    return Indexed(pos, slot) ? index[slot].record : blocks.find(pos);
}

BlockWorld2::Blocks::const_iterator BlockWorld2::Find(const BlockPos& pos) const {
    size_t slot = 0;
    return Indexed(pos, slot) ? Blocks::const_iterator(index[slot].record) : blocks.find(pos);
}

const BlockWorld2::Block& BlockWorld2::LookUnindexed(const BlockPos& pos) const {
    static const Block kNoBlock;
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
    if (!BlockInBlockRect(pos, bounds)) {
        // A sweep sees only the bounds: what waits is applied, and waits no more.
        outsideCubes = true;
        ApplyPendingFaces();
    }
    return record;
}

// Once a batch has emptied a sixteenth of the records, one sweep over all of
// them at its end is cheaper than finding each, and needs no list.
void BlockWorld2::Erase(Blocks::iterator record) {
    if (batchOpen) {
        if (!eraseAll && (emptied.size() + 1) * 16 >= blocks.size()) {
            eraseAll = true;
            emptied = {};
        }
        if (!eraseAll) {
            emptied.push_back(record->first);
        }
        return;
    }
    size_t slot = 0;
    if (Indexed(record->first, slot)) {
        index[slot] = Slot{blocks.end(), Block()};
    }
    blocks.erase(record);
}

void BlockWorld2::BeginBatch() {
    batchOpen = true;
    const bool deferring = !index.empty() && !outsideCubes;
    for (int side = 1; side <= 6; ++side) {
        const Side& facts = kSides[side];
        pending[side - 1].assign(deferring ? extent[facts.axis] + 1 : 0, PlaneChanges());
        pendingBase[side - 1] = Coordinate(bounds.low, facts.axis) - (facts.sign > 0);
    }
}

// The emptied records go first, so that the merged faces the batch leaves can
// take their memory.
void BlockWorld2::EndBatch() {
    batchOpen = false;
    if (!eraseAll) {
        for (const BlockPos& pos : emptied) {
            RemoveIfEmpty(pos);
        }
    } else if (!index.empty() && !outsideCubes) {
        KeepIndexedRecords();
    } else {
        for (auto record = blocks.begin(); record != blocks.end();) {
            const auto next = std::next(record);
            if (record->second.Empty()) {
                Erase(record);
            }
            record = next;
        }
    }
    eraseAll = false;
    emptied = {};
    ApplyPendingFaces();
}

// Every record is in the index, with a copy of what it holds: putting back
// the ones that hold anything costs less than erasing many one by one.
void BlockWorld2::KeepIndexedRecords() {
    blocks.clear();
    size_t slot = 0;
    BlockPos pos;
    for (pos.x = bounds.low.x; pos.x <= bounds.high.x; ++pos.x) {
        for (pos.y = bounds.low.y; pos.y <= bounds.high.y; ++pos.y) {
            for (pos.z = bounds.low.z; pos.z <= bounds.high.z; ++pos.z, ++slot) {
                Slot& kept = index[slot];
                kept.record = kept.block.Empty() ? blocks.end() : blocks.emplace_hint(blocks.end(), pos, kept.block);
            }
        }
    }
}

bool BlockWorld2::Deferred(int texture, const BlockPos& pos, int side, bool add) {
    PlaneChanges* const found = Pending(side, pos);
    if (found == nullptr) {
        return false;
    }
    const Side& facts = kSides[side];
    PlaneChanges& plane = *found;
    if (plane.sweep) {
        return true;
    }
    // Beyond a sixty-fourth of the plane's cells, a sweep costs less than the changes.
    if (static_cast<int64_t>(plane.changes.size()) < std::max<int64_t>(16, extent[facts.u] * extent[facts.v] / 64)) {
        plane.changes.push_back(FaceChange{texture, pos, add});
    } else {
        plane.sweep = true;
        plane.changes = {};
    }
    return true;
}

// Engines never meet, so applying each plane's changes in their own order gives
// what applying them as they came does.
void BlockWorld2::ApplyPendingFaces() {
    for (int side = 1; side <= 6; ++side) {
        const int first = Coordinate(bounds.low, kSides[side].axis);
        for (size_t i = 0; i < pending[side - 1].size(); ++i) {
            PlaneChanges& plane = pending[side - 1][i];
            const int coordinate = first + static_cast<int>(i);
            if (plane.sweep) {
                SweepPlane(side, coordinate);
            }
            for (const FaceChange& change : plane.changes) {
                change.add ? quadAlgorithm->AddQuad(change.texture, side, coordinate, change.pos)
                           : quadAlgorithm->RemoveQuad(change.texture, side, coordinate, change.pos);
            }
        }
        pending[side - 1] = {};
    }
}

// Merges the plane again from the faces visible in it, all textures at once.
// The cubes of the plane's cells are stepped through by index slot.
void BlockWorld2::SweepPlane(int side, int plane) {
    const Side& facts = kSides[side];
    const int64_t stride[3] = {extent[1] * extent[2], extent[2], 1};
    const int layer = plane - (facts.sign > 0) - Coordinate(bounds.low, facts.axis);
    const bool across = layer + facts.sign >= 0 && layer + facts.sign < extent[facts.axis];
    const int width = static_cast<int>(extent[facts.u]);
    const int height = static_cast<int>(extent[facts.v]);
    std::vector<int16_t>& cells = sweepCells;
    cells.assign(static_cast<size_t>(width) * height, 0);
    if (layer >= 0 && layer < extent[facts.axis]) {
        for (int u = 0; u < width; ++u) {
            size_t slot = static_cast<size_t>(layer * stride[facts.axis] + u * stride[facts.u]);
            for (int v = 0; v < height; ++v, slot += static_cast<size_t>(stride[facts.v])) {
                const int texture = index[slot].block.sideTexture[side - 1];
                if (texture != 0 &&
                    (!across || index[slot + facts.sign * stride[facts.axis]].block.sideTexture[facts.opposite - 1] == 0)) {
                    cells[static_cast<size_t>(v) * width + u] = static_cast<int16_t>(texture);
                }
            }
        }
    }
    std::vector<QuadAlgorithm::TexturedQuad>& rectangles = sweepRectangles;
    rectangles.clear();
    QuadAlgorithm::SweepRectangles(cells, width,
                                   QuadAlgorithm::Point(Coordinate(bounds.low, facts.u), Coordinate(bounds.low, facts.v)),
                                   rectangles);
    quadAlgorithm->ReplacePlane(side, plane, rectangles);
}

// One record lookup per cube; the faces are changed through it, and the
// record is copied to the index and erased, if it empties, once at the end.
void BlockWorld2::ChangePos(const BlockPos& pos, int texture) {
    Blocks::iterator record = Find(pos);
    if (record == blocks.end() && texture == 0) {
        return;
    }
    if (record == blocks.end()) {
        record = Insert(pos);
    }
    if (observer != nullptr) {
        observer->CubeChanged(pos);
    }
    record->second.solid = texture != 0;
    for (int side = 1; side <= 6; ++side) {
        if (record->second.sideTexture[side - 1] != texture) {
            ChangeFace(*record, texture, side);
        }
    }
    Settle(record);
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
    if (observer != nullptr) {
        observer->CubeChanged(pos);
    }
    ChangeFace(*record, texture, side);
    Settle(record);
}

void BlockWorld2::Settle(Blocks::iterator record) {
    Mirror(record);
    if (record->second.Empty()) {
        Erase(record);
    }
}

// Sets one face that changes and keeps the merging in step. Where both faces
// that meet in the plane wait for a sweep, the sweep will see to it.
void BlockWorld2::ChangeFace(Blocks::value_type& record, int texture, int side) {
    const BlockPos& pos = record.first;
    if (Sweeping(side, pos) && Sweeping(kSides[side].opposite, Across(pos, side))) {
        record.second.sideTexture[side - 1] = static_cast<int16_t>(texture);
        return;
    }
    const int old = record.second.sideTexture[side - 1];
    const BlockPos adjPos = Across(pos, side);
    const int opp = kSides[side].opposite;
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
    record.second.sideTexture[side - 1] = static_cast<int16_t>(texture);
}

bool BlockWorld2::IsPhysicallySolid(const BlockPos& pos) const {
    if (!BlockInBlockRect(pos, bounds)) {
        return outsideSolid;
    }
    return Look(pos).solid;
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
    if (!quadsDisabled && !Deferred(texture, pos, side, true)) {
        quadAlgorithm->AddQuad(texture, side, PlaneOfSide(pos, side), pos);
    }
}

void BlockWorld2::RemoveQuad(int texture, const BlockPos& pos, int side) {
    if (!quadsDisabled && !Deferred(texture, pos, side, false)) {
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
