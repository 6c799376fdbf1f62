#include "minefield/Replay.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iostream>

#include "minefield/MineField.h"

namespace {

const char* const kFolder = "Replays";
constexpr size_t kLongestNameInFile = 100;

bool IsUnsafeInFileName(unsigned char c) {
    return c < 32 || c == 127 || c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' ||
           c == '<' || c == '>' || c == '|';
}

// Claims the first free name of "<base>.cubomb", "<base> (2).cubomb", ...
// atomically, so two games won in the same second keep both replays.
bool ClaimFreePath(const std::string& base, std::string& path) {
    for (int copy = 1;; ++copy) {
        path = base + (copy == 1 ? "" : " (" + std::to_string(copy) + ")") + ".cubomb";
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd >= 0) {
            close(fd);
            return true;
        }
        if (errno != EEXIST) {
            return false;
        }
    }
}

bool WriteReplay(const std::string& path, const std::string& playerName, const MineField& world, float totalTime,
                 bool finished) {
    std::ofstream out(path, std::ios::trunc);
    out << "# Cubomb replay file.\n";
    out << "# Player: " << playerName << "\n";
    out << "# Finished map? " << (finished ? "yes" : "no") << "\n";
    out << "# Total time: " << totalTime << " seconds\n";
    world.OutputReplayInfo(out);
    out.close();
    return !out.fail();
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
    const std::string base = std::string(kFolder) + "/" + GetTimeString() + " (" + FileSafeName(playerName) + ")";
    mkdir(kFolder, 0755);
    std::string path;
    if (!ClaimFreePath(base, path)) {
        std::cout << "Error: could not write replay: " << path << std::endl;
        return;
    }
    std::cout << "Saving replay: " << path << std::endl;
    if (!WriteReplay(path, playerName, world, totalTime, finished)) {
        std::remove(path.c_str());
        std::cout << "Error: could not write replay: " << path << std::endl;
    }
}
