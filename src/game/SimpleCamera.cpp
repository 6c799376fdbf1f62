#include "game/SimpleCamera.h"

#include <cmath>

#include "input/SDL_Input.h"

namespace {

constexpr float kPi = 3.14159274f;
// Within 0.001 of straight up or down; any closer and the float view
// direction becomes exactly the up axis, which leaves no side vector.
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

Vector LookOf(float yaw, float tilt) {
    const double sinTilt = std::sin(static_cast<double>(tilt));
    return Vector(static_cast<float>(std::cos(static_cast<double>(yaw)) * sinTilt),
                  static_cast<float>(std::sin(static_cast<double>(yaw)) * sinTilt),
                  static_cast<float>(std::cos(static_cast<double>(tilt))));
}

}  // namespace

SimpleCamera::SimpleCamera() : yaw(kPi / 4), tilt(3 * kPi / 4), look(LookOf(yaw, tilt)) {}

void SimpleCamera::ResetView() {
    yaw = kPi / 4;
    tilt = 3 * kPi / 4;
    look = LookOf(yaw, tilt);
}

// To the viewer's right; the tilt clamps keep the view off the up axis, and a
// zero vector is never normalised all the same.
Vector SimpleCamera::SideVector() const {
    Vector side = Cross(look, Vector(0, 0, 1));
    if (LengthSquared(side) > 0) {
        Normalize(side);
    }
    return side;
}

void SimpleCamera::ChangeSpeed(const Input& input) {
    if (input.KeyPressed(KeyCode::kDigit1)) {
        moveSpeed = moveSpeed / kSpeedFactor;
    }
    if (input.KeyPressed(KeyCode::kDigit2)) {
        moveSpeed = std::fmin(moveSpeed * kSpeedFactor, kFastestSpeed);
    }
}

// Opposite keys cancel; a diagonal is as fast as a straight line.
Vector SimpleCamera::Movement(const Input& input, const Vector& side) const {
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

// Mouse right turns right, mouse down looks further down.
void SimpleCamera::Turn(const Input& input) {
    yaw = yaw - static_cast<float>(input.MouseXChange()) * turnSpeed;
    tilt = tilt + static_cast<float>(input.MouseYChange()) * tiltSign * turnSpeed;
    tilt = std::fmin(std::fmax(tilt, kLowestTilt), kHighestTilt);
}

// Moves along the previous frame's view, then turns: the new view shows in
// this frame's picture and pick ray.
void SimpleCamera::TakeInInput(const Input* input, float timeStep) {
    const Vector side = SideVector();
    ChangeSpeed(*input);
    position = position + (Movement(*input, side) * moveSpeed) * timeStep;
    Turn(*input);
    look = LookOf(yaw, tilt);
}
