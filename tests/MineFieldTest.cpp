#include <gtest/gtest.h>

#include <cstdlib>
#include <queue>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <tuple>

#include "minefield/MineField.h"

namespace {

// A click on cube p: the ray starts inside the next cube along +x, whose own
// block is never tested, and runs straight at p.
void Click(MineField& field, const BlockPos& p, bool uncover, float time) {
    field.MouseInput(Vector(p.x + 1.5f, p.y + 0.5f, p.z + 0.5f), Vector(-1, 0, 0), uncover, time);
}

const Block& At(const MineField& field, const BlockPos& p) {
    return *field.Cubes().Find(p);
}

std::vector<BlockPos> AllPositions(const MineField& field) {
    std::vector<BlockPos> positions;
    for (size_t i = 0; i < field.Cubes().Size(); ++i) positions.push_back(field.Cubes().PositionOf(i));
    return positions;
}

std::set<BlockPos> Mines(const MineField& field) {
    std::set<BlockPos> mines;
    for (const BlockPos& p : AllPositions(field))
        if (At(field, p).isMine) mines.insert(p);
    return mines;
}

TEST(MineField, MinesAndCountsFollowTheDrawsOfTheGenerator) {
    for (unsigned seed = 1; seed <= 30; ++seed) {
        const int sx = 2 + seed % 4, sy = 1 + seed % 3, sz = 3 + seed % 2, mines = static_cast<int>(seed % 12);
        std::srand(seed);
        std::set<BlockPos> expected;
        for (int draw = 0; draw < mines; ++draw) {
            const int x = std::rand() % sx;
            const int y = std::rand() % sy;
            const int z = std::rand() % sz;
            expected.insert(BlockPos(x, y, z));
        }
        std::srand(seed);
        MineField field;
        field.Initialize(sx, sy, sz, mines);
        ASSERT_EQ(field.Cubes().Size(), static_cast<size_t>(sx * sy * sz));
        EXPECT_EQ(Mines(field), expected) << "seed " << seed;
        for (const BlockPos& p : AllPositions(field)) {
            int count = 0;
            for (const BlockPos& m : expected)
                count += !(m == p) && std::abs(m.x - p.x) <= 1 && std::abs(m.y - p.y) <= 1 && std::abs(m.z - p.z) <= 1;
            EXPECT_EQ(At(field, p).adjacentMines, count);
            EXPECT_EQ(At(field, p).state, Block::kCovered);
            EXPECT_EQ(At(field, p).timeFinished, 1e7f);
            EXPECT_EQ(field.World().GetTexture(p, 1), MineField::kGreyTexture);
        }
        bool won = false;
        int m = 0, f = 0;
        field.GetGameState(won, m, f);
        EXPECT_EQ(m, static_cast<int>(expected.size())) << "duplicate draws make one mine";
        EXPECT_EQ(won, expected.empty());
    }
}

TEST(MineField, FlagsStampMinesAndDecideTheWin) {
    std::srand(4);
    MineField field;
    field.Initialize(4, 4, 4, 5);
    const std::set<BlockPos> mines = Mines(field);
    ASSERT_FALSE(mines.empty());
    const BlockPos mine = *mines.begin();
    BlockPos safe(-1, -1, -1);
    for (const BlockPos& p : AllPositions(field))
        if (!mines.count(p)) safe = p;

    Click(field, safe, false, 1.0f);
    EXPECT_EQ(At(field, safe).state, Block::kFlagged);
    EXPECT_EQ(At(field, safe).timeFinished, 1e7f) << "a safe cube is not stamped by its flag";
    EXPECT_EQ(field.World().GetTexture(safe, 6), MineField::kFlaggedTexture);
    Click(field, mine, false, 1.5f);
    Click(field, mine, false, 2.5f);
    EXPECT_EQ(At(field, mine).state, Block::kCovered);
    EXPECT_EQ(At(field, mine).timeFinished, 1.5f) << "unflagging keeps the stamp";
    EXPECT_EQ(field.World().GetTexture(mine, 6), MineField::kGreyTexture);

    float time = 3;
    for (const BlockPos& m : mines) Click(field, m, false, time += 1);
    bool won = true;
    int mineCount = 0, flagCount = 0;
    field.GetGameState(won, mineCount, flagCount);
    EXPECT_FALSE(won) << "one safe cube is flagged too";
    EXPECT_EQ(flagCount, static_cast<int>(mines.size()) + 1);
    Click(field, safe, false, 20);
    field.GetGameState(won, mineCount, flagCount);
    EXPECT_TRUE(won) << "the flags are exactly the mines; covered safe cubes remain";
    EXPECT_EQ(mineCount, static_cast<int>(mines.size()));
    EXPECT_EQ(At(field, *mines.rbegin()).timeFinished, time);
}

TEST(MineField, ExtremeBoxes) {
    struct Case {
        int x, y, z, mines;
        size_t cubes;
        int expectedMines;
    };
    const Case cases[] = {
        {2, 2, 2, 1000, 8, 8},        // more draws than cubes: all mined, nothing clamped
        {3, 3, 3, 0, 27, 0},          // no mines: won at once
        {0, 5, 5, 7, 0, 0},           // a side of 0: no cubes, no draws
        {5, 0, 0, 0, 0, 0},
        {2, 2, 2, -5, 8, 0},          // a negative count draws nothing
        {1, 1, 1, 2147483647, 1, 1},  // the draws stop once every cube is mined
    };
    for (const Case& c : cases) {
        std::srand(1);
        MineField field;
        field.Initialize(c.x, c.y, c.z, c.mines);
        bool won = false;
        int mines = -1, flags = -1;
        field.GetGameState(won, mines, flags);
        EXPECT_EQ(field.Cubes().Size(), c.cubes);
        EXPECT_EQ(mines, c.expectedMines);
        EXPECT_EQ(won, c.expectedMines == 0);
        EXPECT_EQ(field.World().TotalBlocks(), static_cast<int>(c.cubes));
    }
}

// The rules as plainly as they can be put: a queue of every neighbour, a
// walk over all cubes for the standing and the markers, and a block world of
// its own driven in the same order. The game's faster paths must agree.
class PlainField {
public:
    PlainField(const MineField& field, const BlockPos& size) : blocks(field.Cubes().Size()) {
        world.Initialize(BlockRect(BlockPos(0, 0, 0), size), false);
        for (size_t i = 0; i < blocks.size(); ++i) {
            blocks[i] = field.Cubes().At(i);
            world.ChangePos(field.Cubes().PositionOf(i), MineField::kGreyTexture);
        }
        grid = &field.Cubes();
    }

