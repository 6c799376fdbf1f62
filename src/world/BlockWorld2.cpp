#include "world/BlockWorld2.h"

#include <algorithm>

#include "support/ProcessEnd.h"
#include "support/Sides.h"

// The merging structure exists from the start, so no call needs a guard.
BlockWorld2::BlockWorld2() : blocks(&pool), quadAlgorithm(std::make_unique<QuadAlgorithm>(&pool)) {}

void BlockWorld2::Initialize(const BlockRect& bounds, bool outsideSolid) {
    this->outsideSolid = outsideSolid;
    this->bounds = bounds;
    quadAlgorithm.reset();
    blocks.clear();
    batchOpen = false;
    copiesOnly = false;
    outsideCubes = false;
    emptied = {};
    faceBatch.Discard();
    index.Build(bounds, blocks.end());
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

BlockRecords::iterator BlockWorld2::Find(const BlockPos& pos) {
    size_t slot = 0;
    return index.SlotOf(pos, slot) ? index.Record(slot) : blocks.find(pos);
}

const BlockWorld2::Block& BlockWorld2::LookUnindexed(const BlockPos& pos) const {
    static const Block kNoBlock;
    const auto found = blocks.find(pos);
    return found == blocks.end() ? kNoBlock : found->second;
}

void BlockWorld2::Mirror(BlockRecords::iterator record) {
    size_t slot = 0;
    if (index.SlotOf(record->first, slot)) {
        index.SetCopy(slot, record->second);
    }
}

// A new field arrives in position order, where the end is the right hint.
BlockRecords::iterator BlockWorld2::Insert(const BlockPos& pos) {
    const BlockRecords::iterator record = blocks.emplace_hint(blocks.end(), pos, Block());
    size_t slot = 0;
    if (index.SlotOf(pos, slot)) {
        index.Record(slot) = record;
        index.SetCopy(slot, Block());
    }
    if (!BlockInBlockRect(pos, bounds)) {
        // A sweep sees only the bounds: what waits is applied, and waits no more.
        outsideCubes = true;
        ApplyFaces();
    }
    return record;
}

void BlockWorld2::Erase(BlockRecords::iterator record) {
    if (batchOpen) {
        emptied.push_back(record->first);
        return;
    }
    size_t slot = 0;
    if (index.SlotOf(record->first, slot)) {
        index.Record(slot) = blocks.end();
        index.SetCopy(slot, Block());
    }
    blocks.erase(record);
}

void BlockWorld2::BeginBatch(size_t cubes) {
    batchOpen = true;
    if (!index.Empty() && !outsideCubes) {
        faceBatch.Begin(bounds, index);
        copiesOnly = cubes > index.Size() / 16;
    }
}

// The emptied records go first, so that the merged faces the batch leaves can
// take their memory. Records that catch up with the copies do so while the
// sweeps read the faces: the one writes only records, the others read only faces.
void BlockWorld2::EndBatch() {
    batchOpen = false;
    if (copiesOnly) {
        ApplyFaces([this] { RestoreFromCopies(); });
        return;
    }
    EraseEmptied();
    ApplyFaces();
}

// Records that a batch emptied and left empty. Beyond a sixteenth of them,
// one pass over all the records is cheaper than finding each; over the index,
// only while they are a thirty-second of its slots, which it walks.
void BlockWorld2::EraseEmptied() {
    const size_t empty = static_cast<size_t>(
        std::count_if(emptied.begin(), emptied.end(), [this](const BlockPos& pos) { return Look(pos).Empty(); }));
    const bool walkIndex = !index.Empty() && !outsideCubes;
    if (empty * 16 < blocks.size() || (walkIndex && empty * 32 < index.Size())) {
        for (const BlockPos& pos : emptied) {
            RemoveIfEmpty(pos);
        }
    } else if (walkIndex) {
        index.RestoreRecords(blocks);
    } else {
        for (auto record = blocks.begin(); record != blocks.end();) {
            const auto next = std::next(record);
            if (record->second.Empty()) {
                Erase(record);
            }
            record = next;
        }
    }
    emptied = {};
}

void BlockWorld2::RestoreFromCopies() {
    index.RestoreChanged(blocks);
    copiesOnly = false;
    emptied = {};
}

void BlockWorld2::ApplyFaces(const std::function<void()>& meanwhile) {
    if (!quadsDisabled && faceBatch.Waiting()) {
        faceBatch.Apply(*quadAlgorithm, index, meanwhile);
        return;
    }
    faceBatch.Discard();
    if (meanwhile) {
        meanwhile();
    }
}

// In a batch that writes the index alone, the slot to change; false otherwise.
// A position beyond the index ends that: the records catch up with the
// copies, and the batch goes on record by record.
bool BlockWorld2::SlotToChange(const BlockPos& pos, size_t& slot) {
    if (!copiesOnly) {
        return false;
    }
    if (index.SlotOf(pos, slot)) {
        return true;
    }
    RestoreFromCopies();
    return false;
}

// The face and the one across it lie in one plane coordinate, each in its side's plane.
void BlockWorld2::MarkFaceForSweep(const BlockPos& pos, int side) {
    faceBatch.MarkForSweep(side, pos);
    faceBatch.MarkForSweep(kSides[side].opposite, Across(pos, side));
}

// One record lookup per cube; the faces are changed through it, and the
// record is copied to the index and erased, if it empties, once at the end.
void BlockWorld2::ChangePos(const BlockPos& pos, int texture) {
    size_t slot = 0;
    if (SlotToChange(pos, slot)) {
        if (index.Copy(slot).Empty() && texture == 0) {
            return;
        }
        Notify(pos);
        for (int side = 1; side <= 6; ++side) {
            if (index.Copy(slot).sideTexture[side - 1] != texture) {
                MarkFaceForSweep(pos, side);
            }
        }
        index.SetCube(slot, texture);
        return;
    }
    BlockRecords::iterator record = Find(pos);
    if (record == blocks.end() && texture == 0) {
        return;
    }
    if (record == blocks.end()) {
        record = Insert(pos);
    }
    Notify(pos);
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
    size_t slot = 0;
    if (SlotToChange(pos, slot)) {
        if (index.Copy(slot).sideTexture[side - 1] != texture) {
            Notify(pos);
            index.SetFace(slot, side, texture);
            MarkFaceForSweep(pos, side);
        }
        return;
    }
    BlockRecords::iterator record = Find(pos);
    const int old = record == blocks.end() ? 0 : record->second.sideTexture[side - 1];
    if (texture == old) {
        return;
    }
    if (record == blocks.end()) {
        record = Insert(pos);
    }
    Notify(pos);
    ChangeFace(*record, texture, side);
    Settle(record);
}

void BlockWorld2::Notify(const BlockPos& pos) {
    if (observer != nullptr) {
        observer->CubeChanged(pos);
    }
}

void BlockWorld2::Settle(BlockRecords::iterator record) {
    Mirror(record);
    if (record->second.Empty()) {
        Erase(record);
    }
}

// Sets one face that changes and keeps the merging in step. Where both faces
// that meet in the plane wait for a sweep, the sweep will see to it.
void BlockWorld2::ChangeFace(BlockRecords::value_type& record, int texture, int side) {
    const BlockPos& pos = record.first;
    const BlockPos adjPos = Across(pos, side);
    const int opp = kSides[side].opposite;
    if (faceBatch.Sweeping(side, pos) && faceBatch.Sweeping(opp, adjPos)) {
        record.second.sideTexture[side - 1] = static_cast<int16_t>(texture);
        return;
    }
    const int old = record.second.sideTexture[side - 1];
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
    if (!quadsDisabled && !faceBatch.Defer(texture, pos, side, true)) {
        quadAlgorithm->AddQuad(texture, side, PlaneOfSide(pos, side), pos);
    }
}

void BlockWorld2::RemoveQuad(int texture, const BlockPos& pos, int side) {
    if (!quadsDisabled && !faceBatch.Defer(texture, pos, side, false)) {
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
