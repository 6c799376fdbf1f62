// The input record fed SDL events as SDL sends them, and the camera it steers.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>
#include <random>
#include <sstream>

#include "game/SimpleCamera.h"
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
        } else if (type == SDL_ACTIVEEVENT) {
            event.active.gain = static_cast<Uint8>(what);
            event.active.state = static_cast<Uint8>(dy);
        } else {
            event.button.button = static_cast<Uint8>(what);
        }
        wrapper.ReadEvent(event);
    }
    void Keys(const std::vector<SDLKey>& keys, bool down) {
        for (const SDLKey key : keys) Feed(down ? SDL_KEYDOWN : SDL_KEYUP, key);
    }
    const Input& In() const { return *wrapper.GetInput(); }
    // One frame of the camera; the distance moved.
    Vector Frame() {
        const Vector from = camera.GetPos();
        camera.TakeInInput(wrapper.GetInput(), 0.05f);
        wrapper.BeginCycle();
        return camera.GetPos() - from;
    }

    InputWrapper wrapper;
    SimpleCamera camera;
};

// Oracle: held keys and per-frame counts of a plain model, under random
// traffic; keys that share a code (F2 and 'p', keys outside the table) act as one.
TEST_F(InputRecord, RandomKeyTrafficMatchesASimpleModel) {
    std::mt19937 random(11);
    const std::pair<SDLKey, int> keys[] = {{SDLK_a, 'a'}, {SDLK_F2, 'p'},     {SDLK_p, 'p'},     {SDLK_INSERT, -1},
                                           {SDLK_HOME, -1}, {SDLK_TAB, 19},   {SDLK_ESCAPE, 11}, {SDLK_SPACE, 12},
                                           {SDLK_LCTRL, 17}, {SDLK_1, 1},     {SDLK_0, 10},      {SDLK_F12, 122},
                                           {SDLK_RIGHT, 16}, {SDLK_LEFT, 15}, {SDLK_UP, 13},  {SDLK_DOWN, 14},
                                           {SDLK_BACKSPACE, 22}};
    std::set<int> held;
    for (int frame = 0; frame < 400; ++frame) {
        wrapper.BeginCycle();
        std::map<int, int> pressed, released;
        std::list<int> order, seen = {99}, down = {99};
        for (int n = random() % 6; n > 0; --n) {
            const auto& [key, code] = keys[random() % std::size(keys)];
            const bool press = random() % 2;
            Keys({key}, press);
            ++(press ? pressed : released)[code];
            press ? void(held.insert(code)) : void(held.erase(code));
            if (press) order.push_back(code);
        }
        for (const auto& [key, code] : keys) {
            EXPECT_EQ(std::make_tuple(In().KeyPressed(code), In().KeyReleased(code), In().KeyDown(code)),
                      std::make_tuple(pressed[code], released[code], held.count(code) == 1));
        }
        In().GetKeysPressedInOrder(seen);
        In().GetKeysDown(down);
        down.pop_front();
        EXPECT_TRUE(seen == order && down == std::list<int>(held.begin(), held.end())) << frame;
    }
}

