#include "support/StringHelpers.h"

#include <climits>
#include <cstdlib>
#include <iomanip>
#include <sstream>

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool _IsWhiteSpace(char c) {
    return c == ' ' || c == '\t';
}

namespace {

bool IsLineBreak(char c) {
    return c == '\n' || c == '\r';
}

// Accumulates a non-empty digit run; false when it holds a non-digit or exceeds INT_MAX.
bool AccumulateDigits(std::string_view s, int& value) {
    if (s.empty()) {
        return false;
    }
    long long total = 0;
    for (const char c : s) {
        if (!IsDigit(c)) {
            return false;
        }
        total = total * 10 + (c - '0');
        if (total > INT_MAX) {
            return false;
        }
    }
    value = static_cast<int>(total);
    return true;
}

}  // namespace

bool IsNaturalNumberIn(std::string_view piece, int& value) {
    if (piece.size() > 1 && piece[0] == '0') {
        return false;
    }
    return AccumulateDigits(piece, value);
}

bool IsNaturalNumber(const std::string& s, int& value) {
    return IsNaturalNumberIn(s, value);
}

bool IsNaturalNumberWithLeadingZeros(const std::string& s, int& value) {
    return AccumulateDigits(s, value);
}

bool IsFloatingPoint(const std::string& s, float& value) {
    if (s.empty()) {
        return false;
    }
    std::string integerDigits;
    std::string fractionDigits;
    bool negative = false;
    bool seenPoint = false;
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '-' && i == 0) {
            negative = true;
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
        } else if (IsDigit(c)) {
            (seenPoint ? fractionDigits : integerDigits) += c;
        } else {
            return false;
        }
    }

    int integerPart = 0;
    if (!seenPoint) {
        if (!IsNaturalNumber(integerDigits, integerPart)) {
            return false;
        }
        value = static_cast<float>(integerPart);
        value = negative ? -value : value;
        return true;
    }

    if (integerDigits.empty() && fractionDigits.empty()) {
        return false;
    }
    int fractionPart = 0;
    const std::string integerText = integerDigits.empty() ? "0" : integerDigits;
    const std::string fractionText = fractionDigits.empty() ? "0" : fractionDigits;
    if (!IsNaturalNumber(integerText, integerPart) ||
        !IsNaturalNumberWithLeadingZeros(fractionText, fractionPart)) {
        return false;
    }
    // One rounding, to the nearest float: adding the parts in double rounds
    // twice, and a long fraction of a big number can then land a float off.
    value = std::strtof((integerText + "." + fractionText).c_str(), nullptr);
    value = negative ? -value : value;
    return true;
}

void ExtractStringsFromLine(const std::string& line, std::vector<std::string>& tokens) {
    tokens.clear();
    std::string current;
    for (const char c : line) {
        if (IsLineBreak(c)) {
            continue;
        }
        if (_IsWhiteSpace(c)) {
            if (!current.empty()) {
                tokens.push_back(current);
                current.clear();
            }
            continue;
        }
        current += c;
    }
    if (!current.empty()) {
        tokens.push_back(current);
    }
}

void RemoveNewLineCharacters(std::string& s) {
    std::string kept;
    kept.reserve(s.size());
    for (const char c : s) {
        if (!IsLineBreak(c)) {
            kept += c;
        }
    }
    s = kept;
}

bool StartsWith(const std::string& s, const std::string& prefix) {
    return s.size() >= prefix.size() && s.compare(0, prefix.size(), prefix) == 0;
}

bool EndsWith(const std::string& s, const std::string& suffix) {
    return s.size() >= suffix.size() &&
           s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string FixedPoint(double value, int decimals) {
    std::ostringstream text;
    text << std::fixed << std::setprecision(decimals) << value;
    return text.str();
}
