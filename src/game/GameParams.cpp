#include "game/GameParams.h"

#include <climits>
#include <fstream>
#include <iostream>

#include "game/GameInfo.h"
#include "support/Files.h"
#include "support/ProcessEnd.h"
#include "support/StringHelpers.h"

const char* const kParamsFile = "game_parameters.txt";
const char* const kCameraNames[2] = {"fly", "orbit"};

namespace {

using Tokens = std::vector<std::string>;

// Each reader returns false after reporting a fatal line.
bool Fail(ParamsReport& report, const std::vector<std::string>& lines) {
    report.fatal = lines;
    return false;
}

bool ReadScreenSize(const Tokens& tokens, int& size, const char* message, ParamsReport& report) {
    if (tokens.size() != 2 || !IsNaturalNumber(tokens[1], size)) {
        return Fail(report, {message});
    }
    return true;
}

bool ReadDimensions(const Tokens& tokens, GameInfo& info, ParamsReport& report) {
    if (tokens.size() != 4) {
        return Fail(report, {"Error: syntax: dimensions x y z"});
    }
    int* const targets[] = {&info.dimensionX, &info.dimensionY, &info.dimensionZ};
    for (int axis = 0; axis < 3; ++axis) {
        if (!IsNaturalNumber(tokens[axis + 1], *targets[axis])) {
            return Fail(report, {"Error: dimensions should be non-negative integers"});
        }
    }
    const long long cubes = static_cast<long long>(info.dimensionX) * info.dimensionY * info.dimensionZ;
    if (cubes > kMaxCubes) {
        return Fail(report, {"Error: dimensions too large: a box may hold at most 16777216 cubes"});
    }
    return true;
}

bool ReadNumMines(const Tokens& tokens, GameInfo& info, ParamsReport& report) {
    if (tokens.size() != 2) {
        return Fail(report, {"Error: syntax: num_mines number"});
    }
    if (!IsNaturalNumber(tokens[1], info.numMines)) {
        report.notes.push_back("Error: num_mines should be a natural number");
    }
    return true;
}

bool ReadDensity(const Tokens& tokens, GameInfo& info, ParamsReport& report) {
    if (tokens.size() != 2) {
        return Fail(report, {"Error: syntax: density real_number_bettwen_one_and_one"});
    }
    if (!IsFloatingPoint(tokens[1], info.density)) {
        return Fail(report, {"Error: density of mines should be a floating point number"});
    }
    return true;
}

bool ReadSensitivity(const Tokens& tokens, GameInfo& info, ParamsReport& report) {
    if (tokens.size() != 2) {
        return Fail(report, {"Error: syntax: mouse_sensitivity real_number"});
    }
    float value = 0;
    if (!IsFloatingPoint(tokens[1], value) || !(value > 0)) {
        return Fail(report, {"Error: mouse_sensitivity should be a floating point number above 0"});
    }
    info.mouseSensitivity = value;
    return true;
}

// Keys whose value is exactly 0 or 1.
struct Switch {
    const char* key;
    bool GameInfo::*field;
};
constexpr Switch kSwitches[] = {
    {"save_replays", &GameInfo::saveReplays},     {"highlight_target", &GameInfo::highlightTarget},
    {"fullscreen", &GameInfo::fullscreen},        {"vsync", &GameInfo::vsync},
    {"invert_mouse_y", &GameInfo::invertMouseY},  {"safe_first_click", &GameInfo::safeFirstClick},
    {"count_readout", &GameInfo::countReadout},   {"no_guess", &GameInfo::noGuess},
};

bool ReadSwitch(const Tokens& tokens, const Switch& which, GameInfo& info, ParamsReport& report) {
    if (tokens.size() != 2 || (tokens[1] != "0" && tokens[1] != "1")) {
        return Fail(report, {std::string("Error: syntax: ") + which.key + " (0 or 1)"});
    }
    info.*which.field = tokens[1] == "1";
    return true;
}

bool ReadSoundVolume(const Tokens& tokens, GameInfo& info, ParamsReport& report) {
    int volume = 0;
    if (tokens.size() != 2 || !IsNaturalNumber(tokens[1], volume) || volume > 100) {
        return Fail(report, {"Error: syntax: sound_volume (0 to 100)"});
    }
    info.soundVolume = volume;
    return true;
}

bool ReadCamera(const Tokens& tokens, GameInfo& info, ParamsReport& report) {
    if (tokens.size() != 2 || (tokens[1] != kCameraNames[0] && tokens[1] != kCameraNames[1])) {
        return Fail(report, {"Error: syntax: camera (fly or orbit)"});
    }
    info.cameraKind = tokens[1] == kCameraNames[0] ? CameraKind::kFly : CameraKind::kOrbit;
    return true;
}

bool ReadPlayerName(const Tokens& tokens, GameInfo& info, ParamsReport& report) {
    if (tokens.size() != 2) {
        return Fail(report, {"Error: syntax: player_name joe", "The name cannot contain white space characters."});
    }
    info.playerName = tokens[1];
    return true;
}

// Keys match exactly; a line whose first token is no key is ignored.
bool ReadSetting(const Tokens& tokens, GameInfo& info, ParamsReport& report) {
    const std::string& key = tokens[0];
    if (key == "screen_width") {
        return ReadScreenSize(tokens, info.screenWidth, "Error: syntax: screen_width x", report);
    }
    if (key == "screen_height") {
        return ReadScreenSize(tokens, info.screenHeight, "Error: syntax: screen_height y", report);
    }
    if (key == "dimensions") {
        return ReadDimensions(tokens, info, report);
    }
    if (key == "num_mines") {
        return ReadNumMines(tokens, info, report);
    }
    if (key == "density") {
        return ReadDensity(tokens, info, report);
    }
    if (key == "mouse_sensitivity") {
        return ReadSensitivity(tokens, info, report);
    }
    for (const Switch& which : kSwitches) {
        if (key == which.key) {
            return ReadSwitch(tokens, which, info, report);
        }
    }
    if (key == "player_name") {
        return ReadPlayerName(tokens, info, report);
    }
    if (key == "sound_volume") {
        return ReadSoundVolume(tokens, info, report);
    }
    if (key == "camera") {
        return ReadCamera(tokens, info, report);
    }
    return true;
}

}  // namespace

