#ifndef CUBOMB_REPLAY_STATISTICS_H
#define CUBOMB_REPLAY_STATISTICS_H

// The games played on each box and mine count: how many, how many won, the
// current and the best streak of wins, and the best time (a retry's time
// is left out). Kept as text, one line a box:
//   x y z mines played won streak best_streak best_time
// with "-" for a best time not yet set.

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "replay/Scores.h"

struct BoxStats {
    int played = 0;
    int won = 0;
    int streak = 0;
    int bestStreak = 0;
    float bestTime = -1;  // below 0: none
};

// A game that counts: one that ended, won or lost, or was left after its first uncover.
struct GameOutcome {
    BoxAndMines box;
    bool won = false;
    float time = 0;
    bool retry = false;
};

class Statistics {
public:
    void Count(const GameOutcome& outcome);
    const std::map<BoxAndMines, BoxStats>& Boxes() const { return boxes; }
    std::string Text() const;
    // False, with the line and what is wrong with it, for text that is not
    // whole statistics; the statistics are then empty.
    bool Read(const std::string& text, std::string& problem);

private:
    std::map<BoxAndMines, BoxStats> boxes;
};

// The two lines --stats prints for a box:
//   10x10x10, 40 mines
//     played 12, won 5 (42 %), streak 1, best streak 3, best time 83.8 s
std::vector<std::string> StatsBlock(const BoxAndMines& box, const BoxStats& stats);
// Every box, the largest first, then by mines; or "No games played yet."
void PrintStats(const Statistics& stats, std::ostream& out);

// The statistics file at path. One that cannot be read is never thrown away:
// it is renamed to path.bad (or path.bad.2, and so on, never over an older
// one), a warning goes to errors, and counting starts afresh.
Statistics LoadStatistics(const std::string& path, std::ostream& errors);
// Written safely; false with the reason when it cannot be.
bool SaveStatistics(const std::string& path, const Statistics& stats, std::string& reason);
// Counts games into the file as it is now, so that two windows that write
// it lose no game: under a short lock of its own (path.lock) the file is read
// again, the games not yet written added, and the file written safely; once
// written they leave unsaved. stats becomes what the file then holds, or
// would; false with the reason when it cannot be written.
bool CountInFile(const std::string& path, std::vector<GameOutcome>& unsaved, Statistics& stats, std::string& reason,
                 std::ostream& errors);

#endif
