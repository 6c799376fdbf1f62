#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <regex>

#include "minefield/MineField.h"
#include "minefield/Replay.h"
#include "support/TempDir.h"

namespace {

// SaveReplay writes relative to the working directory.
class ReplayFolder : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
        ASSERT_EQ(chdir(dir.path.c_str()), 0);
        field.Initialize(3, 1, 2, 0);
    }
    void TearDown() override { ASSERT_EQ(chdir(previous), 0); }

    std::string Save(const std::string& name) {
        testing::internal::CaptureStdout();
        SaveReplay(name, field, 12.5f, true);
        return testing::internal::GetCapturedStdout();
    }

    TempDir dir;
    char previous[4096] = {};
    MineField field;
};

TEST_F(ReplayFolder, WritesTheFormatIntoANewFolderAndNeverReplacesAReplay) {
    const std::regex name(R"((0[1-9]|1[0-2])-[0-3]\d-\d\d [0-2]\d\.[0-5]\d\.[0-6]\d \(\.\._\.\._a_b_c_d_e_f_g_h_i_j_\)( \(\d\))?\.cubomb)");
    const std::string player = "../../a\\b:c*d?e\"f<g>h|i\x01j\x7f";
    std::set<std::string> printed;
    for (int i = 0; i < 3; ++i) printed.insert(Save(player));
    const std::set<std::string> names = ListFolder(dir.File("Replays"));
    ASSERT_EQ(names.size(), 3u);
    for (const std::string& each : names) {
        EXPECT_TRUE(std::regex_match(each, name)) << each;
        EXPECT_EQ(printed.count("Saving replay: Replays/" + each + "\n"), 1u);
        EXPECT_EQ(ReadFile(dir.File("Replays/" + each)),
                  "# Cubomb replay file.\n# Player: " + player + "\n# Finished map? yes\n# Total time: 12.5 seconds\n"
                  "BEGIN_SECTION MAP_DATA\n#syntax: x y z mine? time_finished\n"
                  "0 0 0 0 1e+07\n0 0 1 0 1e+07\n1 0 0 0 1e+07\n1 0 1 0 1e+07\n2 0 0 0 1e+07\n2 0 1 0 1e+07\n"
                  "END_SECTION\n");
    }
    EXPECT_EQ(ListFolder(dir.path), std::set<std::string>{"Replays"});
    EXPECT_EQ(FileSafeName("Zoë_" + std::string(5000, 'x')), "Zoë_" + std::string(95, 'x')) << "cut to 100 bytes";
}

TEST_F(ReplayFolder, AnUnwritableFolderIsReportedNotClaimed) {
    WriteFile(dir.File("Replays"), "not a folder");  // blocks root too, which writes through permissions
    EXPECT_TRUE(std::regex_match(Save("joe"), std::regex(R"(Error: could not write replay: Replays/.* \(joe\)\.cubomb\n)")));
}

}  // namespace
