#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <queue>
#include <random>
#include <set>
#include <stdexcept>
#include <tuple>

#include "minefield/MineField.h"
#include "render/FieldRegions.h"
#include "support/RecordingBuffer.h"
#include "support/SlabTest.h"

namespace {

// A field whose regions watch it, as the drawing's do, and learn of the
// layers a cut hides or shows.
struct Field : MineField {
    Field() { blockWorld.SetObserver(&regions); }
    void Cut(const Vector& look, bool deeper) {
        BlockRect layer;
        if (deeper ? CutDeeper(look, layer) : CutShallower(layer)) regions.MarkersChanged(layer);
    }
    FieldRegions regions{World(), [this](const BlockRect& box, std::vector<uint8_t>& out) { ShownCounts(box, out); }};
};

// A click on cube p: the ray starts inside the next cube along +x, whose own
// block is never tested, and runs straight at p.
void Click(MineField& field, const BlockPos& p, bool uncover, float time) {
    field.MouseInput(Vector(p.x + 1.5f, p.y + 0.5f, p.z + 0.5f), Vector(-1, 0, 0), uncover, time);
}

// Oracle: the mines among a cube's neighbours, by distance.
int MinesAround(const CubeGrid& cubes, const std::vector<bool>& mines, size_t i) {
    const BlockPos p = cubes.PositionOf(i);
    int count = 0;
    for (size_t j = 0; j < mines.size(); ++j) {
        const BlockPos q = cubes.PositionOf(j);
        count += i != j && mines[j] && std::abs(p.x - q.x) <= 1 && std::abs(p.y - q.y) <= 1 && std::abs(p.z - q.z) <= 1;
    }
    return count;
}

std::tuple<bool, int, int> Standing(const MineField& field) {
    std::tuple<bool, int, int> standing;
    field.GetGameState(std::get<0>(standing), std::get<1>(standing), std::get<2>(standing));
    return standing;
}

// The rules as plainly as they can be put: a queue of every neighbour, and a
// walk over all cubes for the standing, the markers and the faces that show.
// The game's faster paths must agree.
class PlainField {
public:
    explicit PlainField(const MineField& field)
        : grid(field.Cubes()), blocks(&grid.At(0), &grid.At(0) + grid.Size()), size{field.Size(0), field.Size(1), field.Size(2)} {}

    // The cut: the axis most along the view, ties to the first, from the side looked from.
    void Cut(const Vector& look, bool deeper) {
        if (deeper && layers == 0) {
            const float along[3] = {std::fabs(look.x), std::fabs(look.y), std::fabs(look.z)};
            axis = int(std::max_element(along, along + 3) - along);
            sign = (axis == 0 ? look.x : axis == 1 ? look.y : look.z) < 0 ? -1 : 1;
        }
        layers = std::clamp(layers + (deeper ? 1 : -1), 0, size[axis]);
    }
    bool Hidden(const BlockPos& p) const {
        const int at = axis == 0 ? p.x : axis == 1 ? p.y : p.z;
        return layers > 0 && (sign < 0 ? at >= size[axis] - layers : at < layers);
    }
    // What shows: covered and flagged cubes, and uncovered ones with a count, outside the cut.
    bool Solid(const BlockPos& p) const { return grid.Find(p) && State(p) != Block::kUncovered && !Hidden(p); }
    bool Marked(const BlockPos& p) const {
        return grid.Find(p) && State(p) == Block::kUncovered && grid.Find(p)->adjacentMines && !Hidden(p);
    }

