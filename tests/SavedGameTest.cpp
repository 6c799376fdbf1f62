// A game saved midway and resumed: the same clicks afterwards give the same
// field, clock and replay as the game played through; what cannot be read is
// kept aside; a write that fails leaves the old save; and two windows'
// statistics lose no game.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "minefield/MineField.h"
#include "replay/SavedGame.h"
#include "replay/Statistics.h"
#include "support/Files.h"
#include "support/RecordingBuffer.h"
#include "support/SizeLimit.h"
#include "support/TempDir.h"

namespace {

struct Step {
    enum Kind { kUncover, kFlag, kChord, kDeeper, kShallower } kind;
    BlockPos cube;
    Vector look;
};

// A ray that meets the cube first: it starts inside the next cube along +x, which no march tests.
void Play(MineField& field, const Step& step, float time) {
    const Vector origin(step.cube.x + 1.5f, step.cube.y + 0.5f, step.cube.z + 0.5f), along(-1, 0, 0);
    BlockRect layer;
    switch (step.kind) {
        case Step::kUncover: field.MouseInput(origin, along, true, time); break;
        case Step::kFlag: field.MouseInput(origin, along, false, time); break;
        case Step::kChord: field.Chord(origin, along, time); break;
        case Step::kDeeper: field.CutDeeper(step.look, layer); break;
        case Step::kShallower: field.CutShallower(layer); break;
    }
}

std::string ReplayText(const MineField& field) {
    std::ostringstream out;
    field.OutputReplayInfo(out);
    return out.str();
}

// Everything the rules, the picture and the replay read off a field.
void ExpectSameField(const MineField& a, const MineField& b, const std::string& what) {
    ASSERT_EQ(a.Cubes().Size(), b.Cubes().Size()) << what;
    for (size_t i = 0; i < a.Cubes().Size(); ++i) {
        const Block &x = a.Cubes().At(i), &y = b.Cubes().At(i);
        const BlockPos p = a.Cubes().PositionOf(i);
        ASSERT_EQ(std::make_tuple(int(x.adjacentMines), int(x.state), bool(x.isMine), float(x.timeFinished), a.World().GetTexture(p, 1)),
                  std::make_tuple(int(y.adjacentMines), int(y.state), bool(y.isMine), float(y.timeFinished), b.World().GetTexture(p, 1)))
            << what << ", cube " << i;
    }
    bool wonA = false, wonB = false;
    int minesA = 0, minesB = 0, flagsA = 0, flagsB = 0;
    a.GetGameState(wonA, minesA, flagsA);
    b.GetGameState(wonB, minesB, flagsB);
    EXPECT_EQ(std::make_tuple(wonA, minesA, flagsA, a.Dead(), a.DeathTime(), a.Counts().uncovered, a.Counts().zeros),
              std::make_tuple(wonB, minesB, flagsB, b.Dead(), b.DeathTime(), b.Counts().uncovered, b.Counts().zeros))
        << what;
    EXPECT_EQ(std::make_tuple(a.CurrentCut().axis, a.CurrentCut().sign, a.CurrentCut().layers, a.Begun()),
              std::make_tuple(b.CurrentCut().axis, b.CurrentCut().sign, b.CurrentCut().layers, b.Begun()))
        << what;
    RecordingBuffer facesA, facesB;
    a.World().QuickRender(&facesA);
    b.World().QuickRender(&facesB);
    EXPECT_TRUE(facesA.faces == facesB.faces) << what << ": the faces that show, however they merge";
    EXPECT_EQ(ReplayText(a), ReplayText(b)) << what;
}

std::string Text(const SavedGame& game) {
    std::ostringstream out;
    WriteSavedGame(game, out);
    return out.str();
}

TEST(SavedGame, AGameSavedAtAnyStepAndResumedGoesOnAsTheGamePlayedThrough) {
    std::mt19937 random(41);
    std::uniform_real_distribution<float> unit(-1, 1);
    int resumed = 0;
    for (int round = 0; round < 80; ++round) {
        const int x = 1 + random() % 9, y = 1 + random() % 9, z = 1 + random() % 9;
        std::vector<bool> mined(size_t(x) * y * z);
        for (size_t i = 0; i < mined.size(); ++i) mined[i] = random() % 100 < 8;
        std::vector<Step> steps(60);
        for (Step& s : steps) {
            const int r = random() % 20;
            s.kind = r < 10 ? Step::kUncover : r < 16 ? Step::kFlag : r < 18 ? Step::kChord : r < 19 ? Step::kDeeper : Step::kShallower;
            s.cube = BlockPos(random() % x, random() % y, random() % z);
            s.look = Vector(unit(random), unit(random), unit(random));
        }
        MineField through, broken, again;
        through.Initialize(x, y, z, mined);
        broken.Initialize(x, y, z, mined);
        const size_t pause = random() % steps.size();
        float clock = 0;
        SavedGame saved;
        for (size_t i = 0; i < steps.size(); ++i) {
            clock += 0.001f + random() % 5000 / 997.0f;
            if (i == pause && broken.Begun() && !broken.Dead()) {
                saved.field = broken.Snapshot();
                saved.player = "p" + std::to_string(round);
                saved.clock = clock;
                saved.fly = SavedCamera{Vector(-1, -1, z + 1.0f), 0.7853982f, 2.3561945f, 0, 0.01f * (1 + random() % 9)};
                saved.orbiting = SavedCamera{Vector(unit(random), 3.5f, unit(random) * 1e6f), unit(random), 1.5f, 17.25f, 0.01f};
                SavedGame read;
                std::string problem;
                ASSERT_TRUE(ReadSavedGame(Text(saved), read, problem)) << problem << "\n" << Text(saved);
                EXPECT_EQ(Text(read), Text(saved)) << "every value reads back exactly";
                ASSERT_EQ(read.clock, clock);
                ASSERT_TRUE(again.Restore(read.field));
                ExpectSameField(again, broken, "resumed, round " + std::to_string(round));
                ++resumed;
            }
            Play(through, steps[i], clock);
            Play(i >= pause && saved.clock > 0 ? again : broken, steps[i], clock);
        }
        if (saved.clock > 0) ExpectSameField(again, through, "played on, round " + std::to_string(round));
    }
    EXPECT_GT(resumed, 30) << "most rounds break their game";
}

// A save damaged in any of these ways is refused, whatever else it holds.
TEST(SavedGame, WhatIsNoWholeGameInProgressIsRefusedAndKeptAside) {
    MineField field;
    std::vector<bool> mined(27);
    mined[26] = true;
    field.Initialize(3, 3, 3, mined);
    field.MouseInput(Vector(1.5f, 0.5f, 0.5f), Vector(-1, 0, 0), true, 1.5f);
    SavedGame game;
    game.field = field.Snapshot();
    game.player = "ann";
    game.fly.speed = game.orbiting.speed = game.orbiting.distance = 1;
    const std::string good = Text(game);
    SavedGame read;
    std::string problem;
    ASSERT_TRUE(ReadSavedGame(good, read, problem)) << problem << good;
    const auto replace = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        return text.replace(text.find(from), from.size(), to);
    };
    const std::vector<std::string> damaged = {
        "", "cubomb_saved_game 2\n", good.substr(0, good.size() / 2), good.substr(0, good.size() - 4), good + "more\n",
        replace("box 3 3 3", "box 3 3 4"), replace("box 3 3 3", "box 0 3 3"), replace("box 3 3 3", "box 257 256 256"),
        replace("clock 0", "clock -1"), replace("clock 0", "clock nan"), replace("retry 0", "retry 2"),
        replace("camera fly", "camera side"), replace("cut 0 -1 0", "cut 3 -1 0"), replace("cut 0 -1 0", "cut 0 -1 4"),
        replace("cut 0 -1 0", "cut 0 0 0"), replace("26U m", "26c m"), replace("26U m", "26u m"), replace("26U m", "26x m"),
        replace("26U m", "0U m"), replace("26U m", "26U M"), replace("26U m", "25U m"), replace("times 1", "times 2"),
        replace("26 1.5", "25 1.5"), replace("26 1.5", "26 -1.5"), replace("26 1.5", "26 inf"), replace("player ann", "player ann bob"),
        replace("0 0 1 1\ncut", "0 0 0 1\ncut"), replace("fly 0 0 0 0 0 1", "fly 0 0 0 0 0 -1"),
    };
    TempDir dir;
    const std::string path = dir.File("saved_game.txt");
    for (size_t i = 0; i < damaged.size(); ++i) {
        EXPECT_FALSE(ReadSavedGame(damaged[i], read, problem)) << i << ":\n" << damaged[i];
        EXPECT_NE(problem.rfind("line ", 0), std::string::npos) << i;
        std::ofstream(path, std::ios::binary) << damaged[i];
        std::ostringstream errors;
        EXPECT_FALSE(LoadSavedGame(path, read, errors));
        const std::string aside = path + ".bad" + (i == 0 ? "" : "." + std::to_string(i + 1));
        EXPECT_TRUE(!std::filesystem::exists(path) && std::filesystem::exists(aside)) << i << ": " << errors.str();
        EXPECT_NE(errors.str().find("kept as " + aside + ", a new game starts"), std::string::npos) << errors.str();
    }
    std::ostringstream errors;
    EXPECT_FALSE(LoadSavedGame(path, read, errors) || !errors.str().empty()) << "no save, no word";
}

