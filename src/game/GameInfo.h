#ifndef CUBOMB_GAME_GAMEINFO_H
#define CUBOMB_GAME_GAMEINFO_H

// The one record every pass of the frame loop shares. It lives on the entry
// point's stack for the whole run; the textures and the minefield it points to
// are created once at start-up and never freed, because the game ends by
// ending the process.

#include <cstdint>
#include <string>
#include <vector>

#include "game/GameEnd.h"
#include "game/GameLife.h"
#include "game/MenuControl.h"
#include "game/OrbitCamera.h"
#include "game/SimpleCamera.h"
#include "input/SDL_Input.h"
#include "minefield/MineField.h"
#include "sound/SoundQueue.h"
#include "sound/Speaker.h"
#include "ui/Menu.h"

struct SDL_Surface;
class Texture;
class MineWorld;
class ReplayPlayer;

struct GameInfo {
    int dimensionX = 10;
    int dimensionY = 10;
    int dimensionZ = 10;
    float density = 0.04f;
    int numMines = 0;
    bool saveReplays = true;
    bool highlightTarget = true;
    bool fullscreen = true;
    bool vsync = true;
    float mouseSensitivity = 1;
    bool invertMouseY = false;
    bool safeFirstClick = false;
    bool countReadout = true;
    bool noGuess = false;
    int soundVolume = 60;
    CameraKind cameraKind = CameraKind::kFly;
    // numMines came from the density, and follows the box when the command line changes it.
    bool minesFromDensity = true;
    std::string playerName;
    int screenWidth = 800;
    int screenHeight = 600;

    float startTicks = 0.0f;
    float gameClock = 0.0f;
    bool won = false;
    float finalTime = -1.0f;
    bool replaySaved = false;
    bool showHelp = false;
    // The last hint asked for, shown until the next click, the next H or a new game.
    bool hintShown = false;
    MineField::Hint hint;
    // Paused: the clock stands still and the field is hidden, since the tick count pausedAt.
    bool paused = false;
    uint32_t pausedAt = 0;
    // The menu, open over the game: the clock stands as in a pause, and the
    // menu alone takes input. Lines shown below its items.
    bool menuOpen = false;
    Menu menu;
    MenuBelow menuBelow;
    // The settings of this game could not be written into the parameters file.
    bool settingsNotSaved = false;
    int flagCount = 0;
    int mineCount = 0;

    SDL_Surface* screen = nullptr;
    Texture* fontTexture = nullptr;
    Texture* helpTexture = nullptr;
    SimpleCamera camera;
    // The other way to look, used instead of the fly camera when cameraKind says so.
    OrbitCamera orbit;
    InputWrapper inputWrapper;
    MineWorld* mineWorld = nullptr;

    // Set when watching a replay instead of playing: the game clock is then
    // the replay's, running at replaySpeed since the tick count lastTicks.
    ReplayPlayer* replay = nullptr;
    float replaySpeed = 1;
    uint32_t lastTicks = 0;

    // The statistics, the ended game's panel, and what R and T follow on from.
    Aftermath end;
    // The game saved between runs, and what saving it needs.
    Life life;

    // This frame's sounds, and what plays them.
    SoundQueue sounds;
    Speaker speaker;
};

#endif
