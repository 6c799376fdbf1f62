// The tokenizer and the number recognisers against plain oracles.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

#include "fuzz/Check.h"
#include "support/StringHelpers.h"

namespace {

bool Fits(const std::string& digits) {
    const size_t first = digits.find_first_not_of('0');
    const std::string significant = first == std::string::npos ? "0" : digits.substr(first);
    return significant.size() < 10 || (significant.size() == 10 && significant <= "2147483647");
}

// Line breaks go first, then blanks and tabs split what is left.
void CheckTokens(const std::string& line) {
    std::string unbroken;
    for (const char c : line)
        if (c != '\r' && c != '\n') unbroken += c;
    std::vector<std::string> expected(1);
    for (const char c : unbroken) {
        if (c != ' ' && c != '\t') {
            expected.back() += c;
        } else if (!expected.back().empty()) {
            expected.emplace_back();
        }
    }
    if (expected.back().empty()) expected.pop_back();
    std::vector<std::string> tokens = {"stale"};
    ExtractStringsFromLine(line, tokens);
    Check(tokens == expected);
    std::string removed = line;
    RemoveNewLineCharacters(removed);
    Check(removed == unbroken);
}

void CheckNumbers(const std::string& s) {
    int value = -1;
    const bool digits = !s.empty() && s.find_first_not_of("0123456789") == std::string::npos && Fits(s);
    Check(IsNaturalNumberWithLeadingZeros(s, value) == digits);
    Check(!digits || value == static_cast<int>(std::strtoll(s.c_str(), nullptr, 10)));
    Check(IsNaturalNumber(s, value) == (digits && (s.size() == 1 || s[0] != '0')));

    static const std::regex grammar(R"(-?(((0|[1-9][0-9]*)(\.([0-9]*))?)|\.([0-9]+)))");
    std::smatch parts;
    const bool real = std::regex_match(s, parts, grammar) && Fits(parts[3]) && Fits(parts[5].str() + parts[6].str());
    float number = 0;
    Check(IsFloatingPoint(s, number) == real);
    // The nearest float, and a minus zero keeps its sign.
    const float nearest = std::strtof(s.c_str(), nullptr);
    Check(!real || (number == nearest && std::signbit(number) == std::signbit(nearest)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string s(reinterpret_cast<const char*>(data), size);
    CheckTokens(s);
    CheckNumbers(s);
    return 0;
}
