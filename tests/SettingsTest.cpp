// The menu's choice written into parameters files of every shape: read back,
// changed only where it must be, and never half written.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "game/GameInfo.h"
#include "game/GameParams.h"
#include "support/Files.h"
#include "support/SizeLimit.h"
#include "support/TempDir.h"

namespace {

const char* const kWritten[] = {"dimensions", "num_mines", "no_guess", "safe_first_click", "camera", "sound_volume"};

std::string RandomFile(std::mt19937& random) {
    const std::vector<std::string> pool = {
        "# a comment", "#dimensions 1 1 1", "", "   \t", "colour blue", "Dimensions 3 3 3", "dimensions 2 3 4",
        "  dimensions\t5 5 5", "num_mines 3", "num_mines x", "num_mines 0", "no_guess 1", "safe_first_click 0",
        "sound_volume 30", "density 0.2", "player_name joe", "screen_width 640", "fullscreen 0", "vsync 0",
        "dimensions 9 9 9", "no_guess 0", "\xEF\xBB\xBF" "num_mines 4", "mouse_sensitivity 2.5", "camera orbit", "camera fly"};
    const std::string end = random() % 2 ? "\r\n" : "\n";
    std::string text;
    for (int line = random() % 12; line > 0; --line) text += pool[random() % pool.size()] + end;
    if (random() % 4 == 0) text += pool[random() % pool.size()];  // a last line without its end
    return text;
}

GameChoice RandomChoice(std::mt19937& random) {
    return GameChoice{1 + int(random() % 30), 1 + int(random() % 30), 1 + int(random() % 30), 1 + int(random() % 99),
                      random() % 2 == 0, random() % 2 == 0, random() % 2 ? CameraKind::kOrbit : CameraKind::kFly,
                      10 * int(random() % 11)};
}

void Read(const std::string& text, GameInfo& info) {
    std::istringstream in(text);
    EXPECT_TRUE(ParseParams(in, info).fatal.empty()) << text;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Oracle: a line's key is its first run of characters other than blanks, tabs and CRs.
std::string KeyOf(const std::string& line) {
    const size_t start = line.find_first_not_of(" \t\r");
    return start == std::string::npos ? "" : line.substr(start, line.find_first_of(" \t\r", start) - start);
}

std::string Contents(const std::string& path) {
    std::string text;
    ReadWholeFile(path, text);
    return text;
}

TEST(Settings, AChoiceReadsBackAndOnlyItsKeysLinesChange) {
    std::mt19937 random(17);
    TempDir dir;
    const std::string path = dir.File("game_parameters.txt");
    for (int round = 0; round < 400; ++round) {
        const std::string old = RandomFile(random);
        const GameChoice choice = RandomChoice(random);
        std::ofstream(path, std::ios::binary) << old;
        std::string reason;
        ASSERT_TRUE(SaveChoice(path, choice, reason)) << reason;
        const std::string text = Contents(path);

        GameInfo before, after;
        Read(old, before);
        Read(text, after);
        EXPECT_EQ(ChoiceOf(after), choice) << text;
        EXPECT_EQ(std::make_tuple(after.screenWidth, after.playerName, after.density, after.fullscreen, after.vsync,
                                  after.mouseSensitivity),
                  std::make_tuple(before.screenWidth, before.playerName, before.density, before.fullscreen, before.vsync,
                                  before.mouseSensitivity));

        const std::vector<std::string> was = Lines(old), is = Lines(text);
        std::map<std::string, size_t> lastOf;
        for (size_t i = 0; i < was.size(); ++i) lastOf[KeyOf(was[i])] = i;
        const bool crlf = old.find("\r\n") != std::string::npos && old.find("\r\n") == old.find('\n') - 1;
        std::set<std::string> added;
        ASSERT_GE(is.size(), was.size());
        for (size_t i = 0; i < is.size(); ++i) {
            const std::string key = i < was.size() ? KeyOf(was[i]) : KeyOf(is[i]);
            const bool written = std::find(std::begin(kWritten), std::end(kWritten), key) != std::end(kWritten);
            if (i >= was.size()) {
                EXPECT_TRUE(written && !lastOf.count(key) && added.insert(key).second) << "only missing keys are added: " << is[i];
                EXPECT_EQ(is[i].back() == '\r', crlf) << "in the file's own line ends";
                continue;
            }
            const bool endAdded = i + 1 == was.size() && old.back() != '\n' && crlf && is.size() > was.size();  // for the lines added after it
            if (!written || lastOf[key] != i) {
                EXPECT_TRUE(is[i] == was[i] || (endAdded && is[i] == was[i] + "\r")) << "untouched: " << was[i];
            } else {
                EXPECT_EQ(is[i].back() == '\r', was[i].back() == '\r' || endAdded) << "its line end kept";
            }
        }
    }
}

// As root a read-only folder takes writes all the same: a file size limit, and a
// file where the folder should be, make the writes fail here.
TEST(Settings, AWriteThatFailsLeavesTheOldFileByteForByte) {
    TempDir dir;
    const std::string path = dir.File("game_parameters.txt");
    const std::string old = "# mine\r\ndimensions 3 3 3\r\nplayer_name ann\r\n";
    std::ofstream(path, std::ios::binary) << old + std::string(5000, '#') + "\r\n";
    EXPECT_TRUE(FailsPastSize(4096, [&](std::string& reason) { return SaveChoice(path, GameChoice{}, reason); }));
    EXPECT_EQ(Contents(path), old + std::string(5000, '#') + "\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path), {}), 1) << "nothing left beside it";

    std::ofstream(dir.File("folder")) << "a file";
    std::string reason;
    EXPECT_FALSE(SaveChoice(dir.File("folder/game_parameters.txt"), GameChoice{}, reason));
    EXPECT_EQ(reason, "Not a directory");
}

}  // namespace
