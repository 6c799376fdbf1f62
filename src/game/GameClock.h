#ifndef CUBOMB_GAME_GAMECLOCK_H
#define CUBOMB_GAME_GAMECLOCK_H

// The game clock at a tick count (SDL's milliseconds), and pausing it.
// Playing, it is the seconds since the game began less the time spent
// paused; watching a replay, it runs at the replay's speed from the tick
// count of the frame before and stops at the replay's end. While paused it
// stands still. The tick count is passed in, so that nothing here reads a clock.

#include <cstdint>

struct GameInfo;

// The clock of a frame starting at now.
float ClockAt(GameInfo& info, uint32_t now);
// Seconds from startTicks to now, the tick count widened before subtracting.
float SecondsSince(float startTicks, uint32_t now);
void Pause(GameInfo& info, uint32_t now);
void Resume(GameInfo& info, uint32_t now);

#endif
