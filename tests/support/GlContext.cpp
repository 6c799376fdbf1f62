#include <gtest/gtest.h>

#include "GlContext.h"

#include <GL/glew.h>
#include <SDL.h>

#include <cstdlib>

void GlContext::SetUp() {
    display = std::make_unique<Xvfb>(kWidth, kHeight);
    setenv("DISPLAY", display->Name().c_str(), 1);
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
    ASSERT_NE(SDL_SetVideoMode(kWidth, kHeight, 32, SDL_OPENGL | SDL_DOUBLEBUF), nullptr);
    ASSERT_EQ(glewInit(), GLEW_OK);
}

void GlContext::TearDown() {
    SDL_Quit();
    display.reset();
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new GlContext);
    return RUN_ALL_TESTS();
}
