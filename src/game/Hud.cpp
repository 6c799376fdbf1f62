#include "game/Hud.h"

#include <GL/glew.h>

#include "game/GameInfo.h"
#include "render/ScreenText.h"
#include "minefield/MineWorld.h"
#include "replay/ReplayPlayer.h"
#include "textures/Texture.h"

namespace {

constexpr float kCharWidth = 0.02f;
constexpr float kCharHeight = 0.03f;
constexpr float kTopRow = 0.97f;
const char* const kPausedText = "PAUSED: RETURN TO PLAY";

std::string Joined(const std::vector<std::string>& parts) {
    std::string line;
    for (const std::string& part : parts) {
        if (!part.empty()) {
            line += (line.empty() ? "" : "  ") + part;
        }
    }
    return line;
}

void UseFont(const GameInfo& info) {
    PrepForFlatDrawing();
    glEnable(GL_TEXTURE_2D);
    info.fontTexture->UseTexture();
    glColor3f(1, 1, 1);
}

void DrawLines(const GameInfo& info, const Aim& aim) {
    DrawScreenText(0, kTopRow, kCharWidth, kCharHeight, HudLine(info));
    if (info.won) {
        DrawScreenText(0.35f, kTopRow, kCharWidth, kCharHeight, "MINES CLEARED!");
    } else if (info.mineWorld->Dead()) {
        DrawScreenText(0.35f, kTopRow, kCharWidth, kCharHeight, "BOOM! N: new game");
    }
    DrawScreenText(0.83f, kTopRow, kCharWidth, kCharHeight, "TAB-Help");
    DrawScreenText(0, kTopRow - kCharHeight, kCharWidth, kCharHeight, SecondLine(info, aim));
    if (!info.mineWorld->NoGuessFound()) {
        DrawScreenText(0, kTopRow - 2 * kCharHeight, kCharWidth, kCharHeight, "NO-GUESS BOARD NOT FOUND");
    }
}

}  // namespace

// The clock stops, with its decimals, when the game is won or lost.
std::string HudLine(const GameInfo& info) {
    const bool lost = !info.won && info.mineWorld->Dead();
    const std::string time = info.won ? ToString(info.finalTime)
                                      : (lost ? ToString(info.mineWorld->DeathTime()) : ToString(static_cast<int>(info.gameClock)));
    return ToString(info.flagCount) + "/" + ToString(info.mineCount) + " " + time;
}

std::string SecondLine(const GameInfo& info, const Aim& aim) {
    const std::string replay =
        info.replay ? "REPLAY " + info.replay->Record().player + " x" + ToString(info.replaySpeed) : "";
    const Cut& cut = info.mineWorld->CurrentCut();
    const std::string cutting =
        cut.layers > 0 ? std::string("CUT ") + (cut.sign < 0 ? "-" : "+") + "xyz"[cut.axis] + " " + ToString(cut.layers) : "";
    const std::string readout = aim.pointed ? "COUNT " + ToString(aim.around.count) + "  FLAGS " +
                                                  ToString(aim.around.flags) + "  COVERED " + ToString(aim.around.covered)
                                            : "";
    const auto& hint = info.hint;
    const std::string hinted = !info.hintShown ? ""
                               : hint.kind == MineField::Hint::kNone
                                   ? "NO SAFE CUBE: GUESS"
                                   : "HINT " + ToString(hint.cube.x) + " " + ToString(hint.cube.y) + " " + ToString(hint.cube.z) +
                                         (hint.kind == MineField::Hint::kMine ? " MINE" : "");
    return Joined({replay, cutting, readout, hinted, info.settingsNotSaved ? "SETTINGS NOT SAVED" : "",
                   info.life.resumed ? "RESUMED" : "", info.life.anotherWindow ? "NOT SAVED: ANOTHER WINDOW" : ""});
}

void DrawHud(const GameInfo& info, const Aim& aim) {
    UseFont(info);
    DrawLines(info, aim);
}

void DrawPaused(const GameInfo& info) {
    UseFont(info);
    DrawLines(info, Aim());
    const float width = kCharWidth * 1.5f * static_cast<float>(std::string(kPausedText).size());
    DrawScreenText(0.5f - width / 2, 0.5f, kCharWidth * 1.5f, kCharHeight * 1.5f, kPausedText);
}
