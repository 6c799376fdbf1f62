#ifndef CUBOMB_REPLAY_REPLAYPLAYER_H
#define CUBOMB_REPLAY_REPLAYPLAYER_H

// Plays a replay back on a minefield. Inputs: the replay, and the replay
// clock at each step. Output: the field as it stood at that time, every cube
// resolved by then uncovered (safe) or flagged (mine), in the order of their
// times, equal times in file order; cubes never resolved stay covered. A lost
// game ends with its mined cube uncovered, as in play.

#include <cstdint>
#include <string>
#include <vector>

#include "minefield/MineField.h"
#include "replay/ReplayReader.h"

class ReplayPlayer {
public:
    explicit ReplayPlayer(ReplayRecord record);

    // A fresh field with the replay's mines, at clock 0.
    void Restart(MineField& field);
    // Resolves every cube whose time has come by the clock.
    void Advance(MineField& field, float clock);
    const ReplayRecord& Record() const { return record; }

private:
    ReplayRecord record;
    std::vector<uint32_t> order;  // the resolved cubes, by time
    size_t next = 0;
};

// The game on the field as its replay file would keep it, read back: times
// as the file writes them, so that it plays back as the file would. A lost
// game is kept up to the click that lost it.
ReplayRecord RecordGame(const MineField& field, const std::string& player, float totalTime, bool finished);

#endif