TEST_F(InputRecord, ButtonsCountPerFrameAndMotionSumsAfterTheFirstEvent) {
    Feed(SDL_MOUSEMOTION, 400, 300);  // SDL's first motion is the pointer's absolute position
    Feed(SDL_MOUSEMOTION, -5, 7);
    Feed(SDL_MOUSEMOTION, -10, -20);
    for (const int button : {SDL_BUTTON_LEFT, SDL_BUTTON_LEFT, SDL_BUTTON_MIDDLE, SDL_BUTTON_WHEELUP, SDL_BUTTON_WHEELDOWN}) {
        Feed(SDL_MOUSEBUTTONDOWN, button);
        Feed(SDL_MOUSEBUTTONUP, button);
    }
    Feed(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT);
    Feed(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE);
    // Losing the input focus, or being minimised, counts; the pointer leaving, or focus coming back, does not.
    for (const auto& [gain, state] : {std::pair{0, SDL_APPINPUTFOCUS}, {0, SDL_APPACTIVE}, {0, SDL_APPMOUSEFOCUS}, {1, SDL_APPINPUTFOCUS}})
        Feed(SDL_ACTIVEEVENT, gain, state);
    EXPECT_EQ(std::make_tuple(In().MouseXChange(), In().MouseYChange(), In().FocusLost()), std::make_tuple(-15, -13, 2));
    EXPECT_EQ(std::make_tuple(In().Mouse1Pressed(), In().Mouse1Released(), In().Mouse1Down()), std::make_tuple(2, 2, false));
    EXPECT_EQ(std::make_tuple(In().Mouse2Pressed(), In().Mouse2Released(), In().Mouse2Down()), std::make_tuple(1, 0, true));
    EXPECT_EQ(std::make_tuple(In().Mouse3Pressed(), In().Mouse3Released(), In().Mouse3Down()), std::make_tuple(2, 1, true));
    wrapper.BeginCycle();
    Feed(SDL_MOUSEMOTION, 3, 4);
    EXPECT_EQ(std::make_tuple(In().MouseXChange(), In().Mouse1Pressed(), In().Mouse2Pressed(), In().Mouse3Pressed(), In().FocusLost()),
              std::make_tuple(3, 0, 0, 0, 0));
    EXPECT_TRUE(In().Mouse2Down() && In().Mouse3Down()) << "held buttons carry over";
}

// Steps: "d1 x y" presses button 1 (left; 2 right, 3 middle) at x y, "u1 x y"
// releases it, "m x y" moves the pointer, "|" ends the frame, "off" calls off
// the clicks of the buttons held. The counts and drags are the last frame's.
TEST_F(InputRecord, APressAndReleaseCloseTogetherClickAndAnythingMoreDrags) {
    struct Case {
        std::vector<std::string> steps;
        std::array<int, 3> clicks;  // left, right, middle
        std::array<int, 3> dragX;
        int clickX;
    };
    const Case cases[] = {
        {{"d1 100 100", "u1 100 100"}, {1, 0, 0}, {0, 0, 0}, 100},
        {{"d2 100 100", "m 104 100", "u2 104 100"}, {0, 1, 0}, {0, 0, 0}, 104},
        {{"d3 100 100", "m 97 98", "u3 97 98"}, {0, 0, 1}, {0, 0, 0}, 97},
        {{"d1 100 100", "m 103 103", "u1 103 103"}, {0, 0, 0}, {3, 0, 0}, 0},
        {{"d1 100 100", "m 120 100", "m 100 100", "u1 100 100"}, {0, 0, 0}, {0, 0, 0}, 0},
        {{"d2 100 100", "m 103 100", "m 110 100", "m 90 100", "u2 90 100"}, {0, 0, 0}, {0, -10, 0}, 0},
        {{"d1 10 10", "|", "m 12 10", "|", "u1 12 10"}, {1, 0, 0}, {0, 0, 0}, 12},
        {{"d1 10 10", "|", "m 30 10", "|", "m 35 10"}, {0, 0, 0}, {5, 0, 0}, 0},
        {{"d1 10 10", "d2 10 10", "u2 11 10", "m 20 10", "u1 20 10"}, {0, 1, 0}, {10, 0, 0}, 11},
        {{"d1 10 10", "u1 10 10", "d1 50 50", "u1 50 50"}, {2, 0, 0}, {0, 0, 0}, 50},
        {{"d1 10 10", "off", "u1 10 10"}, {0, 0, 0}, {0, 0, 0}, 0},
        {{"u2 10 10", "off", "d3 5 5", "u3 5 5"}, {0, 0, 1}, {0, 0, 0}, 5},
    };
    const Uint8 sdlButton[] = {0, SDL_BUTTON_LEFT, SDL_BUTTON_RIGHT, SDL_BUTTON_MIDDLE};
    for (const Case& c : cases) {
        InputWrapper fresh;
        for (const std::string& step : c.steps) {
            std::istringstream words(step);
            std::string what;
            int x = 0, y = 0;
            words >> what >> x >> y;
            SDL_Event event{};
            if (what == "|") {
                fresh.BeginCycle();
                continue;
            } else if (what == "off") {
                fresh.CallOffClicks();
                continue;
            } else if (what == "m") {
                event.type = SDL_MOUSEMOTION;
                event.motion.x = static_cast<Uint16>(x), event.motion.y = static_cast<Uint16>(y);
            } else {
                event.type = what[0] == 'd' ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
                event.button.button = sdlButton[what[1] - '0'];
                event.button.x = static_cast<Uint16>(x), event.button.y = static_cast<Uint16>(y);
            }
            fresh.ReadEvent(event);
        }
        const Input& in = *fresh.GetInput();
        const std::string name = c.steps.front() + " ... " + c.steps.back();
        EXPECT_EQ((std::array<int, 3>{in.Clicks(1), in.Clicks(2), in.Clicks(3)}), c.clicks) << name;
        EXPECT_EQ((std::array<int, 3>{in.DragXChange(1), in.DragXChange(2), in.DragXChange(3)}), c.dragX) << name;
        if (c.clickX != 0) {
            EXPECT_EQ(in.ClickX(), c.clickX) << name;
        }
    }
}

