#include <gtest/gtest.h>

#include "game/SDL_Helpers.h"

namespace {

TEST(GlyphCell, KnownCells) {
    struct Case {
        char c;
        int column;
        int row;
    };
    const Case cases[] = {{'!', 0, 0}, {'A', 0, 2}, {'B', 1, 2}, {' ', 15, 5}, {'~', 13, 5},
                          {'\t', 14, 5}, {'\n', 14, 5}, {'\x7f', 14, 5}, {'\xe9', 14, 5}, {'\0', 14, 5}};
    for (const Case& c : cases) {
        const GlyphCell cell = GlyphCellOf(c.c);
        EXPECT_EQ(cell.column, c.column) << int(c.c);
        EXPECT_EQ(cell.row, c.row) << int(c.c);
    }
    EXPECT_FLOAT_EQ(GlyphCellOf('!').u, 1 / 512.0f);
    EXPECT_FLOAT_EQ(GlyphCellOf('!').v, 1 / 512.0f);
    EXPECT_LE(GlyphCellOf(' ').v + kGlyphHeight, 1.0f) << "the last row stays inside the image";
}

}  // namespace
