#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "picking/RayAlgorithm.h"
#include "world/BlockWorld2.h"

namespace {

struct Hit {
    bool hit = false;
    Vector point{0, 0, 0};
    BlockPos block{-99, -99, -99};
    int side = -1;
};

Hit Cast(const BlockWorld2& world, Vector origin, Vector direction, bool forever = false) {
    Hit h;
    if (!forever) h.hit = RayAlgorithm().RayIntersectsWorld(&world, origin, direction, 200, h.point, h.block, h.side);
    if (forever) RayAlgorithm().InfiniteRayIntersectsWorld(&world, origin, direction, h.point, h.block, h.side);
    h.hit = h.hit || (forever && h.side != -1);
    return h;
}

// side 0: no hit within the range of 200; infinite side -1: none at all.
TEST(Ray, PreciseCases) {
    const float inf = std::numeric_limits<float>::infinity(), nan = std::nanf("");
    struct Case {
        Vector origin, direction;
        BlockPos solid;
        int side;
        Vector point;
        int infiniteSide;
    } const cases[] = {
        {{-2.5f, 0.5f, 0.5f}, {1, 0, 0}, {0, 0, 0}, 5, {0, 0.5f, 0.5f}, 5},
        {{2.5f, 0.5f, 0.5f}, {-1, 0, 0}, {0, 0, 0}, 6, {1, 0.5f, 0.5f}, 6},
        {{0.5f, 0.5f, 3.25f}, {0, 0, -2}, {0, 0, 0}, 1, {0.5f, 0.5f, 1}, 1},
        {{0.5f, -3.5f, 0.5f}, {0, 1, 0}, {0, 0, 0}, 4, {0.5f, 0, 0.5f}, 4},
        {{-0.5f, -0.5f, 0.5f}, {1, 1, 0}, {0, 0, 0}, 5, {0, 0, 0.5f}, 4},  // a tie: x first, later axis forever
        {{-3.5f, 1, 0.5f}, {1, 0, 0}, {0, 1, 0}, 5, {0, 1, 0.5f}, 5},     // in the plane y = 1
        {{0.5f, 0.5f, 5.5f}, {1e-7f, -1e-7f, -1}, {0, 0, 2}, 1, {0.5f, 0.5f, 3}, 1},
        {{0.5f, 0.5f, 0.5f}, {1, 0, 0}, {0, 0, 0}, 0, {}, -1},  // starting inside
        {{-2.5f, 0.5f, 0.5f}, {-1, 0, 0}, {0, 0, 0}, 0, {}, -1},
        {{0.5f, 0.5f, 0.5f}, {1, 0, 0}, {200, 0, 0}, 5, {200, 0.5f, 0.5f}, 5},
        {{-0.5f, 0.5f, 0.5f}, {1, 0, 0}, {200, 0, 0}, 0, {}, 5},  // entry at 200.5: beyond the range
        {{-0.5f, 0.5f, 0.5f}, {0, 0, 0}, {0, 0, 0}, 0, {}, -1},
        {{-0.5f, 0.5f, 0.5f}, {1e-7f, -1e-7f, 0}, {0, 0, 0}, 0, {}, -1},
        {{-0.5f, 0.5f, 0.5f}, {nan, 1, 0}, {0, 0, 0}, 0, {}, -1},
        {{-0.5f, 0.5f, 0.5f}, {inf, 0, 0}, {0, 0, 0}, 0, {}, -1},
    };
    for (const Case& c : cases) {
        BlockWorld2 world;
        world.Initialize(BlockRect(BlockPos(-8, -8, -8), BlockPos(300, 8, 8)), false);
        world.ChangePos(c.solid, 2);
        const Hit h = Cast(world, c.origin, c.direction);
        EXPECT_EQ(Cast(world, c.origin, c.direction, true).side, c.infiniteSide) << c.solid.x << " " << c.origin.x;
        EXPECT_TRUE(h.hit ? h.block == c.solid && h.side == c.side && Length(h.point - c.point) < 1e-5f
                          : c.side == 0 && (h.side == -1 || h.block == c.solid))
            << c.solid.x << " " << c.origin.x << ": out-parameters untouched, or written for the block beyond range";
    }
    BlockWorld2 world;
    world.Initialize(BlockRect(BlockPos(-8, -8, -8), BlockPos(8, 8, 8)), false);
    world.ChangePos(BlockPos(0, 0, 0), 2);
    EXPECT_FALSE(Cast(world, {1e30f, 0.5f, 0.5f}, {-1, 0, 0}).hit);
    world.Initialize(BlockRect(BlockPos(-8, -8, -8), BlockPos(8, 8, 8)), true);
    const Hit wall = Cast(world, {0.5f, 0.5f, 0.5f}, {1, 0, 0}, true);
    EXPECT_TRUE(wall.block == BlockPos(9, 0, 0) && wall.side == 5) << "a solid outside stops the ray at the border";
}

// Oracle: the slab test against every solid block, in double precision.
struct Entry {
    double enter = -1e300, exit = 1e300;
    BlockPos block;
    int side = 0;
};

Entry SlabTest(const Vector& o, const Vector& d, const BlockPos& b) {
    const double origin[] = {o.x, o.y, o.z}, dir[] = {d.x, d.y, d.z}, low[] = {double(b.x), double(b.y), double(b.z)};
    static const int entered[3][2] = {{6, 5}, {3, 4}, {1, 2}};  // through the -x face going +x, ...
    Entry e{-1e300, 1e300, b, 0};
    for (int a = 0; a < 3; ++a) {
        const double t0 = (low[a] - origin[a]) / dir[a], t1 = (low[a] + 1 - origin[a]) / dir[a];
        if (std::min(t0, t1) > e.enter) e.side = entered[a][dir[a] > 0];
        e.enter = std::max(e.enter, std::min(t0, t1));
        e.exit = std::min(e.exit, std::max(t0, t1));
    }
    return e;
}

TEST(Ray, RandomRaysAgreeWithTheSlabTest) {
    std::mt19937 random(42);
    std::uniform_real_distribution<float> coordinate(-1.0f, 7.0f), component(-1.0f, 1.0f);
    int compared = 0;
    for (int trial = 0; trial < 400; ++trial) {
        BlockWorld2 world;
        world.Initialize(BlockRect(BlockPos(0, 0, 0), BlockPos(6, 6, 6)), false);
        std::vector<BlockPos> solid;
        for (int n = 0; n < 25; ++n) {
            solid.emplace_back(random() % 6, random() % 6, random() % 6);
            world.ChangePos(solid.back(), 2);
        }
        for (int ray = 0; ray < 20; ++ray) {
            const Vector o(coordinate(random), coordinate(random), coordinate(random));
            const Vector d(component(random), component(random), component(random));
            std::vector<Entry> entries;
            for (const BlockPos& b : solid) {
                const Entry e = SlabTest(o, d, b);
                if (e.exit >= e.enter && e.enter >= 0) entries.push_back(e);
            }
            std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.enter < b.enter; });
            if (std::any_of(entries.begin(), entries.end(), [](const Entry& e) { return e.exit - e.enter < 1e-3; })) {
                continue;  // grazing an edge: float and double may disagree
            }
            const Hit h = Cast(world, o, d), forever = Cast(world, o, d, true);
            ASSERT_EQ(h.hit, !entries.empty()) << trial;
            ASSERT_EQ(forever.hit, !entries.empty()) << trial;
            if (entries.empty() || (entries.size() > 1 && entries[1].enter - entries[0].enter < 1e-3)) continue;
            EXPECT_TRUE(h.block == entries[0].block && h.side == entries[0].side && forever.block == h.block) << trial;
            EXPECT_NEAR(Length(h.point - o), entries[0].enter * Length(d), 1e-3);
            ++compared;
        }
    }
    EXPECT_GT(compared, 1000);
}

}  // namespace
