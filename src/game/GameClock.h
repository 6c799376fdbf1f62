#ifndef CUBOMB_GAME_GAMECLOCK_H
#define CUBOMB_GAME_GAMECLOCK_H

// The game clock at a tick count (SDL's milliseconds), and stopping it.
// Playing, it is the seconds since the game began less the time it stood;
// watching a replay, it runs at the replay's speed from the tick count of
// the frame before and stops at the replay's end. It stands while the game
// is paused or the menu is open, for either reason or both. The tick count
// is passed in, so that nothing here reads a clock.

#include <cstdint>

struct GameInfo;

// The clock of a frame starting at now.
float ClockAt(GameInfo& info, uint32_t now);
// Seconds from startTicks to now, the tick count widened before subtracting.
float SecondsSince(float startTicks, uint32_t now);
// Sets or clears one reason for the clock to stand: paused or menuOpen.
void StopClock(GameInfo& info, uint32_t now, bool GameInfo::*reason);
void RunClock(GameInfo& info, uint32_t now, bool GameInfo::*reason);
void Pause(GameInfo& info, uint32_t now);
void Resume(GameInfo& info, uint32_t now);

#endif
