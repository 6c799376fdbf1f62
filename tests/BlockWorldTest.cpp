#include <gtest/gtest.h>

#include "support/Fatal.h"
#include "world/BlockWorld2.h"

namespace {

TEST(BlockWorldDeathTest, ABadSideEndsTheProcess) {
    BlockWorld2 world;
    world.Initialize(BlockRect(BlockPos(0, 0, 0), BlockPos(5, 5, 5)), false);
    ExpectFatal([&] { world.ChangeTexture(5, BlockPos(0, 0, 0), 7); }, "Error: bad side (7) passed to BlockWorld2::ChangeTexture");
    ExpectFatal([] { BlockWorld2::OppSide(0); }, "Error: bad side passed to BlockWorld2::OppSide");
    ExpectFatal([] { BlockWorld2::PlaneOfSide(BlockPos(0, 0, 0), 9); }, "Error: bad side passed to BlockWorld2::PlaneOfSide");
}

}  // namespace
