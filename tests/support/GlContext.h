#ifndef CUBOMB_TESTS_GLCONTEXT_H
#define CUBOMB_TESTS_GLCONTEXT_H

#include <vector>

// The OpenGL tests share one window, on the display their runner provides.
constexpr int kGlWidth = 320;
constexpr int kGlHeight = 240;

// The colour buffer as red-green-blue bytes, bottom row first.
std::vector<unsigned char> ReadScreen();

#endif
