// A long random play: the real program on a 20-cube box takes random keys,
// mouse motion, clicks, new games and screenshots. It must not crash, its
// camera must stay finite, its memory must stay flat after warming up, and
// every replay it writes must read back whole.

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <regex>
#include <sstream>

#include "support/GameSession.h"

namespace {

double SoakSeconds() {
    const char* const seconds = std::getenv("CUBOMB_SOAK_SECONDS");
    return seconds ? std::atof(seconds) : 120;
}

long ResidentKilobytes(int pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    }
    return -1;
}

// The live camera, read from the running game with gdb.
std::string CameraOf(int pid) {
    const std::string command = "gdb -p " + std::to_string(pid) +
                                " -batch -ex 'frame function main' -ex 'print info.camera' 2>/dev/null";
    std::string output;
    if (FILE* const pipe = popen(command.c_str(), "r")) {
        char buffer[512];
        while (fgets(buffer, sizeof buffer, pipe)) output += buffer;
        pclose(pipe);
    }
    const size_t at = output.find("position = ");
    return at == std::string::npos ? "" : output.substr(at);
}

class RandomPlayer {
public:
    RandomPlayer(GameSession& game, unsigned seed) : game(game), random(seed) {}

    void Act() {
        static const char* const taps[] = {"1", "2", "n", "p", "q", "Tab", "F2", "x", "KP_5"};
        static const char* const held[] = {"w", "a", "s", "d", "space", "c", "Control_L", "Tab"};
        const int choice = static_cast<int>(random() % 100);
        if (choice < 30) {
            game.Xdo("mousemove_relative -- " + std::to_string(Pixels()) + " " + std::to_string(Pixels()));
        } else if (choice < 50) {
            game.Xdo(std::string("click ") + (random() % 2 ? "1" : "3"));
        } else if (choice < 80) {
            const std::string key = held[random() % 8];
            game.Xdo("keydown " + key + " sleep 0." + std::to_string(random() % 3) + " keyup " + key);
        } else if (choice < 82) {
            game.Xdo("key n");
        } else {
            game.Xdo(std::string("key ") + taps[random() % 9]);
        }
    }

private:
    int Pixels() { return static_cast<int>(random() % 401) - 200; }

    GameSession& game;
    std::mt19937 random;
};

struct Play {
    long warmedUpKb = 0;
    long peakKb = 0;
    std::vector<std::string> cameras;
};

Play PlayFor(GameSession& game, double seconds, unsigned seed) {
    using Clock = std::chrono::steady_clock;
    RandomPlayer player(game, seed);
    Play play;
    const auto start = Clock::now();
    const auto warm = start + std::chrono::milliseconds(static_cast<long>(seconds * 300));
    const auto end = start + std::chrono::milliseconds(static_cast<long>(seconds * 1000));
    auto nextSample = start;
    auto nextCamera = start + (end - start) / 2;
    while (Clock::now() < end && game.Running()) {
        player.Act();
        if (Clock::now() >= nextSample) {
            const long kb = ResidentKilobytes(game.Pid());
            (Clock::now() < warm ? play.warmedUpKb : play.peakKb) = std::max(Clock::now() < warm ? play.warmedUpKb : play.peakKb, kb);
            nextSample += std::chrono::seconds(1);
        }
        if (Clock::now() >= nextCamera) {
            play.cameras.push_back(CameraOf(game.Pid()));
            nextCamera = end + std::chrono::hours(1);
        }
    }
    game.Xdo("keyup w keyup a keyup s keyup d keyup space keyup c keyup Control_L keyup Tab");
    play.cameras.push_back(CameraOf(game.Pid()));
    return play;
}

void ExpectHealthy(GameSession& game, const Play& play) {
    ASSERT_TRUE(game.Running()) << "the game ended during play";
    for (const std::string& camera : play.cameras) {
        EXPECT_FALSE(camera.empty()) << "gdb could not read the camera";
        EXPECT_EQ(camera.find("nan"), std::string::npos) << camera;
        EXPECT_EQ(camera.find("inf"), std::string::npos) << camera;
    }
    std::printf("resident memory: %ld kB after warming up, at most %ld kB later\n", play.warmedUpKb, play.peakKb);
    EXPECT_GT(play.warmedUpKb, 0);
    EXPECT_LT(play.peakKb, play.warmedUpKb + 32 * 1024) << "resident memory grew after warming up";
    EXPECT_FALSE(game.Screenshot().Empty());
    game.Xdo("key Escape");
    EXPECT_EQ(game.WaitForExit(), 0);
}

// Header, section, one line per cube in x, y, z order, every mine flagged at a time.
void ExpectWholeReplay(const std::string& path, int size) {
    std::istringstream in(ReadFile(path));
    std::string line;
    const std::vector<std::regex> header = {std::regex("# Cubomb replay file\\."), std::regex("# Player: .+"),
                                            std::regex("# Finished map\\? yes"),
                                            std::regex("# Total time: [0-9.e+-]+ seconds"),
                                            std::regex("BEGIN_SECTION MAP_DATA"),
                                            std::regex("#syntax: x y z mine\\? time_finished")};
    for (const std::regex& expected : header) {
        ASSERT_TRUE(std::getline(in, line) && std::regex_match(line, expected)) << path << ": " << line;
    }
    for (int i = 0; i < size * size * size; ++i) {
        int x = -1, y = -1, z = -1, mine = -1;
        float time = 0;
        ASSERT_TRUE(std::getline(in, line)) << path;
        ASSERT_EQ(std::sscanf(line.c_str(), "%d %d %d %d %f", &x, &y, &z, &mine, &time), 5) << line;
        ASSERT_EQ(x * size * size + y * size + z, i) << path << ": " << line;
        ASSERT_TRUE(mine == 0 || (mine == 1 && time < 1e7f)) << path << ": " << line;
    }
    ASSERT_TRUE(std::getline(in, line));
    EXPECT_EQ(line, "END_SECTION");
    EXPECT_FALSE(std::getline(in, line));
}

TEST(Soak, RandomPlayOnAMinedBox) {
    GameSetup setup;
    setup.parameters = "dimensions 20 20 20\n";
    GameSession game(setup);
    ASSERT_TRUE(game.WaitForWindow());
    const Play play = PlayFor(game, SoakSeconds() * 2 / 3, 5);
    ExpectHealthy(game, play);
}

// Without mines every new game is won at once, so each N writes a replay.
TEST(Soak, RandomPlayWritingReplays) {
    GameSetup setup;
    setup.parameters = "dimensions 20 20 20\ndensity 0\n";
    GameSession game(setup);
    ASSERT_TRUE(game.WaitForWindow());
    const Play play = PlayFor(game, SoakSeconds() / 3, 6);
    ExpectHealthy(game, play);
    const std::vector<std::string> replays = ListFolder(game.Folder() + "/Replays");
    EXPECT_GT(replays.size(), 2u);
    for (const std::string& name : replays) {
        ExpectWholeReplay(game.Folder() + "/Replays/" + name, 20);
    }
}

}  // namespace
