#ifndef CUBOMB_UI_MENUVIEW_H
#define CUBOMB_UI_MENUVIEW_H

// The menu on the screen: where its lines stand in the unit square of flat
// drawing, what a point there falls on, and drawing it.

#include <string>
#include <vector>

#include "ui/Menu.h"

class Texture;

namespace MenuLayout {
constexpr float kCharWidth = 0.018f;
constexpr float kCharHeight = 0.034f;
constexpr float kPitch = 0.04f;
constexpr float kFirstRow = 0.84f;  // the bottom of the first item's letters
constexpr float kLabelX = 0.08f;
constexpr float kValueX = 0.40f;  // where a value's column starts, with its "<"
constexpr float kRightX = 0.94f;  // where it ends, after its ">"
inline float RowBottom(int row) {
    return kFirstRow - kPitch * static_cast<float>(row);
}
}  // namespace MenuLayout

// A point on an item's label, or on the left (less) or right (more) half of its value.
struct MenuHit {
    enum Part { kNone, kLabel, kLess, kMore } part = kNone;
    Menu::Item item = Menu::kBox;
};
MenuHit HitTest(float x, float y);

// The items, the refusal under them, then the lines of the table or
// statistics the menu shows.
void DrawMenu(const Menu& menu, const std::vector<std::string>& below, const Texture& font);

#endif
