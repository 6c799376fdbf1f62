#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "quads/QuadAlgorithm.h"
#include "support/RecordingBuffer.h"

// Found by argument lookup from the standard algorithms, so outside the anonymous namespace.
bool operator==(const QuadAlgorithm::Quad& a, const QuadAlgorithm::Quad& b) {
    return a.low == b.low && a.high == b.high;
}

std::ostream& operator<<(std::ostream& out, const QuadAlgorithm::Quad& q) {
    return out << "(" << q.low.x << "," << q.low.y << ")-(" << q.high.x << "," << q.high.y << ")";
}

namespace {

using Point = QuadAlgorithm::Point;
using Quad = QuadAlgorithm::Quad;
using Engine = QuadAlgorithm::QuadMergerEngine;
using Quads = std::vector<Quad>;

Quad Q(int lx, int ly, int hx, int hy) {
    return Quad(Point(lx, ly), Point(hx, hy));
}

Quads QuadsOf(const Engine& engine) {
    return Quads(engine.Quads().begin(), engine.Quads().end());
}

TEST(QuadMerger, MergeOrdersAndSplits) {
    struct Case {
        const char* name;
        std::vector<Point> added;
        std::vector<Point> removed;
        Quads expected;  // in the engine's set order
    };
    const Case cases[] = {
        {"a row", {{0, 0}, {1, 0}, {2, 0}}, {}, {Q(0, 0, 2, 0)}},
        {"a square via the right merge", {{0, 0}, {1, 0}, {0, 1}, {1, 1}}, {}, {Q(0, 0, 1, 1)}},
        {"a cell below a wider row", {{0, 0}, {1, 0}, {0, -1}}, {}, {Q(0, -1, 0, -1), Q(0, 0, 1, 0)}},
        {"the same cells in another order", {{0, -1}, {0, 0}, {1, 0}}, {}, {Q(0, -1, 0, 0), Q(1, 0, 1, 0)}},
        {"the centre out of a 3x3",
         {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}, {0, 2}, {1, 2}, {2, 2}},
         {{1, 1}},
         {Q(0, 0, 0, 2), Q(1, 0, 1, 0), Q(1, 2, 1, 2), Q(2, 0, 2, 2)}},
        {"a corner out of a 3x3",
         {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}, {0, 2}, {1, 2}, {2, 2}},
         {{0, 0}},
         {Q(0, 1, 0, 2), Q(1, 0, 2, 2)}},
        {"the last cell out", {{4, 4}}, {{4, 4}}, {}},
    };
    for (const Case& c : cases) {
        Engine engine;
        engine.Initialize(1, 0);
        for (const Point& p : c.added) engine.AddSquare(p);
        for (const Point& p : c.removed) engine.RemoveSquare(p);
        EXPECT_EQ(QuadsOf(engine), c.expected) << c.name;
        EXPECT_TRUE(engine.IndexesConsistent()) << c.name;
    }

    Engine square;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) square.AddSquare(Point(x, y));
    square.RemoveSquare(Point(1, 1));
    square.AddSquare(Point(1, 1));
    EXPECT_EQ(QuadsOf(square), Quads{Q(0, 0, 2, 2)}) << "putting the centre back restores one quad";

    Quads pieces;
    Engine::SplitUpQuad(Q(0, 0, 4, 0), Point(2, 0), pieces);
    EXPECT_EQ(pieces, (Quads{Q(0, 0, 1, 0), Q(3, 0, 4, 0)}));
    pieces.clear();
    Engine::SplitUpQuad(Q(0, 0, 2, 2), Point(1, 1), pieces);
    EXPECT_EQ(pieces, (Quads{Q(0, 0, 0, 2), Q(1, 0, 1, 0), Q(1, 2, 1, 2), Q(2, 0, 2, 2)}));
    pieces.clear();
    Engine::SplitUpQuad(Q(5, 5, 5, 5), Point(5, 5), pieces);
    EXPECT_TRUE(pieces.empty());
}

// Oracle: a plain set of cells. The quads stay disjoint, cover exactly those
// cells, the edge maps and column runs describe exactly the quads, and the
// quad found for a cell is the one a walk over all quads finds. The larger
// planes hold enough quads to be filed by runs, and are drained at the end
// to drop below that again.
TEST(QuadMerger, RandomAddsAndRemovesKeepTheInvariants) {
    for (const int size : {2, 4, 7, 40}) {
        std::mt19937 random(100 + size);
        Engine engine;
        engine.Initialize(3, 1);
        std::set<std::pair<int, int>> cells;
        const auto check = [&](int step) {
            std::set<std::pair<int, int>> covered;
            size_t area = 0;
            for (const Quad& q : engine.Quads()) {
                for (int x = q.low.x; x <= q.high.x; ++x)
                    for (int y = q.low.y; y <= q.high.y; ++y) covered.insert({x, y});
                area += static_cast<size_t>(q.high.x - q.low.x + 1) * (q.high.y - q.low.y + 1);
            }
            ASSERT_EQ(covered, cells) << "size " << size << " step " << step;
            ASSERT_EQ(area, cells.size()) << "quads overlap, size " << size << " step " << step;
            ASSERT_TRUE(engine.IndexesConsistent()) << "size " << size << " step " << step;

            const Point probe(static_cast<int>(random() % (size + 2)) - 2, static_cast<int>(random() % (size + 2)) - 2);
            const auto holder = std::find_if(engine.Quads().begin(), engine.Quads().end(),
                                             [&](const Quad& q) { return q.Contains(probe); });
            Quad found;
            ASSERT_EQ(engine.FindQuadContainingSquare(probe, found), holder != engine.Quads().end());
            if (holder != engine.Quads().end()) {
                ASSERT_EQ(found, *holder) << "size " << size << " step " << step;
            }
        };
        for (int step = 0; step < size * size * 3; ++step) {
            const Point p(static_cast<int>(random() % size) - 1, static_cast<int>(random() % size) - 1);
            if (cells.erase({p.x, p.y})) {
                engine.RemoveSquare(p);
            } else {
                engine.AddSquare(p);
                cells.insert({p.x, p.y});
            }
            ASSERT_NO_FATAL_FAILURE(check(step));
        }
        std::vector<std::pair<int, int>> left(cells.begin(), cells.end());
        std::shuffle(left.begin(), left.end(), random);
        for (const auto& [x, y] : left) {
            engine.RemoveSquare(Point(x, y));
            cells.erase({x, y});
            ASSERT_NO_FATAL_FAILURE(check(-1));
        }
    }
}

