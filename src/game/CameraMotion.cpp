#include "game/CameraMotion.h"

#include <cmath>

#include "input/SDL_Input.h"

namespace CameraMotion {

namespace {

constexpr float kLowestTilt = 0.001f;
constexpr float kHighestTilt = 3.1405926f;
constexpr float kSpeedFactor = 1.5f;
// Far beyond any use (50 units a frame); unbounded, the position would overflow to infinity.
constexpr float kFastestSpeed = 1000.0f;

constexpr int kKeyW = 'w';
constexpr int kKeyS = 's';
constexpr int kKeyA = 'a';
constexpr int kKeyD = 'd';
constexpr int kKeyC = 'c';

}  // namespace

Vector LookAlong(float yaw, float tilt) {
    const double sinTilt = std::sin(static_cast<double>(tilt));
    return Vector(static_cast<float>(std::cos(static_cast<double>(yaw)) * sinTilt),
                  static_cast<float>(std::sin(static_cast<double>(yaw)) * sinTilt),
                  static_cast<float>(std::cos(static_cast<double>(tilt))));
}

float ClampTilt(float tilt) {
    return std::fmin(std::fmax(tilt, kLowestTilt), kHighestTilt);
}

Vector SideOf(const Vector& look) {
    Vector side = Cross(look, Vector(0, 0, 1));
    if (LengthSquared(side) > 0) {
        Normalize(side);
    }
    return side;
}

Vector KeyMovement(const Input& input, const Vector& look, const Vector& side) {
    Vector movement(0, 0, 0);
    if (input.KeyDown(kKeyW)) movement += look;
    if (input.KeyDown(kKeyS)) movement -= look;
    if (input.KeyDown(KeyCode::kSpace)) movement += Vector(0, 0, 1);
    if (input.KeyDown(KeyCode::kLeftCtrl) || input.KeyDown(kKeyC)) movement -= Vector(0, 0, 1);
    if (input.KeyDown(kKeyA)) movement -= side;
    if (input.KeyDown(kKeyD)) movement += side;
    if (LengthSquared(movement) > 0) {
        Normalize(movement);
    }
    return movement;
}

float ChangedSpeed(const Input& input, float speed) {
    if (input.KeyPressed(KeyCode::kDigit1)) {
        speed = speed / kSpeedFactor;
    }
    if (input.KeyPressed(KeyCode::kDigit2)) {
        speed = std::fmin(speed * kSpeedFactor, kFastestSpeed);
    }
    return speed;
}

}  // namespace CameraMotion
