#include "game/GameLoop.h"

#include <GL/glew.h>
#include <SDL.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <iostream>

#include "game/CameraControl.h"
#include "game/GameClock.h"
#include "game/GameEnd.h"
#include "game/GameLife.h"
#include "game/GameSounds.h"
#include "game/GameInfo.h"
#include "game/Hud.h"
#include "game/MenuControl.h"
#include "game/SDL_Helpers.h"
#include "input/SDL_Input.h"
#include "minefield/MineWorld.h"
#include "render/Outline.h"
#include "replay/ReplayPlayer.h"
#include "support/Geometry.h"
#include "support/ProcessEnd.h"
#include "system/System.h"
#include "textures/Texture.h"

namespace {

constexpr int kKeyP = 'p';
constexpr int kKeyN = 'n';
constexpr int kKeyH = 'h';
constexpr int kKeyM = 'm';
constexpr int kKeyR = 'r';
constexpr int kKeyT = 't';
constexpr float kHintSeconds = 10;
constexpr float kCharWidth = 0.02f;
constexpr float kCharHeight = 0.03f;
const char* const kCreditLine = "Cubomb v" CUBOMB_VERSION " - 2026";
constexpr float kSlowestReplay = 0.125f;
constexpr float kFastestReplay = 256.0f;

void DrawHelpScreen(GameInfo& info) {
    PrepForFlatDrawing();
    glEnable(GL_TEXTURE_2D);
    info.helpTexture->UseTexture();
    glBegin(GL_QUADS);
    PasteQuad(0, 0, 1, 1);
    glEnd();
    info.fontTexture->UseTexture();
    glColor3f(1, 1, 1);
    DrawScreenText(0, 0, kCharWidth, kCharHeight, kCreditLine);
}

// A won field stands on a green floor.
void DrawFloor(const GameInfo& info) {
    const float x = static_cast<float>(info.dimensionX);
    const float y = static_cast<float>(info.dimensionY);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glColor3f(0, 1, 0);
    glBegin(GL_TRIANGLES);
    glVertex3f(0, 0, 0);
    glVertex3f(0, y, 0);
    glVertex3f(x, 0, 0);
    glVertex3f(x, 0, 0);
    glVertex3f(0, y, 0);
    glVertex3f(x, y, 0);
    glEnd();
}

void DrawCrosshair() {
    PrepForFlatDrawing();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glColor3f(1, 0, 0);
    glBegin(GL_LINES);
    glVertex3f(0.49f, 0.5f, 0);
    glVertex3f(0.51f, 0.5f, 0);
    glVertex3f(0.5f, 0.485f, 0);
    glVertex3f(0.5f, 0.515f, 0);
    glEnd();
}

// What the crosshair meets: the cube a click would act on, outlined while
// clicks count, and the marker the readout speaks of.
Aim AimOf(const GameInfo& info) {
    Aim aim;
    const Ray ray = AimRay(info);
    const MineWorld& world = *info.mineWorld;
    aim.targeted = info.highlightTarget && !info.replay && !world.Dead() && world.Target(ray.origin, ray.direction, aim.target);
    aim.pointed = info.countReadout && world.PointedMarker(ray.origin, ray.direction, aim.marker);
    if (aim.pointed) {
        aim.around = world.Around(aim.marker);
    }
    return aim;
}

void DrawField(GameInfo& info) {
    if (info.won) {
        DrawFloor(info);
    }
    glEnable(GL_TEXTURE_2D);
    info.mineWorld->Render();
    const Aim aim = AimOf(info);
    if (aim.pointed) {
        info.mineWorld->RenderCoveredAround(aim.marker);
    }
    if (info.hintShown && info.hint.kind != MineField::Hint::kNone) {
        const bool safe = info.hint.kind == MineField::Hint::kSafe;
        DrawCubeOutline(info.hint.cube, LineStyle{{safe ? 0.0f : 1.0f, safe ? 1.0f : 0.0f, 0}, 3, 0.02f});
    }
    if (aim.targeted) {
        MineWorld::RenderOutline(aim.target);
    }
    if (ShowsCrosshair(info)) {
        DrawCrosshair();
    }
    DrawHud(info, aim);
    DrawResult(info);
}

// R watches the game that ended, or starts the watching over; T tries a lost board again.
void AfterKeys(GameInfo& info, const Input& input) {
    if (input.KeyPressed(kKeyR) && CanWatchLastGame(info)) {
        WatchLastGame(info);
    } else if (input.KeyPressed(kKeyT) && CanRetry(info)) {
        RetryBoard(info);
    }
}

// Right and left arrows double and halve the speed; Backspace and R start
// over; N leaves the game just played, watched again, for a new one.
void WatchKeys(GameInfo& info, const Input& input) {
    if (input.KeyPressed(kKeyN) && info.replay == info.end.watched.get()) {
        StartNewGame(info);
        return;
    }
    if (input.KeyPressed(KeyCode::kRightArrow)) {
        info.replaySpeed = std::min(info.replaySpeed * 2, kFastestReplay);
    }
    if (input.KeyPressed(KeyCode::kLeftArrow)) {
        info.replaySpeed = std::max(info.replaySpeed / 2, kSlowestReplay);
    }
    if (input.KeyPressed(KeyCode::kBackspace) || (input.KeyPressed(kKeyR) && !CanWatchLastGame(info))) {
        InitializeGame(info);
    }
}

// The replay's cubes are resolved as its clock reaches them; at its end a
// won game's field is won.
void WatchState(GameInfo& info) {
    info.replay->Advance(*info.mineWorld, info.gameClock);
    bool won = false;
    info.mineWorld->GetGameState(won, info.mineCount, info.flagCount);
    if (!info.won && !info.replay->Record().lost && info.gameClock >= info.replay->Record().totalTime) {
        info.won = true;
        info.finalTime = info.replay->Record().totalTime;
    }
}

// Return pauses and resumes; losing the focus pauses.
void PauseKeys(GameInfo& info, const Input& input, uint32_t now) {
    const bool wasPaused = info.paused;
    if (input.KeyPressed(KeyCode::kReturn) % 2 == 1) {
        info.paused ? Resume(info, now) : Pause(info, now);
    }
    if (input.FocusLost()) {
        Pause(info, now);
    }
    if (info.paused && !wasPaused) {
        SaveGame(info);
    }
}

// The result panel goes with a key that acts on the field or the game.
void PanelKeys(GameInfo& info, const Input& input) {
    for (const int code : {KeyCode::kRightBracket, KeyCode::kLeftBracket, KeyCode::kReturn, kKeyM}) {
        info.end.panelShown = info.end.panelShown && !input.KeyPressed(code);
    }
}

// ] hides one more layer nearest the camera, [ brings the last one back.
void CutKeys(GameInfo& info, const Input& input) {
    const bool deeper = input.KeyPressed(KeyCode::kRightBracket) && info.mineWorld->CutDeeper(ViewLook(info));
    const bool shallower = input.KeyPressed(KeyCode::kLeftBracket) && info.mineWorld->CutShallower();
    if (deeper || shallower) {
        info.sounds.Queue(Sound::kCut);
        info.life.resumed = false;
    }
}

// A hint costs ten seconds on the clock, so that best times stay honest.
void AskForHint(GameInfo& info) {
    if (info.won || info.mineWorld->Dead()) {
        return;
    }
    info.life.resumed = false;
    info.hint = info.mineWorld->FindHint(ViewEye(info));
    info.hintShown = true;
    info.sounds.Queue(Sound::kHint);
    info.startTicks -= kHintSeconds * 1000;
    info.gameClock += kHintSeconds;
}

// Clicks, the middle button or E for a touchpad, N, and H.
void PlayKeys(GameInfo& info, const Input& input) {
    if (input.KeyPressed(kKeyN)) {
        StartNewGame(info);
    }
    const Clicks clicks = ClicksOf(info, input);
    const Vector& position = clicks.ray.origin;
    const Vector& direction = clicks.ray.direction;
    if (clicks.uncover || clicks.flag || clicks.chord) {
        info.hintShown = false;
        info.life.resumed = false;
    }
    if (clicks.uncover) {
        info.mineWorld->MouseInput(position, direction, true, info.gameClock);
    }
    if (clicks.flag) {
        info.mineWorld->MouseInput(position, direction, false, info.gameClock);
    }
    if (clicks.chord) {
        info.mineWorld->Chord(position, direction, info.gameClock);
    }
    if (input.KeyPressed(kKeyH)) {
        AskForHint(info);
    }
}

}  // namespace