TEST_F(InputRecord, EveryMixOfMovementKeysMovesTheCameraOneStepOrNone) {
    const std::pair<std::vector<SDLKey>, Vector> cases[] = {
        {{SDLK_w}, {0.5f, 0.5f, -0.7071068f}},     {{SDLK_s}, {-0.5f, -0.5f, 0.7071068f}},
        {{SDLK_F9}, {0.5f, 0.5f, -0.7071068f}},    {{SDLK_SPACE}, {0, 0, 1}},
        {{SDLK_LCTRL, SDLK_c}, {0, 0, -1}},        {{SDLK_d}, {0.7071068f, -0.7071068f, 0}},
        {{SDLK_a}, {-0.7071068f, 0.7071068f, 0}},  {{SDLK_w, SDLK_s}, {0, 0, 0}},
        {{SDLK_a, SDLK_d, SDLK_SPACE, SDLK_c}, {0, 0, 0}},
        {{SDLK_w, SDLK_d}, {0.8535534f, -0.1464466f, -0.5f}}, {{SDLK_w, SDLK_SPACE}, {0.6532815f, 0.6532815f, 0.3826834f}},
    };
    for (const auto& [keys, direction] : cases) {
        Keys(keys, true);
        EXPECT_NEAR(Length(Frame() * (1 / 0.0005f) - direction), 0, 1e-3) << keys[0];
        Keys(keys, false);
    }
    for (int i = 0; i < 3; ++i) {
        Keys({SDLK_2}, true);
        Frame();
        Keys({SDLK_2}, false);
    }
    Keys({SDLK_1, SDLK_2}, true);
    Frame();  // one of each: back where it was
    Keys({SDLK_w}, true);
    EXPECT_NEAR(Length(Frame()), 0.03375f * 0.05f, 1e-7) << "each press of 2 steps 1.5 times as far";
}

TEST_F(InputRecord, TheMouseTurnsTheCameraAndTheTiltStaysOffTheUpAxis) {
    const float quarter = 0.7853982f;
    const std::tuple<float, bool, int, int, float, float> turns[] = {  // sensitivity, inverted, dx, dy, heading, tilt
        {1, false, 400, 300, quarter, 3 * quarter},  // the first motion is dropped
        {1, false, 100, 0, quarter - 0.1f, 3 * quarter},
        {2, true, -50, -100, quarter, 3 * quarter + 0.2f},
        {1, false, 0, -30000, quarter, 0.001f},
        {1, false, 0, 30000, quarter, 3.1405926f},
    };
    for (const auto& [sensitivity, inverted, dx, dy, heading, tilt] : turns) {
        camera.SetMouse(sensitivity, inverted);
        Feed(SDL_MOUSEMOTION, dx, dy);
        Frame();
        const Vector look = camera.GetLook();
        EXPECT_NEAR(std::atan2(look.y, look.x), heading, 1e-5) << dx << " " << dy;
        EXPECT_NEAR(look.z, std::cos(tilt), 1e-5) << dx << " " << dy;
    }
}

}  // namespace
