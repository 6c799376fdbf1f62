#ifndef CUBOMB_REPLAY_ANALYSIS_H
#define CUBOMB_REPLAY_ANALYSIS_H

// What a replay says of the game it holds, seven lines for --analyse:
// the box and its mines, whether it was finished, its time, its 3BV (the
// fewest clicks that clear it) and 3BV per second, the cube that opened it,
// and whether logic alone could have cleared it from there.

#include <ostream>
#include <string>

#include "replay/ReplayReader.h"

void Analyse(const ReplayRecord& replay, std::ostream& out);

// 3BV per second with two decimals, or "-" for a game not finished or of no time.
std::string ThreeBVPerSecond(const ReplayRecord& replay);

#endif
