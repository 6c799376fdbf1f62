#include "game/CameraControl.h"

#include <GL/glew.h>

#include <algorithm>

#include "game/GameInfo.h"
#include "game/GameParams.h"
#include "input/SDL_Input.h"
#include "picking/PointerRay.h"
#include "replay/SavedGame.h"
#include "system/System.h"

namespace {

constexpr int kKeyV = 'v';
constexpr int kKeyE = 'e';
constexpr float kTimeStep = 0.05f;
constexpr float kNearPlane = 0.1f;
constexpr float kFarPlane = 400;

bool Orbiting(const GameInfo& info) {
    return info.cameraKind == CameraKind::kOrbit;
}

Vector BoxSize(const GameInfo& info) {
    return Vector(static_cast<float>(info.dimensionX), static_cast<float>(info.dimensionY), static_cast<float>(info.dimensionZ));
}

// The orbit camera may stand far off, and the whole box stays in view.
double FarPlane(const GameInfo& info) {
    if (!Orbiting(info)) {
        return kFarPlane;
    }
    const Vector box = BoxSize(info);
    return std::max(kFarPlane, Length(box * 0.5f - info.orbit.GetPos()) + Length(box) / 2 + 1);
}

Ray RayAt(const GameInfo& info, int x, int y) {
    const Vector look = ViewLook(info);
    return Ray{ViewEye(info), Orbiting(info) ? PointerRay(look, x, y, info.screenWidth, info.screenHeight) : look};
}

}  // namespace

void PlaceCameras(GameInfo& info) {
    info.camera.SetPos(Vector(-1, -1, static_cast<float>(info.dimensionZ) + 1));
    info.camera.ResetView();
    info.orbit.Frame(BoxSize(info));
}

Vector ViewEye(const GameInfo& info) {
    return Orbiting(info) ? info.orbit.GetPos() : info.camera.GetPos();
}

Vector ViewLook(const GameInfo& info) {
    return Orbiting(info) ? info.orbit.GetLook() : info.camera.GetLook();
}

void UseCamera(GameInfo& info, CameraKind kind) {
    if (kind == info.cameraKind) {
        return;
    }
    if (kind == CameraKind::kOrbit) {
        const SimpleCamera& fly = info.camera;
        info.orbit.Take(fly.GetPos(), fly.Yaw(), fly.Tilt(), Length(BoxSize(info) * 0.5f - fly.GetPos()));
        info.orbit.SetMoveSpeed(fly.MoveSpeed());
    } else {
        info.camera.SetPos(info.orbit.GetPos());
        info.camera.SetAngles(info.orbit.Yaw(), info.orbit.Tilt());
        info.camera.SetMoveSpeed(info.orbit.MoveSpeed());
    }
    info.cameraKind = kind;
    FreePointer(info);
}

// The choice is remembered at once, as the sound is.
void CameraKeys(GameInfo& info, const Input& input) {
    if (input.KeyPressed(kKeyV) % 2 == 1) {
        UseCamera(info, Orbiting(info) ? CameraKind::kFly : CameraKind::kOrbit);
        info.settingsNotSaved |= !RememberSettings({CameraSetting(info.cameraKind)});
    }
    if (Orbiting(info)) {
        info.orbit.TakeInInput(&input, kTimeStep, info.screenHeight, !info.replay);
    } else {
        info.camera.TakeInInput(&input, kTimeStep);
    }
}

// Captured again, the pointer's first relative motion is a jump, not the player's.
void FreePointer(GameInfo& info) {
    const bool free = info.menuOpen || Orbiting(info);
    System::CapturePointer(!free, info.fullscreen);
    if (!free) {
        info.inputWrapper.SkipNextMotion();
    }
}

void LoadView(const GameInfo& info) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    System::MultiplyPerspective(kViewDegrees, static_cast<double>(info.screenWidth) / static_cast<double>(info.screenHeight),
                                kNearPlane, FarPlane(info));
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_CULL_FACE);
    const Vector eye = ViewEye(info);
    const Vector target = eye + ViewLook(info);
    System::MultiplyLookAt(eye.x, eye.y, eye.z, target.x, target.y, target.z, 0, 0, 1);
}

bool ShowsCrosshair(const GameInfo& info) {
    return !Orbiting(info);
}

// However many presses a button has in a frame, it acts once. In orbit a
// button acts when its click ends, where it ended; E where the pointer is.
Clicks ClicksOf(const GameInfo& info, const Input& input) {
    Clicks clicks;
    const bool orbiting = Orbiting(info);
    clicks.uncover = (orbiting ? input.Clicks(1) : input.Mouse1Pressed()) > 0;
    clicks.flag = (orbiting ? input.Clicks(2) : input.Mouse2Pressed()) > 0;
    clicks.chord = (orbiting ? input.Clicks(3) : input.Mouse3Pressed()) > 0 || input.KeyPressed(kKeyE) > 0;
    const bool clicked = input.Clicks(1) + input.Clicks(2) + input.Clicks(3) > 0;
    clicks.ray = clicked ? RayAt(info, input.ClickX(), input.ClickY()) : AimRay(info);
    return clicks;
}

Ray AimRay(const GameInfo& info) {
    const Input& input = *info.inputWrapper.GetInput();
    return RayAt(info, input.PointerX(), input.PointerY());
}

void SaveCameras(const GameInfo& info, SavedGame& game) {
    const SimpleCamera& fly = info.camera;
    const OrbitCamera& orbit = info.orbit;
    game.orbit = Orbiting(info);
    game.fly = SavedCamera{fly.GetPos(), fly.Yaw(), fly.Tilt(), 0, fly.MoveSpeed()};
    game.orbiting = SavedCamera{orbit.GetPos(), orbit.Yaw(), orbit.Tilt(), orbit.Distance(), orbit.MoveSpeed()};
}

void RestoreCameras(GameInfo& info, const SavedGame& game) {
    const SavedCamera& fly = game.fly;
    const SavedCamera& orbit = game.orbiting;
    info.camera.SetPos(fly.eye);
    info.camera.SetAngles(fly.yaw, fly.tilt);
    info.camera.SetMoveSpeed(fly.speed);
    info.orbit.Frame(BoxSize(info));
    info.orbit.Take(orbit.eye, orbit.yaw, orbit.tilt, orbit.distance);
    info.orbit.SetMoveSpeed(orbit.speed);
    info.cameraKind = game.orbit ? CameraKind::kOrbit : CameraKind::kFly;
    FreePointer(info);
}
