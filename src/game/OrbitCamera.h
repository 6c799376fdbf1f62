#ifndef CUBOMB_GAME_ORBITCAMERA_H
#define CUBOMB_GAME_ORBITCAMERA_H

// The eye turning around a pivot, for playing with the pointer: a drag with
// the left or right button turns it, a middle drag carries the pivot across
// the view, the wheel brings it closer or takes it away, W/S/A/D, Space and
// C move the pivot with the eye at the fly speed, and the arrows turn it by
// 5 degrees a press.
//
// Inputs: one frame's input record, the time step and the window's height.
// Outputs: the eye position and the unit view direction, which always points
// at the pivot from between 1 unit and four box diagonals away.

#include "support/Geometry.h"

class Input;

class OrbitCamera {
public:
    static constexpr float kZoomStep = 1.15f;
    static constexpr float kArrowTurn = 0.0872664626f;  // 5 degrees

    OrbitCamera();

    // Around a box of this size at the origin: its centre the pivot, seen
    // along the fly camera's first direction, from where its bounding sphere
    // just fits the view's height.
    void Frame(const Vector& box);
    // The view of an eye looking along the angles, its pivot straight ahead
    // as far as the distance allows.
    void Take(const Vector& eye, float yaw, float tilt, float distance);
    // The eye around the pivot: the heading about the vertical, the tilt up to the poles and no further.
    void Turn(float yawChange, float tiltChange);
    // Notches towards the pivot divide the distance by 1.15 each, away multiply it.
    void Zoom(int notchesIn);
    // The pivot, and the eye with it.
    void Move(const Vector& offset);
    // One frame; the Left and Right arrows turn only when arrowsTurn, as a replay wants them for its speed.
    void TakeInInput(const Input* input, float timeStep, int screenHeight, bool arrowsTurn);
    void SetMouse(float sensitivity, bool invertY);
    void SetMoveSpeed(float speed) { moveSpeed = speed; }

    Vector GetPos() const { return eye; }
    Vector GetLook() const { return look; }
    Vector Pivot() const { return pivot; }
    float Yaw() const { return yaw; }
    float Tilt() const { return tilt; }
    float Distance() const { return distance; }
    float MoveSpeed() const { return moveSpeed; }
    float Farthest() const { return farthest; }

private:
    void Place();
    void Drag(const Input& input, int screenHeight);
    void Arrows(const Input& input, bool arrowsTurn);

    static constexpr float kTurnSpeed = 0.004f;
    static constexpr float kNearest = 1.0f;
    float moveSpeed = 0.01f;
    float turnSpeed = kTurnSpeed;
    float tiltSign = 1.0f;
    float farthest = 4.0f;
    float yaw;
    float tilt;
    float distance = 1.0f;
    Vector look;
    Vector pivot{0, 0, 0};
    Vector eye{0, 0, 0};  // kept as given when taken over, so that the view does not move
};

#endif