    void Click(const BlockPos& p, bool uncover, float time) {
        Block& block = At(p);
        if (!uncover) {
            const bool flagging = block.state == Block::kCovered;
            block.state = flagging ? Block::kFlagged : Block::kCovered;
            block.timeFinished = flagging && block.isMine ? time : block.timeFinished;
            world.ChangePos(p, 0);
            world.ChangePos(p, flagging ? MineField::kFlaggedTexture : MineField::kGreyTexture);
        } else if (block.state != Block::kFlagged) {
            Flood(p, time);
        }
    }

    std::vector<uint32_t> Markers() const {
        std::vector<uint32_t> marked;
        for (size_t i = 0; i < blocks.size(); ++i)
            if (blocks[i].state == Block::kUncovered && blocks[i].adjacentMines) marked.push_back(uint32_t(i));
        return marked;
    }

    void Standing(bool& won, int& mines, int& flags) const {
        won = true;
        mines = flags = 0;
        for (const Block& b : blocks) {
            won = won && (b.state == Block::kFlagged) == b.isMine;
            mines += b.isMine;
            flags += b.state == Block::kFlagged;
        }
    }

    const std::vector<Block>& Blocks() const { return blocks; }
    const BlockWorld2& World() const { return world; }

private:
    Block& At(const BlockPos& p) {
        return blocks[grid->Find(p) - &grid->At(0)];
    }
    void Flood(const BlockPos& start, float time) {
        std::queue<BlockPos> open;
        open.push(start);
        while (!open.empty()) {
            const BlockPos p = open.front();
            open.pop();
            if (!grid->Find(p) || At(p).state == Block::kUncovered) continue;
            At(p).state = Block::kUncovered;
            At(p).timeFinished = time;
            world.ChangePos(p, 0);
            if (At(p).adjacentMines) continue;
            for (int dx = -1; dx <= 1; ++dx)
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dz = -1; dz <= 1; ++dz)
                        if (dx || dy || dz) open.push(BlockPos(p.x + dx, p.y + dy, p.z + dz));
        }
    }

