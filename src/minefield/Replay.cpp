#include "minefield/Replay.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iostream>

#include "minefield/MineField.h"
#include "support/Files.h"

const char* const kReplayFolder = "Replays";
const char* const kRetryFolder = "Replays/Retries";

namespace {

constexpr size_t kLongestNameInFile = 100;

bool IsUnsafeInFileName(unsigned char c) {
    return c < 32 || c == 127 || c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' ||
           c == '<' || c == '>' || c == '|';
}

// The first name of "<base>.cubomb", "<base> (2).cubomb", ... not taken yet.
std::string FreePath(const std::string& base, int& copy) {
    for (;; ++copy) {
        const std::string path = base + (copy == 1 ? "" : " (" + std::to_string(copy) + ")") + ".cubomb";
        if (access(path.c_str(), F_OK) != 0) {
            return path;
        }
    }
}

void WriteReplay(std::ostream& out, const std::string& playerName, const MineField& world, float totalTime, bool finished) {
    out << "# Cubomb replay file.\n";
    out << "# Player: " << playerName << "\n";
    out << "# Finished map? " << (finished ? "yes" : "no") << "\n";
    out << "# Total time: " << totalTime << " seconds\n";
    world.OutputReplayInfo(out);
}

void MakeFolders(const std::string& folder) {
    for (size_t slash = folder.find('/'); slash != std::string::npos; slash = folder.find('/', slash + 1)) {
        mkdir(folder.substr(0, slash).c_str(), 0755);
    }
    mkdir(folder.c_str(), 0755);
}

}  // namespace

std::string GetTimeString() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%m-%d-%y %H.%M.%S", &local);
    return text;
}

std::string FileSafeName(const std::string& playerName) {
    std::string safe = playerName.substr(0, kLongestNameInFile);
    for (char& c : safe) {
        if (IsUnsafeInFileName(static_cast<unsigned char>(c))) {
            c = '_';
        }
    }
    return safe;
}

void SaveReplay(const std::string& playerName, const MineField& world, float totalTime, bool finished) {
    std::string path;
    SaveReplay(playerName, world, totalTime, finished, kReplayFolder, path);
}

// Two games won in the same second keep both replays: a name taken while
// writing moves the replay on to the next.
bool SaveReplay(const std::string& playerName, const MineField& world, float totalTime, bool finished,
                const std::string& folder, std::string& path) {
    const std::string base = folder + "/" + GetTimeString() + " (" + FileSafeName(playerName) + ")";
    MakeFolders(folder);
    const auto write = [&](std::ostream& out) { WriteReplay(out, playerName, world, totalTime, finished); };
    std::string reason = "exists";
    for (int copy = 1; reason == "exists"; ++copy) {
        path = FreePath(base, copy);
        std::cout << "Saving replay: " << path << std::endl;
        if (CreateFileSafely(path, write, reason)) {
            return true;
        }
    }
    std::cout << "Error: could not write replay: " << path << std::endl;
    return false;
}
