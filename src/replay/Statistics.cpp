#include "replay/Statistics.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <iomanip>
#include <sstream>

#include "support/FileLock.h"
#include "support/Files.h"
#include "support/StringHelpers.h"

namespace {

constexpr size_t kFields = 9;

bool ReadLine(const std::vector<std::string>& tokens, BoxAndMines& box, BoxStats& stats) {
    int* const numbers[] = {&box.x, &box.y, &box.z, &box.mines, &stats.played, &stats.won, &stats.streak, &stats.bestStreak};
    for (size_t i = 0; i < 8; ++i) {
        if (!IsNaturalNumber(tokens[i], *numbers[i])) {
            return false;
        }
    }
    const bool timed = tokens[8] != "-";
    if (timed && (!IsFloatingPoint(tokens[8], stats.bestTime) || !(stats.bestTime >= 0))) {
        return false;
    }
    return stats.won <= stats.played && stats.streak <= stats.bestStreak && stats.bestStreak <= stats.won;
}

}  // namespace

void Statistics::Count(const GameOutcome& outcome) {
    BoxStats& stats = boxes[outcome.box];
    ++stats.played;
    stats.won += outcome.won;
    stats.streak = outcome.won ? stats.streak + 1 : 0;
    stats.bestStreak = std::max(stats.bestStreak, stats.streak);
    if (outcome.won && !outcome.retry && (stats.bestTime < 0 || outcome.time < stats.bestTime)) {
        stats.bestTime = outcome.time;
    }
}

std::string Statistics::Text() const {
    std::ostringstream text;
    text << "# Cubomb statistics, one line a box and mine count:\n"
         << "# x y z mines played won streak best_streak best_time\n";
    for (const auto& [box, stats] : boxes) {
        text << box.x << ' ' << box.y << ' ' << box.z << ' ' << box.mines << ' ' << stats.played << ' ' << stats.won << ' '
             << stats.streak << ' ' << stats.bestStreak << ' ';
        if (stats.bestTime < 0) {
            text << "-\n";
        } else {
            text << std::setprecision(9) << stats.bestTime << "\n";
        }
    }
    return text.str();
}

bool Statistics::Read(const std::string& text, std::string& problem) {
    boxes.clear();
    std::istringstream in(text);
    std::string line;
    std::vector<std::string> tokens;
    for (int number = 1; std::getline(in, line); ++number) {
        ExtractStringsFromLine(line, tokens);
        if (tokens.empty() || tokens[0][0] == '#') {
            continue;
        }
        BoxAndMines box;
        BoxStats stats;
        if (tokens.size() != kFields || !ReadLine(tokens, box, stats) || !boxes.emplace(box, stats).second) {
            boxes.clear();
            problem = "line " + std::to_string(number) + ": not x y z mines played won streak best_streak best_time";
            return false;
        }
    }
    return true;
}

std::vector<std::string> StatsBlock(const BoxAndMines& box, const BoxStats& stats) {
    const double share = stats.played == 0 ? 0 : 100.0 * stats.won / stats.played;
    return {box.Name(), "  played " + std::to_string(stats.played) + ", won " + std::to_string(stats.won) + " (" +
                            FixedPoint(std::round(share), 0) + " %), streak " + std::to_string(stats.streak) + ", best streak " +
                            std::to_string(stats.bestStreak) + ", best time " +
                            (stats.bestTime < 0 ? "-" : FixedPoint(stats.bestTime, 1) + " s")};
}

void PrintStats(const Statistics& stats, std::ostream& out) {
    std::vector<std::pair<BoxAndMines, BoxStats>> boxes(stats.Boxes().begin(), stats.Boxes().end());
    std::stable_sort(boxes.begin(), boxes.end(), [](const auto& a, const auto& b) {
        const long long sizeA = a.first.Cubes(), sizeB = b.first.Cubes();
        return sizeA != sizeB ? sizeA > sizeB : a.first < b.first;
    });
    if (boxes.empty()) {
        out << "No games played yet.\n";
    }
    for (const auto& [box, counts] : boxes) {
        out << (&box == &boxes.front().first ? "" : "\n");
        for (const std::string& line : StatsBlock(box, counts)) {
            out << line << "\n";
        }
    }
}

Statistics LoadStatistics(const std::string& path, std::ostream& errors) {
    Statistics stats;
    if (access(path.c_str(), F_OK) != 0) {
        return stats;
    }
    std::string text;
    std::string problem = "cannot read it";
    if (ReadWholeFile(path, text) && stats.Read(text, problem)) {
        return stats;
    }
    std::string aside;
    if (MoveAside(path, aside)) {
        errors << "Warning: " << path << ": " << problem << "; kept as " << aside << ", counting starts afresh" << std::endl;
    } else {
        errors << "Warning: " << path << ": " << problem << "; counting starts afresh" << std::endl;
    }
    return stats;
}

bool SaveStatistics(const std::string& path, const Statistics& stats, std::string& reason) {
    return WriteFileSafely(path, stats.Text(), reason);
}

bool CountInFile(const std::string& path, std::vector<GameOutcome>& unsaved, Statistics& stats, std::string& reason,
                 std::ostream& errors) {
    FileLock lock;
    lock.Take(path + ".lock", true);
    stats = LoadStatistics(path, errors);
    for (const GameOutcome& outcome : unsaved) {
        stats.Count(outcome);
    }
    const bool saved = SaveStatistics(path, stats, reason);
    if (saved) {
        unsaved.clear();
    }
    return saved;
}
