// The texture listing reader on any bytes: names and files are single tokens.

#include <cstdint>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz/Check.h"
#include "textures/TexDict.h"

namespace {

bool IsToken(const std::string& s) {
    return !s.empty() && s.find_first_of(" \t\r\n") == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::map<std::string, std::string> files;
    std::vector<std::string> error;
    const bool ok = ParseTextureListing(in, files, error);
    Check(ok == error.empty() && (ok || error.size() == 3));
    for (const auto& [name, file] : files) Check(IsToken(name) && IsToken(file) && name[0] != '#');
    return 0;
}
