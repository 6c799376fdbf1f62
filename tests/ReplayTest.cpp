#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "minefield/MineField.h"
#include "minefield/Replay.h"
#include "replay/ReplayReader.h"
#include "support/TempDir.h"

namespace {

// SaveReplay writes relative to the working directory.
class ReplayFolder : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(getcwd(previous, sizeof previous) && chdir(dir.path.c_str()) == 0); }
    void TearDown() override { ASSERT_EQ(chdir(previous), 0); }

    std::string Save(const MineField& field, const std::string& name) {
        testing::internal::CaptureStdout();
        SaveReplay(name, field, 12.5f, true);
        return testing::internal::GetCapturedStdout();
    }

    TempDir dir;
    char previous[4096] = {};
};

// The file's text is checked where the real program writes it, end to end.
TEST_F(ReplayFolder, WritesUnderAFileSafeNameAndNeverReplacesAReplay) {
    MineField field;
    field.Initialize(3, 1, 2, 0);
    const std::regex name(R"((0[1-9]|1[0-2])-[0-3]\d-\d\d [0-2]\d\.[0-5]\d\.[0-6]\d \(\.\._\.\._a_b_c_d_e_f_g_h_i_j_\)( \(\d\))?\.cubomb)");
    std::set<std::string> printed, names;
    for (int i = 0; i < 3; ++i) printed.insert(Save(field, "../../a\\b:c*d?e\"f<g>h|i\x01j\x7f"));
    for (const auto& entry : std::filesystem::directory_iterator(dir.File("Replays"))) names.insert(entry.path().filename());
    ASSERT_EQ(names.size(), 3u);
    for (const std::string& each : names)
        EXPECT_TRUE(std::regex_match(each, name) && printed.count("Saving replay: Replays/" + each + "\n")) << each;
    EXPECT_EQ(FileSafeName("Zoë_" + std::string(5000, 'x')), "Zoë_" + std::string(95, 'x')) << "cut to 100 bytes";
    std::filesystem::remove_all(dir.File("Replays"));
    std::ofstream(dir.File("Replays")) << "not a folder";  // blocks root too, which writes through permissions
    EXPECT_TRUE(std::regex_match(Save(field, "joe"), std::regex(R"(Saving replay: (Replays/.* \(joe\)\.cubomb)\nError: could not write replay: \1\n)")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path), {}), 1) << "nothing else is written";
}

const std::string kHeader = "# Cubomb replay file.\n# Player: joe\n# Finished map? yes\n# Total time: 2.5 seconds\n"
                            "BEGIN_SECTION MAP_DATA\n#syntax: x y z mine? time_finished\n";
const std::string kBox = "0 0 0 0 1e+07\n0 0 1 1 2.25\n0 1 0 0 0\n0 1 1 0 1.5\n";

std::string Without(std::string text, const std::string& part, const std::string& instead = "") {
    return text.replace(text.find(part), part.size(), instead);
}

TEST(ReplayReader, SaysOnWhichLineAndWhyAFileIsNoWholeReplay) {
    const std::string fields = "a cube line has five fields: x y z mine? time_finished";
    const std::string time = "a time that is not a number of seconds of at least 0";
    const std::string order = " is out of x, y, z order or follows a gap";
    const std::tuple<std::string, int, std::string> cases[] = {
        {"", 1, "the file ends in its header"},
        {"# Cubomb replay file\n", 1, "expected \"# Cubomb replay file.\""},
        {Without(kHeader, "# Player: joe\n"), 2, "expected \"# Player: \" and the player's name"},
        {Without(kHeader, "yes", "maybe"), 3, "expected \"# Finished map? yes\" or \"# Finished map? no\""},
        {Without(kHeader, "2.5", "-1"), 4, "expected \"# Total time: \", a number of seconds of at least 0, and \" seconds\""},
        {Without(kHeader, "2.5", "nan"), 4, "expected \"# Total time: \", a number of seconds of at least 0, and \" seconds\""},
        {Without(kHeader, "BEGIN_SECTION MAP_DATA\n"), 5, "expected \"BEGIN_SECTION MAP_DATA\""},
        {Without(kHeader, "#syntax: x y z mine? time_finished\n"), 6, "the file ends in its header"},
        {kHeader + "0 0 0 0\n", 7, fields},
        {kHeader + "0 0 00 0 1\n", 7, "a coordinate that is not a natural number"},
        {kHeader + "0 0 0 2 1\n", 7, "mine? is neither 0 nor 1"},
        {kHeader + "0 0 0 0 -1\n", 7, time},
        {kHeader + "0 0 0 0 1e39\n", 7, time},
        {kHeader + "0 0 1 0 1\n", 7, "the cube 0 0 1" + order},
        {kHeader + kBox + "1 0 0 0 1\n1 1 0 0 1\n", 12, "the cube 1 1 0" + order},
        {kHeader + kBox + "1 0 0 0 1\nEND_SECTION\n", 12, "END_SECTION before the box's last cube"},
        {kHeader + kBox, 11, "the file ends before END_SECTION"},
        {kHeader + kBox + "END_SECTION\n\n  \nx\n", 14, "only blank lines may follow END_SECTION"},
    };
    for (const auto& [text, line, reason] : cases) {
        std::istringstream in(text);
        ReplayRecord replay;
        ReplayError error;
        EXPECT_FALSE(ReadReplay(in, replay, error)) << text;
        EXPECT_EQ(std::tie(error.line, error.reason), std::tie(line, reason)) << text;
    }
    std::istringstream whole(kHeader + kBox + "END_SECTION\r\n\r\n");
    ReplayRecord replay;
    ReplayError error;
    ASSERT_TRUE(ReadReplay(whole, replay, error)) << error.reason;
    EXPECT_EQ(std::tie(replay.sizeX, replay.sizeY, replay.sizeZ, replay.mines, replay.times),
              std::make_tuple(1, 2, 2, std::vector<bool>{false, true, false, false}, std::vector<float>{1e7f, 2.25f, 0, 1.5f}));
    std::string box = kHeader;  // 2 by 2 by 3: each size learnt where its coordinate first wraps
    for (int i = 0; i < 12; ++i) box += std::to_string(i / 6) + " " + std::to_string(i / 3 % 2) + " " + std::to_string(i % 3) + " 0 1\n";
    std::istringstream larger(box + "END_SECTION\n");
    ASSERT_TRUE(ReadReplay(larger, replay, error)) << error.reason;
    EXPECT_EQ(std::tie(replay.sizeX, replay.sizeY, replay.sizeZ), std::make_tuple(2, 2, 3));
}

}  // namespace