// The float 0.04 lies just below 0.04, so a 1000-cube box gets 39 mines, not
// the 40 a float product gives.
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

ParamsReport ParseParams(std::istream& in, GameInfo& info) {
    info.dimensionX = info.dimensionY = info.dimensionZ = 10;
    info.density = 0.04f;
    info.numMines = 0;
    info.saveReplays = true;
    info.highlightTarget = true;
    info.fullscreen = true;
    info.vsync = true;
    info.mouseSensitivity = 1;
    info.invertMouseY = false;
    info.safeFirstClick = false;
    info.countReadout = true;
    info.noGuess = false;
    info.soundVolume = 60;
    info.cameraKind = CameraKind::kFly;
    info.playerName = "default_player";

    ParamsReport report;
    std::string line;
    Tokens tokens;
    while (std::getline(in, line)) {
        ExtractStringsFromLine(line, tokens);
        if (tokens.empty() || tokens[0][0] == '#') {
            continue;
        }
        if (!ReadSetting(tokens, info, report)) {
            return report;
        }
    }
    info.minesFromDensity = info.numMines == 0;
    if (info.minesFromDensity) {
        info.numMines = MinesFromDensity(info);
    }
    return report;
}

void ReadParams(std::string fileName, GameInfo& info) {
    std::ifstream file;
    if (!OpenForReading(fileName, file)) {
        Fatal("Error: cannot find game parameters file: " + fileName);
    }
    const ParamsReport report = ParseParams(file, info);
    for (const std::string& note : report.notes) {
        std::cout << note << std::endl;
    }
    if (!report.fatal.empty()) {
        Fatal(report.fatal);
    }
}

GameChoice ChoiceOf(const GameInfo& info) {
    return GameChoice{info.dimensionX, info.dimensionY, info.dimensionZ, info.numMines, info.noGuess, info.safeFirstClick,
                      info.cameraKind, info.soundVolume};
}

void ApplyChoice(const GameChoice& choice, GameInfo& info) {
    info.dimensionX = choice.x;
    info.dimensionY = choice.y;
    info.dimensionZ = choice.z;
    info.numMines = choice.mines;
    info.minesFromDensity = false;
    info.noGuess = choice.noGuess;
    info.safeFirstClick = choice.safeFirstClick;
    info.cameraKind = choice.camera;
    info.soundVolume = choice.soundVolume;
}

bool SaveSettings(const std::string& fileName, const std::vector<Setting>& settings, std::string& reason) {
    std::string text;
    ReadWholeFile(fileName, text);
    return WriteFileSafely(fileName, RewriteSettings(text, settings), reason);
}

Setting CameraSetting(CameraKind camera) {
    return {"camera", kCameraNames[camera == CameraKind::kFly ? 0 : 1]};
}

std::vector<Setting> ChoiceSettings(const GameChoice& choice) {
    const auto number = [](int value) { return std::to_string(value); };
    return {
        {"dimensions", number(choice.x) + " " + number(choice.y) + " " + number(choice.z)},
        {"num_mines", number(choice.mines)},
        {"no_guess", number(choice.noGuess)},
        {"safe_first_click", number(choice.safeFirstClick)},
        CameraSetting(choice.camera),
        {"sound_volume", number(choice.soundVolume)},
    };
}

bool SaveChoice(const std::string& fileName, const GameChoice& choice, std::string& reason) {
    return SaveSettings(fileName, ChoiceSettings(choice), reason);
}

// A settings file that cannot be written costs the player nothing but this line.
bool RememberSettings(const std::vector<Setting>& settings) {
    std::string reason;
    if (SaveSettings(kParamsFile, settings, reason)) {
        return true;
    }
    std::cerr << "Warning: settings not saved: " << kParamsFile << ": " << reason << std::endl;
    return false;
}
