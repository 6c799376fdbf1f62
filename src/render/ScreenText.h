#ifndef CUBOMB_RENDER_SCREENTEXT_H
#define CUBOMB_RENDER_SCREENTEXT_H

// Flat drawing in the unit square, (0, 0) bottom left and (1, 1) top right,
// and text drawn with the bitmap font.

#include <string>

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

// With the texture and colour the caller has set.
void DrawScreenText(float x, float y, float charWidth, float charHeight, std::string text);

struct Colour {
    float r, g, b;
};

// Panels over the frame: a rectangle blended in at the given opacity, and
// text whose black cells add nothing, so that a panel shows around its
// letters. The font must be bound; both leave blending off.
void DrawRectangle(float x0, float y0, float x1, float y1, const Colour& colour, float opacity);
void DrawOverlayText(float x, float y, float charWidth, float charHeight, const std::string& text, const Colour& colour);

#endif
