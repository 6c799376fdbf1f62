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
    for (const auto& [pos, texture] : cubes)
        for (int side = 1; side <= 6; ++side)
            if (!cubes.count(BlockWorld2::AdjBlock(pos, side))) faces.insert(Face{texture, pos.x, pos.y, pos.z, side});
    return faces;
}

void Change(BlockWorld2& world, std::map<BlockPos, int>& cubes, const BlockPos& pos, int texture) {
    world.ChangePos(pos, texture);
    texture ? void(cubes[pos] = texture) : void(cubes.erase(pos));
}

// Seed 2 has a solid outside; seed 4 bounds too large to index, so every lookup goes to the map.
TEST(BlockWorld, RandomChangesKeepExactlyTheVisibleFaces) {
    for (const unsigned seed : {1u, 2u, 3u, 4u}) {
        std::mt19937 random(seed);
        BlockWorld2 world;
        const int far = seed == 4 ? 1 << 20 : 3;
        world.Initialize(BlockRect(BlockPos(0, 0, 0), BlockPos(far, far, far)), seed == 2);
        std::map<BlockPos, int> cubes;
        for (int step = 0; step < 1500; ++step) {
            Change(world, cubes, BlockPos(random() % 5 - 1, random() % 5 - 1, random() % 5 - 1), random() % 4);
            ASSERT_EQ(DrawnFaces(world), VisibleFaces(cubes)) << seed << " " << step;
            ASSERT_EQ(world.TotalBlocks(), static_cast<int>(cubes.size()));
            const BlockPos p(random() % 7 - 2, random() % 7 - 2, random() % 7 - 2);
            ASSERT_EQ(world.IsPhysicallySolid(p), BlockInBlockRect(p, world.Bounds()) ? cubes.count(p) == 1 : seed == 2);
        }
    }
}

// Every engine's quads, in drawing order.
std::vector<std::array<int, 7>> AllQuads(const BlockWorld2& world) {
    std::vector<std::array<int, 7>> all;
    for (const auto& [texture, sides] : world.Quads().Holder().Engines())
        for (const auto& [side, planes] : sides)
            for (const auto& [plane, engine] : planes)
                for (const auto& q : engine.Quads()) all.push_back({texture, side, plane, q.low.x, q.low.y, q.high.x, q.high.y});
    return all;
}

// Inside a batch emptied records linger but must read as no cube; when it
// ends they are gone, and the faces are those of the same changes made one
// by one: merged exactly as they would have been when the batch was small,
// merged again in a sweep when it was big.
TEST(BlockWorld, BatchesEndWithTheRecordsAndFacesOfTheSameChangesMadeOneByOne) {
    for (const bool onlySmall : {true, false}) {
        std::mt19937 random(5);
        BlockWorld2 world, plain;
        world.Initialize(kBox, false);
        plain.Initialize(kBox, false);
        std::map<BlockPos, int> cubes;
        for (int batch = 0; batch < 200; ++batch) {
            world.BeginBatch();
            for (int step = 1 + random() % (onlySmall || batch % 2 ? 4 : 150); step > 0; --step) {
                const BlockPos pos(random() % 6, random() % 6, random() % 6);
                const int texture = random() % 3 ? 0 : 2 + random() % 2;
                Change(world, cubes, pos, texture);
                plain.ChangePos(pos, texture);
                const BlockPos probe(random() % 6, random() % 6, random() % 6);
                ASSERT_EQ(world.IsPhysicallySolid(probe), cubes.count(probe) == 1);
                ASSERT_EQ(world.GetTexture(probe, 1 + batch % 6), cubes.count(probe) ? cubes[probe] : 0);
            }
            world.EndBatch();
            ASSERT_EQ(world.TotalBlocks(), static_cast<int>(cubes.size())) << batch;
            ASSERT_EQ(DrawnFaces(world), VisibleFaces(cubes)) << batch;
            ASSERT_TRUE(!onlySmall || AllQuads(world) == AllQuads(plain)) << batch;
        }
    }
}

TEST(BlockWorld, HiddenFacesKeepTheirTexturesAndDisabledQuadsFreeze) {
    BlockWorld2 world;
    world.Initialize(kBox, false);
    world.ChangePos(BlockPos(1, 1, 1), 2);
    world.ChangePos(BlockPos(2, 1, 1), 2);
    world.ChangeTexture(3, BlockPos(2, 1, 1), 5);
    EXPECT_EQ(world.GetTexture(BlockPos(2, 1, 1), 5) * 10 + world.GetTexture(BlockPos(1, 1, 1), 6), 32);
    EXPECT_EQ(world.NumQuads(), 6) << "a face against a neighbour changes its id only";
    world.ChangePos(BlockPos(4, 4, 4), 0);
    EXPECT_EQ(world.TotalBlocks(), 2) << "removing nothing creates no record";
    world.DisableQuads();
    world.ChangePos(BlockPos(1, 1, 1), 0);
    world.ChangePos(BlockPos(3, 3, 3), 4);
    EXPECT_EQ(world.NumQuads(), 6);
    EXPECT_TRUE(world.TotalBlocks() == 2 && world.IsPhysicallySolid(BlockPos(3, 3, 3)) && world.GetTexture(BlockPos(3, 3, 3), 2) == 4);
    EXPECT_TRUE(DrawnFaces(world).empty());
    world.Initialize(kBox, true);
    EXPECT_EQ(world.TotalBlocks() + world.NumQuads(), 0);
}

// Fatal paths print on standard output; the child sends it to standard error for the matcher.
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
    EXPECT_EXIT((SendOutputToErrors(), BlockWorld2::PlaneOfSide(BlockPos(0, 0, 0), 9)), ::testing::ExitedWithCode(1),
                "^Error: bad side passed to BlockWorld2::PlaneOfSide\n$");
}

}  // namespace
