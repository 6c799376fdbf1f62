#ifndef CUBOMB_REPLAY_SCORES_H
#define CUBOMB_REPLAY_SCORES_H

// The best-times table of the replays of finished games in a folder, grouped
// by box and mine count (smallest box first, then fewest mines), best time
// first and the older replay first among equal times. A file that is no
// replay is skipped, with a line on errors.

#include <ostream>
#include <string>
#include <vector>

// A box and the mines it holds: what times and statistics are kept for.
struct BoxAndMines {
    int x = 0, y = 0, z = 0, mines = 0;

    long long Cubes() const { return static_cast<long long>(x) * y * z; }
    // Smallest box first, then fewest mines.
    bool operator<(const BoxAndMines& other) const;
    bool operator==(const BoxAndMines& other) const;
    // "10x10x10, 40 mines"
    std::string Name() const;
};

// Up to ten rows a box.
void PrintScores(const std::string& folder, std::ostream& out, std::ostream& errors);

// The rows the table prints for one box, up to ten; none when it has no replay.
std::vector<std::string> ScoreRows(const std::string& folder, const BoxAndMines& box);

// The place of the replay file name among all the finished replays of its
// box in the folder, in the table's order, and their number; 0 of 0 when
// that replay is not among them.
struct Rank {
    int place = 0;
    int of = 0;
};
Rank RankOf(const std::string& folder, const std::string& name, const BoxAndMines& box);

#endif
