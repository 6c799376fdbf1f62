#include <iostream>

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
#include "system/System.h"

// Everything else comes from the working directory.
int main(int argc, char** argv) {
    System::Prepare();
    const Command command = ParseCommandLine(argc, argv);
    switch (command.kind) {
        case Command::kHelp: std::cout << kUsage; return 0;
        case Command::kVersion: std::cout << kVersion << "\n"; return 0;
        case Command::kUsageError: std::cerr << (command.error.empty() ? kUsage : command.error + "\n"); return 2;
        case Command::kScores: PrintScores(kReplayFolder, std::cout, std::cerr); return 0;
        case Command::kStats: PrintStats(LoadStatistics(kStatsFile, std::cerr), std::cout); return 0;
        default: break;
    }
    static ReplayPlayer* replay = nullptr;  // never freed, as the game record
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
        replay = new ReplayPlayer(std::move(record));
    }
    // Never destroyed: the game ends by ending the process, and a browser runs
    // its frames after main has returned. Held where a leak checker looks.
    static GameInfo* const game = new GameInfo;
    GameInfo& info = *game;
    ReadParams(kParamsFile, info);
    const std::string refused = ApplyCommandLine(command, info);
    if (!refused.empty()) {
        std::cerr << refused << "\n";
        return 2;
    }
    if (replay) {
        Watch(info, replay);
    }
    // Where memory is short, as in a browser, a box the settings allow may still be too big.
    if (static_cast<long long>(info.dimensionX) * info.dimensionY * info.dimensionZ > System::MostCubes()) {
        Fatal("Error: dimensions too large: " + System::TooManyCubes());
    }
    // A game named on the command line leaves the saved one alone.
    info.life.keeps = command.kind == Command::kPlay && !command.box && !command.mines;
    Initialize(info);
    RunFrameLoop(info);
}
