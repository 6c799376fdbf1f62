// The block engine on byte strings decoded into cube changes, face changes,
// batches and rays: the merged faces stay exactly the visible ones, every
// merger engine stays consistent, a ray hits only solid cubes within its
// range, and a batch ends with the records of the same changes made one by
// one and, unless it was big enough to merge a plane afresh, the same quads.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <vector>

#include "picking/RayAlgorithm.h"
#include "support/RecordingBuffer.h"
#include "world/BlockWorld2.h"

namespace {

class Bytes {
public:
    Bytes(const uint8_t* data, size_t size) : data(data), size(size) {}
    bool More() const { return at < size; }
    int Next(int range) { return More() ? data[at++] % range : 0; }
    float Coordinate() { return static_cast<float>(Next(256)) / 32.0f - 2.0f; }

private:
    const uint8_t* data;
    size_t size;
    size_t at = 0;
};

struct Oracle {
    std::map<BlockPos, std::array<int, 6>> sides;
    std::map<BlockPos, bool> solid;
    bool outsideSolid = false;

    bool Solid(const BlockWorld2& world, const BlockPos& p) const {
        const auto found = solid.find(p);
        return BlockInBlockRect(p, world.Bounds()) ? found != solid.end() && found->second : outsideSolid;
    }

    int Texture(const BlockPos& p, int side) const {
        const auto found = sides.find(p);
        return found == sides.end() ? 0 : found->second[side - 1];
    }
    std::multiset<Face> Visible() const {
        std::multiset<Face> faces;
        for (const auto& [p, textures] : sides)
            for (int s = 1; s <= 6; ++s)
                if (textures[s - 1] != 0 && Texture(BlockWorld2::AdjBlock(p, s), BlockWorld2::OppSide(s)) == 0)
                    faces.insert(Face{textures[s - 1], p.x, p.y, p.z, s});
        return faces;
    }
};

BlockPos NextPos(Bytes& bytes) {
    return BlockPos(bytes.Next(6) - 1, bytes.Next(6) - 1, bytes.Next(6) - 1);
}

void CastRay(Bytes& bytes, const BlockWorld2& world, const Oracle& oracle) {
    const Vector origin(bytes.Coordinate(), bytes.Coordinate(), bytes.Coordinate());
    const Vector direction(bytes.Coordinate(), bytes.Coordinate(), bytes.Coordinate());
    const float range = static_cast<float>(bytes.Next(16));
    Vector point;
    BlockPos block;
    int side = 0;
    if (RayAlgorithm().RayIntersectsWorld(&world, origin, direction, range, point, block, side)) {
        if (!oracle.Solid(world, block) || side < 1 || side > 6 || Length(point - origin) > range + 1e-3f) {
            std::abort();
        }
    }
    RayAlgorithm().InfiniteRayIntersectsWorld(&world, origin, direction, point, block, side);
}

std::vector<std::array<int, 7>> AllQuads(const BlockWorld2& world) {
    std::vector<std::array<int, 7>> all;
    for (const auto& [texture, sides] : world.Quads().Holder().Engines())
        for (const auto& [side, planes] : sides)
            for (const auto& [plane, engine] : planes)
                for (const auto& q : engine.Quads()) all.push_back({texture, side, plane, q.low.x, q.low.y, q.high.x, q.high.y});
    return all;
}

void Check(const BlockWorld2& world, const Oracle& oracle) {
    RecordingBuffer buffer;
    world.QuickRender(&buffer);
    if (buffer.faces != oracle.Visible() || !buffer.rangesMatchSize) std::abort();
    for (const auto& [texture, sides] : world.Quads().Holder().Engines())
        for (const auto& [side, planes] : sides)
            for (const auto& [plane, engine] : planes)
                if (!engine.IndexesConsistent()) std::abort();
    const long solid = std::count_if(oracle.solid.begin(), oracle.solid.end(), [](const auto& each) { return each.second; });
    if (world.TotalBlocks() > static_cast<long>(oracle.sides.size()) || world.TotalBlocks() < solid) std::abort();
    for (int i = 0; i < 512; ++i) {
        const BlockPos p(i / 64 - 2, i / 8 % 8 - 2, i % 8 - 2);
        if (world.IsPhysicallySolid(p) != oracle.Solid(world, p)) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Bytes bytes(data, size);
    BlockWorld2 world, plain;  // plain takes the same changes, never in a batch
    Oracle oracle;
    const int options = bytes.Next(4);
    oracle.outsideSolid = options & 1;
    const int far = options & 2 ? 400 : 3;  // too far to index: every lookup goes to the map
    for (BlockWorld2* each : {&world, &plain}) each->Initialize(BlockRect(BlockPos(0, 0, 0), BlockPos(far, far, far)), oracle.outsideSolid);
    int batched = -1;    // changes in the open batch; -1: none is open
    bool swept = false;  // a batch of 16 changes may have merged a plane afresh
    while (bytes.More()) {
        const int op = bytes.Next(6);
        const BlockPos p = NextPos(bytes);
        const int texture = bytes.Next(4), side = 1 + bytes.Next(6);
        if (op <= 2) {
            for (BlockWorld2* each : {&world, &plain}) op < 2 ? each->ChangePos(p, texture) : each->ChangeTexture(texture, p, side);
            op < 2 ? oracle.sides[p].fill(texture) : void(oracle.sides[p][side - 1] = texture);
            if (op < 2) oracle.solid[p] = texture != 0;
            batched += batched >= 0;
        } else if (op == 3) {
            CastRay(bytes, world, oracle);
        } else if (op == 4) {
            batched < 0 ? world.BeginBatch() : world.EndBatch();
            swept = swept || batched >= 16;
            batched = batched < 0 ? 0 : -1;
        }
        if (world.IsPhysicallySolid(p) != oracle.Solid(world, p) || world.GetTexture(p, side) != oracle.Texture(p, side)) {
            std::abort();
        }
    }
    if (batched >= 0) world.EndBatch();
    Check(world, oracle);
    if (world.TotalBlocks() != plain.TotalBlocks() || (!swept && batched < 16 && AllQuads(world) != AllQuads(plain))) {
        std::abort();
    }
    return 0;
}
