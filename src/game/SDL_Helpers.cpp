#include "game/SDL_Helpers.h"

#include <GL/glew.h>
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "support/ProcessEnd.h"
#include "system/System.h"

SDL_Surface* InitSDL(bool fullScreen, int width, int height, const std::string& caption, bool vsync) {
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO) < 0) {
        Fatal("Error: Could not initialize SDL");
    }
    std::atexit(SDL_Quit);
    System::WaitForRefresh(vsync);
    SDL_Surface* const screen = System::OpenVideo(fullScreen, width, height);
    SDL_WM_SetCaption(caption.c_str(), nullptr);
    if (screen == nullptr) {
        Fatal("Error: could not create surface");
    }
    return screen;
}

void InitGLEW() {
    if (glewInit() != GLEW_OK) {
        Fatal("glenInit failed.  Something is wrong.");
    }
}

void QuitSDL() {
    SDL_Quit();
}

void SDL_BeginDraw(SDL_Surface*) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void SDL_EndDraw(SDL_Surface*) {
    SDL_GL_SwapBuffers();
}

void* SDL_Raytrace_BeginDraw(SDL_Surface* surface) {
    if (SDL_MUSTLOCK(surface)) {
        SDL_LockSurface(surface);
    }
    return surface->pixels;
}

void SDL_Raytrace_EndDraw(SDL_Surface* surface) {
    SDL_UnlockSurface(surface);
    if (SDL_Flip(surface) < 0) {
        Fatal("Error: could not flip screen");
    }
}

namespace {

// Bytes in memory red, green, blue: OpenGL's GL_RGB order.
SDL_Surface* CreateRgbSurface(int width, int height) {
    const bool little = SDL_BYTEORDER == SDL_LIL_ENDIAN;
    return SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 24,
                                little ? 0x0000FF : 0xFF0000, 0x00FF00,
                                little ? 0xFF0000 : 0x0000FF, 0);
}

// OpenGL hands rows bottom first and tightly packed, whatever the width.
void ReadColourBuffer(int width, int height, std::vector<unsigned char>& pixels) {
    GLint oldAlignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &oldAlignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, oldAlignment);
}

void CopyRowsUpright(const std::vector<unsigned char>& pixels, SDL_Surface* surface) {
    const size_t rowBytes = static_cast<size_t>(surface->w) * 3;
    unsigned char* const target = static_cast<unsigned char*>(surface->pixels);
    for (int row = 0; row < surface->h; ++row) {
        const size_t sourceRow = static_cast<size_t>(surface->h - 1 - row);
        std::memcpy(target + static_cast<size_t>(row) * surface->pitch,
                    pixels.data() + sourceRow * rowBytes, rowBytes);
    }
}

// Writes beside the target and renames, so a failed save never leaves a
// truncated picture in place of the previous one.
int SaveReplacing(SDL_Surface* surface, const std::string& fileName) {
    const std::string partial = fileName + ".part";
    if (SDL_SaveBMP(surface, partial.c_str()) != 0 || std::rename(partial.c_str(), fileName.c_str()) != 0) {
        std::remove(partial.c_str());
        return -1;
    }
    return 0;
}

}  // namespace

int Screenshot(SDL_Surface* screen, const char* fileName) {
    const int width = screen->w;
    const int height = screen->h;
    SDL_Surface* const surface = CreateRgbSurface(width, height);
    if (surface == nullptr) {
        return -1;
    }
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 3);
    ReadColourBuffer(width, height, pixels);
    CopyRowsUpright(pixels, surface);
    const int saved = SaveReplacing(surface, fileName);
    SDL_FreeSurface(surface);
    return saved;
}
