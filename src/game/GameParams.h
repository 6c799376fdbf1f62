#ifndef CUBOMB_GAME_GAMEPARAMS_H
#define CUBOMB_GAME_GAMEPARAMS_H

#include <istream>
#include <string>
#include <vector>

struct GameInfo;

// The most cubes a box may hold; beyond it memory runs out long before play.
constexpr long long kMaxCubes = 16777216;

// What reading the settings has to say: notes to print as they come, then the
// fatal message, if any, after which nothing more was read.
struct ParamsReport {
    std::vector<std::string> notes;
    std::vector<std::string> fatal;
};

// Sets the file's defaults, then reads settings from the stream into info.
ParamsReport ParseParams(std::istream& in, GameInfo& info);

// Fills the settings of info from the parameters file, or ends the process
// with a message. Only a bad num_mines value is reported without ending it.
void ReadParams(std::string fileName, GameInfo& info);

#endif
