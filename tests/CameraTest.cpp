#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "game/SimpleCamera.h"
#include "input/SDL_Input.h"

namespace {

class Camera : public ::testing::Test {
protected:
    Camera() {
        Motion(0, 0);  // the record drops the first motion it ever sees
    }

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
    void Frame() {
        camera.TakeInInput(wrapper.GetInput(), 0.05f);
        wrapper.BeginCycle();
    }
    float Moved(const Vector& from) const { return Length(camera.GetPos() - from); }

    InputWrapper wrapper;
    SimpleCamera camera;
};

TEST_F(Camera, MovementKeysMoveOneStepWhateverTheirMix) {
    struct Case {
        std::vector<SDLKey> keys;
        float distance;
    };
    const Case cases[] = {
        {{SDLK_w}, 0.0005f},          {{SDLK_w, SDLK_d}, 0.0005f},   {{SDLK_w, SDLK_s}, 0},
        {{SDLK_SPACE}, 0.0005f},      {{SDLK_LCTRL, SDLK_c}, 0.0005f}, {{SDLK_a, SDLK_d}, 0},
        {{SDLK_F9}, 0.0005f},  // shares the code of W
    };
    for (const Case& c : cases) {
        const Vector from = camera.GetPos();
        for (SDLKey k : c.keys) Key(k, true);
        Frame();
        EXPECT_NEAR(Moved(from), c.distance, 1e-7);
        for (SDLKey k : c.keys) Key(k, false);
    }
    Vector from = camera.GetPos();
    Key(SDLK_SPACE, true);
    Frame();
    EXPECT_GT(camera.GetPos().z, from.z);
    Key(SDLK_SPACE, false);
    from = camera.GetPos();
    Key(SDLK_d, true);
    Frame();
    const Vector side = camera.GetPos() - from;
    EXPECT_GT(side.x, 0) << "looking along +x+y, right is +x-y";
    EXPECT_LT(side.y, 0);
    EXPECT_NEAR(side.z, 0, 1e-9);
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
    const Vector from = camera.GetPos();
    Frame();
    EXPECT_NEAR(Moved(from), 0.03375f * 0.05f, 1e-7);
}

TEST_F(Camera, TurningFollowsTheMouseAndTheTiltStaysInItsLimits) {
    Motion(100, 0);
    Frame();
    const Vector look = camera.GetLook();
    EXPECT_NEAR(std::atan2(look.y, look.x), 0.7853982f - 0.1f, 1e-5) << "100 pixels right lower the yaw by 0.1";
    Motion(0, -30000);
    Frame();
    EXPECT_NEAR(camera.GetLook().z, std::cos(0.001f), 1e-6) << "clamped just short of straight up";
    Motion(0, -1);
    Frame();
    Motion(0, -1);
    Frame();
    EXPECT_LT(camera.GetLook().z, 1.0f) << "the tilt never reaches 0";
    Key(SDLK_a, true);
    Frame();
    Key(SDLK_a, false);
    EXPECT_TRUE(std::isfinite(camera.GetPos().x));
    Motion(0, 30000);
    Frame();
    EXPECT_NEAR(camera.GetLook().z, std::cos(3.1405926f), 1e-6) << "clamped just short of straight down";
}

TEST_F(Camera, NoMotionAndNoSpeedEverMakesANumberThatIsNot) {
    std::mt19937 random(1);
    std::uniform_int_distribution<int> pixels(-32768, 32767);
    const SDLKey keys[] = {SDLK_w, SDLK_a, SDLK_s, SDLK_d, SDLK_SPACE, SDLK_c, SDLK_2, SDLK_2, SDLK_1};
    for (int frame = 0; frame < 20000; ++frame) {
        Motion(pixels(random) / (1 + static_cast<int>(random() % 1000)), pixels(random) / (1 + static_cast<int>(random() % 1000)));
        const SDLKey key = keys[random() % 9];
        Key(key, random() % 2);
        Frame();
        const Vector p = camera.GetPos();
        const Vector l = camera.GetLook();
        ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z)) << frame;
        ASSERT_TRUE(std::isfinite(l.x) && std::isfinite(l.y) && std::isfinite(l.z)) << frame;
        ASSERT_NEAR(Length(l), 1.0f, 1e-5);
        ASSERT_LT(std::fabs(l.z), 1.0f) << "never along the up axis";
    }
}

}  // namespace
