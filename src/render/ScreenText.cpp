#include "render/ScreenText.h"

#include <GL/glew.h>

namespace {

constexpr int kFontColumns = 16;
constexpr int kFirstGlyph = 33;
constexpr int kLastGlyph = 128;
constexpr float kFontPixels = 512.0f;
constexpr int kCellWidth = 32;
constexpr int kRowPitch = 47;

}  // namespace

void PrepForFlatDrawing() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void PasteQuad(float x0, float y0, float x1, float y1) {
    glTexCoord2f(0, 1);
    glVertex3f(x0, y0, 0);
    glTexCoord2f(0, 0);
    glVertex3f(x0, y1, 0);
    glTexCoord2f(1, 0);
    glVertex3f(x1, y1, 0);
    glTexCoord2f(1, 1);
    glVertex3f(x1, y0, 0);
}

GlyphCell GlyphCellOf(char character) {
    int code = static_cast<unsigned char>(character);
    if (code == ' ') {
        code = kLastGlyph;
    }
    if (code < kFirstGlyph || code > kLastGlyph) {
        code = kLastGlyph - 1;
    }
    const int index = code - kFirstGlyph;
    const int column = index % kFontColumns;
    const int row = index / kFontColumns;
    return GlyphCell{column, row, (kCellWidth * column + 1) / kFontPixels, (kRowPitch * row + 1) / kFontPixels};
}

void DrawScreenText(float x, float y, float charWidth, float charHeight, std::string text) {
    for (const char character : text) {
        const GlyphCell cell = GlyphCellOf(character);
        glBegin(GL_QUADS);
        glTexCoord2f(cell.u, cell.v + kGlyphHeight);
        glVertex3f(x, y, 0);
        glTexCoord2f(cell.u, cell.v);
        glVertex3f(x, y + charHeight, 0);
        glTexCoord2f(cell.u + kGlyphWidth, cell.v);
        glVertex3f(x + charWidth, y + charHeight, 0);
        glTexCoord2f(cell.u + kGlyphWidth, cell.v + kGlyphHeight);
        glVertex3f(x + charWidth, y, 0);
        glEnd();
        x += charWidth;
    }
}

void DrawRectangle(float x0, float y0, float x1, float y1, const Colour& colour, float opacity) {
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(colour.r, colour.g, colour.b, opacity);
    glBegin(GL_QUADS);
    glVertex3f(x0, y0, 0);
    glVertex3f(x0, y1, 0);
    glVertex3f(x1, y1, 0);
    glVertex3f(x1, y0, 0);
    glEnd();
    glDisable(GL_BLEND);
    glColor4f(1, 1, 1, 1);
}

void DrawOverlayText(float x, float y, float charWidth, float charHeight, const std::string& text, const Colour& colour) {
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glColor3f(colour.r, colour.g, colour.b);
    DrawScreenText(x, y, charWidth, charHeight, text);
    glDisable(GL_BLEND);
    glColor3f(1, 1, 1);
}
