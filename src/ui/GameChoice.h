#ifndef CUBOMB_UI_GAMECHOICE_H
#define CUBOMB_UI_GAMECHOICE_H

// The game a player picks: the box, its mines, the rules, the camera and the sound; the
// three preset boxes; and what makes a choice unplayable.

#include <string>

// The most cubes a box may hold; beyond it memory runs out long before play.
constexpr long long kMaxCubes = 16777216;

// How the player looks at the box: flying through it, or turning it under the pointer.
enum class CameraKind { kFly, kOrbit };

struct GameChoice {
    int x = 10;
    int y = 10;
    int z = 10;
    int mines = 40;
    bool noGuess = false;
    bool safeFirstClick = true;
    CameraKind camera = CameraKind::kFly;
    int soundVolume = 60;

    // The cubes of the box, or kMaxCubes + 1 for any more, so it never overflows.
    long long Cubes() const;
    bool operator==(const GameChoice& other) const;
    bool operator!=(const GameChoice& other) const { return !(*this == other); }
};

struct Preset {
    const char* name;
    int x, y, z, mines;
};
constexpr Preset kPresets[] = {{"SMALL", 6, 6, 6, 10}, {"MEDIUM", 10, 10, 10, 40}, {"LARGE", 16, 16, 16, 200}};
constexpr int kPresetCount = 3;

// The preset whose box and mines the choice has, or -1.
int PresetOf(const GameChoice& choice);

// Why such a box cannot be played ("a side of 0", "more than 16777216
// cubes"), or nothing when it can.
std::string BoxProblem(const GameChoice& choice);
// Why so many mines cannot be played in the box ("no mine", "more mines
// than cubes less one"), or nothing.
std::string MinesProblem(const GameChoice& choice);

#endif