void Initialize(GameInfo& info) {
    // A write past a file size limit must fail like a full disk, not kill the game.
    std::signal(SIGXFSZ, SIG_IGN);
    info.screen = InitSDL(info.fullscreen, info.screenWidth, info.screenHeight, "Cubomb", info.vsync);
    info.screenWidth = info.screen->w;  // a size of 0 became the desktop's
    info.screenHeight = info.screen->h;
    InitGLEW();
    FreePointer(info);
    Texture::InitializeTextureStates();
    info.fontTexture = new Texture;
    info.fontTexture->LoadFromFile("font_proggy_green.tga");
    info.helpTexture = new Texture;
    info.helpTexture->LoadFromFile("HelpScreen.jpg");
    PlaceCameras(info);
    info.camera.SetMouse(info.mouseSensitivity, info.invertMouseY);
    info.orbit.SetMouse(info.mouseSensitivity, info.invertMouseY);
    info.mineWorld = new MineWorld;
    LoadStats(info);
    info.speaker.Open("Sounds", info.soundVolume, std::cerr);
    SetQuitHook([&info] { QuitGame(info); });
    KeepSaves(info);
    StartFirstGame(info);
}

// Clicks act while help shows; however many presses a button has in a frame,
// it clicks once. While paused only Escape, P, M and Return do anything;
// while the menu is open, Escape, P and the menu.
void InputLoop(GameInfo& info) {
    info.inputWrapper.TakeInInput();
    const Input* const input = info.inputWrapper.GetInput();
    const uint32_t now = SDL_GetTicks();
    if (input->ResizedWidth() > 0 && input->ResizedHeight() > 0) {
        info.screenWidth = input->ResizedWidth();
        info.screenHeight = input->ResizedHeight();
        glViewport(0, 0, info.screenWidth, info.screenHeight);
    }
    if (input->KeyPressed(KeyCode::kEscape) && System::EscapeQuits()) {
        QuitNormally();
    }
    if (input->KeyPressed(kKeyP)) {
        Screenshot(info.screen, "screenshot.bmp");
    }
    // The frame that opens or closes the menu, or that the menu takes, acts on nothing else.
    const bool menuFrame = info.menuOpen || input->KeyPressed(kKeyM);
    if (input->KeyPressed(kKeyM) % 2 == 1) {
        info.menuOpen ? CloseMenu(info, now) : OpenMenu(info, now);
    } else if (info.menuOpen) {
        MenuKeys(info, *input, now);
    }
    if (menuFrame) {
        info.showHelp = false;
        info.inputWrapper.CallOffClicks();
        return;
    }
    PanelKeys(info, *input);
    PauseKeys(info, *input, now);
    info.showHelp = !info.paused && input->KeyDown(KeyCode::kTab);
    if (info.paused) {
        info.inputWrapper.CallOffClicks();
        return;
    }
    CameraKeys(info, *input);
    CutKeys(info, *input);
    info.replay ? WatchKeys(info, *input) : PlayKeys(info, *input);
    AfterKeys(info, *input);
}

