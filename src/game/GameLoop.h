#ifndef CUBOMB_GAME_GAMELOOP_H
#define CUBOMB_GAME_GAMELOOP_H

// Start-up and the three passes of every frame, all over the one game record:
// input (camera, keys, clicks), state (win, replay) and render.

#include "game/GameLife.h"

struct GameInfo;

void Initialize(GameInfo& info);
void InputLoop(GameInfo& info);
void StateLoop(GameInfo& info);
void RenderLoop(GameInfo& info);
void Frame(GameInfo& info);
// Frame after frame, as the platform runs them: on a desktop it never
// returns, and the game ends by ending the process.
void RunFrameLoop(GameInfo& info);

#endif
