// The block engine on byte strings decoded into cube changes, face changes,
// batches and rays: the merged faces stay exactly the visible ones, every
// merger engine stays consistent, a ray meets the cube and side the slab
// test finds first, and a batch ends with as many records as the same changes
// made one by one.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <vector>

#include "fuzz/Check.h"
#include "picking/RayAlgorithm.h"
#include "support/RecordingBuffer.h"
#include "support/SlabTest.h"
#include "world/BlockWorld2.h"

namespace {

struct Bytes {
    bool More() const { return at < size; }
    int Next(int range) { return More() ? data[at++] % range : 0; }
    float Coordinate() { return static_cast<float>(Next(256)) / 32.0f - 2.0f; }

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

// A hit is a solid cube. Without a solid outside, it is the slab test's first
// cube: origins lie off the integer planes, and rays that graze an edge, reach
// two cubes or two sides at once, or end near their range are left alone,
// where float and double may disagree.
void CastRay(Bytes& bytes, const BlockWorld2& world, const Oracle& oracle) {
    const Vector origin(bytes.Coordinate() + 1 / 64.0f, bytes.Coordinate() + 1 / 64.0f, bytes.Coordinate() + 1 / 64.0f);
    const Vector direction(bytes.Coordinate(), bytes.Coordinate(), bytes.Coordinate());
    const float range = static_cast<float>(bytes.Next(16)), length = Length(direction);
    Vector point, farPoint;
    BlockPos block, farBlock;
    int side = -1, farSide = -1;
    const bool hit = RayAlgorithm().RayIntersectsWorld(&world, origin, direction, range, point, block, side);
    RayAlgorithm().InfiniteRayIntersectsWorld(&world, origin, direction, farPoint, farBlock, farSide);
    Check((!hit || oracle.Solid(world, block)) && (farSide == -1 || oracle.Solid(world, farBlock)));
    if (oracle.outsideSolid) return;
    const auto close = [&](double a, double b) { return std::fabs(a - b) * length < 1e-3; };
    std::vector<Entry> entries;
    for (const auto& each : oracle.solid) {
        const BlockPos& p = each.first;
        const Entry e = SlabTest(origin, direction, p);
        if (!oracle.Solid(world, p) || !(e.enter >= 0 && std::isfinite(e.enter) && e.exit > e.enter - 1e-3 / length)) continue;
        if (close(e.exit, e.enter)) return;
        entries.push_back(e);
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.enter < b.enter; });
    const Entry first = entries.empty() ? Entry{} : entries[0];
    if (!entries.empty() && (close(first.enter, first.runnerUp) || close(first.enter, range / length) ||
                             (entries.size() > 1 && close(entries[1].enter, first.enter))))
        return;
    const bool reached = !entries.empty() && first.enter * length <= range;
    Check(hit == reached && (farSide == -1) == entries.empty() && (entries.empty() || farBlock == first.block) &&
          (!hit || (block == first.block && side == first.side && close(Length(point - origin) / length, first.enter))));
}

void CheckWorld(const BlockWorld2& world, const Oracle& oracle) {
    RecordingBuffer buffer;
    world.QuickRender(&buffer);
    Check(buffer.faces == oracle.Visible() && buffer.rangesMatchSize);
    for (const auto& [texture, sides] : world.Quads().Holder().Engines())
        for (const auto& [side, planes] : sides)
            for (const auto& [plane, engine] : planes)
                Check(engine.IndexesConsistent());
    const auto holds = [&](const auto& each) {
        return (oracle.solid.count(each.first) && oracle.solid.at(each.first)) ||
               std::any_of(each.second.begin(), each.second.end(), [](int t) { return t != 0; });
    };
    Check(world.TotalBlocks() == std::count_if(oracle.sides.begin(), oracle.sides.end(), holds));
    for (int i = 0; i < 512; ++i) {
        const BlockPos p(i / 64 - 2, i / 8 % 8 - 2, i % 8 - 2);
        Check(world.IsPhysicallySolid(p) == oracle.Solid(world, p));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Bytes bytes{data, size};
    BlockWorld2 world, plain;  // plain takes the same changes, never in a batch
    Oracle oracle;
    const int options = bytes.Next(8);
    oracle.outsideSolid = options & 1;
    const int far = options & 2 ? 400 : 3;  // too far to index: every lookup goes to the map
    const int near = options & 4 ? -1 : 0;  // a box that does not start at the origin
    for (BlockWorld2* each : {&world, &plain})
        each->Initialize(BlockRect(BlockPos(near, near, near), BlockPos(far, far, far)), oracle.outsideSolid);
    bool batched = false;
    while (bytes.More()) {
        const int op = bytes.Next(6);
        const BlockPos p(bytes.Next(6) - 1, bytes.Next(6) - 1, bytes.Next(6) - 1);
        const int texture = std::array{0, 1, 2, 300}[bytes.Next(4)], side = 1 + bytes.Next(6);  // 300: no byte holds it
        if (op <= 2) {
            for (BlockWorld2* each : {&world, &plain}) op < 2 ? each->ChangePos(p, texture) : each->ChangeTexture(texture, p, side);
            op < 2 ? oracle.sides[p].fill(texture) : void(oracle.sides[p][side - 1] = texture);
            if (op < 2) oracle.solid[p] = texture != 0;
        } else if (op == 3) {
            CastRay(bytes, world, oracle);
        } else if (op == 5) {
            uint64_t run = 0;
            for (int bit = 0; bit < 64; bit += 8) run |= uint64_t(bytes.Next(256)) << bit;
            world.RemoveRun(p, run);
            for (int bit = 0; bit < 64; ++bit) {
                if (run >> bit & 1) {
                    const BlockPos q(p.x, p.y, p.z + bit);
                    plain.ChangePos(q, 0);
                    oracle.sides[q].fill(0), oracle.solid[q] = false;
                }
            }
        } else if (op == 4) {
            batched ? world.EndBatch() : world.BeginBatch(bytes.Next(2) ? 0 : size_t(1) << 30);  // record by record, or copies only
            batched = !batched;
        }
        Check(world.IsPhysicallySolid(p) == oracle.Solid(world, p) && world.GetTexture(p, side) == oracle.Texture(p, side));
    }
    if (batched) world.EndBatch();
    CheckWorld(world, oracle);
    Check(world.TotalBlocks() == plain.TotalBlocks());
    return 0;
}
