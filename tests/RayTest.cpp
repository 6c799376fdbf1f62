#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "picking/RayAlgorithm.h"
#include "render/DepthTiles.h"
#include "support/Sides.h"
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
    return h;
}

// What the block fuzz target's slab oracle leaves alone: ties, planes, ranges
// and directions it never draws. Side 0: no hit within the range of 200; infinite
// side -1: none at all.
TEST(Ray, PreciseCases) {
    const float inf = std::numeric_limits<float>::infinity(), nan = std::nanf("");
    struct Case {
        Vector origin, direction;
        BlockPos solid;
        int side;
        Vector point;
        int infiniteSide;
    } const cases[] = {
        {{0.5f, 0.5f, 3.25f}, {0, 0, -2}, {0, 0, 0}, 1, {0.5f, 0.5f, 1}, 1},
        {{-0.5f, -0.5f, 0.5f}, {1, 1, 0}, {0, 0, 0}, 5, {0, 0, 0.5f}, 4},  // a tie: x first, later axis forever
        {{-3.5f, 1, 0.5f}, {1, 0, 0}, {0, 1, 0}, 5, {0, 1, 0.5f}, 5},     // in the plane y = 1
        {{0.5f, 0.5f, 5.5f}, {1e-7f, -1e-7f, -1}, {0, 0, 2}, 1, {0.5f, 0.5f, 3}, 1},
        {{0, 0.5f, 0.5f}, {1, 0, 0}, {200, 0, 0}, 5, {200, 0.5f, 0.5f}, 5},  // entry at 200: just in range
        {{-0.5f, 0.5f, 0.5f}, {1, 0, 0}, {200, 0, 0}, 0, {}, 5},  // entry at 200.5: beyond the range
        {{1e30f, 0.5f, 0.5f}, {-1, 0, 0}, {0, 0, 0}, 0, {}, 6},  // from afar: beyond the range, and met in time forever
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
    world.Initialize(BlockRect(BlockPos(-8, -8, -8), BlockPos(8, 8, 8)), true);
    const Hit wall = Cast(world, {0.5f, 0.5f, 0.5f}, {1, 0, 0}, true);
    EXPECT_TRUE(wall.block == BlockPos(9, 0, 0) && wall.side == 5) << "a solid outside stops the ray at the border";
}

}  // namespace

// Against every plane of the box that a face of the side could lie in, the
// eye on whole, half and quarter coordinates around it: on a plane it sees
// the face edge on, which is not turned away.
TEST(Sides, FacesTurnedAwayAreBehindTheEyeInEveryPlaneOfTheBox) {
    std::mt19937 random(3);
    const auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    for (int round = 0; round < 2000; ++round) {
        const int side = pick(1, 6), axis = kSides[side].axis;
        const Vector low(float(pick(-3, 3)), float(pick(-3, 3)), float(pick(-3, 3)));
        const Vector high = low + Vector(float(pick(0, 3)), float(pick(0, 3)), float(pick(0, 3)));
        const Vector eye(pick(-24, 24) / 4.0f, pick(-24, 24) / 4.0f, pick(-24, 24) / 4.0f);
        bool away = true;
        for (int plane = int(Coordinate(low, axis)); plane <= int(Coordinate(high, axis)); ++plane) {
            away = away && kSides[side].sign * (Coordinate(eye, axis) - float(plane)) < 0;
        }
        EXPECT_EQ(TurnedAway(side, eye, low, high), away) << side << " " << eye.x << " " << eye.y << " " << eye.z;
    }
}

// Oracle: every pixel of the tiles the rectangle touches, or of the rectangle
// itself, clipped to the screen, lies nearer than the depth, the whole numbers
// read back standing for fractions of 2^32 - 1, compared exactly, also at a
// pixel's own depth; a rectangle off the screen hides nothing.
TEST(DepthTiles, HideWhatEveryPixelOfTheTouchedTilesCovers) {
    std::mt19937 random(5);
    const auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    constexpr long double kScale = 4294967295.0L;
    for (int round = 0; round < 300; ++round) {
        const int width = pick(1, 40), height = pick(1, 30);
        std::vector<uint32_t> depths(size_t(width) * height);
        for (uint32_t& depth : depths)  // a few far pixels, alone in their tiles
            depth = pick(0, 40) == 0 ? uint32_t(std::clamp<long double>(pick(1, 8) / 8.0L * kScale + pick(-2, 2), 0, kScale)) : 0;
        DepthTiles tiles;
        tiles.Build(depths.data(), width, height);
        for (int ask = 0; ask < 20; ++ask) {
            const int x0 = pick(-10, width + 5), y0 = pick(-10, height + 5);
            const int x1 = x0 + pick(0, 20), y1 = y0 + pick(0, 20);
            const float depth = pick(0, 1) ? pick(0, 9) / 8.0f - 1 / 16.0f : float(depths[size_t(pick(0, int(depths.size()) - 1))] / kScale);
            const int left = std::max(x0, 0), bottom = std::max(y0, 0), right = std::min(x1, width - 1), top = std::min(y1, height - 1);
            const auto hides = [&](int tile) {
                bool hidden = true;
                for (int y = bottom / tile * tile; left <= right && bottom <= top && y <= std::min(top / tile * tile + tile - 1, height - 1); ++y)
                    for (int x = left / tile * tile; x <= std::min(right / tile * tile + tile - 1, width - 1); ++x)
                        hidden = hidden && depths[size_t(y) * width + x] < static_cast<long double>(depth) * kScale;
                return hidden;
            };
            const std::string where = std::to_string(width) + "x" + std::to_string(height) + " " + std::to_string(x0) + "," +
                                      std::to_string(y0) + " " + std::to_string(x1) + "," + std::to_string(y1);
            EXPECT_EQ(tiles.Hides(x0, y0, x1, y1, depth), hides(8)) << where;
            EXPECT_EQ(tiles.PixelsHide(x0, y0, x1, y1, depth), hides(1)) << where;
        }
    }
}
