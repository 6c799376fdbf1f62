// Whole games with the real program under Xvfb, driven with real input.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <regex>

#include "support/GameSession.h"

namespace {

const std::string kOneMine = "dimensions 1 1 1\nnum_mines 1\n";

bool StartsWith(const std::string& line, const std::string& prefix) {
    return line.compare(0, prefix.size(), prefix) == 0;
}

std::vector<std::string> ReplayFiles(const GameSession& game) {
    std::vector<std::string> names = ListFolder(game.Folder() + "/Replays");
    std::sort(names.begin(), names.end());
    return names;
}

int SavedReplayLines(const GameSession& game) {
    const std::vector<std::string> lines = game.OutputLines();
    return static_cast<int>(std::count_if(lines.begin(), lines.end(),
                                          [](const std::string& l) { return StartsWith(l, "Saving replay: "); }));
}

bool WaitForReplays(GameSession& game, int count) {
    return WaitUntil([&] { return SavedReplayLines(game) >= count; }, 30);
}

bool IsMineRed(const Rgb& c) {
    return c.r > 150 && c.g < 90 && c.b < 90;
}

bool IsFloorGreen(const Rgb& c) {
    return c.g > 200 && c.r < 60 && c.b < 60;
}

bool ShowsMinesCleared(const Picture& shot) {
    return CountPixels(shot, 280, 0, 504, 18, IsGreenText) > 60;
}

TEST(Game, StartsWithItsTexturesLoadedInOrder) {
    GameSession game;
    ASSERT_TRUE(game.WaitForWindow());
    EXPECT_EQ(game.OutputLines(), (std::vector<std::string>{"Initializing texture states...",
                                                            "Loading texture: Textures/grey_block.png to id=2",
                                                            "Loading texture: Textures/flagged_block.png to id=3",
                                                            "Loading texture: Textures/mine_block.png to id=4"}));
}

TEST(Game, ARightClickOnTheOneMineWinsAndWritesTheReplayAFrameLater) {
    GameSetup setup;
    setup.parameters = kOneMine;
    GameSession game(setup);
    ASSERT_TRUE(game.WaitForWindow());
    EXPECT_FALSE(FileExists(game.Folder() + "/Replays"));
    game.Xdo("click 3");
    ASSERT_TRUE(WaitForReplays(game, 1));
    const std::vector<std::string> files = ReplayFiles(game);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(std::regex_match(files[0], std::regex(R"(\d\d-\d\d-\d\d \d\d\.\d\d\.\d\d \(default_player\)\.cubomb)")));
    EXPECT_EQ(game.OutputLines().back(), "Saving replay: Replays/" + files[0]);

    const std::vector<std::string> lines = SplitLines(ReadFile(game.Folder() + "/Replays/" + files[0]));
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0], "# Cubomb replay file.");
    EXPECT_EQ(lines[1], "# Player: default_player");
    EXPECT_EQ(lines[2], "# Finished map? yes");
    std::smatch total;
    ASSERT_TRUE(std::regex_match(lines[3], total, std::regex(R"(# Total time: ([0-9.e+-]+) seconds)")));
    EXPECT_EQ(lines[4], "BEGIN_SECTION MAP_DATA");
    EXPECT_EQ(lines[5], "#syntax: x y z mine? time_finished");
    std::smatch cube;
    ASSERT_TRUE(std::regex_match(lines[6], cube, std::regex(R"(0 0 0 1 ([0-9.e+-]+))")));
    EXPECT_LT(std::stof(cube[1]), 1e6f) << "the mine was stamped when flagged";
    EXPECT_GT(std::stof(total[1]), std::stof(cube[1])) << "the replay's time is a frame later";
    EXPECT_EQ(lines[7], "END_SECTION");

    EXPECT_TRUE(ShowsMinesCleared(game.Screenshot()));
    game.Xdo("key Escape");
    EXPECT_EQ(game.WaitForExit(), 0);
}

