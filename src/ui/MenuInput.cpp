#include "ui/MenuInput.h"

#include <list>
#include <tuple>

#include "ui/MenuView.h"

namespace {

Menu::Action ApplyKey(Menu& menu, int code) {
    if (code >= KeyCode::kDigit1 && code <= KeyCode::kDigit9) {
        menu.Digit(code);
    } else if (code == KeyCode::kDigit0) {
        menu.Digit(0);
    }
    switch (code) {
        case KeyCode::kUpArrow: menu.Up(); break;
        case KeyCode::kDownArrow: menu.Down(); break;
        case KeyCode::kLeftArrow: menu.Left(); break;
        case KeyCode::kRightArrow: menu.Right(); break;
        case KeyCode::kBackspace: menu.Backspace(); break;
        case KeyCode::kReturn: return menu.Enter();
        default: break;
    }
    return Menu::Action::kNone;
}

Menu::Action ApplyPointer(Menu& menu, const Input& input, int width, int height) {
    const float x = static_cast<float>(input.PointerX()) / static_cast<float>(width > 0 ? width : 1);
    const float y = 1 - static_cast<float>(input.PointerY()) / static_cast<float>(height > 0 ? height : 1);
    const MenuHit hit = HitTest(x, y);
    if (hit.part == MenuHit::kNone || (!input.PointerMoves() && !input.Mouse1Pressed())) {
        return Menu::Action::kNone;
    }
    if (menu.Selected() != hit.item) {
        menu.Select(hit.item);
    }
    if (!input.Mouse1Pressed()) {
        return Menu::Action::kNone;
    }
    if (hit.part == MenuHit::kLess) {
        menu.Left();
    } else if (hit.part == MenuHit::kMore) {
        menu.Right();
    } else {
        return menu.Enter();
    }
    return Menu::Action::kNone;
}

auto Looks(const Menu& menu) {
    return std::make_tuple(menu.Selected(), menu.Choice(), menu.Showing(), menu.Refusal());
}

}  // namespace

MenuStep ApplyInput(Menu& menu, const Input& input, int width, int height) {
    const auto before = Looks(menu);
    MenuStep step;
    std::list<int> keys;
    input.GetKeysPressedInOrder(keys);
    for (const int code : keys) {
        step.action = ApplyKey(menu, code);
        if (step.action != Menu::Action::kNone) {
            break;
        }
    }
    for (int turn = 0; step.action == Menu::Action::kNone && turn < input.WheelUp(); ++turn) {
        menu.Up();
    }
    for (int turn = 0; step.action == Menu::Action::kNone && turn < input.WheelDown(); ++turn) {
        menu.Down();
    }
    if (step.action == Menu::Action::kNone) {
        step.action = ApplyPointer(menu, input, width, height);
    }
    step.moved = Looks(menu) != before;
    return step;
}
