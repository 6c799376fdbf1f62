#ifndef CUBOMB_GAME_SAVESLOT_H
#define CUBOMB_GAME_SAVESLOT_H

// Where the game in progress waits between runs: "saved_game.txt" beside the
// settings. Only the window that holds the folder's lock keeps it; the file
// is written by a worker, so that no frame waits for the disk, each write
// replacing the last one asked for, and removed when its game is over.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>

#include "replay/SavedGame.h"
#include "support/FileLock.h"
#include "system/Worker.h"

class SaveSlot {
public:
    // Takes the folder's lock; false when another window holds it, and this
    // one then neither loads nor saves.
    bool Open();
    bool Opened() const { return worker != nullptr; }
    // The saved game, or false when there is none or it cannot be read (it
    // is then put aside, with a warning).
    bool Load(SavedGame& game, std::ostream& errors);
    // The game of that number, behind the frames. A write that fails warns
    // once and leaves the old file as it was.
    void Save(SavedGame game, uint64_t number);
    void Remove();
    // Until every save and removal asked for so far is done.
    void Flush();
    // Whether the file holds that game, as last saved: once Flush is done, its last save.
    bool Holds(uint64_t number) const { return held == number; }
    // Said held when the file is loaded: it holds the game resumed.
    void Resumed(uint64_t number) { held = number; }

private:
    void WriteLatest(uint64_t generation);

    FileLock lock;
    std::unique_ptr<Worker> worker;
    std::mutex mutex;
    std::optional<SavedGame> latest;
    uint64_t latestNumber = 0;
    uint64_t generation = 0;
    std::atomic<uint64_t> held{0};
    std::atomic<bool> warned{false};
};

#endif
