#ifndef CUBOMB_LOGIC_NOGUESSBOARD_H
#define CUBOMB_LOGIC_NOGUESSBOARD_H

// Mines laid when the first cube is uncovered so that the field needs no
// guess from there: the cube and its neighbours hold none, so it opens, and
// the rest hold exactly the number asked for, or as many as fit. Fields are
// drawn again until perfect play from that cube clears one, or the time runs
// out; then the last one drawn stands.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "logic/Box.h"

struct NoGuessBoard {
    std::vector<bool> mined;
    bool needsNoGuess = false;
    int draws = 0;  // fields drawn
};

NoGuessBoard DrawNoGuessBoard(const Box& box, int mines, size_t first, uint32_t seed, double seconds = 2.0);

#endif