    const CubeGrid* grid = nullptr;
    std::vector<Block> blocks;
    BlockWorld2 world;
};

// Every engine's quads, in drawing order.
std::vector<std::string> AllQuads(const BlockWorld2& world) {
    std::vector<std::string> all;
    for (const auto& [texture, sides] : world.Quads().Holder().Engines())
        for (const auto& [side, planes] : sides)
            for (const auto& [plane, engine] : planes)
                for (const auto& q : engine.Quads())
                    all.push_back(std::to_string(texture) + "/" + std::to_string(side) + "/" + std::to_string(plane) +
                                  ": " + std::to_string(q.low.x) + "," + std::to_string(q.low.y) + " " +
                                  std::to_string(q.high.x) + "," + std::to_string(q.high.y));
    return all;
}

TEST(MineField, FastPathsAgreeWithThePlainRulesOnRandomPlay) {
    std::mt19937 random(17);
    for (unsigned seed = 1; seed <= 12; ++seed) {
        const int sx = 6 + seed % 5, sy = 5 + seed % 4, sz = 7 + seed % 3;
        std::srand(seed);
        MineField field;
        field.Initialize(sx, sy, sz, static_cast<int>(sx * sy * sz * (0.01 + 0.01 * (seed % 4))));
        PlainField plain(field, BlockPos(sx, sy, sz));
        const std::vector<BlockPos> all = AllPositions(field);
        for (int click = 0; click < 40 && !field.Dead(); ++click) {
            const BlockPos p = all[random() % all.size()];
            if (At(field, p).state == Block::kUncovered) continue;
            // Mines are flagged so the game goes on; one safe cube in four is flagged too.
            const bool uncover = !At(field, p).isMine && random() % 4 != 0;
            Click(field, p, uncover, float(click));
            plain.Click(p, uncover, float(click));

            for (size_t i = 0; i < all.size(); ++i) {
                ASSERT_EQ(field.Cubes().At(i).state, plain.Blocks()[i].state) << "seed " << seed;
                ASSERT_EQ(field.Cubes().At(i).timeFinished, plain.Blocks()[i].timeFinished) << "seed " << seed;
            }
            ASSERT_EQ(field.World().TotalBlocks(), plain.World().TotalBlocks()) << "seed " << seed;
            ASSERT_EQ(AllQuads(field.World()), AllQuads(plain.World()))
                << "the cubes opened in another order, seed " << seed << " click " << click;
            ASSERT_EQ(field.MarkedCubes(), plain.Markers()) << "seed " << seed;
            bool won = false, plainWon = true;
            int mines = 0, flags = 0, plainMines = -1, plainFlags = -1;
            field.GetGameState(won, mines, flags);
            plain.Standing(plainWon, plainMines, plainFlags);
            ASSERT_EQ(std::tie(won, mines, flags), std::tie(plainWon, plainMines, plainFlags)) << "seed " << seed;
        }
    }
}

TEST(MineField, ReplaySectionListsCubesInPositionOrder) {
    MineField field;
    field.Initialize(3, 1, 2, 0);
    Click(field, BlockPos(2, 0, 1), false, 0.25f);
    std::ostringstream out;
    field.OutputReplayInfo(out);
    EXPECT_EQ(out.str(),
              "BEGIN_SECTION MAP_DATA\n"
              "#syntax: x y z mine? time_finished\n"
              "0 0 0 0 1e+07\n0 0 1 0 1e+07\n1 0 0 0 1e+07\n1 0 1 0 1e+07\n2 0 0 0 1e+07\n2 0 1 0 1e+07\n"
              "END_SECTION\n");
}

}  // namespace
