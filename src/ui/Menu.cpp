#include "ui/Menu.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <tuple>

#include "support/StringHelpers.h"

namespace {

constexpr int kSoundStep = 10;
constexpr int kLoudest = 100;

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
}

std::string OnOff(bool on) {
    return on ? "ON" : "OFF";
}

// Boxes order by their cubes, then by their mines.
std::tuple<long long, int> OrderOf(long long cubes, int mines) {
    return std::make_tuple(cubes, mines);
}

std::string Density(const GameChoice& choice) {
    const long long cubes = choice.Cubes();
    const std::string mines = std::to_string(choice.mines);
    const bool sized = cubes > 0 && cubes <= kMaxCubes;
    return sized ? mines + " (" + FixedPoint(100.0 * choice.mines / static_cast<double>(cubes), 1) + " %)" : mines;
}

}  // namespace

void Menu::Select(Item item) {
    selected = item;
    typing = false;
}

int* Menu::Number(Item item) {
    switch (item) {
        case kX: return &choice.x;
        case kY: return &choice.y;
        case kZ: return &choice.z;
        case kMines: return &choice.mines;
        default: return nullptr;
    }
}

void Menu::Edited() {
    refusal.clear();
}

void Menu::Step(int direction) {
    typing = false;
    if (int* const number = Number(selected)) {
        *number = direction < 0 ? (*number > 1 ? *number - 1 : *number) : std::min(*number + 1, kLargestNumber);
    } else if (selected == kBox) {
        StepBox(direction);
    } else if (selected == kNoGuess || selected == kSafeFirstClick) {
        bool& on = selected == kNoGuess ? choice.noGuess : choice.safeFirstClick;
        on = !on;
    } else if (selected == kCamera) {
        choice.camera = choice.camera == CameraKind::kFly ? CameraKind::kOrbit : CameraKind::kFly;
    } else if (selected == kSound) {
        choice.soundVolume = std::clamp((choice.soundVolume / kSoundStep + direction) * kSoundStep, 0, kLoudest);
    } else {
        return;
    }
    Edited();
}

// Left goes to the nearest preset below the box shown, Right to the nearest
// above, by cubes and then mines; past the ends it stays at the end.
void Menu::StepBox(int direction) {
    const auto shown = OrderOf(choice.Cubes(), choice.mines);
    int to = direction < 0 ? 0 : kPresetCount - 1;
    for (int i = 0; i < kPresetCount; ++i) {
        const int at = direction < 0 ? i : kPresetCount - 1 - i;
        const Preset& p = kPresets[at];
        const auto order = OrderOf(static_cast<long long>(p.x) * p.y * p.z, p.mines);
        to = (direction < 0 ? order < shown : order > shown) ? at : to;
    }
    const Preset& p = kPresets[to];
    std::tie(choice.x, choice.y, choice.z, choice.mines) = std::make_tuple(p.x, p.y, p.z, p.mines);
}

void Menu::Digit(int digit) {
    int* const number = Number(selected);
    if (number == nullptr) {
        return;
    }
    if (!typing) {
        *number = digit;
        typing = true;
    } else if (*number <= kLargestNumber / 10) {
        *number = *number * 10 + digit;
    }
    Edited();
}

void Menu::Backspace() {
    if (int* const number = Number(selected)) {
        *number /= 10;
        typing = true;
        Edited();
    }
}

Menu::Action Menu::Enter() {
    switch (selected) {
        case kResume: return Action::kResume;
        case kQuit: return Action::kQuit;
        case kBestTimes: Toggle(Shown::kBestTimes); return Action::kNone;
        case kStatistics: Toggle(Shown::kStatistics); return Action::kNone;
        default: break;
    }
    const std::string box = BoxProblem(choice);
    const std::string problem = box.empty() ? MinesProblem(choice) : box;
    refusal = problem.empty() ? "" : "CANNOT START: " + Upper(problem);
    return problem.empty() ? Action::kStart : Action::kNone;
}

const char* Menu::Label(Item item) {
    static const char* const kLabels[kItems] = {"BOX", "X", "Y", "Z", "MINES", "NO-GUESS BOARD", "SAFE FIRST CLICK",
                                                "CAMERA", "SOUND", "START", "RESUME", "BEST TIMES", "STATISTICS", "QUIT"};
    return kLabels[item];
}

std::string Menu::Value(Item item) const {
    switch (item) {
        case kBox: {
            const int preset = PresetOf(choice);
            if (preset < 0) {
                return "CUSTOM";
            }
            const Preset& p = kPresets[preset];
            std::ostringstream text;
            text << p.name << " " << p.x << "x" << p.y << "x" << p.z << ", " << p.mines << " MINES";
            return text.str();
        }
        case kX: return std::to_string(choice.x);
        case kY: return std::to_string(choice.y);
        case kZ: return std::to_string(choice.z);
        case kMines: return Density(choice);
        case kNoGuess: return OnOff(choice.noGuess);
        case kSafeFirstClick: return OnOff(choice.safeFirstClick);
        case kCamera: return choice.camera == CameraKind::kFly ? "FLY" : "ORBIT";
        case kSound: return std::to_string(choice.soundVolume);
        default: return "";
    }
}
