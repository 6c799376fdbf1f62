// The input record fed SDL events as SDL sends them, and the camera it steers.

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>

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
