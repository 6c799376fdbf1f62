// What the logic engine calls certain, against every way of placing the mines.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "logic/Deduction.h"
#include "logic/NoGuessBoard.h"
#include "logic/PerfectPlay.h"

namespace {

// A field with some safe cubes uncovered; the counts are the true ones.
struct Scene {
    Box box;
    std::vector<bool> mined, uncovered;
    int mines = 0;

    int CountAround(size_t cube, const std::vector<bool>& placed) const {
        int count = 0;
        box.ForEachNeighbour(cube, [&](size_t n) { count += placed[n]; });
        return count;
    }
};

// Oracle: every set of that many covered cubes (or of any number of them)
// that agrees with every count. A covered cube is certainly safe when none
// holds it, certainly mined when all do.
std::vector<Deduction::Fact> BruteForce(const Scene& scene, bool anyNumber = false) {
    std::vector<size_t> covered;
    for (size_t c = 0; c < scene.box.Cubes(); ++c)
        if (!scene.uncovered[c]) covered.push_back(c);
    std::vector<int> mineIn(covered.size(), 0);
    int ways = 0;
    for (uint32_t set = 0; set < (1u << covered.size()); ++set) {
        if (!anyNumber && __builtin_popcount(set) != scene.mines) continue;
        std::vector<bool> placed(scene.box.Cubes(), false);
        for (size_t i = 0; i < covered.size(); ++i) placed[covered[i]] = set >> i & 1;
        bool agrees = true;
        for (size_t c = 0; c < scene.box.Cubes() && agrees; ++c)
            agrees = !scene.uncovered[c] || scene.CountAround(c, placed) == scene.CountAround(c, scene.mined);
        if (!agrees) continue;
        ++ways;
        for (size_t i = 0; i < covered.size(); ++i) mineIn[i] += set >> i & 1;
    }
    std::vector<Deduction::Fact> facts(scene.box.Cubes(), Deduction::kSafe);
    for (size_t i = 0; i < covered.size(); ++i)
        facts[covered[i]] = mineIn[i] == 0 ? Deduction::kSafe : mineIn[i] == ways ? Deduction::kMine : Deduction::kUnknown;
    return facts;
}

// Random boxes of up to 18 cubes, with random mines and random safe cubes
// uncovered: the engine's certain cubes are exactly the oracle's. Cases where
// only the number of mines decides come up, and are counted.
TEST(Logic, CertainCubesAreExactlyThoseOfEveryPlacement) {
    std::mt19937 random(3);
    int decidedByTotal = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        Scene scene;
        do {
            scene.box = Box{1 + int(random() % 4), 1 + int(random() % 4), 1 + int(random() % 3)};
        } while (scene.box.Cubes() > 18);
        const size_t n = scene.box.Cubes();
        scene.mined.assign(n, false);
        scene.uncovered.assign(n, false);
        const double density = 0.1 + 0.4 * (random() % 100) / 100.0, open = (random() % 100) / 100.0;
        for (size_t c = 0; c < n; ++c) {
            scene.mined[c] = random() % 1000 < density * 1000;
            scene.mines += scene.mined[c];
            scene.uncovered[c] = !scene.mined[c] && random() % 1000 < open * 1000;
        }
        Deduction engine(scene.box, scene.mines);
        for (size_t c = 0; c < n; ++c)
            if (scene.uncovered[c]) engine.Uncover(c, scene.CountAround(c, scene.mined));
        std::vector<size_t> safe;
        engine.Deduce(safe);
        const std::vector<Deduction::Fact> expected = BruteForce(scene), withoutTotal = BruteForce(scene, true);
        for (size_t c = 0; c < n; ++c) {
            ASSERT_EQ(engine.FactOf(c), expected[c]) << "trial " << trial << " cube " << c;
            ASSERT_EQ(std::count(safe.begin(), safe.end(), c), !scene.uncovered[c] && expected[c] == Deduction::kSafe);
            decidedByTotal += withoutTotal[c] == Deduction::kUnknown && expected[c] != Deduction::kUnknown;
        }
        ASSERT_FALSE(engine.Incomplete());
    }
    EXPECT_GT(decidedByTotal, 50);
}

// Uncovers the cube, and what a zero opens, in the scene.
void Open(Scene& scene, size_t cube) {
    std::vector<size_t> todo = {cube};
    while (!todo.empty()) {
        const size_t next = todo.back();
        todo.pop_back();
        if (scene.uncovered[next]) continue;
        scene.uncovered[next] = true;
        if (scene.CountAround(next, scene.mined) == 0) scene.box.ForEachNeighbour(next, [&](size_t n) { todo.push_back(n); });
    }
}

// No-guess fields from random first clicks hold the mines asked for (or as
// many as fit), none on the first cube or around it; the engine's perfect
// play clears them, and so does perfect play by the oracle on small boxes.
TEST(Logic, NoGuessFieldsAreClearedByPerfectPlay) {
    std::mt19937 random(8);
    int byOracle = 0;
    for (int trial = 0; trial < 120; ++trial) {
        Scene scene;
        scene.box = trial % 2 ? Box{2 + int(random() % 3), 2 + int(random() % 3), 1 + int(random() % 2)}
                              : Box{4 + int(random() % 5), 3 + int(random() % 5), 3 + int(random() % 4)};
        const size_t n = scene.box.Cubes(), first = random() % n;
        const int asked = int(random() % (n / 3 + 2));
        const NoGuessBoard board = DrawNoGuessBoard(scene.box, asked, first, uint32_t(random()), 0.02);
        scene.mined = board.mined;
        scene.mines = int(std::count(scene.mined.begin(), scene.mined.end(), true));
        size_t around = 1;
        scene.box.ForEachNeighbour(first, [&](size_t c) { around += 1; ASSERT_FALSE(scene.mined[c]); });
        ASSERT_EQ(scene.mines, std::min<int>(asked, int(n - around))) << trial;
        ASSERT_FALSE(scene.mined[first]);
        ASSERT_EQ(LeftByPerfectPlay(scene.box, scene.mined, first) == 0, board.needsNoGuess) << trial;
        if (!board.needsNoGuess || n > 18) continue;
        scene.uncovered.assign(n, false);
        Open(scene, first);
        for (bool more = true; more;) {
            more = false;
            const std::vector<Deduction::Fact> facts = BruteForce(scene);
            for (size_t c = 0; c < n; ++c)
                if (!scene.uncovered[c] && facts[c] == Deduction::kSafe) Open(scene, c), more = true;
        }
        for (size_t c = 0; c < n; ++c) ASSERT_EQ(scene.uncovered[c], !scene.mined[c]) << trial << " cube " << c;
        ++byOracle;
    }
    EXPECT_GT(byOracle, 30);
}

}  // namespace
