// The sounds each frame's change of a real field makes.

#include <gtest/gtest.h>

#include <functional>

#include "game/GameSounds.h"
#include "minefield/MineField.h"

namespace {

// A click on the cube at (0, y, z) of a one-cube-thick box, along -x from outside it.
void Click(MineField& field, int y, int z, bool uncover) {
    field.MouseInput(Vector(1.5f, y + 0.5f, z + 0.5f), Vector(-1, 0, 0), uncover, 1);
}

FieldStanding Standing(const MineField& field) {
    bool won = false;
    int mines = 0, flags = 0;
    field.GetGameState(won, mines, flags);
    return FieldStanding{field.Counts(), field.Dead(), won};
}

std::string Heard(const SoundQueue& queue) {
    std::string names;
    const char* const kNames[] = {"uncover", "opening", "flag", "unflag", "hint", "cut", "win", "loss", "menu"};
    for (int sound = 0; sound < kSoundCount; ++sound) {
        if (queue.Queued(static_cast<Sound>(sound))) names += std::string(names.empty() ? "" : " ") + kNames[sound];
    }
    return names;
}

// A 1 by 3 by 3 box, mined at its four corners: the centre counts 4, each
// edge cube 2, so a chord at the centre opens four counted cubes with one
// click. Each step is one frame, and says what it sounds like.
TEST(GameSounds, EachFrameSoundsAsWhatItDidToTheField) {
    const std::vector<bool> corners = {true, false, true, false, false, false, true, false, true};
    MineField field;
    field.Initialize(1, 3, 3, corners);
    const std::pair<std::function<void()>, std::string> frames[] = {
        {[&] {}, ""},
        {[&] { Click(field, 1, 1, true); }, "uncover"},
        {[&] { Click(field, 0, 1, false); }, "flag"},
        {[&] { Click(field, 0, 1, false); }, "unflag"},
        {[&] { Click(field, 0, 0, false), Click(field, 0, 2, false), Click(field, 2, 0, false), Click(field, 2, 2, false); }, "flag win"},
        {[&] { field.Chord(Vector(1.5f, 1.5f, 1.5f), Vector(-1, 0, 0), 2); }, "uncover"},
    };
    for (const auto& [act, heard] : frames) {
        const FieldStanding before = Standing(field);
        act();
        SoundQueue queue;
        QueueFieldSounds(before, Standing(field), queue);
        EXPECT_EQ(Heard(queue), heard);
    }
}

// A flood through a wrong flag opens, and takes no flag off; a loss is one
// explosion; a replay's resolved cubes sound as the game's did.
TEST(GameSounds, FloodsLossesAndReplaysSoundOnce) {
    // A 1 by 1 by 6 row mined at z = 5: z = 4 counts 1, the rest nothing.
    std::vector<bool> row(6);
    row[5] = true;
    const auto frame = [](MineField& field, const std::function<void()>& act) {
        const FieldStanding before = Standing(field);
        act();
        SoundQueue queue;
        QueueFieldSounds(before, Standing(field), queue);
        return Heard(queue);
    };
    MineField field;
    field.Initialize(1, 1, 6, row);
    EXPECT_EQ(frame(field, [&] { Click(field, 0, 2, false); }), "flag");
    EXPECT_EQ(frame(field, [&] { Click(field, 0, 0, true); }), "opening");
    EXPECT_EQ(frame(field, [&] { Click(field, 0, 5, true); }), "loss");
    EXPECT_EQ(frame(field, [&] { Click(field, 0, 5, true); }), "") << "nothing more after a loss";

    MineField watched;
    watched.Initialize(1, 1, 6, row);
    const std::vector<float> times = {1, 1, 1, 1, 1, 2};
    const uint32_t flood[] = {0, 1, 2, 3, 4}, mine[] = {5};
    EXPECT_EQ(frame(watched, [&] { watched.Resolve(flood, flood + 5, times); }), "opening");
    EXPECT_EQ(frame(watched, [&] { watched.Resolve(mine, mine + 1, times); }), "flag win");
    EXPECT_EQ(frame(field, [&] { field.Initialize(1, 1, 6, row); }), "") << "a new game is silent";
}

}  // namespace
