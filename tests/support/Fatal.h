#ifndef CUBOMB_TESTS_FATAL_H
#define CUBOMB_TESTS_FATAL_H

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>

// Fatal paths print their message on standard output and exit with 1; the
// child sends that output to standard error, where the check reads it.
inline void ExpectFatal(const std::function<void()>& act, const std::string& message) {
    EXPECT_EXIT((std::fflush(stdout), dup2(2, 1), act()), ::testing::ExitedWithCode(1),
                ::testing::Matcher<const std::string&>(message + "\n"));
}

#endif
