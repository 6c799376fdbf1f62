#include "replay/Analysis.h"

#include <algorithm>
#include <iomanip>
#include <sstream>

#include "logic/PerfectPlay.h"
#include "support/StringHelpers.h"

namespace {

constexpr float kNever = 10000000.0f;

Box BoxOf(const ReplayRecord& replay) {
    return Box{replay.sizeX, replay.sizeY, replay.sizeZ};
}

// The safe cubes resolved first are the first click and its flood; the click
// is the first zero among them in file order, or the one cube itself.
bool FirstClick(const ReplayRecord& replay, const std::vector<uint8_t>& counts, size_t& first) {
    float earliest = kNever;
    for (size_t cube = 0; cube < replay.times.size(); ++cube) {
        if (!replay.mines[cube]) {
            earliest = std::min(earliest, replay.times[cube]);
        }
    }
    if (!(earliest < kNever)) {
        return false;
    }
    std::vector<size_t> opened;
    for (size_t cube = 0; cube < replay.times.size(); ++cube) {
        if (!replay.mines[cube] && replay.times[cube] == earliest) {
            opened.push_back(cube);
        }
    }
    const auto zero = std::find_if(opened.begin(), opened.end(), [&](size_t cube) { return counts[cube] == 0; });
    first = zero != opened.end() ? *zero : opened.front();
    return true;
}

std::string PerSecond(const ReplayRecord& replay, size_t threeBV) {
    if (!replay.finished || replay.totalTime == 0) {
        return "-";
    }
    return FixedPoint(threeBV / replay.totalTime, 2);
}

}  // namespace

std::string ThreeBVPerSecond(const ReplayRecord& replay) {
    return PerSecond(replay, ThreeBV(BoxOf(replay), replay.mines));
}

void Analyse(const ReplayRecord& replay, std::ostream& out) {
    const Box box = BoxOf(replay);
    const std::vector<uint8_t> counts = CountsAround(box, replay.mines);
    size_t first = 0;
    const bool opened = FirstClick(replay, counts, first);
    const BlockPos click = box.PositionOf(first);
    const size_t threeBV = ThreeBV(box, replay.mines);
    out << "Box: " << box.sizeX << "x" << box.sizeY << "x" << box.sizeZ << ", "
        << std::count(replay.mines.begin(), replay.mines.end(), true) << " mines\n";
    out << "Finished: " << (replay.finished ? "yes" : "no") << "\n";
    out << "Time: " << std::fixed << std::setprecision(1) << replay.totalTime << " s\n";
    out << "3BV: " << threeBV << "\n";
    out << "3BV/s: " << PerSecond(replay, threeBV) << "\n";
    out << "First click: " << (opened ? ToString(click.x) + " " + ToString(click.y) + " " + ToString(click.z) : "-") << "\n";
    out << "Guess needed: " << (!opened ? "-" : LeftByPerfectPlay(box, replay.mines, first) == 0 ? "no" : "yes") << "\n";
}
