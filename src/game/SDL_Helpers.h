#ifndef CUBOMB_GAME_SDL_HELPERS_H
#define CUBOMB_GAME_SDL_HELPERS_H

// The window, frame presentation, flat screen-space drawing, bitmap text and
// screenshots. Flat drawing uses the unit square: (0, 0) bottom left, (1, 1) top right.

#include <string>

struct SDL_Surface;

// vsync asks the driver to wait for the display's refresh before each swap.
SDL_Surface* InitSDL(bool fullScreen, int width, int height, const std::string& caption, bool vsync = false);
void InitGLEW();
void QuitSDL();

void SDL_BeginDraw(SDL_Surface* screen);
void SDL_EndDraw(SDL_Surface* screen);
void PrepForFlatDrawing();
// Four textured vertices for the caller's own GL_QUADS batch; the texture's first row lands at y1.
void PasteQuad(float x0, float y0, float x1, float y1);

// Where a character's glyph lies in the 512-pixel font image: 16 columns of
// 32 pixels, rows 47 pixels apart, codes 33 to 128. Blanks use the empty cell
// of 128, every other code outside the grid the cell of 127.
struct GlyphCell {
    int column;
    int row;
    float u;
    float v;
};
GlyphCell GlyphCellOf(char character);
constexpr float kGlyphWidth = 0.0625f;
constexpr float kGlyphHeight = 0.091f;

void DrawScreenText(float x, float y, float charWidth, float charHeight, std::string text);

void* SDL_Raytrace_BeginDraw(SDL_Surface* surface);
void SDL_Raytrace_EndDraw(SDL_Surface* surface);

// Saves the colour buffer as an upright 24-bit BMP; 0 on success, -1 when it cannot.
int Screenshot(SDL_Surface* screen, const char* fileName);

#endif
