#include "game/Scores.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <map>
#include <regex>
#include <tuple>
#include <vector>

#include "minefield/ReplayReader.h"
#include "support/Files.h"

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
    std::string older;  // sorts older replays first; a name without a stamp last
    int copy;           // a second replay in the same second is newer
    std::string player;
    std::string when;
};

// "MM-DD-YY HH.MM.SS (player)" with " (n)" for a later replay in the same second.
void ReadStamp(const std::string& name, Score& score) {
    static const std::regex stamp(R"((\d\d)-(\d\d)-(\d\d) (\d\d)\.(\d\d)\.(\d\d) \(.*?\)(?: \((\d+)\))?\.cubomb)");
    std::smatch m;
    if (!std::regex_match(name, m, stamp)) {
        score.older = "~";
        score.copy = 0;
        score.when = "-";
        return;
    }
    score.older = m.str(3) + m.str(1) + m.str(2) + m.str(4) + m.str(5) + m.str(6);
    score.copy = m[7].matched ? std::stoi(m.str(7)) : 1;
    score.when = "20" + m.str(3) + "-" + m.str(1) + "-" + m.str(2) + " " + m.str(4) + ":" + m.str(5) + ":" + m.str(6);
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
            << scores[rank].time << "s  " << std::left << std::setw(static_cast<int>(width)) << scores[rank].player
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
            Score score{replay.totalTime, "", 0, Printable(replay.player), ""};
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
