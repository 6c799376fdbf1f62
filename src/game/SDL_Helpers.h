#ifndef CUBOMB_GAME_SDL_HELPERS_H
#define CUBOMB_GAME_SDL_HELPERS_H

// The window, frame presentation and screenshots; flat drawing and bitmap
// text are declared with them.

#include <string>

#include "render/ScreenText.h"

struct SDL_Surface;

// vsync asks the driver to wait for the display's refresh before each swap.
// A width or height of 0 takes the desktop's, so full screen changes no mode.
SDL_Surface* InitSDL(bool fullScreen, int width, int height, const std::string& caption, bool vsync = false);
void InitGLEW();
void QuitSDL();

void SDL_BeginDraw(SDL_Surface* screen);
void SDL_EndDraw(SDL_Surface* screen);

void* SDL_Raytrace_BeginDraw(SDL_Surface* surface);
void SDL_Raytrace_EndDraw(SDL_Surface* surface);

// Saves the colour buffer as an upright 24-bit BMP; 0 on success, -1 when it cannot.
int Screenshot(SDL_Surface* screen, const char* fileName);

#endif
