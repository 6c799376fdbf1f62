#ifndef CUBOMB_GAME_MENUCONTROL_H
#define CUBOMB_GAME_MENUCONTROL_H

// The menu in the running game: M opens it over whatever the game is doing
// and closes it again; while it is open the clock stands, the field is
// hidden, the pointer is free, and only the menu takes input. START plays
// the choice and writes it into the parameters file.

#include <cstdint>
#include <string>
#include <vector>

#include "replay/Scores.h"
#include "ui/Menu.h"

struct GameInfo;
class Input;

// What the menu shows below its items, and for which box, so that it is
// read again only when that changes.
struct MenuBelow {
    std::vector<std::string> lines;
    Menu::Shown shown = Menu::Shown::kNothing;
    BoxAndMines box;
};

void OpenMenu(GameInfo& info, uint32_t now);
void CloseMenu(GameInfo& info, uint32_t now);
// One frame of input while the menu is open.
void MenuKeys(GameInfo& info, const Input& input, uint32_t now);
// The HUD, then the menu over a hidden field.
void DrawMenuScreen(GameInfo& info);

#endif
