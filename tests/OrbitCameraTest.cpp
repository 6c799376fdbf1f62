// The orbit camera as a model: however it is turned, zoomed and moved, it
// looks at its pivot from within its limits; and V hands the view over
// between the cameras without moving it.

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "game/CameraControl.h"
#include "game/GameInfo.h"

namespace {

constexpr float kLowestTilt = 0.001f;
constexpr float kHighestTilt = 3.1405926f;

void ExpectNear(const Vector& a, const Vector& b, float tolerance, const std::string& what) {
    EXPECT_NEAR(Length(a - b), 0, tolerance) << what << ": " << a.x << " " << a.y << " " << a.z;
}

void ExpectLooksAtPivot(const OrbitCamera& orbit, const Vector& box, const std::string& what) {
    const float farthest = 4 * Length(box);
    const Vector towards = orbit.Pivot() - orbit.GetPos();
    EXPECT_TRUE(orbit.Distance() >= 1 && orbit.Distance() <= farthest) << what << ": " << orbit.Distance();
    EXPECT_NEAR(Length(towards), orbit.Distance(), 1e-3f * (1 + orbit.Distance())) << what;
    ExpectNear(orbit.GetLook() * Length(towards), towards, 1e-3f * (1 + orbit.Distance()), what);
    EXPECT_NEAR(Length(orbit.GetLook()), 1, 1e-5f) << what;
    EXPECT_TRUE(orbit.Tilt() >= kLowestTilt && orbit.Tilt() <= kHighestTilt) << what << ": " << orbit.Tilt();
    EXPECT_LT(std::fabs(orbit.GetLook().z), 1.0f) << what << ": short of the poles";
}

TEST(OrbitCamera, AnyTurnsZoomsAndMovesKeepItLookingAtItsPivotWithinItsLimits) {
    std::mt19937 random(23);
    std::uniform_real_distribution<float> unit(-1, 1);
    for (int round = 0; round < 50; ++round) {
        const Vector box(1 + random() % 256, 1 + random() % 256, 1 + random() % 256);
        OrbitCamera orbit;
        orbit.Frame(box);
        ExpectNear(orbit.Pivot(), box * 0.5f, 1e-3f, "framed on the centre");
        EXPECT_NEAR(Length(box) / 2 / orbit.Distance(), std::sin(30 * M_PI / 180), 1e-5) << "the sphere fills the view's height";
        for (int step = 0; step < 40; ++step) {
            const Vector pivot = orbit.Pivot();
            const float distance = orbit.Distance();
            switch (random() % 3) {
                case 0:
                    orbit.Turn(unit(random) * 4, unit(random) * 4);
                    ExpectNear(orbit.Pivot(), pivot, 1e-3f * (1 + distance), "a turn keeps the pivot");
                    EXPECT_NEAR(orbit.Distance(), distance, 1e-4f * distance) << "and the distance";
                    break;
                case 1: {
                    const int notches = static_cast<int>(random() % 21) - 10;
                    orbit.Zoom(notches);
                    const double free = distance * std::pow(1.15, -notches);
                    const double limited = std::clamp(free, 1.0, 4.0 * Length(box));
                    EXPECT_NEAR(orbit.Distance(), limited, 1e-4 * limited) << notches;
                    if (free == limited) {
                        orbit.Zoom(-notches);
                        EXPECT_NEAR(orbit.Distance(), distance, 1e-4f * distance) << "a notch each way cancels out";
                    }
                    break;
                }
                default: {
                    const Vector offset(unit(random) * 50, unit(random) * 50, unit(random) * 50);
                    orbit.Move(offset);
                    ExpectNear(orbit.Pivot(), pivot + offset, 1e-3f, "the pivot moves with the eye");
                }
            }
            ExpectLooksAtPivot(orbit, box, "step " + std::to_string(step));
        }
    }
}

// What the player does, as SDL reports it, and which way the camera goes:
// the box follows a drag, the arrows move the eye itself.
TEST(OrbitCamera, DragsWheelArrowsAndKeysSteerItTheWayTheyShould) {
    enum Change { kYaw, kTilt, kDistance, kAcross, kAhead };
    struct Case {
        std::vector<SDL_Event> events;
        Change change;
        float sign;
    };
    const auto button = [](Uint8 type, Uint8 which, int x, int y) {
        SDL_Event e{};
        e.type = type, e.button.button = which, e.button.x = static_cast<Uint16>(x), e.button.y = static_cast<Uint16>(y);
        return e;
    };
    const auto motion = [](int x, int y) {
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION, e.motion.x = static_cast<Uint16>(x), e.motion.y = static_cast<Uint16>(y);
        return e;
    };
    const auto key = [](SDLKey sym) {
        SDL_Event e{};
        e.type = SDL_KEYDOWN, e.key.keysym.sym = sym;
        return e;
    };
    const Case cases[] = {
        {{button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 100, 100), motion(160, 100)}, kYaw, -1},
        {{button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 100, 100), motion(100, 160)}, kTilt, 1},
        {{button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 100, 100), motion(102, 102)}, kYaw, 0},
        {{button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_WHEELUP, 0, 0)}, kDistance, -1},
        {{button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_WHEELDOWN, 0, 0)}, kDistance, 1},
        {{button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 100, 100), motion(160, 100)}, kAcross, -1},
        {{key(SDLK_LEFT)}, kYaw, -1},
        {{key(SDLK_UP)}, kTilt, 1},
        {{key(SDLK_w)}, kAhead, 1},
        {{key(SDLK_d)}, kAcross, 1},
    };
    for (const Case& c : cases) {
        InputWrapper wrapper;
        OrbitCamera orbit;
        orbit.Frame(Vector(10, 10, 10));
        orbit.SetMoveSpeed(100);
        const Vector pivot = orbit.Pivot(), look = orbit.GetLook();
        const Vector side = Cross(look, Vector(0, 0, 1)) * (1 / Length(Cross(look, Vector(0, 0, 1))));
        const float before[] = {orbit.Yaw(), orbit.Tilt(), orbit.Distance()};
        for (SDL_Event event : c.events) wrapper.ReadEvent(event);
        orbit.TakeInInput(wrapper.GetInput(), 0.05f, 600, true);
        const float after[] = {orbit.Yaw(), orbit.Tilt(), orbit.Distance()};
        const float changed = c.change == kAcross ? Dot(orbit.Pivot() - pivot, side)
                              : c.change == kAhead ? Dot(orbit.Pivot() - pivot, look)
                                                   : after[c.change] - before[c.change];
        EXPECT_TRUE(c.sign == 0 ? changed == 0 : changed * c.sign > 0) << c.change << " " << changed;
        ExpectLooksAtPivot(orbit, Vector(10, 10, 10), "steered");
    }
}

