#include <gtest/gtest.h>

#include <cmath>

#include "support/StringHelpers.h"

namespace {

struct IntCase {
    const char* text;
    bool accepted;
    int value;
};

TEST(NaturalNumber, AcceptsOnlyDigitRunsWithoutLeadingZeros) {
    const IntCase cases[] = {
        {"", false, 0},         {"0", true, 0},          {"7", true, 7},
        {"x", false, 0},        {"10", true, 10},        {"01", false, 0},
        {"00", false, 0},       {"1a", false, 0},        {"-1", false, 0},
        {"+1", false, 0},       {" 1", false, 0},        {"1 ", false, 0},
        {"2147483647", true, 2147483647},                {"2147483648", false, 0},
        {"99999999999999999999", false, 0},
    };
    for (const IntCase& c : cases) {
        int value = -12345;
        EXPECT_EQ(IsNaturalNumber(c.text, value), c.accepted) << '"' << c.text << '"';
        EXPECT_EQ(value, c.accepted ? c.value : -12345) << '"' << c.text << '"';
    }
}

TEST(NaturalNumberWithLeadingZeros, AcceptsAnyDigitRunThatFits) {
    const IntCase cases[] = {
        {"", false, 0},          {"0", true, 0},     {"000123", true, 123},
        {"007", true, 7},        {"12 ", false, 0},  {"-3", false, 0},
        {"00000000000001", true, 1},                 {"4294967296", false, 0},
    };
    for (const IntCase& c : cases) {
        int value = -12345;
        EXPECT_EQ(IsNaturalNumberWithLeadingZeros(c.text, value), c.accepted) << '"' << c.text << '"';
        EXPECT_EQ(value, c.accepted ? c.value : -12345) << '"' << c.text << '"';
    }
}

TEST(FloatingPoint, FollowsTheNarrowGrammar) {
    struct Case {
        const char* text;
        bool accepted;
        float value;
    };
    const Case cases[] = {
        {"0.25", true, 0.25f}, {"-0.25", true, -0.25f}, {".25", true, 0.25f},
        {"-.5", true, -0.5f},  {"3.", true, 3.0f},      {"3", true, 3.0f},
        {"7.050", true, 7.05f}, {"1.05", true, 1.05f},  {"0.04", true, 0.04f},
        {"1.2.3", false, 0},   {"1-2", false, 0},       {"--1", false, 0},
        {"1e5", false, 0},     {"+1", false, 0},        {" 1", false, 0},
        {".", false, 0},       {"-", false, 0},         {"-.", false, 0},
        {"007.5", false, 0},   {"05", false, 0},        {"01.5", false, 0},
        {"00.5", false, 0},    {"", false, 0},          {"99999999999.5", false, 0},
        {"0.99999999999", false, 0},
    };
    for (const Case& c : cases) {
        float value = 0;
        ASSERT_EQ(IsFloatingPoint(c.text, value), c.accepted) << '"' << c.text << '"';
        if (c.accepted) {
            EXPECT_EQ(value, c.value) << '"' << c.text << '"';
        }
    }
}

TEST(FloatingPoint, MinusZeroIsNegativeZero) {
    float value = 1;
    ASSERT_TRUE(IsFloatingPoint("-0", value));
    EXPECT_EQ(value, 0.0f);
    EXPECT_TRUE(std::signbit(value));
}

TEST(ExtractStringsFromLine, SplitsAtBlanksAndTabsAndDropsLineBreaks) {
    struct Case {
        const char* line;
        std::vector<std::string> tokens;
    };
    const Case cases[] = {
        {"one two three", {"one", "two", "three"}},
        {" \t lead and trail \t ", {"lead", "and", "trail"}},
        {"    ", {}},
        {"", {}},
        {"a\rb", {"ab"}},
        {"token\r", {"token"}},
        {"key value\r\n", {"key", "value"}},
        {"\"quoted name\" #x", {"\"quoted", "name\"", "#x"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> tokens = {"stale"};
        ExtractStringsFromLine(c.line, tokens);
        EXPECT_EQ(tokens, c.tokens) << '"' << c.line << '"';
    }
}

TEST(StringTests, PrefixSuffixAndLineBreakRemoval) {
    EXPECT_FALSE(StartsWith("ab", "abc"));
    EXPECT_TRUE(StartsWith("abc", "abc"));
    EXPECT_TRUE(EndsWith("abc", "abc"));
    EXPECT_TRUE(StartsWith("abc", ""));
    EXPECT_TRUE(EndsWith("abc", "bc"));
    EXPECT_FALSE(EndsWith("abc", "ab"));
    std::string s = "a\r\nb\nc\r";
    RemoveNewLineCharacters(s);
    EXPECT_EQ(s, "abc");
}

}  // namespace
