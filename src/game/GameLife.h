#ifndef CUBOMB_GAME_GAMELIFE_H
#define CUBOMB_GAME_GAMELIFE_H

// A game's life in one place: it starts (a new game, a board given, a replay
// watched), or resumes from the folder's saved game; it is saved midway,
// left for another, ends, or is quit. The frame loop calls these and nothing
// here calls back into the loop.
//
// A game in progress (its first uncover done, neither won nor lost, not a
// replay) is saved on every quit, when it pauses, loses the focus or opens
// the menu, and every 10 seconds of play in which its field changed. Ending
// it or leaving it removes the save.

#include <cstdint>
#include <vector>

#include "game/SaveSlot.h"

struct GameInfo;
class ReplayPlayer;

// The cubes an autosave's snapshot scans a frame, about a millisecond: a
// 100-cube box in four frames.
constexpr size_t kSnapshotSlice = size_t(1) << 18;

// Kept in the game record.
struct Life {
    SaveSlot slot;
    // The window may keep a saved game: a plain start, and the folder's lock held.
    bool keeps = false;
    bool anotherWindow = false;  // a plain start whose folder another window keeps
    bool resumed = false;        // RESUMED shows until the first action
    uint64_t number = 0;         // moves on with every game, so that a save belongs to one
    float savedClock = 0;        // the game clock of the last save, and the field's changes then
    uint64_t savedChanges = 0;
    SnapshotTaker autosave;      // a slice of the field a frame
};

// Makes the run watch the replay instead of playing, on a box of its size.
void Watch(GameInfo& info, ReplayPlayer* replay);
// A plain start may keep a saved game: it takes the folder's lock, or says
// once that another window keeps it.
void KeepSaves(GameInfo& info);
// The first game: the saved one when there is one to resume, else a new one.
void StartFirstGame(GameInfo& info);
void InitializeGame(GameInfo& info);
// A new game on a board whose mines are given, one flag per cube in position order.
void InitializeGame(GameInfo& info, const std::vector<bool>& board);
// A new game in place of the one being played or watched: the game left
// counts, a won game's replay is written first, and a replay watched is left.
void StartNewGame(GameInfo& info);
// A game left after its first uncover counts as played; a watched one never.
void LeaveGame(GameInfo& info);
// Counted once a game, by the state pass; its save goes.
void NoticeEnd(GameInfo& info);
// The game as it stands, saved behind the frames when it is in progress.
void SaveGame(GameInfo& info);
// Every 10 seconds of play in which the field changed, the field's snapshot
// taken a slice a frame.
void KeepGame(GameInfo& info);
// What quitting does first, however the player quits: a game in progress is
// saved, and waits for the next start uncounted; any other is left.
void QuitGame(GameInfo& info);
// R: the game just ended, played back from memory; while watching it, again.
void WatchLastGame(GameInfo& info);
// T: the lost board again, the clock at 0.
void RetryBoard(GameInfo& info);

#endif
