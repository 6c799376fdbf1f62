#include "game/GameClock.h"

#include <algorithm>

#include "game/GameInfo.h"
#include "replay/ReplayPlayer.h"

float SecondsSince(float startTicks, uint32_t now) {
    return static_cast<float>((static_cast<double>(uint64_t(now)) - startTicks) / 1000.0);
}

float ClockAt(GameInfo& info, uint32_t now) {
    if (info.paused) {
        return info.gameClock;
    }
    if (!info.replay) {
        return SecondsSince(info.startTicks, now);
    }
    const float elapsed = static_cast<float>(now - info.lastTicks) / 1000.0f * info.replaySpeed;
    info.lastTicks = now;
    return std::min(info.gameClock + elapsed, info.replay->Record().totalTime);
}

// The clock is read once more, up to the pause.
void Pause(GameInfo& info, uint32_t now) {
    if (!info.paused) {
        info.gameClock = ClockAt(info, now);
        info.paused = true;
        info.pausedAt = now;
    }
}

// The time spent paused moves the game's start on, and the replay's last frame.
void Resume(GameInfo& info, uint32_t now) {
    if (info.paused) {
        info.paused = false;
        info.startTicks += static_cast<float>(now - info.pausedAt);
        info.lastTicks = now;
    }
}
