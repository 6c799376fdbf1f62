#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "game/SimpleCamera.h"
#include "input/SDL_Input.h"

namespace {

class Camera : public ::testing::Test {
protected:
    Camera() { Motion(0, 0); }  // the record drops the first motion it ever sees

    void Key(SDLKey key, bool down) {
        SDL_Event event{};
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.keysym.sym = key;
        wrapper.ReadEvent(event);
    }
    void Motion(int dx, int dy) {
        SDL_Event event{};
        event.type = SDL_MOUSEMOTION;
        event.motion.xrel = static_cast<Sint16>(dx);
        event.motion.yrel = static_cast<Sint16>(dy);
        wrapper.ReadEvent(event);
    }
    // One frame; the distance moved.
    Vector Frame() {
        const Vector from = camera.GetPos();
        camera.TakeInInput(wrapper.GetInput(), 0.05f);
        wrapper.BeginCycle();
        return camera.GetPos() - from;
    }

    InputWrapper wrapper;
    SimpleCamera camera;
};

TEST_F(Camera, EveryMixOfMovementKeysMovesOneStepOrNone) {
    const std::pair<std::vector<SDLKey>, Vector> cases[] = {
        {{SDLK_w}, {0.5f, 0.5f, -0.7071068f}},     {{SDLK_s}, {-0.5f, -0.5f, 0.7071068f}},
        {{SDLK_F9}, {0.5f, 0.5f, -0.7071068f}},    {{SDLK_SPACE}, {0, 0, 1}},
        {{SDLK_LCTRL, SDLK_c}, {0, 0, -1}},        {{SDLK_d}, {0.7071068f, -0.7071068f, 0}},
        {{SDLK_a}, {-0.7071068f, 0.7071068f, 0}},  {{SDLK_w, SDLK_s}, {0, 0, 0}},
        {{SDLK_a, SDLK_d, SDLK_SPACE, SDLK_c}, {0, 0, 0}},
        {{SDLK_w, SDLK_d}, {0.8535534f, -0.1464466f, -0.5f}},
    };
    for (const auto& [keys, direction] : cases) {
        for (SDLKey k : keys) Key(k, true);
        const Vector moved = Frame() * (1 / 0.0005f);
        for (SDLKey k : keys) Key(k, false);
        EXPECT_NEAR(Length(moved - direction), 0, 1e-3) << keys[0];
    }
}

TEST_F(Camera, SpeedKeysScaleTheStepOncePerPress) {
    for (int i = 0; i < 3; ++i) {
        Key(SDLK_2, true);
        Frame();
        Key(SDLK_2, false);
    }
    Key(SDLK_1, true);
    Key(SDLK_2, true);
    Frame();  // one of each: back where it was
    Key(SDLK_w, true);
    EXPECT_NEAR(Length(Frame()), 0.03375f * 0.05f, 1e-7);
}

TEST_F(Camera, TheMouseTurnsItAndTheTiltStaysOffTheUpAxis) {
    Motion(100, 0);
    Frame();
    EXPECT_NEAR(std::atan2(camera.GetLook().y, camera.GetLook().x), 0.7853982f - 0.1f, 1e-5);
    camera.SetMouse(2, true);
    Motion(-50, -100);
    Frame();
    EXPECT_NEAR(std::atan2(camera.GetLook().y, camera.GetLook().x), 0.7853982f, 1e-5) << "twice as sensitive";
    EXPECT_NEAR(std::acos(camera.GetLook().z), 2.3561945f + 0.2f, 1e-5) << "the mouse up looks down";
    camera.SetMouse(1, false);
    Motion(0, -30000);
    Frame();
    EXPECT_NEAR(camera.GetLook().z, std::cos(0.001f), 1e-6) << "just short of straight up";
    Motion(0, 30000);
    Frame();
    EXPECT_NEAR(camera.GetLook().z, std::cos(3.1405926f), 1e-6) << "just short of straight down";
    std::mt19937 random(1);
    const SDLKey keys[] = {SDLK_w, SDLK_a, SDLK_s, SDLK_d, SDLK_SPACE, SDLK_c, SDLK_2, SDLK_2, SDLK_1};
    for (int frame = 0; frame < 20000; ++frame) {
        Motion(static_cast<int>(random() % 65536) - 32768 >> random() % 12, static_cast<int>(random() % 65536) - 32768 >> random() % 12);
        Key(keys[random() % 9], random() % 2);
        Frame();
        const Vector p = camera.GetPos(), l = camera.GetLook();
        ASSERT_TRUE(std::isfinite(p.x + p.y + p.z) && std::fabs(Length(l) - 1) < 1e-5 && std::fabs(l.z) < 1) << frame;
    }
}

}  // namespace
