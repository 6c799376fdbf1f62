#include "game/CommandLine.h"

#include <string_view>

#include "game/GameInfo.h"
#include "game/GameParams.h"
#include "support/StringHelpers.h"

const char* const kUsage =
    "Usage: cubomb [--box XxYxZ] [--mines N]\n"
    "       cubomb --replay FILE | --analyse FILE | --scores | --stats | --help | --version\n"
    "Mine clearing inside a 3D box of cubes, played in the working folder,\n"
    "which holds game_parameters.txt, the pictures, Replays/ and stats.txt.\n"
    "  (no option)     play; M in the game opens the menu\n"
    "  --box XxYxZ     play a box of X by Y by Z cubes, this run only\n"
    "  --mines N       play with N mines, this run only\n"
    "  --replay FILE   watch a replay of a won game again\n"
    "  --analyse FILE  print a replay's box, time, 3BV, first click and whether it needed a guess\n"
    "  --scores        print the best times of the replays in Replays/\n"
    "  --stats         print the games played, won and the streaks of each box\n"
    "  --help          print this help\n"
    "  --version       print the version\n";

const char* const kVersion = "Cubomb " CUBOMB_VERSION;

namespace {

std::string Refused(std::string_view option, const std::string& value, const std::string& why) {
    return "cubomb: " + std::string(option) + " " + value + ": " + why;
}

// "XxYxZ", three natural numbers, a playable box.
std::string ReadBox(const std::string& value, Command& command) {
    const size_t first = value.find('x');
    const size_t second = first == std::string::npos ? first : value.find('x', first + 1);
    if (second == std::string::npos || !IsNaturalNumber(value.substr(0, first), command.x) ||
        !IsNaturalNumber(value.substr(first + 1, second - first - 1), command.y) ||
        !IsNaturalNumber(value.substr(second + 1), command.z)) {
        return Refused("--box", value, "not XxYxZ, three whole numbers");
    }
    const std::string problem = BoxProblem(GameChoice{command.x, command.y, command.z});
    command.box = true;
    return problem.empty() ? "" : Refused("--box", value, problem);
}

std::string ReadMines(const std::string& value, Command& command) {
    if (!IsNaturalNumber(value, command.mineCount)) {
        return Refused("--mines", value, "not a whole number");
    }
    command.mines = true;
    return command.mineCount == 0 ? Refused("--mines", value, "no mine") : "";
}

// --box and --mines, each at most once, in any order.
Command ParsePlay(int argc, const char* const argv[]) {
    Command command;
    for (int i = 1; i < argc && command.error.empty(); i += 2) {
        const std::string_view option = argv[i];
        const bool box = option == "--box";
        if ((!box && option != "--mines") || i + 1 >= argc || (box ? command.box : command.mines)) {
            command.error.clear();
            command.kind = Command::kUsageError;
            return command;
        }
        command.error = box ? ReadBox(argv[i + 1], command) : ReadMines(argv[i + 1], command);
    }
    command.kind = command.error.empty() ? Command::kPlay : Command::kUsageError;
    return command;
}

}  // namespace

Command ParseCommandLine(int argc, const char* const argv[]) {
    Command command;
    if (argc == 1) {
        return command;
    }
    const std::string_view option = argv[1];
    if (argc == 2 && option == "--scores") {
        command.kind = Command::kScores;
    } else if (argc == 2 && option == "--stats") {
        command.kind = Command::kStats;
    } else if (argc == 2 && option == "--help") {
        command.kind = Command::kHelp;
    } else if (argc == 2 && option == "--version") {
        command.kind = Command::kVersion;
    } else if (argc == 3 && (option == "--replay" || option == "--analyse")) {
        command.kind = option == "--replay" ? Command::kReplay : Command::kAnalyse;
        command.file = argv[2];
    } else {
        command = ParsePlay(argc, argv);
    }
    return command;
}

std::string ApplyCommandLine(const Command& command, GameInfo& info) {
    if (command.box) {
        info.dimensionX = command.x;
        info.dimensionY = command.y;
        info.dimensionZ = command.z;
        info.numMines = info.minesFromDensity ? MinesFromDensity(info) : info.numMines;
    }
    if (!command.mines) {
        return "";
    }
    info.numMines = command.mineCount;
    info.minesFromDensity = false;
    const std::string problem = MinesProblem(ChoiceOf(info));
    return problem.empty() ? "" : Refused("--mines", std::to_string(command.mineCount), problem);
}
