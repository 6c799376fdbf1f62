#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <random>
#include <set>

#include "quads/QuadAlgorithm.h"
#include "support/RecordingBuffer.h"
#include "world/BlockWorld2.h"

namespace {

using Point = QuadAlgorithm::Point;
using Quad = QuadAlgorithm::Quad;
using Engine = QuadAlgorithm::QuadMergerEngine;

// Oracle: a plain set of cells. The quads stay disjoint and cover exactly
// those cells, the engine's indexes describe exactly its quads, and the quad
// found for a cell is the one a walk over all quads finds. The largest plane
// outgrows its plain list into the set and maps and is filed by column runs;
// every so often each is filled afresh, as a sweep fills it, and all are
// drained at the end.
// Merging matters for speed alone, so one rule stands for it: cells that
// arrive row by row, from either end, make one rectangle.
TEST(QuadMerger, RandomAddsAndRemovesKeepTheInvariants) {
    for (const int size : {2, 4, 7, 40}) {
        std::mt19937 random(100 + size);
        Engine engine(pmr::get_default_resource(), size == 40 ? 128 : Engine::kListMost);  // as a big plane
        std::set<std::pair<int, int>> cells;
        const auto check = [&] {
            std::set<std::pair<int, int>> covered;
            size_t area = 0;
            const std::vector<Quad> quads = engine.QuadList();
            for (const Quad& q : quads) {
                for (int x = q.low.x; x <= q.high.x; ++x)
                    for (int y = q.low.y; y <= q.high.y; ++y) covered.insert({x, y});
                area += size_t(q.high.x - q.low.x + 1) * (q.high.y - q.low.y + 1);
            }
            ASSERT_TRUE(covered == cells && area == cells.size() && engine.IndexesConsistent()) << size;
            const Point probe(static_cast<int>(random() % (size + 2)) - 2, static_cast<int>(random() % (size + 2)) - 2);
            const auto holder = std::find_if(quads.begin(), quads.end(), [&](const Quad& q) { return q.Contains(probe); });
            Quad found;
            ASSERT_EQ(engine.FindQuadContainingSquare(probe, found), holder != quads.end());
            ASSERT_TRUE(holder == quads.end() || (found.low == holder->low && found.high == holder->high));
        };
        for (int step = 0; step < size * size * 3; ++step) {
            if (step % 37 == 0) engine.Fill(engine.QuadList());  // as a sweep leaves it, a plain list
            const Point p(static_cast<int>(random() % size) - 1, static_cast<int>(random() % size) - 1);
            cells.erase({p.x, p.y}) ? engine.RemoveSquare(p) : (engine.AddSquare(p), void(cells.insert({p.x, p.y})));
            ASSERT_NO_FATAL_FAILURE(check());
        }
        std::vector<std::pair<int, int>> left(cells.begin(), cells.end());
        std::shuffle(left.begin(), left.end(), random);
        for (const auto& [x, y] : left) {
            engine.RemoveSquare(Point(x, y));
            cells.erase({x, y});
            ASSERT_NO_FATAL_FAILURE(check());
        }
        for (const int way : {1, -1}) {
            engine.Fill({});
            for (int cell = 0; cell < size * 3; ++cell) engine.AddSquare(Point(way > 0 ? cell % size : size - 1 - cell % size, cell / size));
            const std::vector<Quad> quads = engine.QuadList();
            EXPECT_TRUE(quads.size() == 1 && quads[0].low == Point(0, 0) && quads[0].high == Point(size - 1, 2)) << way;
        }
    }
}

// The holder files each face under its texture, side and plane, whatever it
// remembers of the engines it used last: planes 64 apart, and sides and
// planes that add up alike, share its memory's slots.
TEST(QuadHolder, FacesOfEveryTextureSideAndPlaneStayApart) {
    std::mt19937 random(5);
    QuadAlgorithm::QuadHolder holder;
    std::map<std::array<int, 3>, std::set<std::pair<int, int>>> model;
    for (int step = 0; step < 3000; ++step) {
        const std::array<int, 3> key = {2 + int(random() % 2), 1 + int(random() % 2), int(random() % 4) * 8 % 24 + int(random() % 2) * 64};
        const int x = int(random() % 4), y = int(random() % 4);
        const BlockPos pos(x, y, key[1] == 1 ? key[2] - 1 : key[2]);
        if (model[key].erase({x, y})) {
            holder.RemoveQuad(key[0], key[1], key[2], pos);
        } else {
            holder.AddQuad(key[0], key[1], key[2], pos);
            model[key].insert({x, y});
        }
    }
    for (const auto& [key, cells] : model) {
        std::set<std::pair<int, int>> covered;
        for (const Quad& q : holder.Engines().at(key[0]).at(key[1]).at(key[2]).QuadList())
            for (int x = q.low.x; x <= q.high.x; ++x)
                for (int y = q.low.y; y <= q.high.y; ++y) covered.insert({x, y});
        EXPECT_EQ(covered, cells) << key[0] << " " << key[1] << " " << key[2];
    }
}

// Batches big enough to share their sweeps between threads end with exactly
// the faces their records show: one that fills most of a box, written to the
// index alone, and one that changes a quarter of it record by record; the
// records come out in step, and so do runs of cubes taken away at once. Odd sides end the columns' runs of eight slots
// everywhere, and single faces changed make records whose faces differ.
TEST(BlockWorld2, BigBatchesEndWithTheFacesTheirRecordsShow) {
    for (const std::array<int, 3> size : {std::array<int, 3>{48, 48, 48}, {65, 9, 33}, {17, 130, 25}}) {
        std::mt19937 random(3);
        const int cubes = size[0] * size[1] * size[2];
        std::vector<std::array<int, 6>> faces(size_t(cubes), std::array<int, 6>{});
        std::vector<bool> solid(size_t(cubes), false);
        const auto positionOf = [&](int i) { return BlockPos(i / size[2] / size[1], i / size[2] % size[1], i % size[2]); };
        const auto faceOf = [&](const BlockPos& p, int side) {
            const bool inside = std::min({p.x, p.y, p.z}) >= 0 && p.x < size[0] && p.y < size[1] && p.z < size[2];
            return inside ? faces[size_t((p.x * size[1] + p.y) * size[2] + p.z)][side - 1] : 0;
        };
        BlockWorld2 world;
        world.Initialize(BlockRect(BlockPos(0, 0, 0), BlockPos(size[0] - 1, size[1] - 1, size[2] - 1)), false);
        const auto expectShown = [&](const std::string& when) {
            std::multiset<Face> shown;
            size_t records = 0;
            for (int i = 0; i < cubes; ++i) {
                const BlockPos p = positionOf(i);
                const auto& f = faces[size_t(i)];
                records += solid[size_t(i)] || std::any_of(f.begin(), f.end(), [](int t) { return t != 0; });
                for (int side = 1; side <= 6; ++side) {
                    if (f[side - 1] != 0 && faceOf(BlockWorld2::AdjBlock(p, side), BlockWorld2::OppSide(side)) == 0) {
                        shown.insert(Face{f[side - 1], p.x, p.y, p.z, side});
                    }
                }
            }
            RecordingBuffer drawn;
            world.QuickRender(&drawn);
            ASSERT_EQ(drawn.faces, shown) << when << " in a box of " << size[0] << " by " << size[1] << " by " << size[2];
            ASSERT_EQ(world.TotalBlocks(), records);
        };
        // The last changes a few layers across z alone, whose planes are swept
        // while the planes that share their layers of cubes wait for nothing.
        for (const auto& [batch, changeOneIn, layers] : {std::make_tuple(cubes, 1u, 1), std::make_tuple(0, 4u, 1), std::make_tuple(0, 2u, 7)}) {
            world.BeginBatch(size_t(batch));
            for (int i = 0; i < cubes; ++i) {
                const int texture = random() % 4 == 0 ? 0 : std::array{1, 2, 3, 255, 300}[random() % 5];  // past a byte's looks too
                if (random() % changeOneIn != 0 || i % size[2] % layers != 0) {
                    continue;
                }
                if (random() % 16 == 0) {
                    const int side = 1 + int(random() % 6);
                    faces[size_t(i)][side - 1] = texture;
                    world.ChangeTexture(texture, positionOf(i), side);
                } else {
                    faces[size_t(i)].fill(texture);
                    solid[size_t(i)] = texture != 0;
                    world.ChangePos(positionOf(i), texture);
                }
            }
            for (int row = 0; row < size[0] * size[1]; row += 7) {  // runs taken away at once, as a flood's rows
                const int z = size[2] > 64 ? int(random() % 2) * 64 : 0, width = std::min(64, size[2] - z);
                const uint64_t run = (uint64_t(random()) << 32 | random()) & (width == 64 ? ~uint64_t(0) : (uint64_t(1) << width) - 1);
                world.RemoveRun(BlockPos(row / size[1], row % size[1], z), run);
                for (int bit = 0; bit < width; ++bit) {
                    if (run >> bit & 1) faces[size_t(row * size[2] + z + bit)].fill(0), solid[size_t(row * size[2] + z + bit)] = false;
                }
            }
            world.EndBatch();
            ASSERT_NO_FATAL_FAILURE(expectShown("after the batch of " + std::to_string(batch) + " cubes"));
        }
        // Batches that change looks alone: closed cubes, some with faces that
        // differ, taken away and put back in another texture or given it at
        // once, their planes' rectangles read again rather than swept; then
        // the same with a cube taken away and another filled, and with a cube
        // missing a face taken away and put back whole: both change the faces
        // that show.
        for (const int kind : {0, 1, 2}) {
            world.BeginBatch(size_t(cubes));
            int emptiedOne = -1, filledOne = -1;
            for (int i = 0; i < cubes; ++i) {
                const auto& f = faces[size_t(i)];
                const auto faced = std::count_if(f.begin(), f.end(), [](int t) { return t != 0; });
                filledOne = (kind == 1 ? faced == 0 : faced > 0 && faced < 6) ? i : filledOne;
                if (faced < 6 || random() % 3 != 0) continue;
                if (kind == 1 && emptiedOne < 0) {
                    emptiedOne = i;
                    continue;
                }
                const int texture = std::array{1, 2, 3, 300}[random() % 4];
                if (random() % 2 == 0) world.ChangePos(positionOf(i), 0);
                world.ChangePos(positionOf(i), texture);
                faces[size_t(i)].fill(texture);
            }
            ASSERT_TRUE(kind == 0 || filledOne >= 0);
            for (const auto& [i, texture] : {std::make_pair(emptiedOne, 0), std::make_pair(filledOne, 0), std::make_pair(filledOne, 2)}) {
                if (kind == 0 || i < 0) continue;
                world.ChangePos(positionOf(i), texture);
                faces[size_t(i)].fill(texture);
                solid[size_t(i)] = texture != 0;
            }
            world.EndBatch();
            ASSERT_NO_FATAL_FAILURE(expectShown("after a batch of looks of kind " + std::to_string(kind)));
        }
    }
}

}  // namespace
