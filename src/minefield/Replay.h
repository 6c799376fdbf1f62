#ifndef CUBOMB_MINEFIELD_REPLAY_H
#define CUBOMB_MINEFIELD_REPLAY_H

// The replay file of a won game: who played, how long it took, and for every
// cube whether it held a mine and when on the game clock it was resolved.

#include <string>

class MineField;

// Where won games' replays go, and those of lost boards tried again.
extern const char* const kReplayFolder;
extern const char* const kRetryFolder;

// Local date and time as MM-DD-YY HH.MM.SS, usable in a file name.
std::string GetTimeString();

// The name as it may stand in a file name: characters a file system would
// take as a path or refuse become '_', and it is cut to a safe length.
std::string FileSafeName(const std::string& playerName);

// Writes "Replays/<stamp> (<name>).cubomb", creating the folder and never
// replacing an existing file; a file that cannot be written is reported.
void SaveReplay(const std::string& playerName, const MineField& world, float totalTime, bool finished);
// The same into another folder, made with its parents when missing; the
// path written, or false when it could not be.
bool SaveReplay(const std::string& playerName, const MineField& world, float totalTime, bool finished,
                const std::string& folder, std::string& path);

#endif
