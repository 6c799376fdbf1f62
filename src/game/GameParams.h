#ifndef CUBOMB_GAME_GAMEPARAMS_H
#define CUBOMB_GAME_GAMEPARAMS_H

#include <string>

struct GameInfo;

// The most cubes a box may hold; beyond it memory runs out long before play.
constexpr long long kMaxCubes = 16777216;

// Fills the settings of info from the parameters file, or ends the process
// with a message. Only a bad num_mines value is reported without ending it.
void ReadParams(std::string fileName, GameInfo& info);

#endif
