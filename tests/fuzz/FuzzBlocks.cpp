// The block engine on byte strings decoded into cube changes, face changes
// and rays: the merged faces stay exactly the visible ones, every merger
// engine stays consistent, and a ray hits only solid cubes within its range.

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>

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

void CastRay(Bytes& bytes, const BlockWorld2& world, const Oracle& oracle, bool outsideSolid) {
    const Vector origin(bytes.Coordinate(), bytes.Coordinate(), bytes.Coordinate());
    const Vector direction(bytes.Coordinate(), bytes.Coordinate(), bytes.Coordinate());
    const float range = static_cast<float>(bytes.Next(16));
    Vector point;
    BlockPos block;
    int side = 0;
    if (RayAlgorithm().RayIntersectsWorld(&world, origin, direction, range, point, block, side)) {
        const auto found = oracle.solid.find(block);
        const bool solid = BlockInBlockRect(block, world.Bounds()) ? found != oracle.solid.end() && found->second
                                                                   : outsideSolid;
        if (!solid || side < 1 || side > 6 || Length(point - origin) > range + 1e-3f) {
            std::abort();
        }
    }
    RayAlgorithm().InfiniteRayIntersectsWorld(&world, origin, direction, point, block, side);
}

void Check(const BlockWorld2& world, const Oracle& oracle) {
    RecordingBuffer buffer;
    world.QuickRender(&buffer);
    if (buffer.faces != oracle.Visible() || !buffer.rangesMatchSize) std::abort();
    for (const auto& [texture, sides] : world.Quads().Holder().Engines())
        for (const auto& [side, planes] : sides)
            for (const auto& [plane, engine] : planes)
                if (!engine.IndexesConsistent()) std::abort();
    if (world.TotalBlocks() > static_cast<int>(oracle.sides.size())) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Bytes bytes(data, size);
    BlockWorld2 world;
    const bool outsideSolid = bytes.Next(2) == 1;
    world.Initialize(BlockRect(BlockPos(0, 0, 0), BlockPos(3, 3, 3)), outsideSolid);
    Oracle oracle;
    while (bytes.More()) {
        const int op = bytes.Next(4);
        const BlockPos p = NextPos(bytes);
        const int texture = bytes.Next(4);
        if (op == 0 || op == 1) {
            world.ChangePos(p, texture);
            oracle.sides[p].fill(texture);
            oracle.solid[p] = texture != 0;
        } else if (op == 2) {
            const int side = 1 + bytes.Next(6);
            world.ChangeTexture(texture, p, side);
            oracle.sides[p][side - 1] = texture;
        } else {
            CastRay(bytes, world, oracle, outsideSolid);
        }
    }
    Check(world, oracle);
    return 0;
}
