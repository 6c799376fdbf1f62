#ifndef CUBOMB_LOGIC_DEDUCTION_H
#define CUBOMB_LOGIC_DEDUCTION_H

// What can be known for certain about a field's covered cubes from the counts
// of its uncovered ones and its number of mines. Certain means true in every
// way of placing that many mines that agrees with every count. Flags are no
// evidence: a player's flag may be wrong.
//
// Inputs: the box, its number of mines, and cube by cube either a count
// (uncovered) or nothing (covered). Outputs: each covered cube certainly
// safe, certainly mined, or not known.
//
// The cheap rules come first, as long as they find anything: a count already
// met by known mines leaves its other covered neighbours safe; one that needs
// all of them makes them mines; and of two overlapping counts A and B, when B
// needs as many more mines than A as it has cubes A does not touch, those are
// mines and A's cubes that B does not touch are safe. Then each group of
// covered cubes that counts tie together is settled exactly, by trying every
// way of placing mines in it, with the number of mines deciding where it can.
// A group that would take more than the work budget is left unknown: the
// engine never calls a cube certain that is not.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "logic/Box.h"

class Deduction {
public:
    enum Fact : uint8_t { kUnknown = 0, kSafe = 1, kMine = 2 };
    static constexpr int8_t kCovered = -1;
    // Steps of the exact search per group; enough that boxes of ten cubes a
    // side at the usual density are always settled.
    static constexpr size_t kBudget = 1000000;

    Deduction(const Box& box, int mines, size_t budget = kBudget);

    // The cube is uncovered and shows its count: it is safe, and its count is evidence.
    void Uncover(size_t cube, int count);
    // Finds every certain fact it can; the cubes newly known to be safe and
    // not yet uncovered are added to safe.
    void Deduce(std::vector<size_t>& safe);

    Fact FactOf(size_t cube) const { return facts[cube]; }
    bool IsUncovered(size_t cube) const { return counts[cube] != kCovered; }
    // Whether some group was too large to settle within the budget.
    bool Incomplete() const { return incomplete; }

private:
    struct Group;

    // A count's covered neighbours that are not known yet, and the mines among them.
    struct Need {
        std::vector<size_t> unknown;
        int mines = 0;
    };
    Need NeedOf(size_t cube) const;
    bool IsConstraint(size_t cube) const;
    void Learn(size_t cube, Fact fact);
    void Touch(size_t cube);
    bool ApplyCheapRules(size_t cube);
    bool ApplyPairRule(size_t a, size_t b);
    bool SettleExactly();
    bool LearnFromGroup(const Group& group, const std::function<bool(long, long)>& othersCan, long left, long loose);
    std::vector<Group> Groups() const;
    void Search(Group& group) const;

    Box box;
    int mines;
    size_t budget;
    std::vector<int8_t> counts;  // kCovered, or the count of an uncovered cube
    std::vector<Fact> facts;
    int knownMines = 0;
    std::vector<uint32_t> pending;  // counts to look at again; a box holds at most 2^24 cubes
    std::vector<bool> queued;
    std::vector<size_t> found;   // cubes newly known safe and still covered
    mutable bool incomplete = false;
};

#endif