    void Click(const BlockPos& p, bool uncover, float time) {
        Block& block = At(p);
        if (dead || (uncover && block.state == Block::kFlagged)) return;
        if (!uncover) {
            const bool flagging = block.state == Block::kCovered;
            block.state = flagging ? Block::kFlagged : Block::kCovered;
            block.timeFinished = flagging && block.isMine ? time : block.timeFinished;
        } else if (block.isMine) {
            dead = true;
        } else {
            std::queue<BlockPos> open;
            for (open.push(p); !open.empty(); open.pop()) {
                const BlockPos q = open.front();
                if (!grid.Find(q) || At(q).state == Block::kUncovered) continue;
                At(q).state = Block::kUncovered;
                At(q).timeFinished = time;
                for (int d = 0; d < 27 && At(q).adjacentMines == 0; ++d)
                    if (d != 13) open.push(BlockPos(q.x + d / 9 - 1, q.y + d / 3 % 3 - 1, q.z + d % 3 - 1));
            }
        }
    }

    // A covered cube shows its faces that touch an uncovered one or the outside;
    // the block world and the drawing's regions both hold exactly those.
    Block::State State(const BlockPos& p) const { return Block::State(blocks[grid.Find(p) - &grid.At(0)].state); }

    void ExpectSame(const MineField& field, const std::multiset<Face>* inRegions = nullptr,
                    const std::set<BlockPos>* markersInRegions = nullptr) const {
        std::set<BlockPos> shownMarkers;
        std::multiset<Face> faces;
        bool won = true;
        int mines = 0, flags = 0, covered = 0;
        for (size_t i = 0; i < blocks.size(); ++i) {
            const Block& a = field.Cubes().At(i);
            const Block& b = blocks[i];
            ASSERT_EQ(std::make_tuple(int(a.state), float(a.timeFinished)), std::make_tuple(int(b.state), float(b.timeFinished))) << i;
            won = won && (b.state == Block::kFlagged) == b.isMine;
            mines += b.isMine;
            flags += b.state == Block::kFlagged;
            const int texture = dead && b.isMine ? MineField::kMineTexture
                                                 : (b.state == Block::kFlagged ? MineField::kFlaggedTexture : MineField::kGreyTexture);
            const BlockPos p = grid.PositionOf(i);
            covered += Solid(p);
            if (Marked(p)) shownMarkers.insert(p);
            for (int side = 1; side <= 6 && Solid(p); ++side)
                if (!Solid(BlockWorld2::AdjBlock(p, side))) faces.insert(Face{texture, p.x, p.y, p.z, side});
        }
        ASSERT_EQ(field.World().TotalBlocks(), covered);
        if (markersInRegions) ASSERT_EQ(*markersInRegions, shownMarkers);
        RecordingBuffer drawn;
        field.World().QuickRender(&drawn);
        ASSERT_EQ(drawn.faces, faces) << "exactly the visible faces, after floods too";
        if (inRegions) ASSERT_EQ(*inRegions, faces);
        ASSERT_EQ(Standing(field), std::make_tuple(won, mines, flags));
        ASSERT_EQ(field.Dead(), dead);
    }

private:
    Block& At(const BlockPos& p) { return blocks[grid.Find(p) - &grid.At(0)]; }

