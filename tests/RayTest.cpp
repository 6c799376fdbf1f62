#include <gtest/gtest.h>

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

Hit Cast(const BlockWorld2& world, Vector origin, Vector direction, float maxDistance = 200) {
    Hit h;
    h.hit = RayAlgorithm().RayIntersectsWorld(&world, origin, direction, maxDistance, h.point, h.block, h.side);
    return h;
}

Hit CastForever(const BlockWorld2& world, Vector origin, Vector direction) {
    Hit h;
    RayAlgorithm().InfiniteRayIntersectsWorld(&world, origin, direction, h.point, h.block, h.side);
    h.hit = h.side != -1;
    return h;
}

BlockWorld2& WorldWith(BlockWorld2& world, std::initializer_list<BlockPos> solid, bool outsideSolid = false) {
    world.Initialize(BlockRect(BlockPos(-8, -8, -8), BlockPos(8, 8, 8)), outsideSolid);
    for (const BlockPos& p : solid) world.ChangePos(p, 2);
    return world;
}

TEST(Ray, PreciseCases) {
    struct Case {
        const char* name;
        Vector origin, direction;
        BlockPos solid;
        bool hit;
        BlockPos block;
        int side;
        Vector point;
        int infiniteSide;
    };
    const Case cases[] = {
        {"along +x", {-2.5f, 0.5f, 0.5f}, {1, 0, 0}, {0, 0, 0}, true, {0, 0, 0}, 5, {0, 0.5f, 0.5f}, 5},
        {"along -x", {2.5f, 0.5f, 0.5f}, {-1, 0, 0}, {0, 0, 0}, true, {0, 0, 0}, 6, {1, 0.5f, 0.5f}, 6},
        {"down z", {0.5f, 0.5f, 3.25f}, {0, 0, -2}, {0, 0, 0}, true, {0, 0, 0}, 1, {0.5f, 0.5f, 1}, 1},
        {"up y", {0.5f, -3.5f, 0.5f}, {0, 1, 0}, {0, 0, 0}, true, {0, 0, 0}, 4, {0.5f, 0, 0.5f}, 4},
        {"x and y tie", {-0.5f, -0.5f, 0.5f}, {1, 1, 0}, {0, 0, 0}, true, {0, 0, 0}, 5, {0, 0, 0.5f}, 4},
        {"in the plane y = 1", {-3.5f, 1, 0.5f}, {1, 0, 0}, {0, 1, 0}, true, {0, 1, 0}, 5, {0, 1, 0.5f}, 5},
        {"nearly along an axis", {0.5f, 0.5f, 5.5f}, {1e-7f, -1e-7f, -1}, {0, 0, 2}, true, {0, 0, 2}, 1,
         {0.5f, 0.5f, 3}, 1},
        {"origin inside a solid block", {0.5f, 0.5f, 0.5f}, {1, 0, 0}, {0, 0, 0}, false, {}, 0, {}, -1},
        {"pointing away", {-2.5f, 0.5f, 0.5f}, {-1, 0, 0}, {0, 0, 0}, false, {}, 0, {}, -1},
    };
    for (const Case& c : cases) {
        BlockWorld2 world;
        WorldWith(world, {c.solid});
        const Hit h = Cast(world, c.origin, c.direction);
        ASSERT_EQ(h.hit, c.hit) << c.name;
        const Hit forever = CastForever(world, c.origin, c.direction);
        EXPECT_EQ(forever.side, c.infiniteSide) << c.name;
        if (!c.hit) {
            continue;
        }
        EXPECT_EQ(h.block, c.block) << c.name;
        EXPECT_EQ(h.side, c.side) << c.name;
        EXPECT_NEAR(h.point.x, c.point.x, 1e-5) << c.name;
        EXPECT_NEAR(h.point.y, c.point.y, 1e-5) << c.name;
        EXPECT_NEAR(h.point.z, c.point.z, 1e-5) << c.name;
    }
}

TEST(Ray, RangeAndDegenerateDirections) {
    BlockWorld2 world;
    world.Initialize(BlockRect(BlockPos(0, 0, 0), BlockPos(300, 1, 1)), false);
    world.ChangePos(BlockPos(200, 0, 0), 2);
    Hit h = Cast(world, {-0.5f, 0.5f, 0.5f}, {1, 0, 0});
    EXPECT_FALSE(h.hit) << "entry at 200.5 is beyond the range of 200";
    EXPECT_EQ(h.block, BlockPos(200, 0, 0)) << "yet the candidate was written";
    EXPECT_TRUE(Cast(world, {0.5f, 0.5f, 0.5f}, {1, 0, 0}).hit);

    const Vector nowhere[] = {{0, 0, 0}, {1e-7f, -1e-7f, 0}, {std::nanf(""), 1, 0},
                              {std::numeric_limits<float>::infinity(), 0, 0}};
    for (const Vector& d : nowhere) {
        h = Cast(world, {-0.5f, 0.5f, 0.5f}, d);
        EXPECT_FALSE(h.hit);
        EXPECT_EQ(h.side, -1) << "out-parameters untouched";
        EXPECT_EQ(CastForever(world, {-0.5f, 0.5f, 0.5f}, d).side, -1);
    }
    EXPECT_FALSE(Cast(world, {1e30f, 0.5f, 0.5f}, {-1, 0, 0}).hit) << "a far origin stays outside every world";
}

