// The game clock under pauses, driven by a tick source of the test's own.

#include <gtest/gtest.h>

#include <random>

#include "game/GameClock.h"
#include "game/GameInfo.h"
#include "replay/ReplayPlayer.h"

namespace {

// Oracle: the ticks that passed while neither paused nor in the menu, times
// the speed, up to the replay's end. Return and M stop and run the clock at
// random ticks, each twice in a row too, and the clock of every frame must agree.
TEST(GameClock, StandsStillWhilePausedOrInTheMenuAndGoesOnFromWhereItStood) {
    std::mt19937 random(5);
    ReplayRecord record;
    record.totalTime = 40;
    ReplayPlayer replay(record);
    bool GameInfo::*const reasons[] = {&GameInfo::paused, &GameInfo::menuOpen};
    for (const bool watching : {false, true}) {
        GameInfo info;
        info.replay = watching ? &replay : nullptr;
        info.replaySpeed = watching ? 2.0f : 1.0f;
        uint32_t now = 1000 + random() % 5000;
        info.startTicks = static_cast<float>(now);
        info.lastTicks = now;
        double running = 0;  // milliseconds played
        bool stopped[2] = {false, false};
        for (int step = 0; step < 600; ++step) {
            const uint32_t later = now + random() % 300;
            running += stopped[0] || stopped[1] ? 0 : later - now;
            now = later;
            if (random() % 2) {
                const int which = random() % 2;
                const bool stop = random() % 2;
                stop ? StopClock(info, now, reasons[which]) : RunClock(info, now, reasons[which]);
                stopped[which] = stop;
            }
            info.gameClock = ClockAt(info, now);  // a frame
            const double expected = std::min(running / 1000 * info.replaySpeed, watching ? 40.0 : 1e9);
            ASSERT_NEAR(info.gameClock, expected, 2e-3) << watching << " step " << step;
            ASSERT_EQ(std::make_pair(info.paused, info.menuOpen), std::make_pair(stopped[0], stopped[1]));
        }
    }
}

}  // namespace
