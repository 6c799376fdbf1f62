#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <queue>
#include <random>
#include <set>
#include <string>
#include <tuple>

#include "minefield/FieldRegions.h"
#include "minefield/MineField.h"
#include "support/RecordingBuffer.h"

namespace {

// A click on cube p: the ray starts inside the next cube along +x, whose own
// block is never tested, and runs straight at p.
void Click(MineField& field, const BlockPos& p, bool uncover, float time) {
    field.MouseInput(Vector(p.x + 1.5f, p.y + 0.5f, p.z + 0.5f), Vector(-1, 0, 0), uncover, time);
}

std::set<BlockPos> DrawnMines(unsigned seed, int sx, int sy, int sz, int draws) {
    std::srand(seed);
    std::set<BlockPos> mines;
    for (int draw = 0; draw < draws; ++draw) {
        const int x = std::rand() % sx, y = std::rand() % sy;
        mines.insert(BlockPos(x, y, std::rand() % sz));
    }
    return mines;
}

TEST(MineField, MinesAndCountsFollowTheGeneratorsDraws) {
    for (unsigned seed = 1; seed <= 30; ++seed) {
        const int sx = 2 + seed % 4, sy = 1 + seed % 3, sz = 3 + seed % 2, draws = static_cast<int>(seed % 12);
        const std::set<BlockPos> mines = DrawnMines(seed, sx, sy, sz, draws);
        std::srand(seed);
        MineField field;
        field.Initialize(sx, sy, sz, draws);
        ASSERT_EQ(field.Cubes().Size(), size_t(sx * sy * sz));
        for (size_t i = 0; i < field.Cubes().Size(); ++i) {
            const BlockPos p = field.Cubes().PositionOf(i);
            const Block& b = field.Cubes().At(i);
            int count = 0;
            for (const BlockPos& m : mines)
                count += !(m == p) && std::abs(m.x - p.x) <= 1 && std::abs(m.y - p.y) <= 1 && std::abs(m.z - p.z) <= 1;
            EXPECT_EQ(std::make_tuple(b.isMine, int(b.adjacentMines), int(b.state), b.timeFinished),
                      std::make_tuple(mines.count(p) == 1, count, int(Block::kCovered), 1e7f));
            EXPECT_EQ(field.World().GetTexture(p, 1 + i % 6), MineField::kGreyTexture);
        }
        bool won = false;
        int m = 0, f = 0;
        field.GetGameState(won, m, f);
        EXPECT_EQ(std::make_tuple(won, m, f), std::make_tuple(mines.empty(), int(mines.size()), 0)) << seed;
    }
}

TEST(MineField, ExtremeBoxes) {
    const std::array<int, 6> cases[] = {
        // x, y, z, draws, cubes, mines
        {2, 2, 2, 1000, 8, 8},     // more draws than cubes: all mined, nothing clamped
        {0, 5, 5, 7, 0, 0},        // a side of 0: no cubes, no draws
        {2, 2, 2, -5, 8, 0},       // a negative count draws nothing
        {1, 1, 1, 2147483647, 1, 1},  // the draws stop once every cube is mined
    };
    for (const auto& [x, y, z, draws, cubes, mines] : cases) {
        std::srand(1);
        MineField field;
        field.Initialize(x, y, z, draws);
        bool won = false;
        int m = -1, f = -1;
        field.GetGameState(won, m, f);
        EXPECT_EQ(std::make_tuple(int(field.Cubes().Size()), field.World().TotalBlocks(), m, won),
                  std::make_tuple(cubes, cubes, mines, mines == 0));
    }
}

// The rules as plainly as they can be put: a queue of every neighbour, a walk
// over all cubes for the standing and the markers, and a block world of its
// own driven in the same order. The game's faster paths must agree.
class PlainField {
public:
    explicit PlainField(const MineField& field) : grid(field.Cubes()), blocks(grid.Size()) {
        const BlockPos last = grid.PositionOf(blocks.size() - 1);
        world.Initialize(BlockRect(BlockPos(0, 0, 0), BlockPos(last.x + 1, last.y + 1, last.z + 1)), false);
        for (size_t i = 0; i < blocks.size(); ++i) {
            blocks[i] = grid.At(i);
            world.ChangePos(grid.PositionOf(i), MineField::kGreyTexture);
        }
    }

    void Click(const BlockPos& p, bool uncover, float time) {
        Block& block = At(p);
        if (dead || (uncover && block.state == Block::kFlagged)) return;
        if (!uncover) {
            const bool flagging = block.state == Block::kCovered;
            block.state = flagging ? Block::kFlagged : Block::kCovered;
            block.timeFinished = flagging && block.isMine ? time : block.timeFinished;
            Retexture(p, flagging ? MineField::kFlaggedTexture : MineField::kGreyTexture);
        } else if (block.isMine) {
            dead = true;
            for (size_t i = 0; i < blocks.size(); ++i)
                if (blocks[i].isMine) Retexture(grid.PositionOf(i), MineField::kMineTexture);
        } else {
            Flood(p, time);
        }
    }

