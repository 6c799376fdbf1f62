#include "game/GameLife.h"

#include <SDL.h>

#include <cstdlib>
#include <iostream>

#include "game/CameraControl.h"
#include "game/GameEnd.h"
#include "game/GameInfo.h"
#include "minefield/MineWorld.h"
#include "replay/ReplayPlayer.h"

namespace {

constexpr float kSavePeriod = 10;

bool InProgress(const GameInfo& info) {
    return info.life.keeps && !info.replay && info.mineWorld->Begun() && !info.won && !info.mineWorld->Dead();
}

// What every game starts from.
void BeginGame(GameInfo& info) {
    info.won = false;
    info.hintShown = false;
    info.finalTime = -1.0f;
    info.replaySaved = false;
    info.settingsNotSaved = false;
    info.end.counted = false;
    info.end.panelShown = false;
    info.end.player = info.playerName;
    info.life.resumed = false;
    ++info.life.number;
    DropPending(info.end);
}

// The clock at the given time; saving starts from here.
void StartClock(GameInfo& info, float clock) {
    const uint32_t now = SDL_GetTicks();
    info.startTicks = static_cast<float>(now) - clock * 1000;
    info.lastTicks = now;
    info.gameClock = clock;
    info.life.savedClock = clock;
    info.life.savedChanges = info.mineWorld->Changes();
}

// A new game leaves nothing of the last one to resume.
void StartAfresh(GameInfo& info) {
    info.life.slot.Remove();
    StartClock(info, 0);
}

bool Resume(GameInfo& info, const SavedGame& saved) {
    const FieldSnapshot& field = saved.field;
    if (!info.mineWorld->Restore(field)) {
        return false;
    }
    BeginGame(info);
    info.dimensionX = field.sizeX;
    info.dimensionY = field.sizeY;
    info.dimensionZ = field.sizeZ;
    bool won = false;
    info.mineWorld->GetGameState(won, info.numMines, info.flagCount);
    info.minesFromDensity = false;
    info.end.retry = saved.retry;
    info.end.player = saved.player;
    RestoreCameras(info, saved);
    info.life.resumed = true;
    info.life.slot.Resumed(info.life.number);
    StartClock(info, saved.clock);
    return true;
}

// The field as it stood, with the rest of the game as it stands.
void Keep(GameInfo& info, FieldSnapshot field) {
    SavedGame game;
    game.field = std::move(field);
    game.player = info.end.player;
    game.retry = info.end.retry;
    game.clock = info.gameClock;
    SaveCameras(info, game);
    info.life.slot.Save(std::move(game), info.life.number);
    info.life.savedClock = info.gameClock;
    info.life.savedChanges = info.mineWorld->Changes();
}

}  // namespace

void Watch(GameInfo& info, ReplayPlayer* replay) {
    info.replay = replay;
    info.dimensionX = replay->Record().sizeX;
    info.dimensionY = replay->Record().sizeY;
    info.dimensionZ = replay->Record().sizeZ;
}

void KeepSaves(GameInfo& info) {
    if (info.life.keeps && !info.life.slot.Open()) {
        info.life.keeps = false;
        info.life.anotherWindow = true;
        std::cerr << "Warning: another window plays in this folder: this one neither resumes nor saves a game in progress"
                  << std::endl;
    }
}

void StartFirstGame(GameInfo& info) {
    SavedGame saved;
    if (info.life.keeps && !info.replay && info.life.slot.Load(saved, std::cerr) && Resume(info, saved)) {
        return;
    }
    InitializeGame(info);
}

// The draw buffer reseeds the generator every frame, so the mines need a fresh seed right here.
void InitializeGame(GameInfo& info) {
    BeginGame(info);
    info.end.retry = false;
    if (info.replay) {
        info.replay->Restart(*info.mineWorld);
    } else {
        info.mineWorld->SetSafeFirstClick(info.safeFirstClick);
        info.mineWorld->SetNoGuess(info.noGuess);
        std::srand(SDL_GetTicks());
        info.mineWorld->Initialize(info.dimensionX, info.dimensionY, info.dimensionZ, info.numMines);
    }
    StartAfresh(info);
}

// The board stays as it is given: no first click moves a mine.
void InitializeGame(GameInfo& info, const std::vector<bool>& board) {
    BeginGame(info);
    info.mineWorld->SetSafeFirstClick(false);
    info.mineWorld->Initialize(info.dimensionX, info.dimensionY, info.dimensionZ, board);
    StartAfresh(info);
}

void StartNewGame(GameInfo& info) {
    LeaveGame(info);
    SavePendingReplay(info);
    info.replay = nullptr;
    InitializeGame(info);
}

void LeaveGame(GameInfo& info) {
    if (!info.replay && !info.end.counted && info.mineWorld->Begun()) {
        CountGame(info, false, 0);
    }
}

void NoticeEnd(GameInfo& info) {
    if (CountEnd(info)) {
        info.life.slot.Remove();
    }
}

void SaveGame(GameInfo& info) {
    info.life.autosave.Cancel();
    if (InProgress(info)) {
        Keep(info, info.mineWorld->Snapshot());
    }
}

void KeepGame(GameInfo& info) {
    SnapshotTaker& autosave = info.life.autosave;
    const bool due = info.mineWorld->Changes() != info.life.savedChanges && info.gameClock - info.life.savedClock >= kSavePeriod;
    if (!InProgress(info) || (!autosave.Taking() && !due)) {
        autosave.Cancel();
        return;
    }
    if (!autosave.Taking()) {
        autosave.Begin(*info.mineWorld);
    }
    if (autosave.Step(*info.mineWorld, kSnapshotSlice)) {
        Keep(info, autosave.Take());
    }
}

// A game whose save could not be written, and that no earlier save holds, counts as left.
void QuitGame(GameInfo& info) {
    if (InProgress(info)) {
        SaveGame(info);
        info.life.slot.Flush();
    }
    if (!InProgress(info) || !info.life.slot.Holds(info.life.number)) {
        LeaveGame(info);
    }
    info.life.slot.Flush();
    AwaitExtras(info);
}

void WatchLastGame(GameInfo& info) {
    if (!info.replay) {
        SavePendingReplay(info);
        info.end.watched = std::make_shared<ReplayPlayer>(LastGameRecord(info));
        info.replay = info.end.watched.get();
        info.replaySpeed = 1;
    }
    InitializeGame(info);
}

void RetryBoard(GameInfo& info) {
    const std::vector<bool> board = info.replay ? info.replay->Record().mines : info.mineWorld->Mines();
    info.replay = nullptr;
    info.end.retry = true;
    InitializeGame(info, board);
}