// The replay is written in the frame after the win was seen.
void StateLoop(GameInfo& info) {
    if (info.replay) {
        WatchState(info);
        return;
    }
    SavePendingReplay(info);
    if (!info.won) {
        bool won = false;
        info.mineWorld->GetGameState(won, info.mineCount, info.flagCount);
        if (won) {
            info.won = true;
            info.finalTime = SecondsSince(info.startTicks, SDL_GetTicks());
        }
    }
    NoticeEnd(info);
    KeepGame(info);
}

void RenderLoop(GameInfo& info) {
    SDL_BeginDraw(info.screen);
    LoadView(info);
    if (info.menuOpen) {
        DrawMenuScreen(info);
    } else if (info.paused) {
        DrawPaused(info);
    } else if (info.showHelp) {
        DrawHelpScreen(info);
    } else {
        DrawField(info);
    }
    SDL_EndDraw(info.screen);
}

// One frame: the clock, the three passes, and the sounds the field's change calls for.
void Frame(GameInfo& info) {
    info.gameClock = ClockAt(info, SDL_GetTicks());
    const FieldStanding before = StandingOf(info);
    InputLoop(info);
    StateLoop(info);
    QueueFieldSounds(before, StandingOf(info), info.sounds);
    info.speaker.Play(info.sounds);
    RenderLoop(info);
}

void RunFrameLoop(GameInfo& info) {
    System::RunFrames([&info] { Frame(info); });
}
