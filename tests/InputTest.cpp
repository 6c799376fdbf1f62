#include <gtest/gtest.h>

#include <map>
#include <random>

#include "input/SDL_Input.h"

namespace {

class InputRecord : public ::testing::Test {
protected:
    void Feed(Uint8 type, int what, int dy = 0) {
        SDL_Event event{};
        event.type = type;
        if (type == SDL_MOUSEMOTION) {
            event.motion.xrel = static_cast<Sint16>(what);
            event.motion.yrel = static_cast<Sint16>(dy);
        } else if (type == SDL_KEYDOWN || type == SDL_KEYUP) {
            event.key.keysym.sym = static_cast<SDLKey>(what);
        } else {
            event.button.button = static_cast<Uint8>(what);
        }
        wrapper.ReadEvent(event);
    }
    const Input& In() const { return *wrapper.GetInput(); }

    InputWrapper wrapper;
};

// Oracle: held keys and per-frame counts of a plain model, under random
// traffic; keys that share a code (F2 and 'p', keys outside the table) act as one.
TEST_F(InputRecord, RandomKeyTrafficMatchesASimpleModel) {
    std::mt19937 random(11);
    const std::pair<SDLKey, int> keys[] = {{SDLK_a, 'a'}, {SDLK_F2, 'p'},     {SDLK_p, 'p'},     {SDLK_INSERT, -1},
                                           {SDLK_HOME, -1}, {SDLK_TAB, 19},   {SDLK_ESCAPE, 11}, {SDLK_SPACE, 12},
                                           {SDLK_LCTRL, 17}, {SDLK_1, 1},     {SDLK_0, 10},      {SDLK_F12, 122},
                                           {SDLK_RIGHT, 16}, {SDLK_LEFT, 15}, {SDLK_BACKSPACE, 22}};
    std::set<int> held;
    for (int frame = 0; frame < 400; ++frame) {
        wrapper.BeginCycle();
        std::map<int, int> pressed, released;
        std::list<int> order;
        for (int n = random() % 6; n > 0; --n) {
            const auto& [key, code] = keys[random() % std::size(keys)];
            const bool down = random() % 2;
            Feed(down ? SDL_KEYDOWN : SDL_KEYUP, key);
            ++(down ? pressed : released)[code];
            down ? void(held.insert(code)) : void(held.erase(code));
            if (down) order.push_back(code);
        }
        for (const auto& [key, code] : keys) {
            EXPECT_EQ(In().KeyPressed(code), pressed[code]);
            EXPECT_EQ(In().KeyReleased(code), released[code]);
            EXPECT_EQ(In().KeyDown(code), held.count(code) == 1);
        }
        std::list<int> seen = {99}, down = {99};
        In().GetKeysPressedInOrder(seen);
        EXPECT_EQ(seen, order);
        In().GetKeysDown(down);
        down.pop_front();
        EXPECT_EQ(down, std::list<int>(held.begin(), held.end()));
    }
}

TEST_F(InputRecord, ButtonsCountPerFrameAndMotionSumsAfterTheFirstEvent) {
    Feed(SDL_MOUSEMOTION, 400, 300);  // SDL's first motion is the pointer's absolute position
    Feed(SDL_MOUSEMOTION, -5, 7);
    Feed(SDL_MOUSEMOTION, -10, -20);
    for (int i = 0; i < 2; ++i) {
        Feed(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);
        Feed(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);
    }
    Feed(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT);
    for (int ignored : {SDL_BUTTON_MIDDLE, SDL_BUTTON_WHEELUP, SDL_BUTTON_WHEELDOWN}) {
        Feed(SDL_MOUSEBUTTONDOWN, ignored);
        Feed(SDL_MOUSEBUTTONUP, ignored);
    }
    EXPECT_EQ(std::make_tuple(In().MouseXChange(), In().MouseYChange()), std::make_tuple(-15, -13));
    EXPECT_EQ(std::make_tuple(In().Mouse1Pressed(), In().Mouse1Released(), In().Mouse1Down()), std::make_tuple(2, 2, false));
    EXPECT_EQ(std::make_tuple(In().Mouse2Pressed(), In().Mouse2Released(), In().Mouse2Down()), std::make_tuple(1, 0, true));
    wrapper.BeginCycle();
    Feed(SDL_MOUSEMOTION, 3, 4);
    EXPECT_EQ(std::make_tuple(In().MouseXChange(), In().Mouse1Pressed(), In().Mouse2Pressed()), std::make_tuple(3, 0, 0));
    EXPECT_TRUE(In().Mouse2Down()) << "held buttons carry over";
}

}  // namespace
