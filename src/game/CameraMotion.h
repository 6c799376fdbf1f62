#ifndef CUBOMB_GAME_CAMERAMOTION_H
#define CUBOMB_GAME_CAMERAMOTION_H

// What the fly and the orbit camera steer alike: a view direction from a
// heading and a tilt, the tilt kept off the poles, the movement keys and the
// speed keys.

#include "support/Geometry.h"

class Input;

namespace CameraMotion {

constexpr float kPi = 3.14159274f;
// The first view of a box: along its diagonal, 45 degrees down.
constexpr float kFirstYaw = kPi / 4;
constexpr float kFirstTilt = 3 * kPi / 4;

// yaw about +z from +x toward +y; tilt from +z: 0 up, pi/2 level, pi down.
Vector LookAlong(float yaw, float tilt);
// Within 0.001 of straight up or down; any closer and the float view
// direction becomes exactly the up axis, which leaves no side vector.
float ClampTilt(float tilt);
// To the viewer's right, or zero when looking along the up axis.
Vector SideOf(const Vector& look);
// W/S along the view, A/D sideways, Space and C or left Ctrl up and down:
// a unit vector, or zero when nothing moves or opposite keys cancel.
Vector KeyMovement(const Input& input, const Vector& look, const Vector& side);
// 1 divides the speed by 1.5, 2 multiplies it, once a press.
float ChangedSpeed(const Input& input, float speed);

}  // namespace CameraMotion

#endif