    const CubeGrid& grid;
    std::vector<Block> blocks;
    const int size[3];
    int axis = 0, sign = -1, layers = 0;
    bool dead = false;
};

// A region's rectangles, sent again as the quads they were built from, their
// texture ranges read off their run's map, from the first whole repeat.
void Replay(const FieldRegions::Faces& faces, QuadBuffer& buffer) {
    for (const FieldRegions::Faces::Run& run : faces.runs) {
        buffer.SetTexture(run.texture);
        for (size_t i = run.first / 6 * 4; i < (run.first + run.count) / 6 * 4; i += 4) {
            const auto at = [&](int k) { return faces.Corner(i + k); };
            const Vector low = run.map.At(at(0)), high = run.map.At(at(3));
            const float u = std::floor(low.x), v = std::floor(high.y);
            buffer.AddQuad(at(0), at(1), at(2), at(3), low.x - u, high.x - u, high.y - v, low.y - v);
        }
    }
}

// Oracle: the mines are the first distinct cubes the generator's draws reach
// (x, y, then z), as many as asked for; past half the box those cubes are the
// safe ones. A first uncover moves one as the rule says, with counts taken
// afresh; with every mine then flagged, the game is won unless a safe cube is
// flagged too.
TEST(MineField, MinesFollowTheDrawsAndASafeFirstClickMovesOneAwayUnlessEveryCubeIsMined) {
    std::mt19937 random(31);
    for (unsigned seed = 1; seed <= 60; ++seed) {
        const bool safe = seed % 4 != 0;
        const int sx = 1 + seed % 3, sy = 1 + seed % 5 / 2, sz = 1 + seed % 4, draws = static_cast<int>(seed % 9);
        std::srand(seed);
        const size_t cubes = size_t(sx * sy * sz), wanted = std::min(size_t(draws), cubes);
        const bool pickSafe = wanted > cubes / 2;
        std::set<size_t> reached;
        while (reached.size() < (pickSafe ? cubes - wanted : wanted)) {
            const int x = std::rand() % sx, y = std::rand() % sy;
            reached.insert(size_t((x * sy + y) * sz + std::rand() % sz));
        }
        std::vector<bool> mines(cubes);
        for (size_t i = 0; i < cubes; ++i) mines[i] = reached.count(i) != pickSafe;
        std::srand(seed);
        MineField field;
        field.SetSafeFirstClick(safe);
        field.Initialize(sx, sy, sz, draws);
        const int count = static_cast<int>(wanted);
        ASSERT_EQ(Standing(field), std::make_tuple(count == 0, count, 0)) << seed;
        ASSERT_EQ(field.World().NumQuads(), 6) << "a new box shows its six sides, each one rectangle";
        for (size_t i = 0; i < mines.size(); ++i) {
            const int texture = field.World().GetTexture(field.Cubes().PositionOf(i), 1 + i % 6);
            EXPECT_EQ(std::make_tuple(int(field.Cubes().At(i).state), float(field.Cubes().At(i).timeFinished), texture),
                      std::make_tuple(int(Block::kCovered), 1e7f, MineField::kGreyTexture));
        }
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
        EXPECT_EQ(std::make_tuple(field.Dead(), int(field.Cubes().At(at).state)),
                  std::make_tuple(bool(mines[at]), int(mines[at] ? Block::kCovered : Block::kUncovered))) << seed;
        bool safeFlagged = false;
        for (size_t i = 0; i < mines.size(); ++i) {
            EXPECT_EQ(std::make_tuple(bool(field.Cubes().At(i).isMine), int(field.Cubes().At(i).adjacentMines)),
                      std::make_tuple(bool(mines[i]), MinesAround(field.Cubes(), mines, i))) << seed;
            if (mines[i] && field.Cubes().At(i).state == Block::kCovered) Click(field, field.Cubes().PositionOf(i), false, 2);
            safeFlagged = safeFlagged || (!mines[i] && field.Cubes().At(i).state == Block::kFlagged);
        }
        EXPECT_EQ(std::get<0>(Standing(field)), !field.Dead() && !safeFlagged) << seed;
    }
    // x, y, z, draws, cubes, mines: more draws than cubes, a side of 0, a negative count, every cube mined
    for (const auto& [x, y, z, draws, cubes, mines] : {std::array<int, 6>{2, 2, 2, 1000, 8, 8}, {0, 5, 5, 7, 0, 0},
                                                       {2, 2, 2, -5, 8, 0}, {1, 1, 1, 2147483647, 1, 1}, {3, 3, 3, 27, 27, 27}}) {
        MineField field;
        field.Initialize(x, y, z, draws);
        EXPECT_EQ(std::make_tuple(int(field.Cubes().Size()), field.World().TotalBlocks(), std::get<1>(Standing(field))),
                  std::make_tuple(cubes, cubes, mines));
        for (size_t i = 0; i < field.Cubes().Size(); ++i)  // up to 26, every neighbour mined
            EXPECT_EQ(int(field.Cubes().At(i).adjacentMines), MinesAround(field.Cubes(), field.Mines(), i)) << x << " " << i;
    }
}

// Oracle: the slab test over every cube of the model. The cube a click acts
// on is the nearest shown solid one the ray enters within the pick range; the
// marker pointed at, the nearest shown marker entered before it. Rays that
// graze an edge or reach two cubes at once are left alone.
struct PlainAim {
    BlockPos target{-1, -1, -1}, marker{-1, -1, -1};
};

PlainAim AimThrough(const PlainField& plain, const MineField& field, const Vector& eye, const Vector& look) {
    const double length = Length(look);
    double nearestMarker = 1e9, nearestSolid = 1e9;
    PlainAim aim;
    std::vector<double> enters;
    for (size_t i = 0; i < field.Cubes().Size(); ++i) {
        const BlockPos p = field.Cubes().PositionOf(i);
        const Entry e = SlabTest(eye, look, p);
        if (!(e.enter >= 0 && e.exit > e.enter && e.enter * length <= MineField::kPickRange)) continue;
        enters.push_back(e.enter);
        if (plain.Solid(p) && e.enter < nearestSolid) {
            nearestSolid = e.enter;
            aim.target = p;
        } else if (plain.Marked(p) && e.enter < nearestMarker) {
            nearestMarker = e.enter;
            aim.marker = p;
        }
    }
    std::sort(enters.begin(), enters.end());
    for (size_t i = 1; i < enters.size(); ++i)
        if ((enters[i] - enters[i - 1]) * length < 1e-3) throw std::domain_error("a tie");
    aim.marker = nearestMarker < nearestSolid ? aim.marker : BlockPos(-1, -1, -1);
    return aim;
}

// Oracle: a plain breadth-first walk over the cubes. Rows long enough for
// two and three words, and zeros that fall apart into many pieces: a flood
// reaches its start's piece of zeros and their covered neighbours, no more.
TEST(ZeroFlood, ReachesWhatAWalkFromZeroToZeroReaches) {
    std::mt19937 random(17);
    const auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    for (int round = 0; round < 200; ++round) {
        const int sx = pick(1, 4), sy = pick(1, 4), sz = pick(1, 150), zeroOneIn = pick(1, 3);
        const auto at = [&](int x, int y, int z) { return size_t((x * sy + y) * sz + z); };
        std::vector<bool> covered(size_t(sx) * sy * sz), zero(covered.size());
        ZeroFlood flood(sx, sy, sz);
        for (int x = 0; x < sx; ++x)
            for (int y = 0; y < sy; ++y)
                for (int z0 = 0; z0 < sz; z0 += 64) {
                    ZeroFlood::Word c = 0, o = 0;
                    for (int z = z0; z < std::min(sz, z0 + 64); ++z) {
                        covered[at(x, y, z)] = pick(0, 9) != 0, zero[at(x, y, z)] = pick(0, zeroOneIn) == 0;
                        c |= ZeroFlood::Word(covered[at(x, y, z)]) << (z - z0), o |= ZeroFlood::Word(zero[at(x, y, z)]) << (z - z0);
                    }
                    flood.SetWord(x, y, z0 / 64, c, o);
                }
        const BlockPos start(pick(0, sx - 1), pick(0, sy - 1), pick(0, sz - 1));
        std::vector<bool> reached(covered.size());
        std::queue<BlockPos> walk;
        const auto reach = [&](const BlockPos& p) {
            const size_t i = at(p.x, p.y, p.z);
            if (!covered[i] || reached[i]) return;
            reached[i] = true;
            if (zero[i]) walk.push(p);
        };
        reach(start);
        for (; !walk.empty(); walk.pop())
            for (const BlockPos& d : kNeighbours) {
                const BlockPos q(walk.front().x + d.x, walk.front().y + d.y, walk.front().z + d.z);
                if (q.x >= 0 && q.x < sx && q.y >= 0 && q.y < sy && q.z >= 0 && q.z < sz) reach(q);
            }
        const size_t count = flood.Flood(start.x, start.y, start.z);
        const std::vector<ZeroFlood::Word> rows = flood.TakeReached();
        const size_t words = rows.size() / (size_t(sx) * sy);
        for (int x = 0; x < sx; ++x)
            for (int y = 0; y < sy; ++y)
                for (int z = 0; z < sz; ++z)
                    ASSERT_EQ(bool(rows[size_t(x * sy + y) * words + size_t(z / 64)] >> (z % 64) & 1), bool(reached[at(x, y, z)]))
                        << sx << "x" << sy << "x" << sz << " from " << start.x << "," << start.y << "," << start.z << " at " << x << "," << y << "," << z;
        EXPECT_EQ(count, size_t(std::count(reached.begin(), reached.end(), true)));
    }
}

// A chord, aimed at a marker as a click is, does what clicking each covered
// neighbour in turn does by the plain rules: with the flags right it opens
// the rest, with a wrong flag among them it loses, with too few it does
// nothing. The readout counts what the chord weighs.
TEST(MineField, AChordDoesWhatClickingEachCoveredNeighbourWould) {
    std::mt19937 random(29);
    int chords[3] = {0, 0, 0};
    for (unsigned seed = 1; seed <= 30; ++seed) {
        std::srand(seed);
        MineField field;
        field.Initialize(8, 7, 6, 24);
        PlainField plain(field);
        for (int step = 0; step < 60 && !field.Dead(); ++step) {
            const BlockPos p(random() % 8, random() % 7, random() % 6);
            if (plain.State(p) == Block::kCovered && !field.Cubes().Find(p)->isMine) {
                Click(field, p, true, 0);
                plain.Click(p, true, 0);
            }
            if (!plain.Marked(p)) continue;
            // Flag the marker's covered neighbours: its mines, one safe cube in place of a mine, or one mine too few.
            const int kind = random() % 3;
            std::vector<BlockPos> mines, safe, around;
            for (const BlockPos& d : kNeighbours)
                if (field.Cubes().Find(BlockPos(p.x + d.x, p.y + d.y, p.z + d.z))) around.emplace_back(p.x + d.x, p.y + d.y, p.z + d.z);
            for (const BlockPos& q : around) {
                if (plain.State(q) == Block::kFlagged) Click(field, q, false, 1), plain.Click(q, false, 1);
                if (plain.State(q) == Block::kCovered) (field.Cubes().Find(q)->isMine ? mines : safe).push_back(q);
            }
            if (kind == 1 && (mines.empty() || safe.empty())) continue;
            if (kind == 1) mines.back() = safe.back();
            if (kind == 2 && !mines.empty()) mines.pop_back();
            for (const BlockPos& q : mines) Click(field, q, false, 2), plain.Click(q, false, 2);
            const int covered = int(std::count_if(around.begin(), around.end(), [&](const BlockPos& q) { return plain.State(q) == Block::kCovered; }));
            const MineField::Surroundings weighed = field.Around(p);
            ASSERT_EQ(std::make_tuple(weighed.flags, weighed.covered, weighed.count),
                      std::make_tuple(int(mines.size()), covered, int(field.Cubes().Find(p)->adjacentMines)));
            for (const BlockPos& q : around)
                if (weighed.flags == weighed.count && plain.State(q) == Block::kCovered) plain.Click(q, true, 3);
            ++chords[kind];
            field.Chord(Vector(p.x + 1.5f, p.y + 0.5f, p.z + 0.5f), Vector(-1, 0, 0), 3);
            ASSERT_NO_FATAL_FAILURE(plain.ExpectSame(field)) << seed << " " << step;
            ASSERT_EQ(field.Dead(), kind == 1) << seed << " " << step;
        }
    }
    EXPECT_GT(std::min({chords[0], chords[1], chords[2]}), 5) << "every kind of chord was tried";
    // A marker right behind the targeted cube, within one step of its march, is not pointed at.
    MineField row;
    row.Initialize(4, 1, 1, std::vector<bool>{true, false, false, true});
    Click(row, BlockPos(1, 0, 0), true, 0);
    BlockPos marker;
    EXPECT_FALSE(row.PointedMarker(Vector(3.5f, 0.5f, 0.5f), Vector(-1, 0, 0), marker));
}

// The game's fast paths against the plain rules, on random fields under
// random clicks and random cuts (deeper and back, from random views and from
// diagonals, where the axis goes to the first): the block world and the
// regions hold the faces and markers of the box less its hidden layers, each
// region's geometry is what a fresh build gives unless its version moved on,
// and rays meet what rays through that box meet. Some games are lost, to show
// the mines a cut leaves.
// Far past what a 16-bit corner holds: the regions' rectangles run the box's length.
TEST(MineField, TheRegionsOfALongBoxHoldItsFaces) {
    Field field;
    field.Initialize(1 << 16, 1, 1, 0);
    RecordingBuffer inRegions;
    FieldRegions::Faces faces;
    for (int r = 0; r < field.regions.Count(); ++r) {
        field.regions.BuildFaces(r, faces);
        Replay(faces, inRegions);
    }
    PlainField(field).ExpectSame(field, &inRegions.faces);
    EXPECT_TRUE(inRegions.rangesMatchSize) << "each rectangle's texture repeats once a cube, from its corner";
}

TEST(MineField, FastPathsAgreeWithThePlainRulesUnderClicksAndCuts) {
    const auto bytes = [](const auto& v) { return std::string(reinterpret_cast<const char*>(v.data()), v.size() * sizeof(v[0])); };
    std::mt19937 random(41);
    std::uniform_real_distribution<float> place(-3, 12), turn(-1, 1);
    for (unsigned seed = 1; seed <= 12; ++seed) {
        std::srand(seed);
        Field field;
        // Some rows past one and two words of a row of bits.
        const int sx = 5 + seed % 5 * 3, sy = 4 + seed % 4, sz = seed % 4 == 0 ? 60 + int(seed) * 7 : 6 + seed % 3 * 4;
        field.Initialize(sx, sy, sz, static_cast<int>(sx * sy * sz * (0.02 + 0.02 * (seed % 4))));
        PlainField plain(field);
        std::vector<std::array<std::pair<uint64_t, std::string>, 2>> kept(field.regions.Count());
        for (int step = 0; step < 50; ++step) {
            const BlockPos p(random() % sx, random() % sy, random() % sz);
            if (random() % 3 == 0) {
                const Vector ties[] = {{1, 1, 0}, {0, -1, 1}, {-1, 0, -1}, {1, -1, 1}};
                const Vector look = random() % 2 ? Vector(turn(random), turn(random), turn(random)) : ties[random() % 4];
                const bool deeper = random() % 3 != 0;
                field.Cut(look, deeper);
                plain.Cut(look, deeper);
            } else if (plain.Solid(p)) {  // mostly mines are flagged; one safe cube in four too
                const bool uncover = field.Cubes().Find(p)->isMine ? random() % 12 == 0 : random() % 4 != 0;
                Click(field, p, uncover, float(step));
                plain.Click(p, uncover, float(step));
            }
            RecordingBuffer inRegions;
            std::set<BlockPos> markers;
            for (int r = 0; r < field.regions.Count(); ++r) {
                FieldRegions::Faces faces;
                std::vector<MarkerVertex> vertices;
                field.regions.BuildFaces(r, faces);
                FieldRegions::PartEnds ends;
                field.regions.BuildMarkers(r, vertices, ends);
                const std::pair<uint64_t, std::string> built[] = {{field.regions.FacesVersion(r), bytes(faces.corners)},
                                                                  {field.regions.MarkersVersion(r), bytes(vertices)}};
                for (int k = 0; k < 2; ++k) {
                    ASSERT_TRUE(step == 0 || built[k].first != kept[r][k].first || built[k].second == kept[r][k].second)
                        << "changed with its version: seed " << seed << " step " << step << " region " << r;
                    kept[r][k] = built[k];
                }
                Replay(faces, inRegions);
                ASSERT_EQ(size_t(ends.back()) * kMarkerCorners, vertices.size());
                for (size_t v = 0, part = 0; v < vertices.size(); ++v) {  // each marker in its part, within kMarkerLow to kMarkerHigh
                    while (v / kMarkerCorners >= ends[part]) ++part;
                    const BlockRect in = FieldRegions::PartBox(field.regions.Box(r), int(part));
                    const float at[3] = {vertices[v].x, vertices[v].y, vertices[v].z};
                    for (int k = 0; k < 3; ++k)
                        ASSERT_TRUE(at[k] >= Coordinate(in.low, k) + kMarkerLow && at[k] <= Coordinate(in.high, k) + kMarkerHigh)
                            << "region " << r << " part " << part;
                    if (v % kMarkerCorners == 0) markers.insert(BlockPos(int(std::floor(at[0])), int(std::floor(at[1])), int(std::floor(at[2]))));
                }
            }
            ASSERT_NO_FATAL_FAILURE(plain.ExpectSame(field, &inRegions.faces, &markers)) << seed << " step " << step;
            ASSERT_TRUE(inRegions.rangesMatchSize) << seed << " step " << step;
            for (int ray = 0; ray < 6; ++ray) {
                const Vector eye(place(random) + 1 / 64.0f, place(random) + 1 / 64.0f, place(random) + 1 / 64.0f);
                const Vector look(turn(random), turn(random), turn(random));
                PlainAim expected;
                try {
                    expected = AimThrough(plain, field, eye, look);
                } catch (const std::domain_error&) {
                    continue;
                }
                BlockPos target(-1, -1, -1), marker(-1, -1, -1);
                if (!field.Target(eye, look, target)) target = BlockPos(-1, -1, -1);
                if (!field.PointedMarker(eye, look, marker)) marker = BlockPos(-1, -1, -1);
                ASSERT_EQ(std::make_pair(target, marker), std::make_pair(expected.target, expected.marker)) << seed << " " << step;
            }
        }
    }
}

// Floods big enough to open the records beside the store and to share their
// sweep between threads, then the loss: the same as the plain rules.
TEST(MineField, BigFloodsAndTheirLossAgreeWithThePlainRules) {
    struct Case {
        int sx, sy, sz;
        double density;
    };
    for (const Case c : {Case{40, 40, 48, 0.01}, Case{64, 33, 40, 0.02}, Case{37, 70, 31, 0.03}}) {
        std::srand(unsigned(c.sx));
        Field field;
        field.Initialize(c.sx, c.sy, c.sz, int(c.sx * c.sy * c.sz * c.density));
        PlainField plain(field);
        const auto first = [&](bool mine) {
            size_t i = 0;
            while (field.Cubes().At(i).isMine != mine || (!mine && field.Cubes().At(i).adjacentMines != 0)) ++i;
            return field.Cubes().PositionOf(i);
        };
        for (const auto& [p, time] : {std::make_pair(first(false), 1.0f), std::make_pair(first(true), 2.0f)}) {
            Click(field, p, true, time);
            plain.Click(p, true, time);
            ASSERT_NO_FATAL_FAILURE(plain.ExpectSame(field)) << c.sx;
        }
        ASSERT_GE(field.Cubes().Size() - size_t(field.World().TotalBlocks()), size_t(1) << 16) << "too small a flood";
    }
}

}  // namespace
