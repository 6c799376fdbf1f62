#include "game/SaveSlot.h"

#include <unistd.h>

#include <cerrno>
#include <iostream>

#include "game/GameParams.h"
#include "system/System.h"

namespace {

const std::string kLockFile = std::string(kParamsFile) + ".lock";

}  // namespace

bool SaveSlot::Open() {
    if (lock.Take(kLockFile, false) == FileLock::kHeldElsewhere) {
        return false;
    }
    worker = std::make_unique<Worker>();
    return true;
}

bool SaveSlot::Load(SavedGame& game, std::ostream& errors) {
    return Opened() && LoadSavedGame(kSavedGameFile, game, errors);
}

// Only the newest snapshot asked for is written; older tasks find it gone.
void SaveSlot::Save(SavedGame game, uint64_t number) {
    if (!Opened()) {
        return;
    }
    uint64_t mine = 0;
    {
        std::lock_guard<std::mutex> guard(mutex);
        latest = std::move(game);
        latestNumber = number;
        mine = ++generation;
    }
    worker->Post([this, mine] { WriteLatest(mine); });
}

void SaveSlot::WriteLatest(uint64_t mine) {
    std::optional<SavedGame> game;
    uint64_t number = 0;
    {
        std::lock_guard<std::mutex> guard(mutex);
        if (generation != mine || !latest) {
            return;
        }
        game = std::move(latest);
        latest.reset();
        number = latestNumber;
    }
    std::string reason;
    if (WriteSavedGameFile(kSavedGameFile, *game, reason)) {
        held = number;
    } else if (!warned.exchange(true)) {
        std::cerr << "Warning: game not saved: " << kSavedGameFile << ": " << reason << std::endl;
    }
}

void SaveSlot::Remove() {
    if (!Opened()) {
        return;
    }
    worker->Post([this] {
        if (unlink(kSavedGameFile) == 0 || errno == ENOENT) {
            held = 0;
        }
        System::FilesChanged();
    });
}

void SaveSlot::Flush() {
    if (Opened()) {
        worker->Wait();
    }
}
