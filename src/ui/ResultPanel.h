#ifndef CUBOMB_UI_RESULTPANEL_H
#define CUBOMB_UI_RESULTPANEL_H

// The panel an ended game shows over the field: its time, its 3BV and rank
// when won, how far it got when lost, and the keys that follow.

#include <string>
#include <vector>

class Texture;

struct GameResult {
    bool won = false;
    float time = 0;
    int uncovered = 0;  // the safe cubes uncovered, and all of them
    int safeCubes = 0;
    int threeBV = -1;   // -1 until counted
    int place = 0;      // among the box's replays, of all of them; 0 for no rank
    int of = 0;
};

std::vector<std::string> ResultLines(const GameResult& result);
// Centred in the window, in the HUD's letters over a shaded box.
void DrawResultPanel(const std::vector<std::string>& lines, const Texture& font);

#endif
