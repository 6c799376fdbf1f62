// The parameters reader on any bytes: it reads or reports, and what it lets
// through is a game the rest of the program can start.

#include <cstdint>
#include <sstream>
#include <string>

#include "fuzz/Check.h"
#include "game/GameInfo.h"
#include "game/GameParams.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    GameInfo info;
    const ParamsReport report = ParseParams(in, info);
    if (!report.fatal.empty()) return 0;
    const long long cubes = static_cast<long long>(info.dimensionX) * info.dimensionY * info.dimensionZ;
    Check(info.dimensionX >= 0 && info.dimensionY >= 0 && info.dimensionZ >= 0 && cubes <= kMaxCubes &&
          info.screenWidth >= 0 && info.screenHeight >= 0 && !info.playerName.empty() &&
          info.playerName.find_first_of(" \t\r\n") == std::string::npos);
    for (const std::string& note : report.notes) Check(note == "Error: num_mines should be a natural number");
    return 0;
}
