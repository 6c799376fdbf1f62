#include "game/OrbitCamera.h"

#include <algorithm>
#include <cmath>

#include "game/CameraMotion.h"
#include "input/SDL_Input.h"

using namespace CameraMotion;

namespace {

// Half the view's height, as the frame's projection has it.
const float kHalfView = static_cast<float>(std::tan(30.0 * 3.14159265358979 / 180.0));

}  // namespace

OrbitCamera::OrbitCamera() : yaw(kFirstYaw), tilt(kFirstTilt), look(LookAlong(yaw, tilt)) {}

// A sphere seen 30 degrees either side of the view's centre fills it from top to bottom at twice its radius.
void OrbitCamera::Frame(const Vector& box) {
    const float diagonal = Length(box);
    farthest = std::max(4 * diagonal, kNearest);
    yaw = kFirstYaw;
    tilt = kFirstTilt;
    look = LookAlong(yaw, tilt);
    distance = std::clamp(diagonal, kNearest, farthest);
    pivot = box * 0.5f;
    Place();
}

void OrbitCamera::Take(const Vector& from, float yawAt, float tiltAt, float distanceTo) {
    yaw = yawAt;
    tilt = ClampTilt(tiltAt);
    look = LookAlong(yaw, tilt);
    distance = std::clamp(distanceTo, kNearest, farthest);
    eye = from;
    pivot = from + look * distance;
}

void OrbitCamera::Place() {
    eye = pivot - look * distance;
}

void OrbitCamera::Turn(float yawChange, float tiltChange) {
    yaw += yawChange;
    tilt = ClampTilt(tilt + tiltChange);
    look = LookAlong(yaw, tilt);
    Place();
}

void OrbitCamera::Zoom(int notchesIn) {
    if (notchesIn == 0) {
        return;
    }
    const double scale = std::pow(static_cast<double>(kZoomStep), -notchesIn);
    distance = std::clamp(static_cast<float>(distance * scale), kNearest, farthest);
    Place();
}

void OrbitCamera::Move(const Vector& offset) {
    pivot += offset;
    eye += offset;
}

void OrbitCamera::SetMouse(float sensitivity, bool invertY) {
    turnSpeed = kTurnSpeed * sensitivity;
    tiltSign = invertY ? -1.0f : 1.0f;
}

// Dragging right turns the box to the right, dragging down tips its top
// toward the player; the middle button carries it with the pointer.
void OrbitCamera::Drag(const Input& input, int screenHeight) {
    const int dx = input.DragXChange(1) + input.DragXChange(2);
    const int dy = input.DragYChange(1) + input.DragYChange(2);
    if (dx != 0 || dy != 0) {
        Turn(-static_cast<float>(dx) * turnSpeed, static_cast<float>(dy) * tiltSign * turnSpeed);
    }
    const int px = input.DragXChange(3);
    const int py = input.DragYChange(3);
    if (px != 0 || py != 0) {
        const Vector side = SideOf(look);
        const Vector up = Cross(side, look);
        const float perPixel = 2 * distance * kHalfView / static_cast<float>(std::max(screenHeight, 1));
        Move((side * -static_cast<float>(px) + up * static_cast<float>(py)) * perPixel);
    }
}

// The arrows move the eye itself: Left to its left around the pivot, Up over it.
void OrbitCamera::Arrows(const Input& input, bool arrowsTurn) {
    const float sideways = arrowsTurn ? static_cast<float>(input.KeyPressed(KeyCode::kRightArrow) - input.KeyPressed(KeyCode::kLeftArrow)) : 0;
    const float upwards = static_cast<float>(input.KeyPressed(KeyCode::kUpArrow) - input.KeyPressed(KeyCode::kDownArrow));
    if (sideways != 0 || upwards != 0) {
        Turn(sideways * kArrowTurn, upwards * kArrowTurn);
    }
}

void OrbitCamera::TakeInInput(const Input* input, float timeStep, int screenHeight, bool arrowsTurn) {
    moveSpeed = ChangedSpeed(*input, moveSpeed);
    Move((KeyMovement(*input, look, SideOf(look)) * moveSpeed) * timeStep);
    Drag(*input, screenHeight);
    Arrows(*input, arrowsTurn);
    Zoom(input->WheelUp() - input->WheelDown());
}
