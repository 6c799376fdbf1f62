#include <GL/glew.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include "support/GlContext.h"

std::vector<unsigned char> ReadScreen() {
    std::vector<unsigned char> pixels(kGlWidth * kGlHeight * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kGlWidth, kGlHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (SDL_Init(SDL_INIT_VIDEO) != 0 || !SDL_SetVideoMode(kGlWidth, kGlHeight, 32, SDL_OPENGL | SDL_DOUBLEBUF) ||
        glewInit() != GLEW_OK) {
        return 1;
    }
    const int status = RUN_ALL_TESTS();
    SDL_Quit();
    return status;
}
