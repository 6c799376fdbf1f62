#ifndef CUBOMB_GAME_COMMANDLINE_H
#define CUBOMB_GAME_COMMANDLINE_H

// What the command line asks for: play (no arguments, or a box and mines
// for this run only), watch or analyse a replay, print the best times or
// the statistics, the usage or the version; anything else is a usage error.

#include <string>

struct GameInfo;

struct Command {
    enum Kind { kPlay, kReplay, kAnalyse, kScores, kStats, kHelp, kVersion, kUsageError };
    Kind kind = kPlay;
    std::string file;  // the replay to watch or analyse
    // --box and --mines, when given: played instead of the file's values.
    bool box = false;
    int x = 0, y = 0, z = 0;
    bool mines = false;
    int mineCount = 0;
    std::string error;  // why a value is refused, as one line; empty for a plain usage error
};

Command ParseCommandLine(int argc, const char* const argv[]);

// Puts the command line's box and mines into the settings read from the
// file; the reason the mines cannot be played in the box that results, or
// nothing.
std::string ApplyCommandLine(const Command& command, GameInfo& info);

extern const char* const kUsage;
extern const char* const kVersion;

#endif
