#ifndef CUBOMB_WORLD_BLOCKWORLD2_H
#define CUBOMB_WORLD_BLOCKWORLD2_H

// Unit cubes at integer positions: the texture each of a cube's six faces
// shows and whether it stops the picking ray, kept in step with the face
// merging so that exactly the visible faces are drawn. A face is visible when
// it has a texture and the neighbour's touching face has none.
//
// The records of the bounds live in a dense store, a byte a position, walked
// in x, y, z order; a sparse map keeps any beyond them. A batch holds face
// changes back plane by plane. Sides are numbered as support/Sides.h says;
// texture 0 is no face. Nothing here draws except DrawCube.

#include <cstdint>
#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "quads/QuadAlgorithm.h"
#include "support/Geometry.h"
#include "support/NodePool.h"
#include "world/BlockRecord.h"
#include "world/DenseIndex.h"
#include "world/FaceBatch.h"

class QuadBuffer;

class BlockWorld2 {
public:
    using Block = BlockRecord;

    // Told of every change: a cube's record, a rectangle of merged faces, or all of them at once.
    class Observer : public QuadAlgorithm::Observer {
    public:
        virtual void Reset() = 0;
        virtual void CubeChanged(const BlockPos& pos) = 0;
    };

    BlockWorld2();
    // Its merging engines are told of its observer, so the world stays where it is.
    BlockWorld2(const BlockWorld2&) = delete;
    BlockWorld2& operator=(const BlockWorld2&) = delete;

    void Initialize(const BlockRect& bounds, bool outsideSolid);
    void SetObserver(Observer* watcher);
    // Between these, face changes wait plane by plane: a plane with few
    // changes gets them one by one, a plane with many is merged again from
    // its visible faces in one sweep. A batch told that it will change more
    // than a sixteenth of its bounds' cubes only writes the store and notes
    // the planes it touches, which are all swept at the end.
    void BeginBatch(size_t cubes = 0);
    void EndBatch();
    // Texture on all six sides and solid, or texture 0: no cube. A big batch
    // only writes the store, without a call.
    void ChangePos(const BlockPos& pos, int texture) {
        size_t slot = 0;
        if (!SlotToChange(pos, slot)) {
            ChangeRecord(pos, texture);
        } else if (index.Holds(slot) || texture != 0) {
            Notify(pos);
            faceBatch.NoteCube(index, pos, slot);
            index.SetCube(slot, texture);
        }
    }
    // The cubes along z from first, one for each bit of run, taken away: as
    // ChangePos(pos, 0) for each, a row of the store at once in a big batch.
    void RemoveRun(const BlockPos& first, uint64_t run);
    void ChangeTexture(int texture, const BlockPos& pos, int side);
    void ChangeTextureInternal(int texture, const BlockPos& pos, int side);
    bool IsPhysicallySolid(const BlockPos& pos) const;
    int GetTexture(const BlockPos& pos, int side) const { return TextureOfSide(pos, side); }
    int TextureOfSide(const BlockPos& pos, int side) const {
        size_t slot = 0;
        return index.SlotOf(pos, slot) ? index.Face(slot, side) : LookOutside(pos).sideTexture[side - 1];
    }
    static int OppSide(int side);
    static BlockPos AdjBlock(const BlockPos& pos, int side);
    static int PlaneOfSide(const BlockPos& pos, int side);
    void AddQuad(int texture, const BlockPos& pos, int side);
    void RemoveQuad(int texture, const BlockPos& pos, int side);
    void RemoveIfEmpty(const BlockPos& pos);
    void QuickRender(QuadBuffer* buffer) const;
    void SlowRender() const;
    void DisableQuads() { quadsDisabled = true; }
    int TotalBlocks() const { return static_cast<int>(index.Records() + outside.size()); }
    int NumQuads() const { return quadAlgorithm->GetNumQuads(); }

    const BlockRect& Bounds() const { return bounds; }
    const QuadAlgorithm& Quads() const { return *quadAlgorithm; }

private:
    void ChangeRecord(const BlockPos& pos, int texture);
    void ChangeFace(const BlockPos& pos, Block& record, int texture, int side);
    // In a batch that writes the store alone and sweeps every plane, the slot to change; false otherwise.
    bool SlotToChange(const BlockPos& pos, size_t& slot) { return storeOnly && index.SlotOf(pos, slot); }
    void Notify(const BlockPos& pos) {
        if (observer != nullptr) {
            observer->CubeChanged(pos);
        }
    }
    void Store(const BlockPos& pos, const Block& record);
    // A record beyond the store has faces no sweep would see: what waits is applied, and waits no more.
    void GoingOutside(const BlockPos& pos);
    void ApplyFaces();
    // What the record at pos holds, or an empty block when there is none.
    Block Look(const BlockPos& pos) const {
        size_t slot = 0;
        return index.SlotOf(pos, slot) ? index.Get(slot) : LookOutside(pos);
    }
    Block LookOutside(const BlockPos& pos) const;

    bool outsideSolid = false;
    BlockRect bounds{BlockPos(0, 0, 0), BlockPos(-1, -1, -1)};
    NodePool pool;  // the merged faces', which come and go all the time
    DenseIndex index;
    BlockRecords outside;
    std::unique_ptr<QuadAlgorithm> quadAlgorithm;
    bool quadsDisabled = false;
    bool storeOnly = false;  // the batch writes the store and sweeps every plane it touches
    bool outsideCubes = false;
    FaceBatch faceBatch;
    Observer* observer = nullptr;
};

// One whole cube in immediate mode, with whatever texture is bound.
void DrawCube(int x, int y, int z);

#endif
