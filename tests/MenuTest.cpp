// The menu's model without a window: typing, stepping, presets, refusals,
// and where the pointer falls.

#include <gtest/gtest.h>

#include <random>

#include "ui/Menu.h"
#include "ui/MenuInput.h"
#include "ui/MenuView.h"

namespace {

// Keys as a string: < > left and right, ^ v up and down, digits, b Backspace, r Return.
Menu::Action Press(Menu& menu, const std::string& keys) {
    Menu::Action last = Menu::Action::kNone;
    for (const char key : keys) {
        switch (key) {
            case '<': menu.Left(); break;
            case '>': menu.Right(); break;
            case '^': menu.Up(); break;
            case 'v': menu.Down(); break;
            case 'b': menu.Backspace(); break;
            case 'r': last = menu.Enter(); break;
            default: menu.Digit(key - '0'); break;
        }
    }
    return last;
}

GameChoice Box(int x, int y, int z, int mines) {
    GameChoice choice;
    choice.x = x, choice.y = y, choice.z = z, choice.mines = mines;
    return choice;
}

TEST(Menu, TypingSteppingAndWrapping) {
    struct Case {
        GameChoice from;
        std::string keys;
        Menu::Item selected;
        std::string value;  // of the item selected at the end
    };
    const Case cases[] = {
        {Box(10, 10, 10, 39), "", Menu::kBox, "CUSTOM"},
        {Box(10, 10, 10, 39), "<", Menu::kBox, "SMALL 6x6x6, 10 MINES"},
        {Box(10, 10, 10, 39), ">", Menu::kBox, "MEDIUM 10x10x10, 40 MINES"},
        {Box(10, 10, 10, 41), ">", Menu::kBox, "LARGE 16x16x16, 200 MINES"},
        {Box(6, 6, 6, 10), "<<", Menu::kBox, "SMALL 6x6x6, 10 MINES"},
        {Box(6, 6, 6, 10), ">>>", Menu::kBox, "LARGE 16x16x16, 200 MINES"},
        {Box(99, 99, 99, 5), "<", Menu::kBox, "LARGE 16x16x16, 200 MINES"},
        {Box(1, 1, 2, 1), ">", Menu::kBox, "SMALL 6x6x6, 10 MINES"},
        {Box(6, 6, 6, 10), "vvvv>", Menu::kMines, "11 (5.1 %)"},
        {Box(6, 6, 6, 10), "vvvv<<^^^^", Menu::kBox, "CUSTOM"},
        {Box(6, 6, 6, 10), "vvvv<<>>^^^^", Menu::kBox, "SMALL 6x6x6, 10 MINES"},
        {Box(10, 10, 10, 40), "v12", Menu::kX, "12"},
        {Box(10, 10, 10, 40), "v12v3", Menu::kY, "3"},
        {Box(10, 10, 10, 40), "v12>4", Menu::kX, "4"},
        {Box(10, 10, 10, 40), "v123456789", Menu::kX, "12345678"},
        {Box(10, 10, 10, 40), "v99999999>", Menu::kX, "99999999"},
        {Box(10, 10, 10, 40), "vb", Menu::kX, "1"},
        {Box(10, 10, 10, 40), "v1<<", Menu::kX, "1"},
        {Box(10, 10, 10, 40), "v0<", Menu::kX, "0"},
        {Box(10, 10, 10, 40), "v0>", Menu::kX, "1"},
        {Box(10, 10, 10, 40), "vvvv0", Menu::kMines, "0 (0.0 %)"},
        {Box(0, 10, 10, 40), "vvvv", Menu::kMines, "40"},
        {Box(10, 10, 10, 40), "vvvvv>", Menu::kNoGuess, "ON"},
        {Box(10, 10, 10, 40), "vvvvvv<", Menu::kSafeFirstClick, "OFF"},
        {Box(10, 10, 10, 40), "vvvvvvv>", Menu::kCamera, "ORBIT"},
        {Box(10, 10, 10, 40), "vvvvvvv<<", Menu::kCamera, "FLY"},
        {Box(10, 10, 10, 40), "vvvvvvvv>>>>>", Menu::kSound, "100"},
        {Box(10, 10, 10, 40), "vvvvvvvv<", Menu::kSound, "50"},
        {Box(256, 256, 256, 1), "vvvv", Menu::kMines, "1 (0.0 %)"},
        {Box(10, 10, 10, 40), "vvvvvvvv<<<<<<<5", Menu::kSound, "0"},
        {Box(10, 10, 10, 40), "^", Menu::kQuit, ""},
        {Box(10, 10, 10, 40), "^^^^^^^^^^^^^^", Menu::kBox, "MEDIUM 10x10x10, 40 MINES"},
    };
    for (const Case& c : cases) {
        Menu menu(c.from);
        Press(menu, c.keys);
        EXPECT_EQ(std::make_pair(menu.Selected(), menu.Value(menu.Selected())), std::make_pair(c.selected, c.value)) << c.keys;
    }
}

// Oracle: a choice plays when its sides are above 0, its cubes at most 2^24
// (counted without overflow), and its mines from 1 to the cubes less one.
// Return on BOX to START starts it; anything else refuses with the reason
// and changes nothing, until the next edit.
TEST(Menu, StartsExactlyThePlayableChoices) {
    std::mt19937 random(3);
    const int sides[] = {0, 1, 2, 7, 97, 256, 257, 673, 65536, 16777216, 99999999};  // 97 * 257 * 673 is 2^24 + 1
    const int mines[] = {0, 1, 2, 5, 6, 7, 65535, 16777215, 16777216, 99999999};
    for (int round = 0; round < 6000; ++round) {
        const GameChoice choice = Box(sides[random() % 11], sides[random() % 11], sides[random() % 11], mines[random() % 10]);
        const long double cubes = static_cast<long double>(choice.x) * choice.y * choice.z;
        const bool playable = cubes > 0 && cubes <= 16777216 && choice.mines >= 1 && choice.mines <= cubes - 1;
        Menu menu(choice);
        const int item = random() % (Menu::kStart + 1);
        for (int step = 0; step < item; ++step) menu.Down();
        ASSERT_EQ(menu.Enter() == Menu::Action::kStart, playable) << choice.x << " " << choice.y << " " << choice.z << " " << choice.mines;
        ASSERT_EQ(menu.Refusal().empty(), playable);
        const std::string why = cubes == 0 ? "A SIDE OF 0" : cubes > 16777216 ? "MORE THAN 16777216 CUBES"
                                : choice.mines < 1 ? "NO MINE" : "MORE MINES THAN CUBES LESS ONE";
        if (!playable) {
            ASSERT_EQ(menu.Refusal(), "CANNOT START: " + why);
            menu.Down();
            ASSERT_FALSE(menu.Refusal().empty()) << "moving is no edit";
            menu.Left();
            ASSERT_TRUE(menu.Refusal().empty() || menu.Selected() >= Menu::kStart) << "an edit clears it";
        }
    }
}

TEST(Menu, ReturnBelowStartDoesWhatTheItemSays) {
    Menu menu(Box(0, 0, 0, 0));
    EXPECT_EQ(Press(menu, "^r"), Menu::Action::kQuit);
    EXPECT_EQ(Press(menu, "^^^r"), Menu::Action::kResume);
    EXPECT_EQ(Press(menu, "vr"), Menu::Action::kNone);
    EXPECT_EQ(menu.Showing(), Menu::Shown::kBestTimes);
    EXPECT_EQ(Press(menu, "vr"), Menu::Action::kNone);
    EXPECT_EQ(menu.Showing(), Menu::Shown::kStatistics) << "one at a time";
    Press(menu, "r");
    EXPECT_EQ(menu.Showing(), Menu::Shown::kNothing) << "Return again hides it";
}

// One frame of SDL's events at a time, as the window sends them, in a window of 800 by 600.
class MenuFrames : public ::testing::Test {
protected:
    MenuStep Frame(const std::vector<SDL_Event>& events) {
        wrapper.BeginCycle();
        for (SDL_Event event : events) wrapper.ReadEvent(event);
        return ApplyInput(menu, *wrapper.GetInput(), 800, 600);
    }
    static SDL_Event Key(SDLKey key) {
        SDL_Event event{};
        event.type = SDL_KEYDOWN;
        event.key.keysym.sym = key;
        return event;
    }
    // At the middle of an item's line, at x of the window's width.
    static SDL_Event Pointer(Uint8 type, Menu::Item item, float x, Uint8 button = 0) {
        SDL_Event event{};
        event.type = type;
        const auto px = static_cast<Uint16>(x * 800), py = static_cast<Uint16>((1 - MenuLayout::RowBottom(item) - 0.017f) * 600);
        if (type == SDL_MOUSEMOTION) {
            event.motion.x = px, event.motion.y = py;
        } else {
            event.button.x = px, event.button.y = py, event.button.button = button;
        }
        return event;
    }

