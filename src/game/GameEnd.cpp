#include "game/GameEnd.h"

#include <chrono>
#include <iostream>

#include "game/GameInfo.h"
#include "logic/PerfectPlay.h"
#include "minefield/MineWorld.h"
#include "minefield/Replay.h"
#include "replay/ReplayPlayer.h"
#include "replay/Scores.h"
#include "system/System.h"

const char* const kStatsFile = "stats.txt";

namespace {

BoxAndMines BoxOf(const GameInfo& info) {
    const MineField& field = *info.mineWorld;
    return BoxAndMines{field.Size(0), field.Size(1), field.Size(2), info.mineCount};
}

void ShowResult(GameInfo& info, bool won) {
    const MineField& field = *info.mineWorld;
    GameResult& result = info.end.result;
    result = GameResult();
    result.won = won;
    result.time = won ? info.finalTime : field.DeathTime();
    result.uncovered = field.Counts().uncovered;
    result.safeCubes = static_cast<int>(field.Cubes().Size()) - info.mineCount;
    info.end.panelShown = true;
}

// The 3BV of the board, and the rank of its replay among the box's when one was written.
void FindExtras(GameInfo& info, bool written, const std::string& path) {
    const MineField& field = *info.mineWorld;
    const Box box{field.Size(0), field.Size(1), field.Size(2)};
    const BoxAndMines key = BoxOf(info);
    const std::string name = path.substr(path.rfind('/') + 1);
    const bool ranked = written && !info.end.retry;
    // A task's future, unlike std::async's, lets a new game drop it without
    // waiting; a dropped one reads no replay.
    const auto dropped = std::make_shared<std::atomic<bool>>(false);
    std::packaged_task<GameResult()> task([result = info.end.result, box, key, name, ranked, dropped,
                                           mines = field.Mines()]() mutable {
        result.threeBV = static_cast<int>(ThreeBV(box, mines));
        const Rank rank = ranked && !*dropped ? RankOf(kReplayFolder, name, key) : Rank();
        result.place = rank.place;
        result.of = rank.of;
        return result;
    });
    info.end.pending = task.get_future();
    info.end.pendingDropped = dropped;
    System::RunBeside([task = std::make_shared<std::packaged_task<GameResult()>>(std::move(task))] { (*task)(); });
}

}  // namespace

void LoadStats(GameInfo& info) {
    info.end.stats = LoadStatistics(kStatsFile, std::cerr);
}

void CountGame(GameInfo& info, bool won, float time) {
    Aftermath& end = info.end;
    end.counted = true;
    end.unsaved.push_back(GameOutcome{BoxOf(info), won, time, end.retry});
    std::string reason;
    if (!CountInFile(kStatsFile, end.unsaved, end.stats, reason, std::cerr) && !end.statsWarned) {
        std::cerr << "Warning: statistics not saved: " << kStatsFile << ": " << reason << std::endl;
        end.statsWarned = true;
    }
}

bool CountEnd(GameInfo& info) {
    if (info.replay || info.end.counted || !(info.won || info.mineWorld->Dead())) {
        return false;
    }
    CountGame(info, info.won, info.won ? info.finalTime : info.mineWorld->DeathTime());
    ShowResult(info, info.won);
    return true;
}

void DropPending(Aftermath& end) {
    if (end.pendingDropped) {
        *end.pendingDropped = true;
    }
    end.pending = {};
}

void AwaitExtras(GameInfo& info) {
    if (info.end.pending.valid()) {
        info.end.pending.wait_for(std::chrono::seconds(2));
    }
}

void SavePendingReplay(GameInfo& info) {
    if (!info.won || info.replaySaved || info.replay) {
        return;
    }
    std::string path;
    const bool written = info.saveReplays && SaveReplay(info.end.player, *info.mineWorld, info.gameClock, info.won,
                                                       info.end.retry ? kRetryFolder : kReplayFolder, path);
    info.end.savedTotal = info.gameClock;
    info.replaySaved = true;
    FindExtras(info, written, path);
}

bool CanWatchLastGame(const GameInfo& info) {
    return info.end.watched ? info.replay == info.end.watched.get()
                            : !info.replay && (info.won || info.mineWorld->Dead());
}

ReplayRecord LastGameRecord(const GameInfo& info) {
    const bool won = info.won;
    return RecordGame(*info.mineWorld, info.end.player, won ? info.end.savedTotal : info.mineWorld->DeathTime(), won);
}

bool CanRetry(const GameInfo& info) {
    return info.replay ? info.end.watched && info.replay == info.end.watched.get() && info.replay->Record().lost
                       : info.mineWorld->Dead();
}

void DrawResult(GameInfo& info) {
    Aftermath& end = info.end;
    if (end.pending.valid() && end.pending.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
        const GameResult found = end.pending.get();
        end.result.threeBV = found.threeBV;
        end.result.place = found.place;
        end.result.of = found.of;
    }
    if (end.panelShown) {
        DrawResultPanel(ResultLines(end.result), *info.fontTexture);
    }
}
