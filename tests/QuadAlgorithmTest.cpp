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
// the faces their cubes show: one that fills most of a box, written to the
// index alone, and one that changes a quarter of it record by record; the
// records come out in step.
TEST(BlockWorld2, BigBatchesEndWithTheFacesTheirCubesShow) {
    constexpr int n = 48;
    std::mt19937 random(3);
    std::vector<int> textures(n * n * n, 0);
    const auto at = [&](const BlockPos& p) {
        const bool inside = std::min({p.x, p.y, p.z}) >= 0 && std::max({p.x, p.y, p.z}) < n;
        return inside ? textures[(p.x * n + p.y) * n + p.z] : 0;
    };
    BlockWorld2 world;
    world.Initialize(BlockRect(BlockPos(0, 0, 0), BlockPos(n - 1, n - 1, n - 1)), false);
    for (const auto& [cubes, changeOneIn] : {std::make_pair(textures.size(), 1u), std::make_pair(size_t(0), 4u)}) {
        world.BeginBatch(cubes);
        for (size_t i = 0; i < textures.size(); ++i) {
            if (random() % changeOneIn == 0) {
                textures[i] = random() % 4 == 0 ? 0 : 1 + int(random() % 3);
                world.ChangePos(BlockPos(int(i) / n / n, int(i) / n % n, int(i) % n), textures[i]);
            }
        }
        world.EndBatch();
        std::multiset<Face> shown;
        for (size_t i = 0; i < textures.size(); ++i) {
            const BlockPos p(int(i) / n / n, int(i) / n % n, int(i) % n);
            for (int side = 1; side <= 6 && textures[i] != 0; ++side)
                if (at(BlockWorld2::AdjBlock(p, side)) == 0) shown.insert(Face{textures[i], p.x, p.y, p.z, side});
        }
        RecordingBuffer drawn;
        world.QuickRender(&drawn);
        ASSERT_EQ(drawn.faces, shown) << "after the batch of " << cubes << " cubes";
        ASSERT_EQ(world.TotalBlocks(), textures.size() - std::count(textures.begin(), textures.end(), 0));
    }
}

}  // namespace
