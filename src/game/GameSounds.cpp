#include "game/GameSounds.h"

#include "game/GameInfo.h"
#include "minefield/MineWorld.h"

FieldStanding StandingOf(const GameInfo& info) {
    return FieldStanding{info.mineWorld->Counts(), info.mineWorld->Dead(), info.won};
}

// A new game's counts start again below the last frame's, and make no sound.
void QueueFieldSounds(const FieldStanding& before, const FieldStanding& after, SoundQueue& queue) {
    const MineField::Tally& was = before.tally;
    const MineField::Tally& is = after.tally;
    if (is.zeros > was.zeros) {
        queue.Queue(Sound::kOpening);
    } else if (is.uncovered > was.uncovered) {
        queue.Queue(Sound::kUncover);
    }
    if (is.flagsPut > was.flagsPut) {
        queue.Queue(Sound::kFlag);
    }
    if (is.flagsTaken > was.flagsTaken) {
        queue.Queue(Sound::kUnflag);
    }
    if (after.dead && !before.dead) {
        queue.Queue(Sound::kLoss);
    }
    if (after.won && !before.won) {
        queue.Queue(Sound::kWin);
    }
}
