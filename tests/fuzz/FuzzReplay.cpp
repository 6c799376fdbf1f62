// The replay reader on any bytes. What it accepts is a whole box; played back
// on a field, each cube is resolved when its time comes, and written out by the
// game's own writer, the field reads back the same.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz/Check.h"
#include "minefield/MineField.h"
#include "replay/ReplayPlayer.h"
#include "replay/ReplayReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    ReplayRecord replay;
    ReplayError error;
    if (!ReadReplay(in, replay, error)) {
        Check(error.line >= 1 && !error.reason.empty());
        return 0;
    }
    const size_t cubes = size_t(replay.sizeX) * replay.sizeY * replay.sizeZ;
    Check(replay.mines.size() == cubes && replay.times.size() == cubes && std::isfinite(replay.totalTime));
    ReplayPlayer player(replay);
    MineField field;
    player.Restart(field);
    // A cube is resolved exactly when its time has come, however the clock
    // steps; one never resolved in play stays covered.
    std::vector<float> clocks = {std::numeric_limits<float>::max()};
    for (size_t i = 0; i < 6 && cubes > 0; ++i) clocks.push_back(replay.times[i * cubes / 6]);
    std::sort(clocks.begin(), clocks.end());
    for (const float clock : clocks) {
        player.Advance(field, clock);
        for (size_t i = 0; i < cubes; ++i) {
            const bool waits = replay.times[i] > clock || replay.times[i] == Block::kNever;
            Check(field.Cubes().At(i).state == (waits ? Block::kCovered : replay.mines[i] ? Block::kFlagged : Block::kUncovered));
        }
    }
    std::ostringstream out;
    out << "# Cubomb replay file.\n# Player: " << replay.player << "\n# Finished map? no\n# Total time: 0 seconds\n";
    field.OutputReplayInfo(out);
    std::istringstream again(out.str());
    ReplayRecord written;
    Check(ReadReplay(again, written, error) && written.mines == replay.mines && written.sizeX == replay.sizeX &&
          written.sizeY == replay.sizeY && written.sizeZ == replay.sizeZ);
    for (size_t i = 0; i < cubes; ++i) Check(std::fabs(written.times[i] - replay.times[i]) <= 1e-5f * replay.times[i]);
    return 0;
}
