#include "replay/Scores.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <map>
#include <tuple>
#include <vector>

#include "replay/Analysis.h"
#include "replay/ReplayReader.h"
#include "support/Files.h"
#include "support/StringHelpers.h"

namespace {

constexpr size_t kRowsPerBox = 10;
constexpr size_t kWidestNameColumn = 24;

struct Box {
    int x, y, z, mines;

    bool operator<(const Box& b) const {
        const long long cubes = static_cast<long long>(x) * y * z, other = static_cast<long long>(b.x) * b.y * b.z;
        return std::tie(cubes, x, y, z, mines) < std::tie(other, b.x, b.y, b.z, b.mines);
    }
};

struct Score {
    float time;
    std::string perSecond;  // 3BV per second
    std::string older;  // sorts older replays first; a name without a stamp last
    int copy;           // a second replay in the same second is newer
    std::string player;
    std::string when;
};

// Where the stamp's digits stand, and what stands between them.
constexpr char kStampLayout[] = "00-00-00 00.00.00 (";
constexpr size_t kStampLength = sizeof kStampLayout - 1;
constexpr size_t kExtensionLength = sizeof ".cubomb" - 1;

bool Stamped(const std::string& name) {
    if (name.size() < kStampLength + 1 + kExtensionLength || !EndsWith(name, ").cubomb")) {
        return false;
    }
    for (size_t i = 0; i < kStampLength; ++i) {
        if (kStampLayout[i] == '0' ? !IsDigit(name[i]) : name[i] != kStampLayout[i]) {
            return false;
        }
    }
    return true;
}

// The n of "(player) (n)"; 1 without it. A number too long to read sorts last.
int CopyNumber(const std::string& name) {
    const std::string rest = name.substr(kStampLength - 1, name.size() - kStampLength + 1 - kExtensionLength);
    const size_t open = rest.rfind(" (");
    const std::string digits = open == std::string::npos ? "" : rest.substr(open + 2, rest.size() - open - 3);
    if (open < 2 || rest[open - 1] != ')' || digits.empty() ||
        !std::all_of(digits.begin(), digits.end(), IsDigit)) {
        return 1;
    }
    int copy = 0;
    return IsNaturalNumberWithLeadingZeros(digits, copy) ? copy : INT_MAX;
}

// "MM-DD-YY HH.MM.SS (player)" with " (n)" for a later replay in the same second.
void ReadStamp(const std::string& name, Score& score) {
    if (!Stamped(name)) {
        score.older = "~";
        score.copy = 0;
        score.when = "-";
        return;
    }
    const auto part = [&](size_t at) { return name.substr(at, 2); };
    score.older = part(6) + part(0) + part(3) + part(9) + part(12) + part(15);
    score.copy = CopyNumber(name);
    score.when = "20" + part(6) + "-" + part(0) + "-" + part(3) + " " + part(9) + ":" + part(12) + ":" + part(15);
}

// A name from a file may hold anything; control characters must not reach a terminal.
std::string Printable(std::string text) {
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 32 || c == 127) {
            c = '?';
        }
    }
    return text;
}

std::vector<std::string> ReplayNames(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
        if (entry.path().extension() == ".cubomb") {
            names.push_back(entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

void PrintBox(const Box& box, std::vector<Score>& scores, std::ostream& out) {
    std::sort(scores.begin(), scores.end(), [](const Score& a, const Score& b) {
        return std::tie(a.time, a.older, a.copy) < std::tie(b.time, b.older, b.copy);
    });
    scores.resize(std::min(scores.size(), kRowsPerBox));
    size_t width = 0;
    for (const Score& score : scores) {
        width = std::max(width, std::min(score.player.size(), kWidestNameColumn));
    }
    out << box.x << "x" << box.y << "x" << box.z << ", " << box.mines << " mines\n";
    for (size_t rank = 0; rank < scores.size(); ++rank) {
        out << std::setw(3) << rank + 1 << ".  " << std::fixed << std::setprecision(1) << std::setw(8)
            << scores[rank].time << "s  " << std::setw(6) << scores[rank].perSecond << " 3BV/s  " << std::left << std::setw(static_cast<int>(width)) << scores[rank].player
            << std::right << "  " << scores[rank].when << "\n";
    }
}

}  // namespace

void PrintScores(const std::string& folder, std::ostream& out, std::ostream& errors) {
    std::map<Box, std::vector<Score>> boxes;
    for (const std::string& name : ReplayNames(folder)) {
        const std::string path = folder + "/" + name;
        std::ifstream file;
        ReplayRecord replay;
        ReplayError error;
        if (!OpenForReading(path, file)) {
            errors << "Skipping " << path << ": cannot read it\n";
        } else if (!ReadReplay(file, replay, error)) {
            errors << "Skipping " << path << ": line " << error.line << ": " << error.reason << "\n";
        } else if (replay.finished) {
            const int mines = static_cast<int>(std::count(replay.mines.begin(), replay.mines.end(), true));
            Score score{replay.totalTime, ThreeBVPerSecond(replay), "", 0, Printable(replay.player), ""};
            ReadStamp(name, score);
            boxes[Box{replay.sizeX, replay.sizeY, replay.sizeZ, mines}].push_back(score);
        }
    }
    if (boxes.empty()) {
        out << "No replays yet in " << folder << "/\n";
    }
    for (auto& [box, scores] : boxes) {
        if (&scores != &boxes.begin()->second) {
            out << "\n";
        }
        PrintBox(box, scores, out);
    }
}