TEST(Game, ALeftClickOnTheMineLosesAndLaterClicksAreIgnored) {
    GameSetup setup;
    setup.parameters = kOneMine;
    GameSession game(setup);
    ASSERT_TRUE(game.WaitForWindow());
    const Picture before = game.Screenshot();
    EXPECT_LT(CountPixels(before, 0, 0, 800, 600, IsMineRed), 200);
    game.Xdo("click 1");
    Picture lost;
    ASSERT_TRUE(WaitUntil([&] { return CountPixels(lost = game.Screenshot(), 0, 0, 800, 600, IsMineRed) > 5000; }, 20))
        << "the mine texture shows at the crosshair";
    game.Xdo("click 3");
    game.Xdo("click 1");
    const Picture after = game.Screenshot();
    EXPECT_NEAR(CountPixels(after, 0, 0, 800, 600, IsMineRed), CountPixels(lost, 0, 0, 800, 600, IsMineRed), 50);
    EXPECT_FALSE(ShowsMinesCleared(after));
    EXPECT_EQ(SavedReplayLines(game), 0);
    EXPECT_FALSE(FileExists(game.Folder() + "/Replays"));
}

TEST(Game, ABoxWithoutMinesIsWonAtOnceAndAFloodOpensItOntoTheGreenFloor) {
    GameSetup setup;
    setup.parameters = "dimensions 3 3 1\ndensity 0\n";
    GameSession game(setup);
    ASSERT_TRUE(game.WaitForWindow());
    ASSERT_TRUE(WaitForReplays(game, 1));
    const std::vector<std::string> files = ReplayFiles(game);
    ASSERT_EQ(files.size(), 1u);
    const std::vector<std::string> lines = SplitLines(ReadFile(game.Folder() + "/Replays/" + files[0]));
    ASSERT_EQ(lines.size(), 6u + 9u + 1u);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(lines[6 + i], std::to_string(i / 3) + " " + std::to_string(i % 3) + " 0 0 1e+07");
    }
    EXPECT_TRUE(ShowsMinesCleared(game.Screenshot()));
    EXPECT_LT(CountPixels(game.Screenshot(), 0, 0, 800, 600, IsFloorGreen), 100) << "the cubes cover the floor";
    game.Xdo("click 1");
    EXPECT_TRUE(WaitUntil([&] { return CountPixels(game.Screenshot(), 0, 0, 800, 600, IsFloorGreen) > 5000; }, 20));
}

TEST(Game, NStartsANewGameAndTheNextWinKeepsTheFirstReplay) {
    GameSetup setup;
    setup.parameters = kOneMine + "player_name ../../x:y\n";
    GameSession game(setup);
    ASSERT_TRUE(game.WaitForWindow());
    game.Xdo("click 3");
    ASSERT_TRUE(WaitForReplays(game, 1));
    ASSERT_TRUE(ShowsMinesCleared(game.Screenshot()));
    game.Xdo("key n");
    EXPECT_TRUE(WaitUntil([&] { return !ShowsMinesCleared(game.Screenshot()); }, 20));
    game.Xdo("click 3");
    ASSERT_TRUE(WaitForReplays(game, 2));
    const std::vector<std::string> files = ReplayFiles(game);
    ASSERT_EQ(files.size(), 2u);
    for (const std::string& name : files) {
        EXPECT_NE(name.find("(.._.._x_y)"), std::string::npos) << name;
        EXPECT_NE(ReadFile(game.Folder() + "/Replays/" + name).find("# Player: ../../x:y\n"), std::string::npos);
    }
    EXPECT_FALSE(FileExists(game.Folder() + "/../x:y).cubomb"));
}

TEST(Game, SaveReplaysZeroWritesNoReplay) {
    GameSetup setup;
    setup.parameters = kOneMine + "save_replays 0\n";
    GameSession game(setup);
    ASSERT_TRUE(game.WaitForWindow());
    game.Xdo("click 3");
    ASSERT_TRUE(WaitUntil([&] { return ShowsMinesCleared(game.Screenshot()); }, 20));
    game.Screenshot();  // frames after the win have run
    EXPECT_EQ(SavedReplayLines(game), 0);
    EXPECT_FALSE(FileExists(game.Folder() + "/Replays"));
}

