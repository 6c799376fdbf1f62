#ifndef CUBOMB_GAME_CAMERACONTROL_H
#define CUBOMB_GAME_CAMERACONTROL_H

// The camera in use, fly or orbit, in the running game: where the eye is and
// where it looks, the view the frame is drawn with, the rays that clicks and
// the aim follow (the crosshair's in fly, the pointer's in orbit), the
// pointer shown and free or hidden and captured, and V switching between
// the two without moving the view.

#include "support/Geometry.h"
#include "ui/GameChoice.h"

struct GameInfo;
struct SavedGame;
class Input;

struct Ray {
    Vector origin;
    Vector direction;
};

// The fly camera at the box's corner, as at start, and the orbit camera framing the box.
void PlaceCameras(GameInfo& info);
Vector ViewEye(const GameInfo& info);
Vector ViewLook(const GameInfo& info);
// V, then the frame's steering of the camera in use.
void CameraKeys(GameInfo& info, const Input& input);
// Switches to that camera, its view the one being left.
void UseCamera(GameInfo& info, CameraKind kind);
// The pointer shows and goes free over the menu and in orbit; in fly it is
// hidden, and held in the window when the game is not full screen.
void FreePointer(GameInfo& info);
// The projection and view of the frame.
void LoadView(const GameInfo& info);
bool ShowsCrosshair(const GameInfo& info);
// Both cameras' poses, and which is in use, as a saved game keeps them.
void SaveCameras(const GameInfo& info, SavedGame& game);
void RestoreCameras(GameInfo& info, const SavedGame& game);

// What this frame's buttons and E ask of the field, and along which ray.
struct Clicks {
    bool uncover = false;
    bool flag = false;
    bool chord = false;
    Ray ray;
};
Clicks ClicksOf(const GameInfo& info, const Input& input);
// The ray the outline and the readout follow in this frame.
Ray AimRay(const GameInfo& info);

#endif
