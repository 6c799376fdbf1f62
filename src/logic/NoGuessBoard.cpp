#include "logic/NoGuessBoard.h"

#include <algorithm>
#include <chrono>
#include <random>

#include "logic/PerfectPlay.h"

namespace {

// The cubes a mine may lie on: all but the first and its neighbours.
// A box holds at most 2^24 cubes.
std::vector<uint32_t> FreeCubes(const Box& box, size_t first) {
    std::vector<bool> kept(box.Cubes(), false);
    kept[first] = true;
    box.ForEachNeighbour(first, [&](size_t around) { kept[around] = true; });
    std::vector<uint32_t> free;
    for (size_t cube = 0; cube < box.Cubes(); ++cube) {
        if (!kept[cube]) {
            free.push_back(static_cast<uint32_t>(cube));
        }
    }
    return free;
}

}  // namespace

// Each mine goes to a cube drawn from those still free, so none is lost.
NoGuessBoard DrawNoGuessBoard(const Box& box, int mines, size_t first, uint32_t seed, double seconds) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    std::mt19937 random(seed);
    std::vector<uint32_t> free = FreeCubes(box, first);
    const size_t count = std::min(free.size(), static_cast<size_t>(std::max(mines, 0)));
    NoGuessBoard board;
    do {
        board.mined.assign(box.Cubes(), false);
        for (size_t placed = 0; placed < count; ++placed) {
            std::swap(free[placed], free[placed + random() % (free.size() - placed)]);
            board.mined[free[placed]] = true;
        }
        ++board.draws;
        board.needsNoGuess = LeftByPerfectPlay(box, board.mined, first) == 0;
    } while (!board.needsNoGuess && std::chrono::steady_clock::now() < until);
    return board;
}
