#include "logic/PerfectPlay.h"

#include <algorithm>

// At most 26 each: a byte a cube, for boxes of millions.
std::vector<uint8_t> CountsAround(const Box& box, const std::vector<bool>& mined) {
    std::vector<uint8_t> counts(box.Cubes(), 0);
    for (size_t cube = 0; cube < box.Cubes(); ++cube) {
        if (mined[cube]) {
            box.ForEachNeighbour(cube, [&](size_t around) { ++counts[around]; });
        }
    }
    return counts;
}

namespace {

// Uncovers the cube, and everything a zero opens, as the game's flood does.
// A cube waits to be opened once, so a big flood waits on few.
size_t Open(const Box& box, const std::vector<uint8_t>& counts, size_t cube, Deduction& logic, std::vector<bool>& waiting) {
    size_t opened = 0;
    std::vector<uint32_t> todo = {static_cast<uint32_t>(cube)};
    waiting[cube] = true;
    while (!todo.empty()) {
        const size_t next = todo.back();
        todo.pop_back();
        logic.Uncover(next, counts[next]);
        ++opened;
        if (counts[next] == 0) {
            box.ForEachNeighbour(next, [&](size_t around) {
                if (!waiting[around] && !logic.IsUncovered(around)) {
                    waiting[around] = true;
                    todo.push_back(static_cast<uint32_t>(around));
                }
            });
        }
    }
    return opened;
}

}  // namespace

size_t LeftByPerfectPlay(const Box& box, const std::vector<bool>& mined, size_t first, size_t budget) {
    const std::vector<uint8_t> counts = CountsAround(box, mined);
    const size_t safe = box.Cubes() - static_cast<size_t>(std::count(mined.begin(), mined.end(), true));
    if (mined[first]) {
        return safe;
    }
    Deduction logic(box, static_cast<int>(box.Cubes() - safe), budget);
    std::vector<bool> waiting(box.Cubes(), false);
    size_t opened = Open(box, counts, first, logic, waiting);
    for (std::vector<size_t> found; opened < safe; found.clear()) {
        logic.Deduce(found);
        if (found.empty()) {
            break;
        }
        for (const size_t cube : found) {
            if (!waiting[cube]) {
                opened += Open(box, counts, cube, logic, waiting);
            }
        }
    }
    return safe - opened;
}

size_t ThreeBV(const Box& box, const std::vector<bool>& mined) {
    const std::vector<uint8_t> counts = CountsAround(box, mined);
    const auto zero = [&](size_t cube) { return !mined[cube] && counts[cube] == 0; };
    std::vector<bool> seen(box.Cubes(), false);
    size_t clicks = 0;
    for (size_t cube = 0; cube < box.Cubes(); ++cube) {
        if (!zero(cube) || seen[cube]) {
            continue;
        }
        ++clicks;  // an opening, and the border it uncovers with it
        std::vector<size_t> todo = {cube};
        seen[cube] = true;
        while (!todo.empty()) {
            const size_t next = todo.back();
            todo.pop_back();
            box.ForEachNeighbour(next, [&](size_t around) {
                if (zero(around) && !seen[around]) {
                    seen[around] = true;
                    todo.push_back(around);
                }
            });
        }
    }
    for (size_t cube = 0; cube < box.Cubes(); ++cube) {
        bool touchesZero = false;
        box.ForEachNeighbour(cube, [&](size_t around) { touchesZero = touchesZero || zero(around); });
        clicks += !mined[cube] && !zero(cube) && !touchesZero;
    }
    return clicks;
}
