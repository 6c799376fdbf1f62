#include "ui/GameChoice.h"

#include <tuple>

#include "system/System.h"

long long GameChoice::Cubes() const {
    long long cubes = 1;
    for (const int side : {x, y, z}) {
        if (side <= 0) {
            return 0;
        }
        cubes = side > kMaxCubes ? kMaxCubes + 1 : cubes * side;
        cubes = cubes > kMaxCubes ? kMaxCubes + 1 : cubes;
    }
    return cubes;
}

bool GameChoice::operator==(const GameChoice& o) const {
    return std::tie(x, y, z, mines, noGuess, safeFirstClick, camera, soundVolume) ==
           std::tie(o.x, o.y, o.z, o.mines, o.noGuess, o.safeFirstClick, o.camera, o.soundVolume);
}

int PresetOf(const GameChoice& choice) {
    for (int i = 0; i < kPresetCount; ++i) {
        const Preset& p = kPresets[i];
        if (choice.x == p.x && choice.y == p.y && choice.z == p.z && choice.mines == p.mines) {
            return i;
        }
    }
    return -1;
}

std::string BoxProblem(const GameChoice& choice) {
    if (choice.Cubes() == 0) {
        return "a side of 0";
    }
    return choice.Cubes() > System::MostCubes() ? System::TooManyCubes() : "";
}

// One cube at least stays safe to click.
std::string MinesProblem(const GameChoice& choice) {
    if (choice.mines < 1) {
        return "no mine";
    }
    return choice.mines > choice.Cubes() - 1 ? "more mines than cubes less one" : "";
}
