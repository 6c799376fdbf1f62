#ifndef CUBOMB_LOGIC_PERFECTPLAY_H
#define CUBOMB_LOGIC_PERFECTPLAY_H

// Playing a known field by logic alone, and what makes a field hard.
//
// Perfect play from a first click uncovers that cube, flooding from a zero
// as the game does, then again and again every cube the logic engine finds
// certainly safe, until it finds none. A field needs no guess from that click
// when perfect play uncovers every safe cube.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "logic/Box.h"
#include "logic/Deduction.h"

// The number of mined cubes around each cube.
std::vector<uint8_t> CountsAround(const Box& box, const std::vector<bool>& mined);

// The safe cubes perfect play from first leaves covered; none when it needs no guess.
size_t LeftByPerfectPlay(const Box& box, const std::vector<bool>& mined, size_t first,
                         size_t budget = Deduction::kBudget);

// The fewest clicks that clear the field: one per opening (safe cubes without
// mined neighbours, joined through their 26 neighbours) and one per safe cube
// with a count that touches no such cube.
size_t ThreeBV(const Box& box, const std::vector<bool>& mined);

#endif
