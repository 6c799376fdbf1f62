// The tokenizer and the number recognisers against plain oracles.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/StringHelpers.h"

namespace {

bool AllDigits(const std::string& s) {
    return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
}

bool FitsAnInt(const std::string& digits) {
    const size_t first = digits.find_first_not_of('0');
    const std::string significant = first == std::string::npos ? "0" : digits.substr(first);
    return significant.size() < 10 || (significant.size() == 10 && significant <= "2147483647");
}

void CheckTokens(const std::string& line) {
    std::vector<std::string> tokens;
    ExtractStringsFromLine(line, tokens);
    std::string joined;
    for (const std::string& token : tokens) {
        if (token.empty() || token.find_first_of(" \t\r\n") != std::string::npos) std::abort();
        joined += token;
    }
    std::string kept;
    for (const char c : line) {
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') kept += c;
    }
    if (joined != kept) std::abort();
}

void CheckNaturals(const std::string& s) {
    int value = -1;
    const bool plain = AllDigits(s) && FitsAnInt(s);
    if (IsNaturalNumberWithLeadingZeros(s, value) != plain) std::abort();
    if (plain && value != static_cast<int>(std::strtoll(s.c_str(), nullptr, 10))) std::abort();
    const bool natural = plain && (s.size() == 1 || s[0] != '0');
    if (IsNaturalNumber(s, value) != natural) std::abort();
}

void CheckFloat(const std::string& s) {
    float value = 0;
    if (!IsFloatingPoint(s, value)) return;
    if (s.find_first_not_of("-.0123456789") != std::string::npos || !std::isfinite(value)) std::abort();
    const double expected = std::strtod(s == "-." ? "x" : s.c_str(), nullptr);
    if (std::fabs(value - expected) > 1e-6 * std::fabs(expected) + 1e-9) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string s(reinterpret_cast<const char*>(data), size);
    CheckTokens(s);
    CheckNaturals(s);
    CheckFloat(s);
    return 0;
}
