#include "game/GameLoop.h"

#include <GL/glew.h>
#include <GL/glu.h>
#include <SDL.h>

#include <csignal>
#include <cstdint>

#include "game/GameInfo.h"
#include "game/SDL_Helpers.h"
#include "input/SDL_Input.h"
#include "support/Geometry.h"
#include "support/ProcessEnd.h"
#include "textures/Texture.h"

namespace {

constexpr int kKeyP = 'p';
constexpr float kCharWidth = 0.02f;
constexpr float kCharHeight = 0.03f;
constexpr float kTopRow = 0.97f;
const char* const kCreditLine = "Cubomb v1.0 - 2026";

// Seconds since the game began; the tick count is widened before subtracting.
float SecondsSince(float startTicks) {
    const uint64_t ticks = SDL_GetTicks();
    return static_cast<float>((static_cast<double>(ticks) - startTicks) / 1000.0);
}

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

std::string HudLine(const GameInfo& info) {
    const std::string time = info.won ? ToString(info.finalTime) : ToString(static_cast<int>(info.gameClock));
    return ToString(info.flagCount) + "/" + ToString(info.mineCount) + " " + time;
}

void DrawHud(GameInfo& info) {
    PrepForFlatDrawing();
    glEnable(GL_TEXTURE_2D);
    info.fontTexture->UseTexture();
    glColor3f(1, 1, 1);
    DrawScreenText(0, kTopRow, kCharWidth, kCharHeight, HudLine(info));
    if (info.won) {
        DrawScreenText(0.35f, kTopRow, kCharWidth, kCharHeight, "MINES CLEARED!");
    }
    DrawScreenText(0.83f, kTopRow, kCharWidth, kCharHeight, "TAB-Help");
}

}  // namespace

void Initialize(GameInfo& info) {
    // A write past a file size limit must fail like a full disk, not kill the game.
    std::signal(SIGXFSZ, SIG_IGN);
    info.screen = InitSDL(true, info.screenWidth, info.screenHeight, "Cubomb");
    InitGLEW();
    SDL_ShowCursor(0);
    Texture::InitializeTextureStates();
    info.fontTexture = new Texture;
    info.fontTexture->LoadFromFile("font_proggy_green.tga");
    info.helpTexture = new Texture;
    info.helpTexture->LoadFromFile("HelpScreen.jpg");
    InitializeGame(info);
}

void InitializeGame(GameInfo& info) {
    info.won = false;
    info.finalTime = -1.0f;
    info.replaySaved = false;
    info.startTicks = static_cast<float>(SDL_GetTicks());
    info.gameClock = 0;
}

void InputLoop(GameInfo& info) {
    info.inputWrapper.TakeInInput();
    const Input* const input = info.inputWrapper.GetInput();
    if (input->KeyPressed(KeyCode::kEscape)) {
        QuitNormally();
    }
    info.showHelp = input->KeyDown(KeyCode::kTab);
    if (input->KeyPressed(kKeyP)) {
        Screenshot(info.screen, "screenshot.bmp");
    }
}

void StateLoop(GameInfo&) {}

void RenderLoop(GameInfo& info) {
    SDL_BeginDraw(info.screen);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60, static_cast<double>(info.screenWidth) / static_cast<double>(info.screenHeight),
                   0.1f, 400);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_CULL_FACE);
    if (info.showHelp) {
        DrawHelpScreen(info);
    } else {
        DrawHud(info);
    }
    SDL_EndDraw(info.screen);
}

void RunFrameLoop(GameInfo& info) {
    for (;;) {
        info.gameClock = SecondsSince(info.startTicks);
        InputLoop(info);
        StateLoop(info);
        RenderLoop(info);
    }
}
