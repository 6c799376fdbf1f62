#ifndef CUBOMB_GAME_GAMEPARAMS_H
#define CUBOMB_GAME_GAMEPARAMS_H

#include <istream>
#include <string>
#include <vector>

#include "support/SettingsText.h"
#include "ui/GameChoice.h"

struct GameInfo;

// The settings' file, in the folder the game plays in.
extern const char* const kParamsFile;

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

// The mines a density gives a box: the product of its sides times the
// density, in double precision, cut toward zero.
int MinesFromDensity(const GameInfo& info);

// The game being played, as the menu shows it.
GameChoice ChoiceOf(const GameInfo& info);
void ApplyChoice(const GameChoice& choice, GameInfo& info);

// Writes settings into the parameters file, each key's last line rewritten
// or a line added, every other byte kept; false with the reason when it
// cannot be written, the file then as it was.
bool SaveSettings(const std::string& fileName, const std::vector<Setting>& settings, std::string& reason);
// The menu's keys: the box, the mines, the two rules, the camera and the sound.
std::vector<Setting> ChoiceSettings(const GameChoice& choice);
bool SaveChoice(const std::string& fileName, const GameChoice& choice, std::string& reason);
Setting CameraSetting(CameraKind camera);
// Writes settings into the parameters file as the game plays; one that
// cannot be written warns on standard error, and the game goes on with them.
bool RememberSettings(const std::vector<Setting>& settings);

#endif
