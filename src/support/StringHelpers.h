#ifndef CUBOMB_SUPPORT_STRINGHELPERS_H
#define CUBOMB_SUPPORT_STRINGHELPERS_H

// Tokenizing and strict number recognition shared by the two text-file readers.
// The recognisers accept a string only when all of it matches and write their
// out-parameter only on success (IsFloatingPoint may write it on failure).
// A digit group too large for a 32-bit int is not a number.

#include <string>
#include <string_view>
#include <vector>

bool IsDigit(char c);
bool _IsWhiteSpace(char c);

bool IsNaturalNumber(const std::string& s, int& value);
// The same for a piece of a longer line, read where it lies.
bool IsNaturalNumberIn(std::string_view piece, int& value);
bool IsNaturalNumberWithLeadingZeros(const std::string& s, int& value);
bool IsFloatingPoint(const std::string& s, float& value);

void ExtractStringsFromLine(const std::string& line, std::vector<std::string>& tokens);
void RemoveNewLineCharacters(std::string& s);

bool StartsWith(const std::string& s, const std::string& prefix);
// The number with a fixed count of decimals, rounded as printf rounds.
std::string FixedPoint(double value, int decimals);
bool EndsWith(const std::string& s, const std::string& suffix);

#endif
