#include "ui/ResultPanel.h"

#include <algorithm>

#include "render/ScreenText.h"
#include "support/StringHelpers.h"
#include "textures/Texture.h"

namespace {

constexpr float kCharWidth = 0.015f;
constexpr float kCharHeight = 0.034f;
constexpr float kPitch = 0.05f;
constexpr float kMargin = 0.03f;

}  // namespace

std::vector<std::string> ResultLines(const GameResult& result) {
    if (!result.won) {
        const int share = result.safeCubes > 0 ? static_cast<int>(100LL * result.uncovered / result.safeCubes) : 0;
        return {"BOOM! AT " + FixedPoint(result.time, 1) + " S",
                std::to_string(result.uncovered) + " OF " + std::to_string(result.safeCubes) + " SAFE CUBES UNCOVERED (" +
                    std::to_string(share) + " %)",
                "N: NEW GAME   R: WATCH   T: TRY THIS BOARD AGAIN   M: MENU"};
    }
    std::vector<std::string> lines = {"MINES CLEARED IN " + FixedPoint(result.time, 1) + " S"};
    if (result.threeBV >= 0) {
        const std::string rate = result.time > 0 ? FixedPoint(result.threeBV / result.time, 2) : "-";
        lines.push_back("3BV " + std::to_string(result.threeBV) + "   " + rate + " 3BV/S");
    }
    if (result.place == 1) {
        lines.push_back("BEST TIME!");
    } else if (result.place > 1) {
        lines.push_back("RANK " + std::to_string(result.place) + " OF " + std::to_string(result.of));
    }
    lines.push_back("N: NEW GAME   R: WATCH   M: MENU");
    return lines;
}

void DrawResultPanel(const std::vector<std::string>& lines, const Texture& font) {
    PrepForFlatDrawing();
    size_t widest = 0;
    for (const std::string& line : lines) {
        widest = std::max(widest, line.size());
    }
    const float width = kCharWidth * static_cast<float>(widest);
    const float height = kPitch * static_cast<float>(lines.size());
    const float top = 0.5f + height / 2;
    DrawRectangle(0.5f - width / 2 - kMargin, top - height - kMargin, 0.5f + width / 2 + kMargin, top + kMargin,
                  Colour{0.03f, 0.05f, 0.1f}, 0.85f);
    font.UseTexture();
    for (size_t i = 0; i < lines.size(); ++i) {
        const float x = 0.5f - kCharWidth * static_cast<float>(lines[i].size()) / 2;
        const float y = top - kPitch * static_cast<float>(i + 1) + (kPitch - kCharHeight) / 2;
        DrawOverlayText(x, y, kCharWidth, kCharHeight, lines[i], Colour{1, 1, 1});
    }
}