    std::vector<uint32_t> Markers() const {
        std::vector<uint32_t> marked;
        for (size_t i = 0; i < blocks.size(); ++i)
            if (blocks[i].state == Block::kUncovered && blocks[i].adjacentMines) marked.push_back(uint32_t(i));
        return marked;
    }

    std::tuple<bool, int, int> Standing() const {
        bool won = true;
        int mines = 0, flags = 0;
        for (const Block& b : blocks) {
            won = won && (b.state == Block::kFlagged) == b.isMine;
            mines += b.isMine;
            flags += b.state == Block::kFlagged;
        }
        return {won, mines, flags};
    }

    const CubeGrid& grid;
    std::vector<Block> blocks;
    BlockWorld2 world;
    bool dead = false;

private:
    Block& At(const BlockPos& p) { return blocks[grid.Find(p) - &grid.At(0)]; }
    void Retexture(const BlockPos& p, int texture) {
        world.ChangePos(p, 0);
        world.ChangePos(p, texture);
    }
    void Flood(const BlockPos& start, float time) {
        std::queue<BlockPos> open;
        for (open.push(start); !open.empty(); open.pop()) {
            const BlockPos p = open.front();
            if (!grid.Find(p) || At(p).state == Block::kUncovered) continue;
            At(p).state = Block::kUncovered;
            At(p).timeFinished = time;
            world.ChangePos(p, 0);
            for (int d = 0; d < 27 && At(p).adjacentMines == 0; ++d)
                if (d != 13) open.push(BlockPos(p.x + d / 9 - 1, p.y + d / 3 % 3 - 1, p.z + d % 3 - 1));
        }
    }
};

std::multiset<Face> DrawnFaces(const BlockWorld2& world) {
    RecordingBuffer buffer;
    world.QuickRender(&buffer);
    return buffer.faces;
}

void ExpectSame(const MineField& field, const PlainField& plain) {
    for (size_t i = 0; i < plain.blocks.size(); ++i) {
        const Block& a = field.Cubes().At(i);
        const Block& b = plain.blocks[i];
        ASSERT_EQ(std::tie(a.state, a.timeFinished), std::tie(b.state, b.timeFinished)) << i;
    }
    ASSERT_EQ(field.World().TotalBlocks(), plain.world.TotalBlocks());
    ASSERT_EQ(DrawnFaces(field.World()), DrawnFaces(plain.world)) << "exactly the visible faces, after floods too";
    ASSERT_EQ(field.MarkedCubes(), plain.Markers());
    bool won = false;
    int mines = 0, flags = 0;
    field.GetGameState(won, mines, flags);
    ASSERT_EQ(std::make_tuple(won, mines, flags), plain.Standing());
    ASSERT_EQ(field.Dead(), plain.dead);
}

TEST(MineField, FastPathsAgreeWithThePlainRulesOnRandomPlay) {
    std::mt19937 random(17);
    for (unsigned seed = 1; seed <= 12; ++seed) {
        const int sx = 6 + seed % 5, sy = 5 + seed % 4, sz = 7 + seed % 3;
        std::srand(seed);
        MineField field;
        field.Initialize(sx, sy, sz, static_cast<int>(sx * sy * sz * (0.01 + 0.01 * (seed % 4))));
        PlainField plain(field);
        for (int click = 0; click < 60; ++click) {
            const BlockPos p(random() % sx, random() % sy, random() % sz);
            if (field.Cubes().Find(p)->state == Block::kUncovered) continue;  // the ray would pass through
            // Mostly mines are flagged so the game goes on; one safe cube in four is flagged too.
            const bool uncover = field.Cubes().Find(p)->isMine ? random() % 40 == 0 : random() % 4 != 0;
            Click(field, p, uncover, float(click));
            plain.Click(p, uncover, float(click));
            ASSERT_NO_FATAL_FAILURE(ExpectSame(field, plain)) << "seed " << seed << " click " << click;
        }
    }
}

// Oracle: the mines after a first uncover, moved as the rule says, and counts taken from them afresh.
TEST(MineField, ASafeFirstClickMovesTheMineAwayUnlessEveryCubeIsMined) {
    std::mt19937 random(31);
    for (unsigned seed = 1; seed <= 60; ++seed) {
        const bool safe = seed % 4 != 0;
        const int sx = 1 + seed % 3, sy = 2, sz = 1 + seed % 4;
        std::srand(seed);
        MineField field;
        field.SetSafeFirstClick(safe);
        field.Initialize(sx, sy, sz, static_cast<int>(seed % 9));
        std::vector<bool> mines;
        for (size_t i = 0; i < field.Cubes().Size(); ++i) mines.push_back(field.Cubes().At(i).isMine);
        const auto free = std::find(mines.begin(), mines.end(), false);
        const BlockPos clicked(random() % sx, random() % sy, random() % sz);
        if (free != mines.end() && seed % 2) Click(field, field.Cubes().PositionOf(free - mines.begin()), false, 0);
        if (field.Cubes().Find(clicked)->state == Block::kFlagged) continue;
        const size_t at = field.Cubes().Find(clicked) - &field.Cubes().At(0);
        if (safe && mines[at] && free != mines.end()) {
            mines[at] = false;
            *free = true;
        }
        Click(field, clicked, true, 1);
        EXPECT_EQ(field.Dead(), bool(mines[at])) << seed;
        EXPECT_EQ(field.Cubes().Find(clicked)->state, mines[at] ? Block::kCovered : Block::kUncovered) << seed;
        bool safeFlagged = false;
        for (size_t i = 0; i < mines.size(); ++i) {
            const BlockPos p = field.Cubes().PositionOf(i);
            int count = 0;
            for (size_t j = 0; j < mines.size(); ++j) {
                const BlockPos q = field.Cubes().PositionOf(j);
                count += i != j && mines[j] && std::abs(p.x - q.x) <= 1 && std::abs(p.y - q.y) <= 1 && std::abs(p.z - q.z) <= 1;
            }
            EXPECT_EQ(std::make_tuple(bool(field.Cubes().At(i).isMine), int(field.Cubes().At(i).adjacentMines)),
                      std::make_tuple(bool(mines[i]), count)) << seed;
            if (mines[i] && field.Cubes().At(i).state == Block::kCovered) Click(field, p, false, 2);
            safeFlagged = safeFlagged || (!mines[i] && field.Cubes().At(i).state == Block::kFlagged);
        }
        bool won = false;
        int m = 0, f = 0;
        field.GetGameState(won, m, f);
        EXPECT_EQ(won, !field.Dead() && !safeFlagged) << "every mine is flagged now, seed " << seed;
    }
}

// Each region's geometry, kept and built again only when its version moves
// on, must equal a fresh build after every click: a missed change shows.
TEST(FieldRegions, KeptGeometryEqualsAFreshBuildAfterEveryClick) {
    struct Watched : MineField {
        Watched() { blockWorld.SetObserver(&regions); }
        FieldRegions regions{*this};
    };
    struct Kept {
        uint64_t faces = 0, markers = 0;
        std::vector<FaceVertex> faceVertices;
        std::vector<MarkerVertex> markerVertices;
    };
    const auto same = [](const auto& a, const auto& b) {
        return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(a[0])) == 0;
    };
    std::mt19937 random(9);
    for (unsigned seed = 1; seed <= 4; ++seed) {
        std::srand(seed);
        Watched field;
        field.Initialize(20, 17, 11, 150);
        std::vector<Kept> kept(field.regions.Count());
        FieldRegions::Faces faces;
        std::vector<MarkerVertex> markers;
        for (int click = 0; click < 40; ++click) {
            const BlockPos p(random() % 20, random() % 17, random() % 11);
            if (field.Cubes().Find(p)->state == Block::kUncovered) continue;
            Click(field, p, !field.Cubes().Find(p)->isMine || click == 39, float(click));
            for (int r = 0; r < field.regions.Count(); ++r) {
                field.regions.BuildFaces(r, faces);
                field.regions.BuildMarkers(r, markers);
                if (kept[r].faces != field.regions.FacesVersion(r) || click == 0) {
                    kept[r].faces = field.regions.FacesVersion(r);
                    kept[r].faceVertices = faces.vertices;
                }
                if (kept[r].markers != field.regions.MarkersVersion(r) || click == 0) {
                    kept[r].markers = field.regions.MarkersVersion(r);
                    kept[r].markerVertices = markers;
                }
                ASSERT_TRUE(same(kept[r].faceVertices, faces.vertices)) << seed << " " << click << " region " << r;
                ASSERT_TRUE(same(kept[r].markerVertices, markers)) << seed << " " << click << " region " << r;
            }
        }
    }
}

