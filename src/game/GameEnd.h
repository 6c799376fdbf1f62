#ifndef CUBOMB_GAME_GAMEEND_H
#define CUBOMB_GAME_GAMEEND_H

// What follows a game: it counts in the statistics when it ends or is left
// after its first uncover; a won game's replay is written, and its panel
// learns the game's 3BV and rank beside the frames; what R watches again.

#include <atomic>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "replay/ReplayReader.h"
#include "replay/Statistics.h"
#include "ui/ResultPanel.h"

struct GameInfo;
class ReplayPlayer;

// Kept in the game record.
struct Aftermath {
    Statistics stats;
    std::vector<GameOutcome> unsaved;  // counted, not yet in the file
    bool statsWarned = false;
    bool counted = false;  // this game has counted in the statistics
    bool retry = false;    // this game is a lost board tried again
    std::string player;    // whose game it is, for its replay
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
// Counts the game, into the file as well.
void CountGame(GameInfo& info, bool won, float time);
// Counts a game that ended now, won or lost, once, and shows its panel:
// true when it did.
bool CountEnd(GameInfo& info);
// A new game has no use for the last one's 3BV and rank.
void DropPending(Aftermath& end);
// The panel's search of the replays is not left running while the process
// ends around it, unless it takes long.
void AwaitExtras(GameInfo& info);
// A won game's replay, unless written already: in the frame after the win,
// or sooner when something else follows first. A retry's goes into
// Replays/Retries, out of the best times.
void SavePendingReplay(GameInfo& info);
// The game that just ended as R watches it: a lost one up to its losing click.
ReplayRecord LastGameRecord(const GameInfo& info);
bool CanWatchLastGame(const GameInfo& info);
bool CanRetry(const GameInfo& info);
void DrawResult(GameInfo& info);

#endif
