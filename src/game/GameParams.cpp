#include "game/GameParams.h"

#include <climits>
#include <fstream>
#include <iostream>
#include <vector>

#include "game/GameInfo.h"
#include "support/Files.h"
#include "support/ProcessEnd.h"
#include "support/StringHelpers.h"

namespace {

using Tokens = std::vector<std::string>;

void ReadScreenSize(const Tokens& tokens, int& size, const char* message) {
    if (tokens.size() != 2 || !IsNaturalNumber(tokens[1], size)) {
        Fatal(message);
    }
}

void ReadDimensions(const Tokens& tokens, GameInfo& info) {
    if (tokens.size() != 4) {
        Fatal("Error: syntax: dimensions x y z");
    }
    int* const targets[] = {&info.dimensionX, &info.dimensionY, &info.dimensionZ};
    for (int axis = 0; axis < 3; ++axis) {
        if (!IsNaturalNumber(tokens[axis + 1], *targets[axis])) {
            Fatal("Error: dimensions should be non-negative integers");
        }
    }
    const long long cubes = static_cast<long long>(info.dimensionX) * info.dimensionY * info.dimensionZ;
    if (cubes > kMaxCubes) {
        Fatal("Error: dimensions too large: a box may hold at most 16777216 cubes");
    }
}

void ReadNumMines(const Tokens& tokens, GameInfo& info) {
    if (tokens.size() != 2) {
        Fatal("Error: syntax: num_mines number");
    }
    if (!IsNaturalNumber(tokens[1], info.numMines)) {
        std::cout << "Error: num_mines should be a natural number" << std::endl;
    }
}

void ReadDensity(const Tokens& tokens, GameInfo& info) {
    if (tokens.size() != 2) {
        Fatal("Error: syntax: density real_number_bettwen_one_and_one");
    }
    if (!IsFloatingPoint(tokens[1], info.density)) {
        Fatal("Error: density of mines should be a floating point number");
    }
}

void ReadSaveReplays(const Tokens& tokens, GameInfo& info) {
    if (tokens.size() != 2 || (tokens[1] != "0" && tokens[1] != "1")) {
        Fatal("Error: syntax: save_replays (0 or 1)");
    }
    info.saveReplays = tokens[1] == "1";
}

void ReadPlayerName(const Tokens& tokens, GameInfo& info) {
    if (tokens.size() != 2) {
        Fatal({"Error: syntax: player_name joe", "The name cannot contain white space characters."});
    }
    info.playerName = tokens[1];
}

void ReadSetting(const Tokens& tokens, GameInfo& info) {
    const std::string& key = tokens[0];
    if (key == "screen_width") {
        ReadScreenSize(tokens, info.screenWidth, "Error: syntax: screen_width x");
    } else if (key == "screen_height") {
        ReadScreenSize(tokens, info.screenHeight, "Error: syntax: screen_height y");
    } else if (key == "dimensions") {
        ReadDimensions(tokens, info);
    } else if (key == "num_mines") {
        ReadNumMines(tokens, info);
    } else if (key == "density") {
        ReadDensity(tokens, info);
    } else if (key == "save_replays") {
        ReadSaveReplays(tokens, info);
    } else if (key == "player_name") {
        ReadPlayerName(tokens, info);
    }
}

// The product times the density in double precision: the float 0.04 lies just
// below 0.04, so a 1000-cube box gets 39 mines, not the 40 a float product gives.
int MinesFromDensity(const GameInfo& info) {
    const int cubes = info.dimensionX * info.dimensionY * info.dimensionZ;
    const double mines = static_cast<double>(cubes) * static_cast<double>(info.density);
    if (mines >= static_cast<double>(INT_MAX)) {
        return INT_MAX;
    }
    if (mines <= static_cast<double>(INT_MIN)) {
        return INT_MIN;
    }
    return static_cast<int>(mines);
}

}  // namespace

void ReadParams(std::string fileName, GameInfo& info) {
    info.dimensionX = info.dimensionY = info.dimensionZ = 10;
    info.density = 0.04f;
    info.numMines = 0;
    info.saveReplays = true;
    info.playerName = "default_player";

    std::ifstream file;
    if (!OpenForReading(fileName, file)) {
        Fatal("Error: cannot find game parameters file: " + fileName);
    }
    std::string line;
    Tokens tokens;
    while (std::getline(file, line)) {
        ExtractStringsFromLine(line, tokens);
        if (tokens.empty() || tokens[0][0] == '#') {
            continue;
        }
        ReadSetting(tokens, info);
    }
    if (info.numMines == 0) {
        info.numMines = MinesFromDensity(info);
    }
}
