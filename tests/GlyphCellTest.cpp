#include <gtest/gtest.h>

#include "game/SDL_Helpers.h"

namespace {

// Oracle: codes 33..128 fill a 16-column grid in order; blank uses 128, all else 127.
TEST(GlyphCell, EveryByteLandsInItsGridCell) {
    for (int byte = 0; byte < 256; ++byte) {
        int code = byte == ' ' ? 128 : byte;
        if (code < 33 || code > 128) {
            code = 127;
        }
        const GlyphCell cell = GlyphCellOf(static_cast<char>(byte));
        EXPECT_EQ(cell.column, (code - 33) % 16) << byte;
        EXPECT_EQ(cell.row, (code - 33) / 16) << byte;
        EXPECT_FLOAT_EQ(cell.u, (32 * cell.column + 1) / 512.0f);
        EXPECT_FLOAT_EQ(cell.v, (47 * cell.row + 1) / 512.0f);
        EXPECT_LE(cell.v + kGlyphHeight, 1.0f);
    }
}

TEST(GlyphCell, KnownCells) {
    struct Case {
        char c;
        int column;
        int row;
    };
    const Case cases[] = {{'!', 0, 0}, {'A', 0, 2}, {'B', 1, 2}, {' ', 15, 5}, {'~', 13, 5},
                          {'\t', 14, 5}, {'\n', 14, 5}, {'\x7f', 14, 5}};
    for (const Case& c : cases) {
        const GlyphCell cell = GlyphCellOf(c.c);
        EXPECT_EQ(cell.column, c.column) << int(c.c);
        EXPECT_EQ(cell.row, c.row) << int(c.c);
    }
    EXPECT_FLOAT_EQ(GlyphCellOf('!').u, 1 / 512.0f);
    EXPECT_FLOAT_EQ(GlyphCellOf('!').v, 1 / 512.0f);
}

}  // namespace
