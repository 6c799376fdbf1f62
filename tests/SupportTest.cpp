// The small shared pieces. The fuzz targets check the tokenizer and the number
// recognisers against plain oracles; these are the cases an oracle cannot state.

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <tuple>

#include "game/SDL_Helpers.h"
#include "support/Geometry.h"
#include "support/StringHelpers.h"

namespace {

TEST(FloatingPoint, ReadsDecimalsAsTheNearestFloatAndMinusZeroAsNegative) {
    const std::pair<const char*, float> cases[] = {{"0.04", 0.04f}, {"7.050", 7.05f}, {"1.05", 1.05f},
                                                   {".25", 0.25f},  {"3.", 3.0f},     {"-.5", -0.5f}};
    for (const auto& [text, expected] : cases) {
        float value = 0;
        EXPECT_TRUE(IsFloatingPoint(text, value) && value == expected) << text;
    }
    float zero = 1;
    EXPECT_TRUE(IsFloatingPoint("-0", zero) && zero == 0 && std::signbit(zero));
}

TEST(BlockPos, OrdersLikeTuplesAndRectanglesHoldBothCorners) {
    std::mt19937 random(3);
    const BlockRect rect(BlockPos(0, -1, 0), BlockPos(1, 1, 0));
    for (int i = 0; i < 5000; ++i) {
        const BlockPos a(random() % 5 - 2, random() % 5 - 2, random() % 5 - 2);
        const BlockPos b(random() % 5 - 2, random() % 5 - 2, random() % 5 - 2);
        EXPECT_EQ(a < b, std::tie(a.x, a.y, a.z) < std::tie(b.x, b.y, b.z));
        EXPECT_EQ(BlockInBlockRect(a, rect), 0 <= a.x && a.x <= 1 && -1 <= a.y && a.y <= 1 && a.z == 0);
    }
    EXPECT_FALSE(BlockInBlockRect(BlockPos(1, 1, 1), BlockRect(BlockPos(0, 2, 0), BlockPos(2, 1, 2))));
}

TEST(Vector, CrossIsRightHandedAndNumbersPrintAsStreamsDo) {
    const Vector z = Cross(Vector(1, 0, 0), Vector(0, 1, 0));
    EXPECT_TRUE(z.x == 0 && z.y == 0 && z.z == 1);
    EXPECT_EQ(Cross(Vector(0, 1, 0), Vector(1, 0, 0)).z, -1);
    EXPECT_EQ(ToString(-12) + " " + ToString(2.0f) + " " + ToString(83.456789f) + " " + ToString(1e7f), "-12 2 83.4568 1e+07");
}

TEST(GlyphCell, CodesFillTheGridRowByRowAndEverythingElseFallsBack) {
    const std::tuple<char, int, int> cases[] = {{'!', 0, 0},   {'A', 0, 2},    {'B', 1, 2},    {'~', 13, 5},
                                                {' ', 15, 5},  {'\t', 14, 5},  {'\x7f', 14, 5}, {'\xe9', 14, 5}};
    for (const auto& [c, column, row] : cases) {
        const GlyphCell cell = GlyphCellOf(c);
        EXPECT_EQ(std::tie(cell.column, cell.row), std::tie(column, row)) << int(c);
        EXPECT_EQ(cell.u, (32 * column + 1) / 512.0f);
        EXPECT_EQ(cell.v, (47 * row + 1) / 512.0f);
    }
}

}  // namespace
