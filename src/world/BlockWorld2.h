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
#include <memory>
#include <vector>

#include "quads/QuadAlgorithm.h"
#include "support/Geometry.h"

class QuadBuffer;

class BlockWorld2 {
public:
    struct Block {
        int16_t sideTexture[6] = {0, 0, 0, 0, 0, 0};
        bool solid = false;

        bool Empty() const;
    };

    BlockWorld2();
    // The index holds iterators into the records, so the world stays where it is.
    BlockWorld2(const BlockWorld2&) = delete;
    BlockWorld2& operator=(const BlockWorld2&) = delete;

    void Initialize(const BlockRect& bounds, bool outsideSolid);
    // Between these, records that empty stay in place (an empty record reads
    // as no cube) and are erased together at the end, in key order, which is
    // far cheaper for a region emptied in scattered order.
    void BeginBatch() { batchOpen = true; }
    void EndBatch();
    // Texture on all six sides and solid, or texture 0: no cube.
    void ChangePos(const BlockPos& pos, int texture);
    void ChangeTexture(int texture, const BlockPos& pos, int side);
    void ChangeTextureInternal(int texture, const BlockPos& pos, int side);
    bool IsPhysicallySolid(const BlockPos& pos) const;
    int GetTexture(const BlockPos& pos, int side) const { return TextureOfSide(pos, side); }
    int TextureOfSide(const BlockPos& pos, int side) const;
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
    using Blocks = std::map<BlockPos, Block>;

    bool ChangeFace(Blocks::iterator record, int texture, int side);
    Blocks::iterator Find(const BlockPos& pos);
    Blocks::const_iterator Find(const BlockPos& pos) const;
    Blocks::iterator Insert(const BlockPos& pos);
    void Erase(Blocks::iterator record);
    bool Indexed(const BlockPos& pos, size_t& slot) const;
    void BuildIndex();
    // What the record at pos holds, or an empty block when there is none.
    const Block& Look(const BlockPos& pos) const;
    void Mirror(Blocks::iterator record);

    bool outsideSolid = false;
    BlockRect bounds{BlockPos(0, 0, 0), BlockPos(-1, -1, -1)};
    Blocks blocks;
    // The records inside the bounds by position, each with a copy of what it
    // holds, so that reading a neighbour costs one lookup in constant time;
    // empty when the bounds are too large to index.
    struct Slot {
        Blocks::iterator record;
        Block block;
    };
    std::vector<Slot> index;
    std::unique_ptr<QuadAlgorithm> quadAlgorithm;
    bool quadsDisabled = false;
    bool batchOpen = false;
    std::vector<BlockPos> emptied;
};

// One whole cube in immediate mode, with whatever texture is bound.
void DrawCube(int x, int y, int z);

#endif
