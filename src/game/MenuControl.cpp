#include "game/MenuControl.h"

#include <SDL.h>

#include <iostream>

#include "game/GameClock.h"
#include "game/GameInfo.h"
#include "game/GameLoop.h"
#include "game/GameParams.h"
#include "game/Hud.h"
#include "minefield/Replay.h"
#include "replay/Statistics.h"
#include "support/ProcessEnd.h"
#include "ui/MenuInput.h"
#include "ui/MenuView.h"

namespace {

// A settings file that cannot be written costs the player nothing but this line.
bool Saved(bool saved, const std::string& reason) {
    if (!saved) {
        std::cerr << "Warning: settings not saved: " << kParamsFile << ": " << reason << std::endl;
    }
    return saved;
}

// A new box is seen from its own corner, as at start.
void StartChosenGame(GameInfo& info, const GameChoice& choice) {
    std::string reason;
    const bool saved = Saved(SaveChoice(kParamsFile, choice, reason), reason);
    const bool newBox = choice.x != info.dimensionX || choice.y != info.dimensionY || choice.z != info.dimensionZ;
    ApplyChoice(choice, info);
    if (newBox) {
        info.camera.SetPos(Vector(-1, -1, static_cast<float>(info.dimensionZ) + 1));
        info.camera.ResetView();
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
    info.end.panelShown = false;
    info.menu = Menu(ChoiceOf(info));
    info.menuBelow = MenuBelow();
    SDL_ShowCursor(1);
    SDL_WM_GrabInput(SDL_GRAB_OFF);
}

void CloseMenu(GameInfo& info, uint32_t now) {
    RunClock(info, now, &GameInfo::menuOpen);
    SDL_ShowCursor(0);
    if (!info.fullscreen) {
        SDL_WM_GrabInput(SDL_GRAB_ON);
    }
    info.inputWrapper.SkipNextMotion();
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
        std::string reason;
        info.settingsNotSaved |= !Saved(SaveSettings(kParamsFile, {{"sound_volume", std::to_string(info.soundVolume)}}, reason), reason);
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