    InputWrapper wrapper;
    Menu menu{Box(10, 10, 10, 40)};
};

TEST_F(MenuFrames, KeysInTheirOrderThenTheWheelThenThePointer) {
    EXPECT_FALSE(Frame({}).moved);
    EXPECT_TRUE(Frame({Key(SDLK_DOWN), Key(SDLK_1), Key(SDLK_0), Key(SDLK_BACKSPACE), Key(SDLK_5)}).moved);
    EXPECT_EQ(menu.Value(Menu::kX), "15");
    Frame({Pointer(SDL_MOUSEBUTTONDOWN, Menu::kX, 0.5f, SDL_BUTTON_WHEELDOWN), Pointer(SDL_MOUSEBUTTONDOWN, Menu::kX, 0.5f, SDL_BUTTON_WHEELDOWN)});
    EXPECT_EQ(menu.Selected(), Menu::kZ) << "the wheel moves; a pointer that did not move selects nothing";
    Frame({Pointer(SDL_MOUSEBUTTONDOWN, Menu::kX, 0.5f, SDL_BUTTON_WHEELUP)});
    EXPECT_EQ(menu.Selected(), Menu::kY);
    Frame({Pointer(SDL_MOUSEMOTION, Menu::kMines, 0.2f)});
    EXPECT_EQ(menu.Selected(), Menu::kMines) << "pointing selects";
    Frame({Key(SDLK_UP)});
    EXPECT_EQ(menu.Selected(), Menu::kZ) << "keys move it on while the pointer rests";
    Frame({Pointer(SDL_MOUSEBUTTONDOWN, Menu::kY, 0.9f, SDL_BUTTON_LEFT)});
    Frame({Pointer(SDL_MOUSEBUTTONDOWN, Menu::kX, 0.45f, SDL_BUTTON_LEFT)});
    EXPECT_EQ(std::make_tuple(menu.Selected(), menu.Value(Menu::kX), menu.Value(Menu::kY)), std::make_tuple(Menu::kX, "14", "11"))
        << "a click on a value's right half is Right, on its left half Left";
    Frame({Pointer(SDL_MOUSEBUTTONDOWN, Menu::kX, 0.98f, SDL_BUTTON_LEFT)});
    EXPECT_EQ(menu.Value(Menu::kX), "14") << "past the line, nothing";
    EXPECT_EQ(Frame({Pointer(SDL_MOUSEBUTTONDOWN, Menu::kStart, 0.6f, SDL_BUTTON_LEFT)}).action, Menu::Action::kStart);
    EXPECT_EQ(Frame({Key(SDLK_UP), Key(SDLK_RETURN), Key(SDLK_DOWN)}).action, Menu::Action::kStart)
        << "Return acts, and the keys after it wait";
    EXPECT_EQ(menu.Selected(), Menu::kSound);
}

// Every point of a line falls on that line: its label, or the half of its value.
TEST(MenuView, ThePointerFallsOnTheLineItIsOver) {
    using namespace MenuLayout;
    for (int item = 0; item < Menu::kItems; ++item) {
        const Menu::Item it = static_cast<Menu::Item>(item);
        const bool value = Menu::HasValue(it);
        for (const float dy : {-0.002f, 0.0f, kCharHeight / 2, kCharHeight + 0.002f}) {
            const float y = RowBottom(item) + dy;
            const std::pair<float, MenuHit::Part> points[] = {
                {kLabelX + 0.01f, MenuHit::kLabel}, {kValueX + 0.02f, value ? MenuHit::kLess : MenuHit::kLabel},
                {kRightX - 0.02f, value ? MenuHit::kMore : MenuHit::kLabel}, {kLabelX - 0.05f, MenuHit::kNone},
                {kRightX + 0.05f, MenuHit::kNone}};
            for (const auto& [x, part] : points) {
                const MenuHit hit = HitTest(x, y);
                EXPECT_EQ(hit.part, part) << item << " " << x << " " << y;
                EXPECT_TRUE(hit.part == MenuHit::kNone || hit.item == it) << item << " " << x << " " << y;
            }
        }
    }
    EXPECT_EQ(HitTest(0.5f, RowBottom(0) + 0.1f).part, MenuHit::kNone) << "above the first line";
    EXPECT_EQ(HitTest(0.5f, RowBottom(Menu::kItems)).part, MenuHit::kNone) << "below the last";
}

}  // namespace
