#include <gtest/gtest.h>
#include <unistd.h>

#include <map>
#include <random>

#include "support/RecordingBuffer.h"
#include "world/BlockWorld2.h"

namespace {

const BlockRect kBox(BlockPos(0, 0, 0), BlockPos(5, 5, 5));

std::multiset<Face> DrawnFaces(const BlockWorld2& world) {
    RecordingBuffer buffer;
    world.QuickRender(&buffer);
    EXPECT_TRUE(buffer.rangesMatchSize) << "texture ranges repeat once per cell";
    return buffer.faces;
}

// Oracle: a face shows when its cube is there and the neighbour across it is not.
std::multiset<Face> VisibleFaces(const std::map<BlockPos, int>& cubes) {
    std::multiset<Face> faces;
    for (const auto& [pos, texture] : cubes) {
        for (int side = 1; side <= 6; ++side) {
            if (!cubes.count(BlockWorld2::AdjBlock(pos, side))) {
                faces.insert(Face{texture, pos.x, pos.y, pos.z, side});
            }
        }
    }
    return faces;
}

// Seed 4 has bounds too large to index, so every lookup goes to the map.
TEST(BlockWorld, RandomChangesKeepExactlyTheVisibleFaces) {
    for (const unsigned seed : {1u, 2u, 3u, 4u}) {
        std::mt19937 random(seed);
        BlockWorld2 world;
        const int far = seed == 4 ? 1 << 20 : 3;
        world.Initialize(BlockRect(BlockPos(0, 0, 0), BlockPos(far, far, far)), seed == 2);
        std::map<BlockPos, int> cubes;
        for (int step = 0; step < 1500; ++step) {
            const BlockPos pos(random() % 5 - 1, random() % 5 - 1, random() % 5 - 1);
            const int texture = static_cast<int>(random() % 4);  // 0 removes
            world.ChangePos(pos, texture);
            texture ? void(cubes[pos] = texture) : void(cubes.erase(pos));

            ASSERT_EQ(DrawnFaces(world), VisibleFaces(cubes)) << "seed " << seed << " step " << step;
            ASSERT_EQ(world.TotalBlocks(), static_cast<int>(cubes.size()));
            for (int x = -2; x <= 4; ++x)
                for (int y = -2; y <= 4; ++y)
                    for (int z = -2; z <= 4; ++z) {
                        const BlockPos p(x, y, z);
                        const bool inside = BlockInBlockRect(p, world.Bounds());
                        ASSERT_EQ(world.IsPhysicallySolid(p), inside ? cubes.count(p) == 1 : seed == 2);
                    }
        }
    }
}

// Inside a batch emptied records linger but must read as no cube; when it
// ends they are gone, whether erased one by one or in one sweep.
TEST(BlockWorld, BatchesReadAsNoCubeAndEndWithTheSameRecords) {
    std::mt19937 random(5);
    BlockWorld2 world;
    world.Initialize(kBox, false);
    std::map<BlockPos, int> cubes;
    for (int batch = 0; batch < 200; ++batch) {
        world.BeginBatch();
        const int changes = 1 + static_cast<int>(random() % (batch % 2 ? 4 : 150));
        for (int step = 0; step < changes; ++step) {
            const BlockPos pos(random() % 6, random() % 6, random() % 6);
            const int texture = random() % 3 ? 0 : 2;
            world.ChangePos(pos, texture);
            texture ? void(cubes[pos] = texture) : void(cubes.erase(pos));
            const BlockPos probe(random() % 6, random() % 6, random() % 6);
            ASSERT_EQ(world.IsPhysicallySolid(probe), cubes.count(probe) == 1) << "batch " << batch;
            ASSERT_EQ(world.GetTexture(probe, 1 + batch % 6), cubes.count(probe) ? cubes[probe] : 0);
        }
        world.EndBatch();
        ASSERT_EQ(world.TotalBlocks(), static_cast<int>(cubes.size())) << "batch " << batch;
        ASSERT_EQ(DrawnFaces(world), VisibleFaces(cubes)) << "batch " << batch;
    }
}

TEST(BlockWorld, SmallArrangements) {
    BlockWorld2 world;
    world.Initialize(kBox, false);
    world.ChangePos(BlockPos(1, 1, 1), 2);
    EXPECT_EQ(world.NumQuads(), 6);
    EXPECT_EQ(world.TotalBlocks(), 1);
    world.ChangePos(BlockPos(2, 1, 1), 2);
    EXPECT_EQ(world.NumQuads(), 6) << "two cubes side by side merge their long faces";
    EXPECT_EQ(world.GetTexture(BlockPos(1, 1, 1), 6), 2) << "a hidden face keeps its texture";
    world.ChangePos(BlockPos(3, 1, 1), 2);
    world.ChangePos(BlockPos(2, 1, 1), 0);
    EXPECT_EQ(world.TotalBlocks(), 2);
    EXPECT_EQ(world.NumQuads(), 12) << "the middle cube's removal exposes both faces that touched it";
    world.ChangePos(BlockPos(4, 4, 4), 0);
    EXPECT_EQ(world.TotalBlocks(), 2) << "removing nothing creates no record";

    const int before = world.NumQuads();
    world.ChangePos(BlockPos(2, 1, 1), 2);
    world.ChangeTexture(3, BlockPos(2, 1, 1), 5);
    EXPECT_EQ(world.NumQuads(), before - 6) << "a face against a neighbour changes its id only";
    EXPECT_EQ(world.GetTexture(BlockPos(2, 1, 1), 5), 3);

    world.Initialize(kBox, true);
    EXPECT_EQ(world.TotalBlocks(), 0);
    EXPECT_EQ(world.NumQuads(), 0);
    EXPECT_TRUE(world.IsPhysicallySolid(BlockPos(6, 0, 0)));
    EXPECT_FALSE(world.IsPhysicallySolid(BlockPos(5, 5, 5)));
}

TEST(BlockWorld, DisabledQuadsFreezeTheMergingButNotTheRecords) {
    BlockWorld2 world;
    world.Initialize(kBox, false);
    world.ChangePos(BlockPos(0, 0, 0), 2);
    world.DisableQuads();
    world.ChangePos(BlockPos(1, 0, 0), 2);
    world.ChangePos(BlockPos(0, 0, 0), 0);
    EXPECT_EQ(world.NumQuads(), 6);
    EXPECT_EQ(world.TotalBlocks(), 1);
    EXPECT_TRUE(world.IsPhysicallySolid(BlockPos(1, 0, 0)));
    EXPECT_EQ(world.GetTexture(BlockPos(1, 0, 0), 3), 2);
    RecordingBuffer buffer;
    world.QuickRender(&buffer);
    EXPECT_TRUE(buffer.calls.empty());
}

void SendOutputToErrors() {
    fflush(stdout);
    dup2(2, 1);
}

TEST(BlockWorldDeathTest, ABadSideEndsTheProcess) {
    BlockWorld2 world;
    world.Initialize(kBox, false);
    EXPECT_EXIT((SendOutputToErrors(), world.ChangeTexture(5, BlockPos(0, 0, 0), 7)), ::testing::ExitedWithCode(1),
                "^Error: bad side \\(7\\) passed to BlockWorld2::ChangeTexture\n$");
    EXPECT_EXIT((SendOutputToErrors(), BlockWorld2::OppSide(0)), ::testing::ExitedWithCode(1),
                "^Error: bad side passed to BlockWorld2::OppSide\n$");
    EXPECT_EXIT((SendOutputToErrors(), BlockWorld2::PlaneOfSide(BlockPos(0, 0, 0), 9)),
                ::testing::ExitedWithCode(1), "^Error: bad side passed to BlockWorld2::PlaneOfSide\n$");
}

}  // namespace
