#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "quads/QuadAlgorithm.h"
#include "support/Fatal.h"
#include "support/RecordingBuffer.h"

namespace {

using Point = QuadAlgorithm::Point;
using Quad = QuadAlgorithm::Quad;
using Engine = QuadAlgorithm::QuadMergerEngine;
using Corners = std::vector<std::array<int, 4>>;

Corners CornersOf(const std::vector<Quad>& quads) {
    Corners corners;
    for (const Quad& q : quads) corners.push_back({q.low.x, q.low.y, q.high.x, q.high.y});
    return corners;
}

TEST(QuadMerger, MergesGreedilyInArrivalOrderAndSplitsByColumns) {
    const std::vector<Point> square = {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}, {0, 2}, {1, 2}, {2, 2}};
    struct Case {
        std::vector<Point> added, removed;
        Corners expected;  // in the engine's set order
    };
    const Case cases[] = {
        {{{0, 0}, {1, 0}, {2, 0}}, {}, {{0, 0, 2, 0}}},
        {{{0, 0}, {1, 0}, {0, 1}, {1, 1}}, {}, {{0, 0, 1, 1}}},
        {{{0, 0}, {1, 0}, {0, -1}}, {}, {{0, -1, 0, -1}, {0, 0, 1, 0}}},
        {{{0, -1}, {0, 0}, {1, 0}}, {}, {{0, -1, 0, 0}, {1, 0, 1, 0}}},
        {square, {{1, 1}}, {{0, 0, 0, 2}, {1, 0, 1, 0}, {1, 2, 1, 2}, {2, 0, 2, 2}}},
        {square, {{0, 0}}, {{0, 1, 0, 2}, {1, 0, 2, 2}}},
        {square, {{1, 1}, {1, 1}}, {{0, 0, 2, 2}}},  // the second time it goes back in
        {{{4, 4}}, {{4, 4}}, {}},
    };
    for (const Case& c : cases) {
        Engine engine;
        std::set<std::pair<int, int>> cells;
        for (const Point& p : c.added) engine.AddSquare(p), cells.insert({p.x, p.y});
        for (const Point& p : c.removed) {
            cells.count({p.x, p.y}) ? engine.RemoveSquare(p) : engine.AddSquare(p);
            cells.count({p.x, p.y}) ? void(cells.erase({p.x, p.y})) : void(cells.insert({p.x, p.y}));
        }
        EXPECT_EQ(CornersOf({engine.Quads().begin(), engine.Quads().end()}), c.expected);
    }
}

// Oracle: a plain set of cells. The quads stay disjoint and cover exactly
// those cells, the engine's indexes describe exactly its quads, and the quad
// found for a cell is the one a walk over all quads finds. The larger planes
// hold enough quads to be filed by column runs, and are drained at the end.
TEST(QuadMerger, RandomAddsAndRemovesKeepTheInvariants) {
    for (const int size : {2, 4, 7, 40}) {
        std::mt19937 random(100 + size);
        Engine engine;
        std::set<std::pair<int, int>> cells;
        const auto check = [&] {
            std::set<std::pair<int, int>> covered;
            size_t area = 0;
            for (const Quad& q : engine.Quads()) {
                for (int x = q.low.x; x <= q.high.x; ++x)
                    for (int y = q.low.y; y <= q.high.y; ++y) covered.insert({x, y});
                area += size_t(q.high.x - q.low.x + 1) * (q.high.y - q.low.y + 1);
            }
            ASSERT_TRUE(covered == cells && area == cells.size() && engine.IndexesConsistent()) << size;
            const Point probe(static_cast<int>(random() % (size + 2)) - 2, static_cast<int>(random() % (size + 2)) - 2);
            const auto holder = std::find_if(engine.Quads().begin(), engine.Quads().end(),
                                             [&](const Quad& q) { return q.Contains(probe); });
            Quad found;
            ASSERT_EQ(engine.FindQuadContainingSquare(probe, found), holder != engine.Quads().end());
            ASSERT_TRUE(holder == engine.Quads().end() || CornersOf({found}) == CornersOf({*holder}));
        };
        for (int step = 0; step < size * size * 3; ++step) {
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
    }
}

// Emptied planes still bind their texture.
TEST(QuadHolder, BindsEachTextureOnceInOrderEvenWhenItsPlanesEmptied) {
    QuadAlgorithm algorithm;
    const auto calls = [&] {
        RecordingBuffer pass;
        algorithm.Draw(&pass);
        return pass.calls;
    };
    EXPECT_EQ(calls(), "Start;End;");
    const BlockPos cube(1, 2, 3);
    algorithm.AddQuad(4, 1, 4, cube);
    for (int side = 6; side >= 1; --side) algorithm.AddQuad(2, side, side, cube);
    EXPECT_EQ(algorithm.GetNumQuads(), 7);
    EXPECT_EQ(calls(), "Start;SetTexture 2;AddQuad;AddQuad;AddQuad;AddQuad;AddQuad;AddQuad;Flush;SetTexture 4;AddQuad;Flush;End;");
    for (int side = 1; side <= 6; ++side) algorithm.RemoveQuad(2, side, side, cube);
    algorithm.RemoveQuad(4, 1, 4, cube);
    EXPECT_EQ(calls(), "Start;SetTexture 2;Flush;SetTexture 4;Flush;End;");
}

TEST(QuadMergerDeathTest, RemovingACellNoQuadHoldsEndsTheProcess) {
    Engine engine;
    engine.AddSquare(Point(0, 0));
    ExpectFatal([&] { engine.RemoveSquare(Point(5, 5)); }, "The sky is falling!!!");
}

}  // namespace
