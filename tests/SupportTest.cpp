// The small shared pieces. The fuzz targets check the tokenizer and the number
// recognisers against plain oracles; these are the cases an oracle cannot state.

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "game/SDL_Helpers.h"
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
