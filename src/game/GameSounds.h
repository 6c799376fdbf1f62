#ifndef CUBOMB_GAME_GAMESOUNDS_H
#define CUBOMB_GAME_GAMESOUNDS_H

// The sounds a frame's change of the field makes, in play and in replays
// alike: an opening (a cube without a count uncovered) sweeps, any other
// uncover clicks, flags and unflags tick, a loss explodes and a win rings.

#include "minefield/MineField.h"
#include "sound/SoundQueue.h"

struct GameInfo;

struct FieldStanding {
    MineField::Tally tally;
    bool dead = false;
    bool won = false;
};

FieldStanding StandingOf(const GameInfo& info);
void QueueFieldSounds(const FieldStanding& before, const FieldStanding& after, SoundQueue& queue);

#endif
