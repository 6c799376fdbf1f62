#include "replay/Scores.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <map>
#include <sstream>
#include <tuple>
#include <vector>

#include "replay/Analysis.h"
#include "replay/ReplayReader.h"
#include "support/Files.h"
#include "support/StringHelpers.h"

namespace {

constexpr size_t kRowsPerBox = 10;
constexpr size_t kWidestNameColumn = 24;

struct Score {
    std::string name;  // the file's
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
    if (open == std::string::npos || open < 2 || rest[open - 1] != ')') {
        return 1;
    }
    const std::string digits = rest.substr(open + 2, rest.size() - open - 3);
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), IsDigit)) {
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

using Table = std::map<BoxAndMines, std::vector<Score>>;

void SortBox(std::vector<Score>& scores) {
    std::sort(scores.begin(), scores.end(), [](const Score& a, const Score& b) {
        return std::tie(a.time, a.older, a.copy) < std::tie(b.time, b.older, b.copy);
    });
}

// Every finished replay of the folder by box, each box sorted; their 3BV
// rates only when they are to be printed, as each means a pass over a board.
Table ReadTable(const std::string& folder, std::ostream& errors, bool rates) {
    Table boxes;
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
            Score score{name, replay.totalTime, rates ? ThreeBVPerSecond(replay) : "", "", 0, Printable(replay.player), ""};
            ReadStamp(name, score);
            boxes[BoxAndMines{replay.sizeX, replay.sizeY, replay.sizeZ, mines}].push_back(score);
        }
    }
    for (auto& [box, scores] : boxes) {
        SortBox(scores);
    }
    return boxes;
}

std::vector<std::string> Rows(const std::vector<Score>& scores) {
    const size_t shown = std::min(scores.size(), kRowsPerBox);
    size_t width = 0;
    for (size_t rank = 0; rank < shown; ++rank) {
        width = std::max(width, std::min(scores[rank].player.size(), kWidestNameColumn));
    }
    std::vector<std::string> rows;
    for (size_t rank = 0; rank < shown; ++rank) {
        std::ostringstream out;
        out << std::setw(3) << rank + 1 << ".  " << std::fixed << std::setprecision(1) << std::setw(8) << scores[rank].time
            << "s  " << std::setw(6) << scores[rank].perSecond << " 3BV/s  " << std::left << std::setw(static_cast<int>(width))
            << scores[rank].player << std::right << "  " << scores[rank].when;
        rows.push_back(out.str());
    }
    return rows;
}

}  // namespace

bool BoxAndMines::operator<(const BoxAndMines& b) const {
    const long long cubes = Cubes(), other = b.Cubes();
    return std::tie(cubes, x, y, z, mines) < std::tie(other, b.x, b.y, b.z, b.mines);
}

bool BoxAndMines::operator==(const BoxAndMines& b) const {
    return std::tie(x, y, z, mines) == std::tie(b.x, b.y, b.z, b.mines);
}

std::string BoxAndMines::Name() const {
    return std::to_string(x) + "x" + std::to_string(y) + "x" + std::to_string(z) + ", " + std::to_string(mines) + " mines";
}

void PrintScores(const std::string& folder, std::ostream& out, std::ostream& errors) {
    const Table boxes = ReadTable(folder, errors, true);
    if (boxes.empty()) {
        out << "No replays yet in " << folder << "/\n";
    }
    for (const auto& [box, scores] : boxes) {
        if (&scores != &boxes.begin()->second) {
            out << "\n";
        }
        out << box.Name() << "\n";
        for (const std::string& row : Rows(scores)) {
            out << row << "\n";
        }
    }
}

std::vector<std::string> ScoreRows(const std::string& folder, const BoxAndMines& box) {
    std::ostringstream ignored;
    const Table boxes = ReadTable(folder, ignored, true);
    const auto found = boxes.find(box);
    return found == boxes.end() ? std::vector<std::string>() : Rows(found->second);
}

Rank RankOf(const std::string& folder, const std::string& name, const BoxAndMines& box) {
    std::ostringstream ignored;
    const Table boxes = ReadTable(folder, ignored, false);
    const auto found = boxes.find(box);
    if (found == boxes.end()) {
        return Rank();
    }
    const std::vector<Score>& scores = found->second;
    const auto at = std::find_if(scores.begin(), scores.end(), [&](const Score& s) { return s.name == name; });
    return at == scores.end() ? Rank() : Rank{static_cast<int>(at - scores.begin()) + 1, static_cast<int>(scores.size())};
}