// V never moves the view, and back again the fly camera is where it was.
TEST(OrbitCamera, SwitchingThereAndBackLeavesTheEyeWhereItWas) {
    std::mt19937 random(29);
    std::uniform_real_distribution<float> unit(-1, 1);
    for (int round = 0; round < 200; ++round) {
        GameInfo info;
        info.dimensionX = 1 + random() % 100, info.dimensionY = 1 + random() % 100, info.dimensionZ = 1 + random() % 100;
        PlaceCameras(info);
        const Vector eye(unit(random) * 300, unit(random) * 300, unit(random) * 300);
        info.camera.SetPos(eye);
        info.camera.SetAngles(unit(random) * 10, 1.6f + unit(random) * 1.6f);
        const Vector look = info.camera.GetLook();
        UseCamera(info, CameraKind::kOrbit);
        ASSERT_EQ(info.cameraKind, CameraKind::kOrbit);
        ExpectNear(ViewEye(info), eye, 0, "the eye stays");
        ExpectNear(ViewLook(info), look, 0, "looking the same way");
        ExpectLooksAtPivot(info.orbit, Vector(info.dimensionX, info.dimensionY, info.dimensionZ), "taken over");
        UseCamera(info, CameraKind::kFly);
        ExpectNear(info.camera.GetPos(), eye, 0, "back where it was");
        ExpectNear(info.camera.GetLook(), look, 0, "and looking the same way");
    }
}

}  // namespace
