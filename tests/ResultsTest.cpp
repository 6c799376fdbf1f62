// What follows a game: its rank among the replays, the statistics, the
// game kept in memory to watch again, and the panel's lines.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <random>
#include <sstream>

#include "minefield/MineField.h"
#include "minefield/Replay.h"
#include "replay/ReplayPlayer.h"
#include "replay/Scores.h"
#include "replay/Statistics.h"
#include "support/Files.h"
#include "support/SizeLimit.h"
#include "support/TempDir.h"
#include "ui/ResultPanel.h"

namespace {

std::string Read(const std::string& path) {
    std::string text;
    ReadWholeFile(path, text);
    return text;
}

// A 1 by 1 by cubes box with its mine at the bottom, every other cube uncovered at once.
std::string ReplayText(int cubes, float total, bool finished) {
    std::ostringstream text;
    text << "# Cubomb replay file.\n# Player: ann\n# Finished map? " << (finished ? "yes" : "no") << "\n# Total time: " << total
         << " seconds\nBEGIN_SECTION MAP_DATA\n#syntax: x y z mine? time_finished\n";
    for (int z = 0; z < cubes; ++z) text << "0 0 " << z << " " << (z == 0) << " " << (z == 0 ? 1e7f : 0.5f) << "\n";
    text << "END_SECTION\n";
    return text.str();
}

// Oracle: the box's finished replays sorted plainly by time, then date and
// time of the name (a name without one last), then the copy number. A long
// name puts the strings read from it on the heap, where a read past them shows.
TEST(Rank, IsThePlaceInAPlainSortOfTheBoxsFinishedReplays) {
    std::mt19937 random(23);
    for (int round = 0; round < 20; ++round) {
        TempDir dir;
        const std::string folder = dir.File("Replays");
        std::filesystem::create_directories(folder + "/Retries");
        const BoxAndMines box{1, 1, 2, 1};
        std::vector<std::tuple<float, std::string, int, std::string>> ranked;  // time, date key, copy, name
        std::vector<std::string> unranked;
        for (int file = 0; file < 14; ++file) {
            const int month = 1 + random() % 12, day = 1 + random() % 2, year = 26 + random() % 2, second = random() % 2;
            const int copy = random() % 3 == 0 ? 2 + random() % 2 : 1;
            std::ostringstream name;
            name << std::setfill('0') << std::setw(2) << month << "-" << std::setw(2) << day << "-" << year << " 10.00."
                 << std::setw(2) << second << " (ann_of_green_gables)" << (copy > 1 ? " (" + std::to_string(copy) + ")" : "") << ".cubomb";
            const std::string stamp = std::to_string(year) + (month < 10 ? "0" : "") + std::to_string(month) + "0" +
                                      std::to_string(day) + "1000" + "0" + std::to_string(second);
            const bool unstamped = random() % 8 == 0;  // such names tie with each other, so they get times of their own
            const std::string fileName = unstamped ? "unstamped" + std::to_string(file) + ".cubomb" : name.str();
            const float time = unstamped ? 50.0f + file : 1.5f + static_cast<float>(random() % 3);
            const int kind = random() % 6;  // 0: broken, 1: unfinished, 2: another box, 3: a retry, else ranked
            const std::string path = (kind == 3 ? folder + "/Retries/" : folder + "/") + fileName;
            if (std::filesystem::exists(path)) continue;
            std::ofstream(path) << (kind == 0 ? ReplayText(2, time, true).substr(0, 150) : ReplayText(kind == 2 ? 3 : 2, time, kind != 1));
            (kind >= 4 ? ranked.emplace_back(time, unstamped ? "~" : stamp, copy, fileName), void()
                       : unranked.push_back(fileName));
        }
        std::sort(ranked.begin(), ranked.end());
        for (size_t i = 0; i < ranked.size(); ++i) {
            const Rank rank = RankOf(folder, std::get<3>(ranked[i]), box);
            EXPECT_EQ(std::make_pair(rank.place, rank.of), std::make_pair(int(i) + 1, int(ranked.size()))) << std::get<3>(ranked[i]);
        }
        for (const std::string& name : unranked) EXPECT_EQ(RankOf(folder, name, box).place, 0) << name;
        EXPECT_EQ(ScoreRows(folder, box).size(), std::min<size_t>(ranked.size(), 10));
    }
}

// Oracle: the counters read off the whole history of a box at once: played
// and won are counts, the streak the wins at its end, the best streak its
// longest run of wins, the best time the least of its wins that are no retry.
TEST(Statistics, FollowEveryGameAndReadBackWhatTheyWrite) {
    std::mt19937 random(29);
    const BoxAndMines boxes[] = {{6, 6, 6, 10}, {10, 10, 10, 40}, {1, 2, 3, 1}};
    std::map<BoxAndMines, std::vector<GameOutcome>> history;
    Statistics stats;
    for (int game = 0; game < 600; ++game) {
        const GameOutcome outcome{boxes[random() % 3], random() % 5 < 2, 1 + static_cast<float>(random() % 1000) / 7, random() % 4 == 0};
        stats.Count(outcome);
        std::vector<GameOutcome>& games = history[outcome.box];
        games.push_back(outcome);
        BoxStats expected;
        int run = 0;
        for (const GameOutcome& g : games) {
            ++expected.played;
            expected.won += g.won;
            run = g.won ? run + 1 : 0;
            expected.bestStreak = std::max(expected.bestStreak, run);
            if (g.won && !g.retry) expected.bestTime = expected.bestTime < 0 ? g.time : std::min(expected.bestTime, g.time);
        }
        expected.streak = run;
        const BoxStats& got = stats.Boxes().at(outcome.box);
        ASSERT_EQ(std::make_tuple(got.played, got.won, got.streak, got.bestStreak, got.bestTime),
                  std::make_tuple(expected.played, expected.won, expected.streak, expected.bestStreak, expected.bestTime))
            << game;
        Statistics reread;
        std::string problem;
        ASSERT_TRUE(reread.Read(stats.Text(), problem)) << problem;
        ASSERT_EQ(reread.Text(), stats.Text());
    }
}

TEST(Statistics, PrintLargestBoxFirstThenByMines) {
    Statistics stats;
    std::ostringstream none;
    PrintStats(stats, none);
    EXPECT_EQ(none.str(), "No games played yet.\n");
    for (const GameOutcome& g : {GameOutcome{{6, 6, 6, 10}, true, 3.25f, false}, GameOutcome{{10, 10, 10, 40}, false, 0, false},
                                 GameOutcome{{10, 10, 10, 39}, true, 83.84f, false}, GameOutcome{{10, 10, 10, 39}, false, 0, false},
                                 GameOutcome{{10, 10, 10, 39}, true, 99, true}})
        stats.Count(g);
    std::ostringstream out;
    PrintStats(stats, out);
    EXPECT_EQ(out.str(),
              "10x10x10, 39 mines\n  played 3, won 2 (67 %), streak 1, best streak 1, best time 83.8 s\n\n"
              "10x10x10, 40 mines\n  played 1, won 0 (0 %), streak 0, best streak 0, best time -\n\n"
              "6x6x6, 10 mines\n  played 1, won 1 (100 %), streak 1, best streak 1, best time 3.2 s\n");
}

// Never thrown away: a bad file goes aside under a name not yet taken, and
// a write that fails leaves the old file as it was.
TEST(Statistics, ABadFileIsKeptAsideAndAFailedWriteLosesNothing) {
    TempDir dir;
    const std::string path = dir.File("stats.txt");
    const std::string bad[] = {"garbage", "1 1 1 1 2 3 0 0 -\n", "1 1 1\n", "1 1 1 1 1 1 1 1 -5\n", "1 1 1 1 1 0 1 1 -\n",
                               "1 1 1 1 1 1 1 1 2 x\n", "1 1 1 1 1 1 1 1 2\n"};
    for (size_t i = 0; i < std::size(bad); ++i) {
        std::ofstream(path) << (i + 1 < std::size(bad) ? "# fine so far\n" : bad[i]) << bad[i];  // the last: a box twice
        std::ostringstream errors;
        EXPECT_TRUE(LoadStatistics(path, errors).Boxes().empty());
        const std::string aside = path + ".bad" + (i == 0 ? "" : "." + std::to_string(i + 1));
        EXPECT_EQ(errors.str(), "Warning: " + path + ": line 2: not x y z mines played won streak best_streak best_time; kept as " +
                                    aside + ", counting starts afresh\n");
        EXPECT_EQ(Read(aside), (i + 1 < std::size(bad) ? "# fine so far\n" : bad[i]) + bad[i]);
        EXPECT_FALSE(std::filesystem::exists(path));
    }
    std::ofstream(path) << "\n# good\r\n3 3 3 1 2 1 0 1 2.5\r\n";
    std::ostringstream quiet;
    Statistics stats = LoadStatistics(path, quiet);
    EXPECT_EQ(std::make_pair(quiet.str(), stats.Boxes().size()), std::make_pair(std::string(), size_t(1)));
    const std::string old = Read(path);
    for (int box = 0; box < 300; ++box) stats.Count(GameOutcome{{box + 1, 1, 1, 1}, true, 1, false});
    EXPECT_TRUE(FailsPastSize(1024, [&](std::string& reason) { return SaveStatistics(path, stats, reason); }));
    EXPECT_EQ(Read(path), old);
}

// A click on cube p along -x, from inside the next cube.
void Click(MineField& field, size_t index, bool uncover, float time) {
    const BlockPos p = field.Cubes().PositionOf(index);
    field.MouseInput(Vector(p.x + 1.5f, p.y + 0.5f, p.z + 0.5f), Vector(-1, 0, 0), uncover, time);
}

// Random games, won by flagging every mine or lost on one, at times with
// more digits than a replay file keeps.
TEST(RecordGame, PlaysBackAsTheWrittenReplayDoes) {
    std::mt19937 random(37);
    TempDir dir;
    for (int round = 0; round < 60; ++round) {
        const int x = 1 + random() % 4, y = 1 + random() % 4, z = 2 + random() % 3;
        const int mines = 1 + random() % (x * y * z - 1);
        MineField field;
        std::srand(round);
        field.Initialize(x, y, z, mines);
        const bool lose = round % 2;
        float time = 0.1f;
        for (int step = 0; step < 40 && !field.Dead(); ++step) {
            time += static_cast<float>(random() % 100000) / 77777.0f;
            const size_t i = random() % field.Cubes().Size();
            if (field.Cubes().At(i).state == Block::kCovered && (!field.Cubes().At(i).isMine || (lose && step > 5)))
                Click(field, i, true, time);
            else if (random() % 3 == 0)
                Click(field, i, false, time);
        }
        for (size_t i = 0; i < field.Cubes().Size() && !lose; ++i) {
            const Block& block = field.Cubes().At(i);
            if (block.isMine != (block.state == Block::kFlagged)) Click(field, i, false, time += 0.013f);
        }
        const float total = time + 0.0171f;
        const ReplayRecord kept = RecordGame(field, "joe", total, !lose);
        if (!lose) {
            std::string path, message;
            testing::internal::CaptureStdout();
            ASSERT_TRUE(SaveReplay("joe", field, total, true, dir.File("Replays"), path));
            testing::internal::GetCapturedStdout();
            ReplayRecord written;
            ASSERT_TRUE(LoadReplay(path, written, message)) << message;
            EXPECT_EQ(std::tie(kept.player, kept.finished, kept.totalTime, kept.sizeX, kept.sizeY, kept.sizeZ, kept.mines, kept.times),
                      std::tie(written.player, written.finished, written.totalTime, written.sizeX, written.sizeY, written.sizeZ,
                               written.mines, written.times)) << round;
            continue;
        }
        if (!field.Dead()) continue;
        MineField watched;
        ReplayPlayer player(kept);
        player.Restart(watched);
        player.Advance(watched, kept.totalTime - 0.001f);
        EXPECT_FALSE(watched.Dead()) << "not before the losing click";
        player.Advance(watched, kept.totalTime);
        EXPECT_EQ(std::make_tuple(watched.Dead(), watched.DeathCube(), watched.Counts().uncovered),
                  std::make_tuple(true, field.DeathCube(), field.Counts().uncovered)) << round;
        for (size_t i = 0; i < field.Cubes().Size(); ++i)
            EXPECT_EQ(watched.Cubes().At(i).state == Block::kUncovered, field.Cubes().At(i).state == Block::kUncovered) << i;
    }
}

TEST(ResultPanel, SaysHowTheGameEnded) {
    const std::pair<GameResult, std::vector<std::string>> cases[] = {
        {GameResult{true, 83.84f, 0, 0, 123, 2, 7},
         {"MINES CLEARED IN 83.8 S", "3BV 123   1.47 3BV/S", "RANK 2 OF 7", "N: NEW GAME   R: WATCH   M: MENU"}},
        {GameResult{true, 0.96f, 0, 0, 5, 1, 1}, {"MINES CLEARED IN 1.0 S", "3BV 5   5.21 3BV/S", "BEST TIME!", "N: NEW GAME   R: WATCH   M: MENU"}},
        {GameResult{true, 2, 0, 0, -1, 0, 0}, {"MINES CLEARED IN 2.0 S", "N: NEW GAME   R: WATCH   M: MENU"}},
        {GameResult{false, 42, 123, 960}, {"BOOM! AT 42.0 S", "123 OF 960 SAFE CUBES UNCOVERED (12 %)",
                                           "N: NEW GAME   R: WATCH   T: TRY THIS BOARD AGAIN   M: MENU"}},
    };
    for (const auto& [result, lines] : cases) EXPECT_EQ(ResultLines(result), lines);
}

}  // namespace
