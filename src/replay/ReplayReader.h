#ifndef CUBOMB_REPLAY_REPLAYREADER_H
#define CUBOMB_REPLAY_REPLAYREADER_H

// Reads a replay file back, checking all of it: the header, then one line per
// cube in x, y, z order (z fastest) without gaps, then END_SECTION and nothing
// but blank lines. The box's size follows from the cube lines. Lines may end
// in CR LF. Memory grows only with the cubes actually read.

#include <cstddef>
#include <istream>
#include <string>
#include <vector>

struct ReplayRecord {
    std::string player;
    bool finished = false;
    float totalTime = 0;
    int sizeX = 0;
    int sizeY = 0;
    int sizeZ = 0;
    std::vector<bool> mines;   // per cube, in position order
    std::vector<float> times;  // per cube: game-clock seconds when resolved, 1e7 for never
    // Only a game kept in memory may be lost: it then ends at totalTime with
    // the mined cube uncovered. A file holds won games alone.
    bool lost = false;
    size_t fatalCube = 0;
};

struct ReplayError {
    int line = 0;
    std::string reason;
};

// False with the line and the reason when the stream holds no whole replay.
bool ReadReplay(std::istream& in, ReplayRecord& replay, ReplayError& error);

// Reads the replay file at path; on failure, the message to give the player:
// "Error: cannot find replay: <path>" or "Error: not a replay file: <path>: line <n>: <reason>".
bool LoadReplay(const std::string& path, ReplayRecord& replay, std::string& message);

#endif
