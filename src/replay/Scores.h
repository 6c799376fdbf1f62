#ifndef CUBOMB_REPLAY_SCORES_H
#define CUBOMB_REPLAY_SCORES_H

#include <ostream>
#include <string>

// The best-times table of the replays of finished games in a folder, grouped
// by box and mine count (smallest box first, then fewest mines), up to ten
// rows each, best time first and the older replay first among equal times.
// A file that is no replay is skipped, with a line on errors.
void PrintScores(const std::string& folder, std::ostream& out, std::ostream& errors);

#endif
