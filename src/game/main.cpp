#include <iostream>
#include <memory>

#include "game/CommandLine.h"
#include "game/GameEnd.h"
#include "game/GameInfo.h"
#include "game/GameLoop.h"
#include "game/GameParams.h"
#include "minefield/Replay.h"
#include "replay/Analysis.h"
#include "replay/ReplayPlayer.h"
#include "replay/Scores.h"
#include "replay/Statistics.h"
#include "support/ProcessEnd.h"

// Everything else comes from the working directory.
int main(int argc, char** argv) {
    const Command command = ParseCommandLine(argc, argv);
    switch (command.kind) {
        case Command::kHelp: std::cout << kUsage; return 0;
        case Command::kVersion: std::cout << kVersion << "\n"; return 0;
        case Command::kUsageError: std::cerr << (command.error.empty() ? kUsage : command.error + "\n"); return 2;
        case Command::kScores: PrintScores(kReplayFolder, std::cout, std::cerr); return 0;
        case Command::kStats: PrintStats(LoadStatistics(kStatsFile, std::cerr), std::cout); return 0;
        default: break;
    }
    std::unique_ptr<ReplayPlayer> replay;
    if (command.kind == Command::kReplay || command.kind == Command::kAnalyse) {
        ReplayRecord record;
        std::string message;
        if (!LoadReplay(command.file, record, message)) {
            FatalOnStandardError(message);
        }
        if (command.kind == Command::kAnalyse) {
            Analyse(record, std::cout);
            return 0;
        }
        replay = std::make_unique<ReplayPlayer>(std::move(record));
    }
    GameInfo info;
    ReadParams(kParamsFile, info);
    const std::string refused = ApplyCommandLine(command, info);
    if (!refused.empty()) {
        std::cerr << refused << "\n";
        return 2;
    }
    if (replay) {
        Watch(info, replay.get());
    }
    // A game named on the command line leaves the saved one alone.
    info.life.keeps = command.kind == Command::kPlay && !command.box && !command.mines;
    Initialize(info);
    RunFrameLoop(info);
}
