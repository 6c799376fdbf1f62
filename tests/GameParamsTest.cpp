#include <gtest/gtest.h>

#include <sstream>

#include "game/GameInfo.h"
#include "game/GameParams.h"

namespace {

struct Parsed {
    explicit Parsed(const std::string& content) {
        std::istringstream in(content);
        report = ParseParams(in, info);
    }
    GameInfo info;
    ParamsReport report;
};

auto Settings(const GameInfo& i) {
    return std::make_tuple(i.screenWidth, i.screenHeight, i.dimensionX, i.dimensionY, i.dimensionZ, i.numMines, i.density,
                           i.playerName, i.saveReplays, i.highlightTarget, i.fullscreen, i.vsync, i.mouseSensitivity,
                           i.invertMouseY, i.safeFirstClick, i.countReadout, i.noGuess, i.soundVolume, i.cameraKind);
}

// Unknown keys and keys in the wrong case are ignored, and the last line of a key wins.
TEST(Params, ReadsEveryKeyOrKeepsItsDefault) {
    const auto defaults = std::make_tuple(800, 600, 10, 10, 10, 39, 0.04f, std::string("default_player"), true, true, true,
                                          true, 1.0f, false, false, true, false, 60, CameraKind::kFly);  // 39: 1000 cubes times the float 0.04, in double
    for (const char* content : {"", "# nothing here\n\n   \t\n#dimensions 1 1 1\n", "\xEF\xBB\xBF" "dimensions 1 1 1\n"})
        EXPECT_EQ(Settings(Parsed(content).info), defaults) << content;
    const GameInfo& info = Parsed("screen_width 1024\nscreen_height 768\n  dimensions 3 4 5\nnum_mines 12\r\n"
                                  "save_replays 0\nhighlight_target 0\nfullscreen 0\nvsync 0\nmouse_sensitivity 2.5\n"
                                  "invert_mouse_y 1\nsafe_first_click 1\ncount_readout 0\nno_guess 1\nplayer_name joe\nplayer_name ann\nScreen_width 640\n"
                                  "sound_volume 100\nsound_volume 0\ncamera fly\ncamera orbit\n"
                                  "unknown_key with many values\ndensity 0.5").info;
    EXPECT_EQ(Settings(info), std::make_tuple(1024, 768, 3, 4, 5, 12, 0.5f, std::string("ann"), false, false, false, false,
                                              2.5f, true, true, false, true, 0, CameraKind::kOrbit));
}

TEST(Params, DerivesTheMineCountOnlyWhenNoneIsGiven) {
    const std::pair<const char*, int> cases[] = {
        {"dimensions 5 5 5\n", 4},           {"dimensions 5 5 5\nnum_mines 0\n", 4},
        {"density 0.5\n", 500},              {"density -0.5\n", -500},
        {"density 2\ndimensions 2 2 2\n", 16}, {"dimensions 0 5 5\n", 0},
        {"num_mines 12\nnum_mines x\n", 12}, {"dimensions 256 256 256\ndensity 999999999\n", 2147483647},
    };
    for (const auto& [content, mines] : cases) EXPECT_EQ(Parsed(content).info.numMines, mines) << content;
}

TEST(Params, EveryBadLineStopsTheReadingWithItsMessage) {
    const std::string dims = "Error: dimensions should be non-negative integers";
    const std::string large = "Error: dimensions too large: a box may hold at most 16777216 cubes";
    const std::string mines = "Error: num_mines should be a natural number";
    const std::string sensitivity = "Error: mouse_sensitivity should be a floating point number above 0";
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"screen_width 0800", {"Error: syntax: screen_width x"}},
        {"screen_width 1024 # wide", {"Error: syntax: screen_width x"}},
        {"screen_width 640\r\nscreen_height 48O\r\n", {"Error: syntax: screen_height y"}},
        {"dimensions 10 10", {"Error: syntax: dimensions x y z"}},
        {"dimensions 10 -1 10", {dims}},
        {"dimensions 10 10 12345678901", {dims}},
        {std::string("dimensions 2\0 2 2", 17), {dims}},
        {"dimensions 257 256 256", {large}},
        {"dimensions 65536 65536 65536", {large}},
        {"num_mines 1 2", {"Error: syntax: num_mines number"}},
        {"density", {"Error: syntax: density real_number_bettwen_one_and_one"}},
        {"density 1e5", {"Error: density of mines should be a floating point number"}},
        {"save_replays 01", {"Error: syntax: save_replays (0 or 1)"}},
        {"fullscreen", {"Error: syntax: fullscreen (0 or 1)"}},
        {"vsync yes", {"Error: syntax: vsync (0 or 1)"}},
        {"invert_mouse_y 1 1", {"Error: syntax: invert_mouse_y (0 or 1)"}},
        {"safe_first_click -1", {"Error: syntax: safe_first_click (0 or 1)"}},
        {"count_readout on", {"Error: syntax: count_readout (0 or 1)"}},
        {"no_guess 2", {"Error: syntax: no_guess (0 or 1)"}},
        {"sound_volume 101", {"Error: syntax: sound_volume (0 to 100)"}},
        {"sound_volume 050", {"Error: syntax: sound_volume (0 to 100)"}},
        {"sound_volume", {"Error: syntax: sound_volume (0 to 100)"}},
        {"mouse_sensitivity", {"Error: syntax: mouse_sensitivity real_number"}},
        {"camera Orbit", {"Error: syntax: camera (fly or orbit)"}},
        {"camera orbit fly", {"Error: syntax: camera (fly or orbit)"}},
        {"mouse_sensitivity 0", {sensitivity}},
        {"mouse_sensitivity fast", {sensitivity}},
        {"player_name big cat", {"Error: syntax: player_name joe", "The name cannot contain white space characters."}},
        {"num_mines x\nnum_mines 99999999999\nscreen_width x\nscreen_height x", {mines, mines, "Error: syntax: screen_width x"}},
    };
    for (const auto& [content, lines] : cases) {
        const ParamsReport report = Parsed(content).report;
        std::vector<std::string> said = report.notes;
        said.insert(said.end(), report.fatal.begin(), report.fatal.end());
        EXPECT_TRUE(said == lines && !report.fatal.empty()) << content;
    }
}

}  // namespace