double MeanDifference(const Picture& a, const Picture& b) {
    double total = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) {
        total += std::abs(a.pixels[i].r - b.pixels[i].r) + std::abs(a.pixels[i].g - b.pixels[i].g);
    }
    return total / static_cast<double>(a.pixels.size());
}

TEST(Game, HoldingWFliesForwardAndTabShowsHelpOverTheField) {
    GameSession game;
    ASSERT_TRUE(game.WaitForWindow());
    const Picture start = game.Screenshot();
    EXPECT_LT(MeanDifference(start, game.Screenshot()), 1) << "nothing moves by itself";
    for (int i = 0; i < 12; ++i) game.Xdo("key 2");
    game.Xdo("keydown w");
    usleep(600000);
    game.Xdo("keyup w");
    const Picture moved = game.Screenshot();
    EXPECT_GT(MeanDifference(start, moved), 10);
    EXPECT_GT(CountPixels(moved, 0, 30, 800, 600, [](const Rgb& c) { return c.r > 60 && std::abs(c.r - c.b) < 30; }),
              CountPixels(start, 0, 30, 800, 600, [](const Rgb& c) { return c.r > 60 && std::abs(c.r - c.b) < 30; }))
        << "closer, the grey box fills more of the screen";
    game.Xdo("keydown Tab");
    const Picture help = game.Screenshot();
    game.Xdo("keyup Tab");
    EXPECT_GT(CountPixels(help, 0, 582, 300, 600, IsGreenText), 50) << "the credit line";
    EXPECT_EQ(CountPixels(help, 390, 290, 410, 310, [](const Rgb& c) { return c.r > 200 && c.g < 40; }), 0)
        << "no crosshair over the help";
}

TEST(Game, BrokenTextureListingsStopWithTheirMessages) {
    const std::string start = "Initializing texture states...";
    struct Case {
        const char* listing;  // nullptr removes the listing
        const char* removedImage;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {nullptr, nullptr,
         {start, "Error: Cannot find file to associate texture names with texture files: ",
          "Textures/texture_listing.txt"}},
        {"grey_block grey_block.png # covered\n", nullptr,
         {start, "Error: Systax in texture name file must be \"texture_name\" \"texture_file\"",
          "and neither string can have a whitespace character.", "Line: grey_block grey_block.png # covered"}},
        {"grey_block grey_block.png\n", nullptr,
         {start, "Loading texture: Textures/grey_block.png to id=2",
          "Error: Cannot find texture name \"flagged_block\" in texture name file."}},
        {nullptr, "grey_block.png",
         {start, "Loading texture: Textures/grey_block.png to id=2", "Error: cannot find: Textures/grey_block.png"}},
        {"grey_block texture_listing.txt\n", nullptr,
         {start, "Loading texture: Textures/texture_listing.txt to id=2",
          "Error: could not load image:Textures/texture_listing.txt"}},
        {"grey_block .\n", nullptr,
         {start, "Loading texture: Textures/. to id=2", "Error: cannot find: Textures/."}},
    };
    for (const Case& c : cases) {
        GameSetup setup;
        setup.prepare = [&c](const std::string& folder) {
            const std::string listing = folder + "/Textures/texture_listing.txt";
            if (c.removedImage) {
                unlink((folder + "/Textures/" + c.removedImage).c_str());
            } else if (c.listing) {
                WriteFile(listing, c.listing);
            } else {
                unlink(listing.c_str());
            }
        };
        GameSession game(setup);
        EXPECT_EQ(game.WaitForExit(60), 1) << c.lines.back();
        EXPECT_EQ(game.OutputLines(), c.lines);
    }
}

}  // namespace
