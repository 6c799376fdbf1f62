#ifndef CUBOMB_GAME_COMMANDLINE_H
#define CUBOMB_GAME_COMMANDLINE_H

// What the command line asks for: play (no arguments), watch or analyse a
// replay, print the best times, the usage or the version; anything else is a
// usage error.

#include <string>

struct Command {
    enum Kind { kPlay, kReplay, kAnalyse, kScores, kHelp, kVersion, kUsageError };
    Kind kind = kPlay;
    std::string file;  // the replay to watch or analyse
};

Command ParseCommandLine(int argc, const char* const argv[]);

extern const char* const kUsage;
extern const char* const kVersion;

#endif
