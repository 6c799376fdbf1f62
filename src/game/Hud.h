#ifndef CUBOMB_GAME_HUD_H
#define CUBOMB_GAME_HUD_H

// The lines of text over the field, drawn with the bitmap font. The top row:
// flags / mines and the time, the game's end, "TAB-Help". The second line
// holds, two spaces apart, whichever apply: the replay's "REPLAY ...", the
// cut's "CUT ...", the count readout, the hint, then the game's notices:
// "SETTINGS NOT SAVED", "RESUMED", "NOT SAVED: ANOTHER WINDOW".

#include <string>
#include <vector>

#include "minefield/MineField.h"

struct GameInfo;

// What the crosshair meets in this frame.
struct Aim {
    bool targeted = false;  // a cube a click would act on
    BlockPos target{0, 0, 0};
    bool pointed = false;  // a marker the readout speaks of
    BlockPos marker{0, 0, 0};
    MineField::Surroundings around;
};

std::string HudLine(const GameInfo& info);
std::string SecondLine(const GameInfo& info, const Aim& aim);
void DrawHud(const GameInfo& info, const Aim& aim);
// Only the HUD and a word in the middle of the screen.
void DrawPaused(const GameInfo& info);

#endif
