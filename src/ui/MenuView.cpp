#include "ui/MenuView.h"

#include <cmath>

#include "render/ScreenText.h"
#include "textures/Texture.h"

using namespace MenuLayout;

namespace {

constexpr float kGap = (kPitch - kCharHeight) / 2;
constexpr float kSmallWidth = 0.0115f;
constexpr float kSmallHeight = 0.024f;
constexpr float kSmallPitch = 0.026f;
constexpr Colour kBackdrop{0.04f, 0.07f, 0.15f};
constexpr Colour kBar{0.18f, 0.3f, 0.62f};
constexpr Colour kBright{1, 1, 1};
constexpr Colour kDim{0.65f, 0.65f, 0.65f};
constexpr Colour kWarning{1, 0.4f, 0.4f};

void DrawItem(const Menu& menu, Menu::Item item) {
    const bool selected = menu.Selected() == item;
    const float y = RowBottom(item);
    if (selected) {
        DrawRectangle(kLabelX - 0.01f, y - kGap, kRightX + 0.01f, y - kGap + kPitch, kBar, 0.9f);
    }
    const Colour& colour = selected ? kBright : kDim;
    DrawOverlayText(kLabelX, y, kCharWidth, kCharHeight, Menu::Label(item), colour);
    if (Menu::HasValue(item)) {
        DrawOverlayText(kValueX + 1.5f * kCharWidth, y, kCharWidth, kCharHeight, menu.Value(item), colour);
    }
    if (selected && Menu::HasValue(item)) {
        DrawOverlayText(kValueX, y, kCharWidth, kCharHeight, "<", colour);
        DrawOverlayText(kRightX - kCharWidth, y, kCharWidth, kCharHeight, ">", colour);
    }
}

}  // namespace

MenuHit HitTest(float x, float y) {
    MenuHit hit;
    const float row = std::floor((RowBottom(0) - kGap + kPitch - y) / kPitch);
    if (row < 0 || row >= Menu::kItems || x < kLabelX - 0.01f || x > kRightX + 0.01f) {
        return hit;
    }
    hit.item = static_cast<Menu::Item>(static_cast<int>(row));
    if (x < kValueX || !Menu::HasValue(hit.item)) {
        hit.part = MenuHit::kLabel;
    } else {
        hit.part = x < (kValueX + kRightX) / 2 ? MenuHit::kLess : MenuHit::kMore;
    }
    return hit;
}

void DrawMenu(const Menu& menu, const std::vector<std::string>& below, const Texture& font) {
    PrepForFlatDrawing();
    const float bottom = RowBottom(Menu::kItems) - kSmallPitch * static_cast<float>(below.size()) - 0.02f;
    DrawRectangle(kLabelX - 0.04f, bottom, kRightX + 0.04f, RowBottom(0) + kCharHeight + 0.02f, kBackdrop, 0.92f);
    font.UseTexture();
    for (int item = 0; item < Menu::kItems; ++item) {
        DrawItem(menu, static_cast<Menu::Item>(item));
    }
    const float refusalRow = RowBottom(Menu::kItems);
    DrawOverlayText(kLabelX, refusalRow, kCharWidth, kCharHeight, menu.Refusal(), kWarning);
    for (size_t line = 0; line < below.size(); ++line) {
        const float y = refusalRow - kSmallPitch * static_cast<float>(line + 1);
        DrawOverlayText(kLabelX, y, kSmallWidth, kSmallHeight, below[line], kDim);
    }
}
