#include "game/MenuControl.h"

#include <SDL.h>

#include "game/CameraControl.h"
#include "game/GameClock.h"
#include "game/GameInfo.h"
#include "game/GameLife.h"
#include "game/GameParams.h"
#include "game/Hud.h"
#include "minefield/Replay.h"
#include "replay/Statistics.h"
#include "support/ProcessEnd.h"
#include "ui/MenuInput.h"
#include "ui/MenuView.h"

namespace {

// A new box is seen from its own corner, as at start, or framed whole in orbit.
void StartChosenGame(GameInfo& info, const GameChoice& choice) {
    const bool saved = RememberSettings(ChoiceSettings(choice));
    const bool newBox = choice.x != info.dimensionX || choice.y != info.dimensionY || choice.z != info.dimensionZ;
    const CameraKind camera = info.cameraKind;
    ApplyChoice(choice, info);
    info.cameraKind = camera;
    UseCamera(info, choice.camera);
    if (newBox) {
        PlaceCameras(info);
    }
    CloseMenu(info, SDL_GetTicks());
    StartNewGame(info);
    info.settingsNotSaved = !saved;
}

// The best times or the statistics of the box and mines shown.
void ShowBelow(GameInfo& info) {
    const GameChoice& choice = info.menu.Choice();
    const BoxAndMines box{choice.x, choice.y, choice.z, choice.mines};
    MenuBelow& below = info.menuBelow;
    if (below.shown == info.menu.Showing() && below.box == box) {
        return;
    }
    below = MenuBelow{{}, info.menu.Showing(), box};
    if (below.shown == Menu::Shown::kBestTimes) {
        below.lines = ScoreRows(kReplayFolder, box);
        below.lines.insert(below.lines.begin(), below.lines.empty() ? "No best times yet for " + box.Name() + "." : box.Name());
    } else if (below.shown == Menu::Shown::kStatistics) {
        const auto& boxes = info.end.stats.Boxes();
        const auto found = boxes.find(box);
        below.lines = found == boxes.end() ? std::vector<std::string>{"No games played yet on " + box.Name() + "."}
                                           : StatsBlock(box, found->second);
    }
}

}  // namespace

void OpenMenu(GameInfo& info, uint32_t now) {
    StopClock(info, now, &GameInfo::menuOpen);
    SaveGame(info);
    info.end.panelShown = false;
    info.menu = Menu(ChoiceOf(info));
    info.menuBelow = MenuBelow();
    FreePointer(info);
}

void CloseMenu(GameInfo& info, uint32_t now) {
    RunClock(info, now, &GameInfo::menuOpen);
    FreePointer(info);
}

void MenuKeys(GameInfo& info, const Input& input, uint32_t now) {
    const MenuStep step = ApplyInput(info.menu, input, info.screenWidth, info.screenHeight);
    if (step.moved) {
        info.sounds.Queue(Sound::kMenu);
    }
    // The sound is heard at once, and remembered at once.
    if (info.menu.Choice().soundVolume != info.soundVolume) {
        info.soundVolume = info.menu.Choice().soundVolume;
        info.speaker.SetVolume(info.soundVolume);
        info.settingsNotSaved |= !RememberSettings({{"sound_volume", std::to_string(info.soundVolume)}});
    }
    switch (step.action) {
        case Menu::Action::kStart: StartChosenGame(info, info.menu.Choice()); break;
        case Menu::Action::kResume: CloseMenu(info, now); break;
        case Menu::Action::kQuit: QuitNormally();
        case Menu::Action::kNone: break;
    }
    if (info.menuOpen) {
        ShowBelow(info);
    }
}

void DrawMenuScreen(GameInfo& info) {
    DrawHud(info, Aim());
    DrawMenu(info.menu, info.menuBelow.lines, *info.fontTexture);
}
