#ifndef CUBOMB_REPLAY_SAVEDGAME_H
#define CUBOMB_REPLAY_SAVEDGAME_H

// A game in progress as "saved_game.txt" keeps it, to go on exactly where
// the player left it: the field, the clock, who plays it and whether it is a
// retry, both cameras and which is in use. The text, line by line:
//
//   cubomb_saved_game 1
//   box X Y Z
//   player NAME
//   retry 0|1
//   clock SECONDS
//   no_guess_found 0|1
//   camera fly|orbit
//   fly X Y Z YAW TILT SPEED                 the fly camera's eye and angles
//   orbit X Y Z YAW TILT DISTANCE SPEED      the orbit camera's eye, angles, distance to its pivot
//   cut AXIS SIGN LAYERS
//   cubes RUNS
//   RUN RUN ...                              up to 32 a line
//   times RUNS
//   COUNT SECONDS                            one a line
//   end
//
// A cube run is a letter after its count (no count for one cube): c covered,
// m a covered mine, f flagged, g a flagged mine, u uncovered; upper case
// when the cubes carry a resolve time. The time runs give those times in
// the same order. Lines starting with # before the first are comments.

#include <ostream>
#include <string>

#include "minefield/MineField.h"

extern const char* const kSavedGameFile;

struct SavedCamera {
    Vector eye{0, 0, 0};
    float yaw = 0;
    float tilt = 0;
    float distance = 0;  // the orbit camera's only
    float speed = 0;
};

struct SavedGame {
    FieldSnapshot field;
    std::string player;
    bool retry = false;
    float clock = 0;
    bool orbit = false;
    SavedCamera fly;
    SavedCamera orbiting;
};

void WriteSavedGame(const SavedGame& game, std::ostream& out);
// False, with what is wrong and where, for text that is not a whole saved
// game in progress: at least one cube uncovered, none of them a mine.
bool ReadSavedGame(const std::string& text, SavedGame& game, std::string& problem);

// Written safely; false, with the reason, when it cannot be.
bool WriteSavedGameFile(const std::string& path, const SavedGame& game, std::string& reason);
// The saved game at path. One that cannot be read is never thrown away: it
// is renamed to path.bad (path.bad.2, and so on), a warning goes to errors,
// and false says a new game starts; false too when there is none.
bool LoadSavedGame(const std::string& path, SavedGame& game, std::ostream& errors);

#endif
