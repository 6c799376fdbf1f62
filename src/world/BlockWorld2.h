#ifndef CUBOMB_WORLD_BLOCKWORLD2_H
#define CUBOMB_WORLD_BLOCKWORLD2_H

// Unit cubes at integer positions: the texture each of a cube's six faces
// shows and whether it stops the picking ray, kept in step with the face
// merging so that exactly the visible faces are drawn. A face is visible when
// it has a texture and the neighbour's touching face has none.
//
// Sides are numbered as support/Sides.h says; texture 0 is no face.
// Nothing here draws except DrawCube.

#include <cstdint>
#include <map>
#include <memory_resource>
#include <memory>
#include <vector>

#include "quads/QuadAlgorithm.h"
#include "support/Geometry.h"
#include "support/NodePool.h"
#include "support/Sides.h"

class QuadBuffer;

class BlockWorld2 {
public:
    struct Block {
        int16_t sideTexture[6] = {0, 0, 0, 0, 0, 0};
        bool solid = false;

        bool Empty() const;
    };

    // Told of every change: a cube's record, a rectangle of merged faces, or all of them at once.
    class Observer : public QuadAlgorithm::Observer {
    public:
        virtual void Reset() = 0;
        virtual void CubeChanged(const BlockPos& pos) = 0;
    };

    BlockWorld2();
    // The index holds iterators into the records, so the world stays where it is.
    BlockWorld2(const BlockWorld2&) = delete;
    BlockWorld2& operator=(const BlockWorld2&) = delete;

    void Initialize(const BlockRect& bounds, bool outsideSolid);
    void SetObserver(Observer* watcher);
    // Between these, records that empty stay in place (an empty record reads
    // as no cube) and are erased together at the end, in key order, which is
    // far cheaper for a region emptied in scattered order. The faces' changes
    // wait for the end too: a plane with few changes gets them one by one, a
    // plane with many is merged again from its visible faces in one sweep.
    void BeginBatch();
    void EndBatch();
    // Texture on all six sides and solid, or texture 0: no cube.
    void ChangePos(const BlockPos& pos, int texture);
    void ChangeTexture(int texture, const BlockPos& pos, int side);
    void ChangeTextureInternal(int texture, const BlockPos& pos, int side);
    bool IsPhysicallySolid(const BlockPos& pos) const;
    int GetTexture(const BlockPos& pos, int side) const { return TextureOfSide(pos, side); }
    int TextureOfSide(const BlockPos& pos, int side) const { return Look(pos).sideTexture[side - 1]; }
    static int OppSide(int side);
    static BlockPos AdjBlock(const BlockPos& pos, int side);
    static int PlaneOfSide(const BlockPos& pos, int side);
    void AddQuad(int texture, const BlockPos& pos, int side);
    void RemoveQuad(int texture, const BlockPos& pos, int side);
    void RemoveIfEmpty(const BlockPos& pos);
    void QuickRender(QuadBuffer* buffer) const;
    void SlowRender() const;
    void DisableQuads() { quadsDisabled = true; }
    int TotalBlocks() const { return static_cast<int>(blocks.size()); }
    int NumQuads() const { return quadAlgorithm->GetNumQuads(); }

    const BlockRect& Bounds() const { return bounds; }
    const QuadAlgorithm& Quads() const { return *quadAlgorithm; }

private:
    using Blocks = std::pmr::map<BlockPos, Block>;

    struct FaceChange {
        int texture;
        BlockPos pos;
        bool add;
    };
    struct PlaneChanges {
        bool sweep = false;
        std::vector<FaceChange> changes;
    };

    void ChangeFace(Blocks::value_type& record, int texture, int side);
    void Settle(Blocks::iterator record);
    // The changes waiting in the side's plane through the face of the cube at
    // pos, or none when faces do not wait.
    PlaneChanges* Pending(int side, const BlockPos& pos) {
        std::vector<PlaneChanges>& planes = pending[side - 1];
        return planes.empty() ? nullptr : &planes[Coordinate(pos, kSides[side].axis) - pendingBase[side - 1]];
    }
    bool Sweeping(int side, const BlockPos& pos) {
        const PlaneChanges* const plane = Pending(side, pos);
        return plane != nullptr && plane->sweep;
    }
    bool Deferred(int texture, const BlockPos& pos, int side, bool add);
    void ApplyPendingFaces();
    void KeepIndexedRecords();
    void SweepPlane(int side, int plane);
    Blocks::iterator Find(const BlockPos& pos);
    Blocks::const_iterator Find(const BlockPos& pos) const;
    Blocks::iterator Insert(const BlockPos& pos);
    void Erase(Blocks::iterator record);
    bool Indexed(const BlockPos& pos, size_t& slot) const {
        const uint64_t x = uint64_t(int64_t(pos.x) - bounds.low.x);
        const uint64_t y = uint64_t(int64_t(pos.y) - bounds.low.y);
        const uint64_t z = uint64_t(int64_t(pos.z) - bounds.low.z);
        if (index.empty() || x >= uint64_t(extent[0]) || y >= uint64_t(extent[1]) || z >= uint64_t(extent[2])) {
            return false;
        }
        slot = static_cast<size_t>((x * extent[1] + y) * extent[2] + z);
        return true;
    }
    void BuildIndex();
    // What the record at pos holds, or an empty block when there is none.
    const Block& Look(const BlockPos& pos) const {
        size_t slot = 0;
        return Indexed(pos, slot) ? index[slot].block : LookUnindexed(pos);
    }
    const Block& LookUnindexed(const BlockPos& pos) const;
    void Mirror(Blocks::iterator record);

    bool outsideSolid = false;
    BlockRect bounds{BlockPos(0, 0, 0), BlockPos(-1, -1, -1)};
    // Records and merged faces alike: the records a flood empties become its new quads.
    NodePool pool;
    Blocks blocks;
    // The records inside the bounds by position, each with a copy of what it
    // holds, so that reading a neighbour costs one lookup in constant time;
    // empty when the bounds are too large to index.
    struct Slot {
        Blocks::iterator record;
        Block block;
    };
    std::vector<Slot> index;
    int64_t extent[3] = {0, 0, 0};  // of the bounds, along x, y and z
    std::unique_ptr<QuadAlgorithm> quadAlgorithm;
    bool quadsDisabled = false;
    bool batchOpen = false;
    bool eraseAll = false;
    bool outsideCubes = false;  // a record outside the bounds has faces no sweep would see
    std::vector<BlockPos> emptied;
    std::vector<PlaneChanges> pending[6];  // by side, then plane from the bounds' low corner; empty when not waiting
    int pendingBase[6] = {0, 0, 0, 0, 0, 0};  // the coordinate of the cubes whose faces lie in each side's first plane
    // Kept from sweep to sweep: a plane of a big box is more than the C
    // library hands out from its heap, and fresh pages cost more than the sweep.
    std::vector<int16_t> sweepCells;
    std::vector<QuadAlgorithm::TexturedQuad> sweepRectangles;
    Observer* observer = nullptr;
};

// One whole cube in immediate mode, with whatever texture is bound.
void DrawCube(int x, int y, int z);

#endif
