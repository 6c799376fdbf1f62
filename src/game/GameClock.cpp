#include "game/GameClock.h"

#include <algorithm>

#include "game/GameInfo.h"
#include "replay/ReplayPlayer.h"

namespace {

bool Standing(const GameInfo& info) {
    return info.paused || info.menuOpen;
}

}  // namespace

float SecondsSince(float startTicks, uint32_t now) {
    return static_cast<float>((static_cast<double>(uint64_t(now)) - startTicks) / 1000.0);
}

float ClockAt(GameInfo& info, uint32_t now) {
    if (Standing(info)) {
        return info.gameClock;
    }
    if (!info.replay) {
        return SecondsSince(info.startTicks, now);
    }
    const float elapsed = static_cast<float>(now - info.lastTicks) / 1000.0f * info.replaySpeed;
    info.lastTicks = now;
    return std::min(info.gameClock + elapsed, info.replay->Record().totalTime);
}

// The clock is read once more, up to the stop.
void StopClock(GameInfo& info, uint32_t now, bool GameInfo::*reason) {
    if (!Standing(info)) {
        info.gameClock = ClockAt(info, now);
        info.pausedAt = now;
    }
    info.*reason = true;
}

// The time the clock stood moves the game's start on, and the replay's last frame.
void RunClock(GameInfo& info, uint32_t now, bool GameInfo::*reason) {
    const bool stood = Standing(info);
    info.*reason = false;
    if (stood && !Standing(info)) {
        info.startTicks += static_cast<float>(now - info.pausedAt);
        info.lastTicks = now;
    }
}

void Pause(GameInfo& info, uint32_t now) {
    StopClock(info, now, &GameInfo::paused);
}

void Resume(GameInfo& info, uint32_t now) {
    RunClock(info, now, &GameInfo::paused);
}
