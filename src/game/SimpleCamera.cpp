#include "game/SimpleCamera.h"

#include "game/CameraMotion.h"
#include "input/SDL_Input.h"

using namespace CameraMotion;

SimpleCamera::SimpleCamera() : yaw(kFirstYaw), tilt(kFirstTilt), look(LookAlong(yaw, tilt)) {}

void SimpleCamera::ResetView() {
    SetAngles(kFirstYaw, kFirstTilt);
}

void SimpleCamera::SetAngles(float yaw, float tilt) {
    this->yaw = yaw;
    this->tilt = ClampTilt(tilt);
    look = LookAlong(this->yaw, this->tilt);
}

// Mouse right turns right, mouse down looks further down.
void SimpleCamera::Turn(const Input& input) {
    yaw = yaw - static_cast<float>(input.MouseXChange()) * turnSpeed;
    tilt = ClampTilt(tilt + static_cast<float>(input.MouseYChange()) * tiltSign * turnSpeed);
}

// Moves along the previous frame's view, then turns: the new view shows in
// this frame's picture and pick ray. Opposite keys cancel; a diagonal is as
// fast as a straight line.
void SimpleCamera::TakeInInput(const Input* input, float timeStep) {
    const Vector side = SideOf(look);
    moveSpeed = ChangedSpeed(*input, moveSpeed);
    position = position + (KeyMovement(*input, look, side) * moveSpeed) * timeStep;
    Turn(*input);
    look = LookAlong(yaw, tilt);
}
