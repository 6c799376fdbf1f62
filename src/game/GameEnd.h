#ifndef CUBOMB_GAME_GAMEEND_H
#define CUBOMB_GAME_GAMEEND_H

// What follows a game: it counts in the statistics when it ends or is left
// after its first uncover; a won game's replay is written, and its panel
// learns the game's 3BV and rank beside the frames; R watches the game just
// played again from memory, and T tries a lost board again.

#include <atomic>
#include <future>
#include <memory>
#include <string>

#include "replay/Statistics.h"
#include "ui/ResultPanel.h"

struct GameInfo;
class ReplayPlayer;

// Kept in the game record.
struct Aftermath {
    Statistics stats;
    bool statsWarned = false;
    bool counted = false;  // this game has counted in the statistics
    bool retry = false;    // this game is a lost board tried again
    // The panel of the game that ended, until the next game, the menu or a key that acts.
    bool panelShown = false;
    GameResult result;
    std::future<GameResult> pending;  // the result with its 3BV and rank, once found
    // Set when a new game leaves that search behind, so that it stops early.
    std::shared_ptr<std::atomic<bool>> pendingDropped;
    float savedTotal = 0;             // the won game's total time, as its replay keeps it
    std::shared_ptr<ReplayPlayer> watched;  // the game just played, watched again
};

extern const char* const kStatsFile;

void LoadStats(GameInfo& info);
// Counted once a game, by the state pass.
void NoticeEnd(GameInfo& info);
// A new game has no use for the last one's 3BV and rank.
void DropPending(Aftermath& end);
// A game left after its first uncover counts as played; a watched one never.
void LeaveGame(GameInfo& info);
// What quitting does first, however the player quits.
void QuitGame(GameInfo& info);
// A won game's replay, unless written already: in the frame after the win,
// or sooner when something else follows first. A retry's goes into
// Replays/Retries, out of the best times.
void SavePendingReplay(GameInfo& info);
// R: the game just ended, played back from memory; while watching it, again.
void WatchLastGame(GameInfo& info);
bool CanWatchLastGame(const GameInfo& info);
// T: the lost board again, the clock at 0.
void RetryBoard(GameInfo& info);
bool CanRetry(const GameInfo& info);
void DrawResult(GameInfo& info);

#endif