// Oracle: the slab test against every solid block, in double precision.
struct Entry {
    double enter, exit;
    BlockPos block;
    int side;
};

Entry SlabTest(const Vector& o, const Vector& d, const BlockPos& b) {
    const double origin[] = {o.x, o.y, o.z};
    const double dir[] = {d.x, d.y, d.z};
    const int low[] = {b.x, b.y, b.z};
    static const int entered[3][2] = {{6, 5}, {3, 4}, {1, 2}};
    Entry e{-1e300, 1e300, b, 0};
    for (int a = 0; a < 3; ++a) {
        if (dir[a] == 0) {
            if (origin[a] < low[a] || origin[a] > low[a] + 1) return Entry{1, 0, b, 0};
            continue;
        }
        double t0 = (low[a] - origin[a]) / dir[a];
        double t1 = (low[a] + 1 - origin[a]) / dir[a];
        if (t0 > t1) std::swap(t0, t1);
        if (t0 > e.enter) {
            e.enter = t0;
            e.side = entered[a][dir[a] > 0];
        }
        e.exit = std::min(e.exit, t1);
    }
    return e;
}

TEST(Ray, RandomRaysAgreeWithTheSlabTest) {
    std::mt19937 random(42);
    std::uniform_real_distribution<float> coordinate(-1.0f, 7.0f);
    std::uniform_real_distribution<float> component(-1.0f, 1.0f);
    int compared = 0;
    for (int trial = 0; trial < 400; ++trial) {
        BlockWorld2 world;
        world.Initialize(BlockRect(BlockPos(0, 0, 0), BlockPos(6, 6, 6)), false);
        std::vector<BlockPos> solid;
        for (int n = 0; n < 25; ++n) {
            const BlockPos p(random() % 6, random() % 6, random() % 6);
            world.ChangePos(p, 2);
            solid.push_back(p);
        }
        for (int ray = 0; ray < 20; ++ray) {
            const Vector o(coordinate(random), coordinate(random), coordinate(random));
            const Vector d(component(random), component(random), component(random));
            if (LengthSquared(d) < 0.01f) continue;
            const double length = Length(d);
            std::vector<Entry> entries;
            for (const BlockPos& b : solid) {
                const Entry e = SlabTest(o, d, b);
                if (e.exit >= e.enter && e.enter >= 0) entries.push_back(e);
            }
            std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.enter < b.enter; });
            const bool grazing = std::any_of(entries.begin(), entries.end(), [](const Entry& e) {
                return (e.exit - e.enter) * 1.0 < 1e-3;
            });
            const bool tie = entries.size() > 1 && (entries[1].enter - entries[0].enter) * length < 1e-3 &&
                             !(entries[1].block == entries[0].block);
            if (grazing) continue;

            const Hit h = Cast(world, o, d);
            const Hit forever = CastForever(world, o, d);
            ASSERT_EQ(h.hit, !entries.empty()) << "trial " << trial;
            ASSERT_EQ(forever.hit, !entries.empty()) << "trial " << trial;
            if (entries.empty() || tie) continue;
            EXPECT_EQ(h.block, entries[0].block) << "trial " << trial;
            EXPECT_EQ(h.side, entries[0].side) << "trial " << trial;
            EXPECT_EQ(forever.block, entries[0].block) << "trial " << trial;
            EXPECT_NEAR(Length(h.point - o), entries[0].enter * length, 1e-3);
            ++compared;
        }
    }
    EXPECT_GT(compared, 1000);
}

TEST(Ray, TheInfiniteRayStopsOnceItLeavesAWorldWithAnEmptyOutside) {
    BlockWorld2 world;
    WorldWith(world, {{0, 0, 0}});
    for (const Vector& d : {Vector(1, 0.3f, -0.2f), Vector(0, 0, 1), Vector(-1, -1, -1)}) {
        EXPECT_FALSE(CastForever(world, {2.5f, 2.5f, 2.5f}, d).hit);
    }
    BlockWorld2 walled;
    WorldWith(walled, {}, true);
    const Hit wall = CastForever(walled, {0.5f, 0.5f, 0.5f}, {1, 0, 0});
    EXPECT_EQ(wall.block, BlockPos(9, 0, 0)) << "an outside that is solid stops the ray at the border";
    EXPECT_EQ(wall.side, 5);
}

}  // namespace
