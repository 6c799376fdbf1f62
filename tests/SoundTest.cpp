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

// The sounds of one frame in which act changes the field.
std::string Heard(const MineField& field, const std::function<void()>& act) {
    const FieldStanding before = Standing(field);
    act();
    SoundQueue queue;
    QueueFieldSounds(before, Standing(field), queue);
    std::string names;
    const char* const kNames[] = {"uncover", "opening", "flag", "unflag", "hint", "cut", "win", "loss", "menu"};
    for (int sound = 0; sound < kSoundCount; ++sound) {
        if (queue.Queued(static_cast<Sound>(sound))) names += std::string(names.empty() ? "" : " ") + kNames[sound];
    }
    return names;
}

// A 1 by 3 by 3 box, mined at its four corners: the centre counts 4, each
// edge cube 2, so a chord at the centre opens four counted cubes with one
// click. Each step is one frame.
TEST(GameSounds, EachFrameSoundsAsWhatItDidToTheField) {
    MineField field;
    field.Initialize(1, 3, 3, {true, false, true, false, false, false, true, false, true});
    EXPECT_EQ(Heard(field, [] {}), "");
    EXPECT_EQ(Heard(field, [&] { Click(field, 1, 1, true); }), "uncover");
    EXPECT_EQ(Heard(field, [&] { Click(field, 0, 1, false); }), "flag");
    EXPECT_EQ(Heard(field, [&] { Click(field, 0, 1, false); }), "unflag");
    EXPECT_EQ(Heard(field, [&] { Click(field, 0, 0, false), Click(field, 0, 2, false), Click(field, 2, 0, false), Click(field, 2, 2, false); }),
              "flag win");
    EXPECT_EQ(Heard(field, [&] { field.Chord(Vector(1.5f, 1.5f, 1.5f), Vector(-1, 0, 0), 2); }), "uncover");
}

// A flood through a wrong flag opens, and takes no flag off; a loss is one
// explosion; a replay's resolved cubes sound as the game's did; a new game is silent.
TEST(GameSounds, FloodsLossesAndReplaysSoundOnce) {
    std::vector<bool> row(6);  // a 1 by 1 by 6 row mined at z = 5: z = 4 counts 1, the rest nothing
    row[5] = true;
    MineField field;
    field.Initialize(1, 1, 6, row);
    EXPECT_EQ(Heard(field, [&] { Click(field, 0, 2, false); }), "flag");
    EXPECT_EQ(Heard(field, [&] { Click(field, 0, 0, true); }), "opening");
    EXPECT_EQ(Heard(field, [&] { Click(field, 0, 5, true); }), "loss");
    EXPECT_EQ(Heard(field, [&] { Click(field, 0, 5, true); }), "") << "nothing more after a loss";
    EXPECT_EQ(Heard(field, [&] { field.Initialize(1, 1, 6, row); }), "");
    const std::vector<float> times = {1, 1, 1, 1, 1, 2};
    const uint32_t flood[] = {0, 1, 2, 3, 4}, mine[] = {5};
    EXPECT_EQ(Heard(field, [&] { field.Resolve(flood, flood + 5, times); }), "opening");
    EXPECT_EQ(Heard(field, [&] { field.Resolve(mine, mine + 1, times); }), "flag win");
}

}  // namespace
