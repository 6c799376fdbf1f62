// The saved-game reader on any bytes. What it accepts is a game in progress
// that a field takes back whole, and that the game's own writer writes out
// as the same text read again.

#include <cstdint>
#include <sstream>
#include <string>

#include "fuzz/Check.h"
#include "minefield/MineField.h"
#include "replay/SavedGame.h"

namespace {

std::string Text(const SavedGame& game) {
    std::ostringstream out;
    WriteSavedGame(game, out);
    return out.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SavedGame game;
    std::string problem;
    if (!ReadSavedGame(std::string(reinterpret_cast<const char*>(data), size), game, problem)) {
        Check(problem.rfind("line ", 0) == 0);
        return 0;
    }
    MineField field;
    Check(field.Restore(game.field) && field.Begun() && !field.Dead());
    SavedGame back = game;
    back.field = field.Snapshot();
    const std::string written = Text(back);
    Check(written == Text(game));
    SavedGame again;
    Check(ReadSavedGame(written, again, problem) && Text(again) == written);
    return 0;
}
