#ifndef CUBOMB_GAME_SIMPLECAMERA_H
#define CUBOMB_GAME_SIMPLECAMERA_H

// The player's free-flying eye: the mouse turns it, W/S/A/D, Space and C or
// left Ctrl move it, 1 and 2 change its speed. It moves a fixed step per
// frame and flies through the cubes.
//
// Inputs: one frame's input record and the time step. Outputs: the eye
// position and the unit view direction, derived from yaw (about +z, from +x
// toward +y) and tilt (from +z: 0 up, pi/2 level, pi down).

#include "support/Geometry.h"

class Input;

class SimpleCamera {
public:
    SimpleCamera();

    void TakeInInput(const Input* input, float timeStep);
    void SetPos(const Vector& position) { this->position = position; }
    // Back to the angles it was built with: along a box's diagonal, 45 degrees down.
    void ResetView();
    // Looks along these angles, the tilt held off the poles.
    void SetAngles(float yaw, float tilt);
    float Yaw() const { return yaw; }
    float Tilt() const { return tilt; }
    float MoveSpeed() const { return moveSpeed; }
    void SetMoveSpeed(float speed) { moveSpeed = speed; }
    // Scales the turning per pixel; invertY turns moving the mouse up into looking down.
    void SetMouse(float sensitivity, bool invertY) {
        turnSpeed = kTurnSpeed * sensitivity;
        tiltSign = invertY ? -1.0f : 1.0f;
    }
    Vector GetPos() const { return position; }
    Vector GetLook() const { return look; }

private:
    void Turn(const Input& input);

    static constexpr float kTurnSpeed = 0.001f;
    float moveSpeed = 0.01f;
    float turnSpeed = kTurnSpeed;
    float tiltSign = 1.0f;
    Vector position{0, 0, 0};
    float yaw;
    float tilt;
    Vector look;
};

#endif