// As root a read-only folder takes writes all the same: a file size limit,
// and a file where the folder should be, make the writes fail here.
TEST(SavedGame, AWriteThatFailsLeavesTheOldSaveByteForByte) {
    TempDir dir;
    const std::string path = dir.File("saved_game.txt");
    const std::string old = "the old save, as it was\n";
    std::ofstream(path, std::ios::binary) << old;
    SavedGame big;
    big.field.sizeX = big.field.sizeY = big.field.sizeZ = 100;
    for (int i = 0; i < 20000; ++i) big.field.cubes.push_back({50, uint8_t(i % 2 ? Block::kUncovered : Block::kCovered), false, i % 2 == 1});
    big.field.times.push_back({500000, 2.5f});
    EXPECT_TRUE(FailsPastSize(4096, [&](std::string& reason) { return WriteSavedGameFile(path, big, reason); }));
    std::string text;
    EXPECT_TRUE(ReadWholeFile(path, text) && text == old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path), {}), 1) << "nothing left beside it";
    std::ofstream(dir.File("folder")) << "a file";
    std::string reason;
    EXPECT_FALSE(WriteSavedGameFile(dir.File("folder/saved_game.txt"), big, reason));
    EXPECT_EQ(reason, "Not a directory");
}

// Oracle: the plain sum of what both writers counted.
TEST(Statistics, TwoWritersInterleavedOverOneFileLoseNoGame) {
    TempDir dir;
    const std::string path = dir.File("stats.txt");
    const BoxAndMines boxes[] = {{1, 1, 1, 1}, {10, 10, 10, 40}};
    const auto writer = [&](int seed, int games) {
        std::mt19937 random(seed);
        Statistics stats;
        std::vector<GameOutcome> unsaved;
        std::ostringstream errors;
        for (int game = 0; game < games; ++game) {
            unsaved.push_back(GameOutcome{boxes[random() % 2], random() % 3 == 0, 1.0f + random() % 100, false});
            std::string reason;
            EXPECT_TRUE(CountInFile(path, unsaved, stats, reason, errors)) << reason;
        }
    };
    std::thread first(writer, 1, 200), second(writer, 2, 150);
    first.join();
    second.join();
    std::map<BoxAndMines, std::pair<int, int>> expected;  // played, won
    for (const auto& [seed, games] : {std::pair{1, 200}, {2, 150}}) {
        std::mt19937 random(seed);
        for (int game = 0; game < games; ++game) {
            auto& counts = expected[boxes[random() % 2]];
            ++counts.first;
            counts.second += random() % 3 == 0;
            random();
        }
    }
    std::ostringstream errors;
    const Statistics written = LoadStatistics(path, errors);
    for (const auto& [box, counts] : expected)
        EXPECT_EQ(std::make_pair(written.Boxes().at(box).played, written.Boxes().at(box).won), counts) << box.Name();
    EXPECT_TRUE(errors.str().empty()) << errors.str();
}

}  // namespace
