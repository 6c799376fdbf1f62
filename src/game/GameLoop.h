#ifndef CUBOMB_GAME_GAMELOOP_H
#define CUBOMB_GAME_GAMELOOP_H

// Start-up and the three passes of every frame, all over the one game record:
// input (camera, keys, clicks), state (win, replay) and render.

#include <vector>

struct GameInfo;
class ReplayPlayer;

// Makes the run watch the replay instead of playing, on a box of its size.
void Watch(GameInfo& info, ReplayPlayer* replay);
void Initialize(GameInfo& info);
void InitializeGame(GameInfo& info);
// A new game on a board whose mines are given, one flag per cube in position order.
void InitializeGame(GameInfo& info, const std::vector<bool>& board);
// A new game in place of the one being played or watched: the game left
// counts, a won game's replay is written first, and a replay watched is left.
void StartNewGame(GameInfo& info);
void InputLoop(GameInfo& info);
void StateLoop(GameInfo& info);
void RenderLoop(GameInfo& info);
// Never returns: the game ends by ending the process.
[[noreturn]] void RunFrameLoop(GameInfo& info);

#endif
