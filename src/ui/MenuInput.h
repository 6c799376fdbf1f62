#ifndef CUBOMB_UI_MENUINPUT_H
#define CUBOMB_UI_MENUINPUT_H

// One frame of input applied to the menu: the keys in the order pressed,
// then the wheel, then the pointer. Up and Down (and the wheel) move the
// selection, Left and Right change its value, digits and Backspace type a
// number, Return acts; pointing at a line selects it, and a left click acts
// on it as Return, or as Left or Right on a half of its value.

#include "input/SDL_Input.h"
#include "ui/Menu.h"

struct MenuStep {
    Menu::Action action = Menu::Action::kNone;
    bool moved = false;  // the selection moved or a value changed
};

// The pointer is in the pixels of a window of width by height.
MenuStep ApplyInput(Menu& menu, const Input& input, int width, int height);

#endif
