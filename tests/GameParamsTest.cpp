#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>

#include "game/GameInfo.h"
#include "game/GameParams.h"
#include "support/Process.h"
#include "support/TempDir.h"

namespace {

std::unique_ptr<GameInfo> ReadFrom(const std::string& content) {
    TempDir dir;
    WriteFile(dir.File("game_parameters.txt"), content);
    auto info = std::make_unique<GameInfo>();
    ReadParams(dir.File("game_parameters.txt"), *info);
    return info;
}

TEST(ReadParams, DefaultsComeFromAnEmptyOrCommentOnlyFile) {
    for (const char* content : {"", "# nothing here\n\n   \t\n#dimensions 1 1 1\n"}) {
        const auto owner = ReadFrom(content);
        const GameInfo& info = *owner;
        EXPECT_EQ(info.dimensionX, 10);
        EXPECT_EQ(info.dimensionY, 10);
        EXPECT_EQ(info.dimensionZ, 10);
        EXPECT_EQ(info.numMines, 39) << "1000 cubes times the float 0.04, in double precision";
        EXPECT_EQ(info.density, 0.04f);
        EXPECT_TRUE(info.saveReplays);
        EXPECT_EQ(info.playerName, "default_player");
        EXPECT_EQ(info.screenWidth, 800);
        EXPECT_EQ(info.screenHeight, 600);
    }
}

TEST(ReadParams, ReadsEveryKeyWithLastOneWinning) {
    const auto owner = ReadFrom(
        "screen_width 1024\n"
        "screen_height 768\n"
        "  dimensions 3 4 5\n"
        "num_mines 12\r\n"
        "save_replays 0\n"
        "player_name joe\n"
        "player_name ann\n"
        "Screen_width 640\n"
        "unknown_key with many values\n"
        "density 0.5");
    const GameInfo& info = *owner;
    EXPECT_EQ(info.screenWidth, 1024);
    EXPECT_EQ(info.screenHeight, 768);
    EXPECT_EQ(info.dimensionX * 100 + info.dimensionY * 10 + info.dimensionZ, 345);
    EXPECT_EQ(info.numMines, 12);
    EXPECT_EQ(info.density, 0.5f);
    EXPECT_FALSE(info.saveReplays);
    EXPECT_EQ(info.playerName, "ann");
}

TEST(ReadParams, DerivesTheMineCountOnlyWhenNoneIsGiven) {
    struct Case {
        const char* content;
        int mines;
    };
    const Case cases[] = {
        {"dimensions 5 5 5\n", 4},
        {"dimensions 5 5 5\nnum_mines 0\n", 4},
        {"dimensions 10 10 10\ndensity 0.5\n", 500},
        {"density -0.5\n", -500},
        {"density 2\ndimensions 2 2 2\n", 16},
        {"dimensions 0 5 5\n", 0},
        {"num_mines 12\nnum_mines x\n", 12},
        {"dimensions 256 256 256\ndensity 999999999\n", 2147483647},
        {"\xEF\xBB\xBF" "dimensions 1 1 1\n", 39},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadFrom(c.content)->numMines, c.mines) << c.content;
    }
}

// The real program in a fresh folder: its exact output and its exit status.
RunResult RunGameWith(const std::string& content) {
    TempDir dir;
    WriteFile(dir.File("game_parameters.txt"), content);
    return RunToEnd({CUBOMB_EXE}, dir.Path(), {"SDL_VIDEODRIVER=cubomb-no-such-driver"});
}

TEST(ReadParamsProgram, AMissingFileEndsWithStatusOne) {
    TempDir dir;
    const RunResult result = RunToEnd({CUBOMB_EXE}, dir.Path());
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.lines, std::vector<std::string>{"Error: cannot find game parameters file: game_parameters.txt"});
}

TEST(ReadParamsProgram, EveryFatalMessageStopsAtItsLine) {
    struct Case {
        const char* content;
        std::vector<std::string> lines;
    };
    const std::string dims = "Error: dimensions should be non-negative integers";
    const Case cases[] = {
        {"screen_width 0800\n", {"Error: syntax: screen_width x"}},
        {"screen_width 1024 # wide\n", {"Error: syntax: screen_width x"}},
        {"screen_width 99999999999\n", {"Error: syntax: screen_width x"}},
        {"screen_height\n", {"Error: syntax: screen_height y"}},
        {"screen_height -5\n", {"Error: syntax: screen_height y"}},
        {"dimensions 10 10\n", {"Error: syntax: dimensions x y z"}},
        {"dimensions 10 -1 10\n", {dims}},
        {"dimensions 10 10 12345678901\n", {dims}},
        {"dimensions 257 256 256\n", {"Error: dimensions too large: a box may hold at most 16777216 cubes"}},
        {"dimensions 65536 65536 65536\n", {"Error: dimensions too large: a box may hold at most 16777216 cubes"}},
        {"num_mines 1 2\n", {"Error: syntax: num_mines number"}},
        {"density\n", {"Error: syntax: density real_number_bettwen_one_and_one"}},
        {"density 1e5\n", {"Error: density of mines should be a floating point number"}},
        {"save_replays yes\n", {"Error: syntax: save_replays (0 or 1)"}},
        {"save_replays 01\n", {"Error: syntax: save_replays (0 or 1)"}},
        {"player_name big cat\n", {"Error: syntax: player_name joe", "The name cannot contain white space characters."}},
        {"num_mines x\nnum_mines 99999999999\nscreen_width x\nscreen_height x\n",
         {"Error: num_mines should be a natural number", "Error: num_mines should be a natural number",
          "Error: syntax: screen_width x"}},
        {"screen_width 640\r\nscreen_height 48O\r\n", {"Error: syntax: screen_height y"}},
    };
    for (const Case& c : cases) {
        const RunResult result = RunGameWith(c.content);
        EXPECT_EQ(result.status, 1) << c.content;
        EXPECT_EQ(result.lines, c.lines) << c.content;
    }
}

TEST(ReadParamsProgram, AFolderNamedLikeTheFileIsNotAFile) {
    TempDir dir;
    ASSERT_EQ(mkdir(dir.File("game_parameters.txt").c_str(), 0755), 0);
    const RunResult result = RunToEnd({CUBOMB_EXE}, dir.Path());
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.lines, std::vector<std::string>{"Error: cannot find game parameters file: game_parameters.txt"});
}

}  // namespace