TEST(QuadMerger, DrawsEachSideWithItsVertexOrder) {
    struct Case {
        int side;
        int plane;
        Quad quad;
        Vector p1, p2, p3, p4;
        float w, h;
    };
    const Case cases[] = {
        {1, 5, Q(3, 7, 3, 7), {3, 7, 5}, {4, 7, 5}, {3, 8, 5}, {4, 8, 5}, 1, 1},
        {2, 5, Q(3, 7, 3, 7), {4, 7, 5}, {3, 7, 5}, {4, 8, 5}, {3, 8, 5}, 1, 1},
        {3, 2, Q(0, 0, 1, 0), {2, 2, 0}, {0, 2, 0}, {2, 2, 1}, {0, 2, 1}, 2, 1},
        {4, 2, Q(0, 0, 1, 0), {0, 2, 0}, {2, 2, 0}, {0, 2, 1}, {2, 2, 1}, 2, 1},
        {5, 0, Q(0, 0, 2, 1), {0, 3, 0}, {0, 0, 0}, {0, 3, 2}, {0, 0, 2}, 3, 2},
        {6, 0, Q(0, 0, 2, 1), {0, 0, 0}, {0, 3, 0}, {0, 0, 2}, {0, 3, 2}, 3, 2},
    };
    for (const Case& c : cases) {
        Engine engine;
        engine.Initialize(c.side, c.plane);
        engine.AddQuad(c.quad);
        RecordingBuffer buffer;
        engine.Draw(&buffer);
        ASSERT_EQ(buffer.rectangles.size(), 1u);
        const RecordingBuffer::Rectangle& r = buffer.rectangles[0];
        const Vector expected[] = {c.p1, c.p2, c.p3, c.p4};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(std::make_tuple(r.p[i].x, r.p[i].y, r.p[i].z),
                      std::make_tuple(expected[i].x, expected[i].y, expected[i].z))
                << "side " << c.side << " point " << i + 1;
        }
        EXPECT_EQ(r.uMax, c.w);
        EXPECT_EQ(r.vMax, c.h);
    }
    Engine unset;
    unset.AddSquare(Point(0, 0));
    RecordingBuffer buffer;
    unset.Draw(&buffer);
    EXPECT_TRUE(buffer.calls.empty()) << "a side outside 1..6 draws nothing";
}

TEST(QuadHolder, FilesFacesAndDrivesTheDrawingPass) {
    QuadAlgorithm algorithm;
    RecordingBuffer empty;
    algorithm.Draw(&empty);
    EXPECT_EQ(empty.calls, (std::vector<std::string>{"Start", "End"}));

    const BlockPos cube(1, 2, 3);
    algorithm.AddQuad(4, 1, 9, cube);
    for (int side = 6; side >= 1; --side) {
        algorithm.AddQuad(2, side, side, cube);
    }
    EXPECT_EQ(algorithm.GetNumQuads(), 7);
    const auto& engines = algorithm.Holder().Engines();
    Quad cell;
    ASSERT_TRUE(engines.at(2).at(5).at(5).FindQuadContainingSquare(Point(2, 3), cell)) << "-x face is cell (y, z)";
    ASSERT_TRUE(engines.at(2).at(3).at(3).FindQuadContainingSquare(Point(1, 3), cell)) << "+y face is cell (x, z)";

    RecordingBuffer pass;
    algorithm.Draw(&pass);
    const std::vector<std::string> expected = {"Start", "SetTexture 2", "AddQuad", "AddQuad", "AddQuad", "AddQuad",
                                               "AddQuad", "AddQuad", "Flush", "SetTexture 4", "AddQuad", "Flush",
                                               "End"};
    EXPECT_EQ(pass.calls, expected);
    EXPECT_EQ(pass.rectangles[0].p[0].z, 1.0f) << "side 1 first, drawn at its plane coordinate";

    for (int side = 1; side <= 6; ++side) {
        algorithm.RemoveQuad(2, side, side, cube);
    }
    algorithm.RemoveQuad(4, 1, 9, cube);
    EXPECT_EQ(algorithm.GetNumQuads(), 0);
    RecordingBuffer after;
    algorithm.Draw(&after);
    EXPECT_EQ(after.calls, (std::vector<std::string>{"Start", "SetTexture 2", "Flush", "SetTexture 4", "Flush",
                                                     "End"}));
}

TEST(QuadMergerDeathTest, RemovingACellNoQuadHoldsEndsTheProcess) {
    Engine engine;
    engine.AddSquare(Point(0, 0));
    EXPECT_EXIT(engine.RemoveSquare(Point(5, 5)), ::testing::ExitedWithCode(1), "^The sky is falling!!!\n$");
}

}  // namespace
