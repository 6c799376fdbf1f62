// Files a player edits or replaces, broken every way we could think of: the
// real program either plays on or stops with its one-line message and status 1.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "support/GameSession.h"

namespace {

const std::string kStart = "Initializing texture states...";

void Truncate(const std::string& path, size_t keep) {
    std::filesystem::resize_file(path, keep);
}

void Overwrite(const std::string& path, size_t at, const std::string& bytes) {
    std::string content = ReadFile(path);
    content.replace(at, bytes.size(), bytes);
    WriteFile(path, content);
}

void Draw(const std::string& path, const std::string& picture) {
    const std::string command = "convert " + picture + " '" + path + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

std::string Garbage(size_t size) {
    std::mt19937 random(17);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    return bytes;
}

bool PlaysAndQuits(GameSession& game) {
    if (!game.WaitForWindow()) {
        return false;
    }
    game.Xdo("key Escape");
    return game.WaitForExit() == 0;
}

struct Case {
    const char* what;
    std::function<void(const std::string& folder)> prepare;
    std::vector<std::string> lastLines;  // empty: the game plays on
};

void RunCases(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        GameSetup setup;
        setup.parameters = "";
        setup.prepare = c.prepare;
        GameSession game(setup);
        if (c.lastLines.empty()) {
            EXPECT_TRUE(PlaysAndQuits(game)) << c.what;
            continue;
        }
        EXPECT_EQ(game.WaitForExit(60), 1) << c.what;
        std::vector<std::string> lines = game.OutputLines();
        lines.erase(lines.begin(), lines.end() - std::min(lines.size(), c.lastLines.size()));
        EXPECT_EQ(lines, c.lastLines) << c.what;
    }
}

std::string In(const std::string& folder, const std::string& file) {
    return folder + "/" + file;
}

// The session appends the screen size to the file it writes; these replace it first.
void Parameters(const std::string& folder, const std::string& content) {
    WriteFile(In(folder, "game_parameters.txt"), content + "\nscreen_width 800\nscreen_height 600\n");
}

TEST(BadFiles, ParametersFiles) {
    RunCases({
        {"empty", [](const std::string& f) { Parameters(f, ""); }, {}},
        {"100 MB of comments before the settings",
         [](const std::string& f) {
             std::string huge;
             huge.reserve(100u << 20);
             while (huge.size() < (100u << 20)) huge += "# padding padding padding padding padding padding padding\n";
             Parameters(f, huge + "dimensions 3 3 3");
         },
         {}},
        {"binary garbage", [](const std::string& f) { Parameters(f, Garbage(1 << 16)); }, {}},
        {"a line of a megabyte and a name of a megabyte",
         [](const std::string& f) {
             Parameters(f, "# " + std::string(1 << 20, 'x') + "\nplayer_name " + std::string(1 << 20, 'n'));
         },
         {}},
        {"a NUL byte in a value",
         [](const std::string& f) { Parameters(f, std::string("dimensions 2\0 2 2", 17)); },
         {"Error: dimensions should be non-negative integers"}},
        {"a NUL byte in the name", [](const std::string& f) { Parameters(f, std::string("player_name jo\0e", 16)); },
         {}},
    });
}

TEST(BadFiles, PicturesAndListings) {
    RunCases({
        {"truncated PNG", [](const std::string& f) { Truncate(In(f, "Textures/grey_block.png"), 300); },
         {"Error: could not load image:Textures/grey_block.png"}},
        {"corrupt PNG", [](const std::string& f) { Overwrite(In(f, "Textures/grey_block.png"), 100, std::string(100, '\xff')); },
         {"Error: could not load image:Textures/grey_block.png"}},
        {"truncated JPEG, decoded as far as it goes", [](const std::string& f) { Truncate(In(f, "HelpScreen.jpg"), 50000); },
         {}},
        {"corrupt JPEG, decoded with gaps", [](const std::string& f) { Overwrite(In(f, "HelpScreen.jpg"), 2000, std::string(400, '\0')); },
         {}},
        {"truncated TGA, decoded as far as it goes", [](const std::string& f) { Truncate(In(f, "font_proggy_green.tga"), 300000); },
         {}},
        {"TGA of an unknown kind", [](const std::string& f) { Overwrite(In(f, "font_proggy_green.tga"), 2, "\x63"); },
         {"Error: could not load image:font_proggy_green.tga"}},
        {"TGA claiming 65535 by 65535 pixels",
         [](const std::string& f) { Overwrite(In(f, "font_proggy_green.tga"), 12, "\xff\xff\xff\xff"); },
         {"Error: could not load image:font_proggy_green.tga"}},
        {"1 by 1 block picture", [](const std::string& f) { Draw(In(f, "Textures/grey_block.png"), "-size 1x1 xc:grey"); },
         {}},
        {"4096 by 4096 help picture", [](const std::string& f) { Draw(In(f, "HelpScreen.jpg"), "-size 4096x4096 gradient:"); },
         {}},
        {"empty listing", [](const std::string& f) { WriteFile(In(f, "Textures/texture_listing.txt"), ""); },
         {"Error: Cannot find texture name \"grey_block\" in texture name file."}},
        {"listing is a folder",
         [](const std::string& f) {
             unlink(In(f, "Textures/texture_listing.txt").c_str());
             mkdir(In(f, "Textures/texture_listing.txt").c_str(), 0755);
         },
         {"Error: Cannot find file to associate texture names with texture files: ", "Textures/texture_listing.txt"}},
    });
}

// A 60-cube box without mines is won at once and its replay is about 3.7 MB.
const std::string kBigWonBox = "dimensions 60 60 60\ndensity 0\n";

TEST(BadFiles, AReplayThatDoesNotFitIsReportedAndTheGameGoesOn) {
    GameSetup setup;
    setup.parameters = kBigWonBox;
    setup.launcher = {"prlimit", "--fsize=2500000", "--"};  // bytes; the screenshot still fits
    GameSession game(setup);
    ASSERT_TRUE(game.WaitForOutputLine([](const std::string& l) { return l.rfind("Error: could not write replay: ", 0) == 0; }));
    const std::vector<std::string> lines = game.OutputLines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2].substr(0, 15), "Saving replay: ");
    EXPECT_EQ(lines.back(), "Error: could not write replay: " + lines[lines.size() - 2].substr(15));
    EXPECT_TRUE(ListFolder(game.Folder() + "/Replays").empty()) << "no truncated replay is left behind";
    EXPECT_TRUE(PlaysAndQuits(game));
}

TEST(BadFiles, AReadOnlyReplaysFolderIsReportedAndTheGameGoesOn) {
    GameSetup setup;
    setup.parameters = "dimensions 2 2 2\ndensity 0\n";
    setup.prepare = [](const std::string& folder) {
        mkdir((folder + "/Replays").c_str(), 0555);
        chmod(folder.c_str(), 0777);
    };
    if (geteuid() == 0) {  // root writes through permissions; play as nobody
        setup.launcher = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"};
    }
    GameSession game(setup);
    ASSERT_TRUE(game.WaitForOutputLine([](const std::string& l) { return l.rfind("Error: could not write replay: Replays/", 0) == 0; }));
    EXPECT_TRUE(PlaysAndQuits(game));
}

}  // namespace