// The cube a click would act on is the one it changes, on random fields seen from anywhere.
TEST(MineField, TheTargetIsTheCubeAClickActsOn) {
    std::mt19937 random(23);
    std::uniform_real_distribution<float> place(-3, 12), turn(-1, 1);
    for (unsigned seed = 1; seed <= 20; ++seed) {
        std::srand(seed);
        MineField field;
        field.Initialize(8, 7, 6, 20);
        for (int open = 0; open < 3; ++open) {
            const BlockPos p(random() % 8, random() % 7, random() % 6);
            if (!field.Cubes().Find(p)->isMine && field.Cubes().Find(p)->state == Block::kCovered) Click(field, p, true, 0);
        }
        ASSERT_FALSE(field.Dead());
        for (int ray = 0; ray < 50; ++ray) {
            const Vector eye(place(random), place(random), place(random)), look(turn(random), turn(random), turn(random));
            BlockPos target(-1, -1, -1);
            const bool aimed = field.Target(eye, look, target);
            std::vector<uint8_t> before;
            for (size_t i = 0; i < field.Cubes().Size(); ++i) before.push_back(field.Cubes().At(i).state);
            field.MouseInput(eye, look, false, 1.0f);
            std::vector<BlockPos> changed;
            for (size_t i = 0; i < before.size(); ++i)
                if (field.Cubes().At(i).state != before[i]) changed.push_back(field.Cubes().PositionOf(i));
            EXPECT_EQ(changed, aimed ? std::vector<BlockPos>{target} : std::vector<BlockPos>{}) << seed << " " << ray;
        }
    }
}

}  // namespace
