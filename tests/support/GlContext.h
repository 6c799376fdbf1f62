#ifndef CUBOMB_TESTS_GLCONTEXT_H
#define CUBOMB_TESTS_GLCONTEXT_H

#include <memory>

#include "Xvfb.h"

// A real OpenGL context (Mesa on an Xvfb of its own) for the whole test program.
class GlContext : public ::testing::Environment {
public:
    static constexpr int kWidth = 64;
    static constexpr int kHeight = 64;

    void SetUp() override;
    void TearDown() override;

private:
    std::unique_ptr<Xvfb> display;
};

#endif
