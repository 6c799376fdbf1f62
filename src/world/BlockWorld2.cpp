#include "world/BlockWorld2.h"

#include <algorithm>
#include <cstdint>

#include "support/ProcessEnd.h"
#include "support/Sides.h"

// The merging structure exists from the start, so no call needs a guard.
BlockWorld2::BlockWorld2() : quadAlgorithm(std::make_unique<QuadAlgorithm>(&pool)) {}

void BlockWorld2::Initialize(const BlockRect& bounds, bool outsideSolid) {
    this->outsideSolid = outsideSolid;
    this->bounds = bounds;
    quadAlgorithm.reset();
    outside.clear();
    storeOnly = false;
    outsideCubes = false;
    faceBatch.Discard();
    index.Build(bounds);
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

BlockWorld2::Block BlockWorld2::LookOutside(const BlockPos& pos) const {
    const auto found = outside.find(pos);
    return found == outside.end() ? Block() : found->second;
}

// An empty record is no record.
void BlockWorld2::Store(const BlockPos& pos, const Block& record) {
    size_t slot = 0;
    if (index.SlotOf(pos, slot)) {
        index.Set(slot, record);
    } else if (record.Empty()) {
        outside.erase(pos);
    } else {
        outside[pos] = record;
    }
}

void BlockWorld2::GoingOutside(const BlockPos& pos) {
    size_t slot = 0;
    if (!index.SlotOf(pos, slot) && !BlockInBlockRect(pos, bounds) && !outsideCubes) {
        outsideCubes = true;
        storeOnly = false;
        ApplyFaces();
    }
}

void BlockWorld2::BeginBatch(size_t cubes) {
    if (!index.Empty() && !outsideCubes) {
        faceBatch.Begin(bounds, index);
        storeOnly = cubes > index.Size() / 16;
        if (storeOnly) {
            faceBatch.MarkAll(index);
        }
    }
}

void BlockWorld2::EndBatch() {
    storeOnly = false;
    ApplyFaces();
}

void BlockWorld2::ApplyFaces() {
    if (!quadsDisabled && faceBatch.Waiting()) {
        faceBatch.Apply(*quadAlgorithm, index);
        return;
    }
    faceBatch.Discard();
}

// One record lookup per cube; the faces are changed through a copy of it,
// stored once at the end.
void BlockWorld2::ChangeRecord(const BlockPos& pos, int texture) {
    Block record = Look(pos);
    if (record.Empty() && texture == 0) {
        return;
    }
    if (texture != 0) {
        GoingOutside(pos);
    }
    Notify(pos);
    record.solid = texture != 0;
    for (int side = 1; side <= 6; ++side) {
        if (record.sideTexture[side - 1] != texture) {
            ChangeFace(pos, record, texture, side);
        }
    }
    Store(pos, record);
}

void BlockWorld2::RemoveRun(const BlockPos& first, uint64_t run) {
    size_t slot = 0, last = 0;
    const int64_t end = int64_t(first.z) + 63 - (run == 0 ? 63 : __builtin_clzll(run));
    if (end > INT32_MAX || !SlotToChange(first, slot) || !index.SlotOf(BlockPos(first.x, first.y, int32_t(end)), last)) {
        for (; run != 0; run &= run - 1) {
            ChangePos(BlockPos(first.x, first.y, first.z + __builtin_ctzll(run)), 0);
        }
        return;
    }
    faceBatch.NoteShape();
    for (uint64_t bits = observer != nullptr ? run : 0; bits != 0; bits &= bits - 1) {
        const int z = __builtin_ctzll(bits);
        if (index.Holds(slot + static_cast<size_t>(z))) {
            Notify(BlockPos(first.x, first.y, first.z + z));
        }
    }
    index.EmptyRun(slot, run);
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
        if (index.Face(slot, side) != texture) {
            Notify(pos);
            faceBatch.NoteShape();
            index.SetFace(slot, side, texture);
        }
        return;
    }
    Block record = Look(pos);
    if (texture == record.sideTexture[side - 1]) {
        return;
    }
    GoingOutside(pos);
    Notify(pos);
    ChangeFace(pos, record, texture, side);
    Store(pos, record);
}

// Sets one face that changes and keeps the merging in step. Where both faces
// that meet in the plane wait for a sweep, the sweep will see to it.
void BlockWorld2::ChangeFace(const BlockPos& pos, Block& record, int texture, int side) {
    const BlockPos adjPos = Across(pos, side);
    const int opp = kSides[side].opposite;
    if (faceBatch.Sweeping(side, pos) && faceBatch.Sweeping(opp, adjPos)) {
        record.sideTexture[side - 1] = static_cast<int16_t>(texture);
        return;
    }
    const int old = record.sideTexture[side - 1];
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
    record.sideTexture[side - 1] = static_cast<int16_t>(texture);
}

bool BlockWorld2::IsPhysicallySolid(const BlockPos& pos) const {
    if (!BlockInBlockRect(pos, bounds)) {
        return outsideSolid;
    }
    size_t slot = 0;
    return index.SlotOf(pos, slot) ? index.Solid(slot) : LookOutside(pos).solid;
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

// The store holds no empty record; only the sparse map might.
void BlockWorld2::RemoveIfEmpty(const BlockPos& pos) {
    const auto found = outside.find(pos);
    if (found != outside.end() && found->second.Empty()) {
        outside.erase(found);
    }
}

void BlockWorld2::QuickRender(QuadBuffer* buffer) const {
    if (!quadsDisabled) {
        quadAlgorithm->Draw(buffer);
    }
}

// In position order, the store's records and the sparse map's merged.
void BlockWorld2::SlowRender() const {
    auto beyond = outside.begin();
    const auto drawBeyondUpTo = [&](const BlockPos* pos) {
        for (; beyond != outside.end() && (pos == nullptr || beyond->first < *pos); ++beyond) {
            if (beyond->second.solid) {
                DrawCube(beyond->first.x, beyond->first.y, beyond->first.z);
            }
        }
    };
    for (size_t slot = index.NextShowing(0, index.Size()); slot < index.Size(); slot = index.NextShowing(slot + 1, index.Size())) {
        const BlockPos pos = index.PositionOf(slot);
        drawBeyondUpTo(&pos);
        if (index.Solid(slot)) {
            DrawCube(pos.x, pos.y, pos.z);
        }
    }
    drawBeyondUpTo(nullptr);
}
