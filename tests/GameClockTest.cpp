// The game clock under pauses, driven by a tick source of the test's own.

#include <gtest/gtest.h>

#include <random>

#include "game/GameClock.h"
#include "game/GameInfo.h"
#include "replay/ReplayPlayer.h"

namespace {

// Oracle: the ticks that passed while not paused, times the speed, up to the
// replay's end. Return pauses and resumes at random ticks, twice in a row
// too, and the clock of every frame must agree.
TEST(GameClock, StandsStillWhilePausedAndGoesOnFromWhereItStood) {
    std::mt19937 random(5);
    ReplayRecord record;
    record.totalTime = 40;
    ReplayPlayer replay(record);
    for (const bool watching : {false, true}) {
        GameInfo info;
        info.replay = watching ? &replay : nullptr;
        info.replaySpeed = watching ? 2.0f : 1.0f;
        uint32_t now = 1000 + random() % 5000;
        info.startTicks = static_cast<float>(now);
        info.lastTicks = now;
        double running = 0;  // milliseconds played
        bool paused = false;
        for (int step = 0; step < 400; ++step) {
            const uint32_t later = now + random() % 300;
            running += paused ? 0 : later - now;
            now = later;
            if (random() % 2) {
                const bool pause = random() % 2;
                pause ? Pause(info, now) : Resume(info, now);
                paused = pause;
            }
            info.gameClock = ClockAt(info, now);  // a frame
            const double expected = std::min(running / 1000 * info.replaySpeed, watching ? 40.0 : 1e9);
            ASSERT_NEAR(info.gameClock, expected, 2e-3) << watching << " step " << step;
            ASSERT_EQ(info.paused, paused);
        }
    }
}

}  // namespace
