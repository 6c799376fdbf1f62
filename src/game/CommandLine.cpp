#include "game/CommandLine.h"

#include <string_view>

const char* const kUsage =
    "Usage: cubomb [--replay FILE | --analyse FILE | --scores | --help | --version]\n"
    "Mine clearing inside a 3D box of cubes, played in the working folder,\n"
    "which holds game_parameters.txt, the pictures and Replays/.\n"
    "  (no option)     play\n"
    "  --replay FILE   watch a replay of a won game again\n"
    "  --analyse FILE  print a replay's box, time, 3BV, first click and whether it needed a guess\n"
    "  --scores        print the best times of the replays in Replays/\n"
    "  --help          print this help\n"
    "  --version       print the version\n";

const char* const kVersion = "Cubomb " CUBOMB_VERSION;

Command ParseCommandLine(int argc, const char* const argv[]) {
    Command command;
    if (argc == 1) {
        return command;
    }
    const std::string_view option = argv[1];
    if (argc == 2 && option == "--scores") {
        command.kind = Command::kScores;
    } else if (argc == 2 && option == "--help") {
        command.kind = Command::kHelp;
    } else if (argc == 2 && option == "--version") {
        command.kind = Command::kVersion;
    } else if (argc == 3 && (option == "--replay" || option == "--analyse")) {
        command.kind = option == "--replay" ? Command::kReplay : Command::kAnalyse;
        command.file = argv[2];
    } else {
        command.kind = Command::kUsageError;
    }
    return command;
}
