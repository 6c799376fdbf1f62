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
        ASSERT_EQ(chdir(dir.Path().c_str()), 0);
        field.Initialize(3, 1, 2, 0);
    }
    void TearDown() override { ASSERT_EQ(chdir(previous), 0); }

    std::vector<std::string> Saved() {
        std::vector<std::string> names = ListFolder(dir.File("Replays"));
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string Save(const std::string& name) {
        testing::internal::CaptureStdout();
        SaveReplay(name, field, 12.5f, true);
        return testing::internal::GetCapturedStdout();
    }

    TempDir dir;
    char previous[4096] = {};
    MineField field;
};

TEST(GetTimeString, IsADateAndTimeForAFileName) {
    EXPECT_TRUE(std::regex_match(GetTimeString(), std::regex(R"((0[1-9]|1[0-2])-[0-3]\d-\d\d [0-2]\d\.[0-5]\d\.[0-6]\d)")))
        << GetTimeString();
}

TEST(FileSafeName, ReplacesEveryCharacterAPathWouldTakeAndCutsLongNames) {
    EXPECT_EQ(FileSafeName("joe"), "joe");
    EXPECT_EQ(FileSafeName("../a\\b:c*d?e\"f<g>h|i\x01j\x7f"), ".._a_b_c_d_e_f_g_h_i_j_");
    EXPECT_EQ(FileSafeName("Zoë_∑"), "Zoë_∑");
    EXPECT_EQ(FileSafeName(std::string(5000, 'x')).size(), 100u);
}

TEST_F(ReplayFolder, WritesTheFileFormatIntoANewFolder) {
    const std::string printed = Save("joe");
    ASSERT_EQ(Saved().size(), 1u);
    const std::string name = Saved()[0];
    EXPECT_TRUE(std::regex_match(name, std::regex(R"(\d\d-\d\d-\d\d \d\d\.\d\d\.\d\d \(joe\)\.cubomb)"))) << name;
    EXPECT_EQ(printed, "Saving replay: Replays/" + name + "\n");
    EXPECT_EQ(ReadFile(dir.File("Replays/" + name)),
              "# Cubomb replay file.\n"
              "# Player: joe\n"
              "# Finished map? yes\n"
              "# Total time: 12.5 seconds\n"
              "BEGIN_SECTION MAP_DATA\n"
              "#syntax: x y z mine? time_finished\n"
              "0 0 0 0 1e+07\n0 0 1 0 1e+07\n1 0 0 0 1e+07\n1 0 1 0 1e+07\n2 0 0 0 1e+07\n2 0 1 0 1e+07\n"
              "END_SECTION\n");
}

TEST_F(ReplayFolder, NeverReplacesAReplayAndKeepsNamesInsideTheFolder) {
    for (int i = 0; i < 3; ++i) Save("../../evil:name");
    const std::vector<std::string> names = Saved();
    ASSERT_GE(names.size(), 3u);
    int copies = 0;
    for (const std::string& name : names) {
        EXPECT_NE(name.find("(.._.._evil_name)"), std::string::npos) << name;
        copies += name.find(") (2).cubomb") != std::string::npos || name.find(") (3).cubomb") != std::string::npos;
        EXPECT_NE(ReadFile(dir.File("Replays/" + name)).find("# Player: ../../evil:name\n"), std::string::npos);
    }
    EXPECT_EQ(ListFolder(dir.Path()), std::vector<std::string>{"Replays"});
    EXPECT_GE(copies, 1) << "three saves within a second or two share a stamp at least once";
}

TEST_F(ReplayFolder, AnUnwritableFolderIsReportedNotClaimed) {
    if (geteuid() == 0) {
        // root writes through permissions; a file where the folder should be blocks it for everyone
        WriteFile(dir.File("Replays"), "not a folder");
    } else {
        ASSERT_EQ(mkdir(dir.File("Replays").c_str(), 0500), 0);
    }
    const std::string printed = Save("joe");
    EXPECT_TRUE(std::regex_match(printed, std::regex(R"(Error: could not write replay: Replays/.* \(joe\)\.cubomb\n)")))
        << printed;
}

}  // namespace
