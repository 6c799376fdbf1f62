// The block world at the sizes a big game reaches: laying out a full box as a
// new game does, one cube changing in a full box, and one pick ray. Laying out
// is measured beside the bare cost of inserting the same keys into an ordered map.

#include <benchmark/benchmark.h>

#include <map>

#include "picking/RayAlgorithm.h"
#include "world/BlockWorld2.h"

namespace {

constexpr int kGrey = 2;

void LayOut(BlockWorld2& world, int n) {
    world.Initialize(BlockRect(BlockPos(0, 0, 0), BlockPos(n, n, n)), false);
    for (int x = 0; x < n; ++x)
        for (int y = 0; y < n; ++y)
            for (int z = 0; z < n; ++z) world.ChangePos(BlockPos(x, y, z), kGrey);
}

void BM_LayOutFullBox(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    BlockWorld2 world;
    for (auto _ : state) {
        LayOut(world, n);
    }
    state.counters["quads"] = world.NumQuads();
    state.counters["cubes"] = world.TotalBlocks();
}
BENCHMARK(BM_LayOutFullBox)->Arg(32)->Arg(64)->Arg(100)->MinWarmUpTime(1)->Unit(benchmark::kMillisecond);

void BM_InsertKeysIntoMap(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        std::map<BlockPos, BlockWorld2::Block> blocks;
        for (int x = 0; x < n; ++x)
            for (int y = 0; y < n; ++y)
                for (int z = 0; z < n; ++z) blocks.emplace(BlockPos(x, y, z), BlockWorld2::Block());
        benchmark::DoNotOptimize(blocks.size());
    }
}
BENCHMARK(BM_InsertKeysIntoMap)->Arg(32)->Arg(64)->Arg(100)->MinWarmUpTime(1)->Unit(benchmark::kMillisecond);

void BM_RemoveAndRestoreMiddleCube(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    BlockWorld2 world;
    LayOut(world, n);
    const BlockPos middle(n / 2, n / 2, n / 2);
    for (auto _ : state) {
        world.ChangePos(middle, 0);
        world.ChangePos(middle, kGrey);
    }
    state.counters["quads"] = world.NumQuads();
}
BENCHMARK(BM_RemoveAndRestoreMiddleCube)->Arg(32)->Arg(64)->Arg(100)->Unit(benchmark::kMicrosecond);

// A box with its middle plane x = n/2 uncovered: faces are split into many quads there.
void BM_RemoveAndRestoreNextToARemovedPlane(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    BlockWorld2 world;
    LayOut(world, n);
    for (int y = 0; y < n; y += 2)
        for (int z = 0; z < n; z += 2) world.ChangePos(BlockPos(n / 2, y, z), 0);
    const BlockPos next(n / 2 + 1, n / 2, n / 2);
    for (auto _ : state) {
        world.ChangePos(next, 0);
        world.ChangePos(next, kGrey);
    }
    state.counters["quads"] = world.NumQuads();
}
BENCHMARK(BM_RemoveAndRestoreNextToARemovedPlane)->Arg(32)->Arg(64)->Arg(100)->Unit(benchmark::kMicrosecond);

void BM_PickRayThroughBox(benchmark::State& state) {
    BlockWorld2 world;
    world.Initialize(BlockRect(BlockPos(0, 0, 0), BlockPos(100, 100, 100)), false);
    const Vector origin(-100.3f, -100.6f, 120.2f);
    Vector direction(1, 1, -1);
    Normalize(direction);
    Vector hitPoint;
    BlockPos hitBlock;
    int hitSide = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            RayAlgorithm().RayIntersectsWorld(&world, origin, direction, 200, hitPoint, hitBlock, hitSide));
    }
}
BENCHMARK(BM_PickRayThroughBox)->Unit(benchmark::kMicrosecond);

}  // namespace
