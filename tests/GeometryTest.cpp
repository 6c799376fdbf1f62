#include <gtest/gtest.h>

#include <random>
#include <tuple>

#include "support/Geometry.h"

namespace {

// Oracle for the ordering: lexicographic comparison of the tuples.
TEST(BlockPos, OrdersLikeTuplesOfSignedCoordinates) {
    std::mt19937 random(3);
    std::uniform_int_distribution<int> coordinate(-2, 2);
    for (int i = 0; i < 5000; ++i) {
        const BlockPos a(coordinate(random), coordinate(random), coordinate(random));
        const BlockPos b(coordinate(random), coordinate(random), coordinate(random));
        EXPECT_EQ(a < b, std::tie(a.x, a.y, a.z) < std::tie(b.x, b.y, b.z));
        EXPECT_EQ(a == b, !(a < b) && !(b < a));
    }
    EXPECT_TRUE(BlockPos(-1, 0, 0) < BlockPos(0, 0, 0));
    EXPECT_TRUE(BlockPos(0, 5, 5) < BlockPos(1, 0, 0));
}

TEST(BlockInBlockRect, IsInclusiveOnBothCornersAndEmptyWhenReversed) {
    const BlockRect rect(BlockPos(0, 0, 0), BlockPos(2, 3, 4));
    int inside = 0;
    for (int x = -1; x <= 3; ++x) {
        for (int y = -1; y <= 4; ++y) {
            for (int z = -1; z <= 5; ++z) {
                const bool expected = x >= 0 && x <= 2 && y >= 0 && y <= 3 && z >= 0 && z <= 4;
                EXPECT_EQ(BlockInBlockRect(BlockPos(x, y, z), rect), expected);
                inside += expected;
            }
        }
    }
    EXPECT_EQ(inside, 3 * 4 * 5);
    const BlockRect reversed(BlockPos(0, 2, 0), BlockPos(2, 1, 2));
    EXPECT_FALSE(BlockInBlockRect(BlockPos(1, 1, 1), reversed));
    EXPECT_FALSE(BlockInBlockRect(BlockPos(1, 2, 1), reversed));
}

TEST(Vector, CrossProductIsRightHandedAndOrthogonal) {
    const Vector z = Cross(Vector(1, 0, 0), Vector(0, 1, 0));
    EXPECT_EQ(z.z, 1.0f);
    EXPECT_EQ(Cross(Vector(0, 1, 0), Vector(1, 0, 0)).z, -1.0f);
    std::mt19937 random(5);
    std::uniform_real_distribution<float> component(-10, 10);
    for (int i = 0; i < 1000; ++i) {
        const Vector a(component(random), component(random), component(random));
        const Vector b(component(random), component(random), component(random));
        const Vector c = Cross(a, b);
        const float scale = Length(a) * Length(b) * Length(c) + 1;
        EXPECT_NEAR(Dot(c, a) / scale, 0, 1e-5);
        EXPECT_NEAR(Dot(c, b) / scale, 0, 1e-5);
    }
}

TEST(ToString, UsesTheStreamDefaults) {
    EXPECT_EQ(ToString(-12), "-12");
    EXPECT_EQ(ToString(2.0f), "2");
    EXPECT_EQ(ToString(83.456789f), "83.4568");
    EXPECT_EQ(ToString(10000000.0f), "1e+07");
    EXPECT_EQ(ToString(12.5f), "12.5");
}

}  // namespace
