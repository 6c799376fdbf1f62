#include "logic/Deduction.h"

#include <algorithm>
#include <functional>
#include <numeric>
#include <unordered_map>

namespace {

// Sets of mine numbers as bits.
using Bits = std::vector<uint64_t>;

void SetBit(Bits& bits, size_t at) {
    bits[at / 64] |= uint64_t(1) << (at % 64);
}

bool Bit(const Bits& bits, size_t at) {
    return at / 64 < bits.size() && (bits[at / 64] >> (at % 64) & 1) != 0;
}

// Every sum of one number of a and one of b, up to the most.
Bits SumsOf(const Bits& a, const Bits& b, size_t most) {
    Bits sums((most + 64) / 64, 0);
    for (size_t i = 0; i <= most; ++i) {
        if (!Bit(a, i)) {
            continue;
        }
        for (size_t j = 0; i + j <= most; ++j) {
            if (Bit(b, j)) {
                SetBit(sums, i + j);
            }
        }
    }
    return sums;
}

bool AnyIn(const Bits& bits, long low, long high) {
    for (long at = std::max(low, 0L); at <= high; ++at) {
        if (Bit(bits, static_cast<size_t>(at))) {
            return true;
        }
    }
    return false;
}

int Chebyshev(const BlockPos& a, const BlockPos& b) {
    return std::max({std::abs(a.x - b.x), std::abs(a.y - b.y), std::abs(a.z - b.z)});
}

}  // namespace

// A group of covered cubes that counts tie together, and what the search
// found: the numbers of mines it can hold, and for each cube the numbers with
// which it can be a mine and with which it can be safe.
struct Deduction::Group {
    std::vector<size_t> cubes;
    std::vector<size_t> counts;  // the uncovered cubes that speak of them
    bool settled = false;
    Bits feasible;
    std::vector<Bits> canMine, canSafe;
    size_t least = 0, most = 0;  // of the feasible numbers
};

Deduction::Deduction(const Box& box, int mines, size_t budget)
    : box(box),
      mines(mines),
      budget(budget),
      counts(box.Cubes(), kCovered),
      facts(box.Cubes(), kUnknown),
      queued(box.Cubes(), false) {}

void Deduction::Uncover(size_t cube, int count) {
    if (counts[cube] != kCovered) {
        return;
    }
    counts[cube] = static_cast<int8_t>(count);
    if (facts[cube] != kSafe) {
        Learn(cube, kSafe);
    }
    Touch(cube);
}

void Deduction::Touch(size_t cube) {
    if (counts[cube] != kCovered && !queued[cube]) {
        queued[cube] = true;
        pending.push_back(static_cast<uint32_t>(cube));
    }
}

// A fact changes what the counts around it need.
void Deduction::Learn(size_t cube, Fact fact) {
    facts[cube] = fact;
    knownMines += fact == kMine;
    if (fact == kSafe && counts[cube] == kCovered) {
        found.push_back(cube);
    }
    box.ForEachNeighbour(cube, [this](size_t around) { Touch(around); });
}

Deduction::Need Deduction::NeedOf(size_t cube) const {
    Need need;
    need.mines = counts[cube];
    box.ForEachNeighbour(cube, [&](size_t around) {
        if (facts[around] == kMine) {
            --need.mines;
        } else if (facts[around] == kUnknown) {
            need.unknown.push_back(around);
        }
    });
    return need;
}

bool Deduction::IsConstraint(size_t cube) const {
    if (counts[cube] == kCovered) {
        return false;
    }
    bool any = false;
    box.ForEachNeighbour(cube, [&](size_t around) { any = any || facts[around] == kUnknown; });
    return any;
}

void Deduction::Deduce(std::vector<size_t>& safe) {
    do {
        while (!pending.empty()) {
            const size_t cube = pending.back();
            pending.pop_back();
            queued[cube] = false;
            ApplyCheapRules(cube);
        }
    } while (SettleExactly());
    for (const size_t cube : found) {
        if (counts[cube] == kCovered) {
            safe.push_back(cube);
        }
    }
    found.clear();
}

bool Deduction::ApplyCheapRules(size_t cube) {
    const Need need = NeedOf(cube);
    if (need.unknown.empty()) {
        return false;
    }
    if (need.mines == 0 || need.mines == static_cast<int>(need.unknown.size())) {
        for (const size_t each : need.unknown) {
            Learn(each, need.mines == 0 ? kSafe : kMine);
        }
        return true;
    }
    const BlockPos p = box.PositionOf(cube);
    for (int d = 0; d < 125; ++d) {
        const BlockPos q(p.x + d / 25 - 2, p.y + d / 5 % 5 - 2, p.z + d % 5 - 2);
        if (d != 62 && box.Inside(q) && counts[box.IndexOf(q)] != kCovered && ApplyPairRule(cube, box.IndexOf(q))) {
            return true;
        }
    }
    return false;
}

// Of two counts A and B, the mines of B's cubes that A does not touch, less
// those of A's that B does not touch, are what B needs beyond A. At either
// end of what that can be, both parts are known.
bool Deduction::ApplyPairRule(size_t a, size_t b) {
    const Need needA = NeedOf(a), needB = NeedOf(b);
    const BlockPos pa = box.PositionOf(a), pb = box.PositionOf(b);
    std::vector<size_t> onlyA, onlyB;
    for (const size_t cube : needA.unknown) {
        if (Chebyshev(box.PositionOf(cube), pb) > 1) onlyA.push_back(cube);
    }
    for (const size_t cube : needB.unknown) {
        if (Chebyshev(box.PositionOf(cube), pa) > 1) onlyB.push_back(cube);
    }
    if (onlyA.size() == needA.unknown.size() || onlyA.size() + onlyB.size() == 0) {
        return false;  // nothing shared, or nothing to learn
    }
    const int beyond = needB.mines - needA.mines;
    if (beyond != static_cast<int>(onlyB.size()) && beyond != -static_cast<int>(onlyA.size())) {
        return false;
    }
    const bool bFull = beyond == static_cast<int>(onlyB.size());
    for (const size_t cube : onlyB) {
        Learn(cube, bFull ? kMine : kSafe);
    }
    for (const size_t cube : onlyA) {
        Learn(cube, bFull ? kSafe : kMine);
    }
    return true;
}

namespace {

// The numbers of mines the groups can hold together, all of them or all but
// one: exactly, as sets, while few mines are left; beyond that as ranges,
// which can only allow more, and so never make a cube certain that is not.
class MineSums {
public:
    MineSums(const std::vector<Bits>& feasible, const std::vector<std::pair<size_t, size_t>>& ranges, long left)
        : exact(left <= 256), most(exact ? static_cast<size_t>(std::max(left, 0L)) : 0) {
        const size_t n = ranges.size();
        before.assign(n + 1, Bits((most + 64) / 64, 0));
        after = before;
        SetBit(before[0], 0);
        SetBit(after[n], 0);
        low.assign(n + 1, {0, 0});
        high = low;
        for (size_t i = 0; i < n; ++i) {
            const size_t j = n - 1 - i;
            low[i + 1].first = low[i].first + static_cast<long>(ranges[i].first);
            high[i + 1].first = high[i].first + static_cast<long>(ranges[i].second);
            low[j].second = low[j + 1].second + static_cast<long>(ranges[j].first);
            high[j].second = high[j + 1].second + static_cast<long>(ranges[j].second);
            if (exact) {
                before[i + 1] = SumsOf(before[i], feasible[i], most);
                after[j] = SumsOf(after[j + 1], feasible[j], most);
            }
        }
    }

    // What every group but the one can hold together.
    std::function<bool(long, long)> Others(size_t group) const {
        if (exact) {
            return [sums = SumsOf(before[group], after[group + 1], most)](long from, long to) { return AnyIn(sums, from, to); };
        }
        const long least = low[group].first + low[group + 1].second, greatest = high[group].first + high[group + 1].second;
        return [=](long from, long to) { return std::max(from, least) <= std::min(to, greatest); };
    }
    bool AllCan(long from, long to) const {
        const size_t n = before.size() - 1;
        return exact ? AnyIn(before[n], from, to) : std::max(from, low[n].first) <= std::min(to, high[n].first);
    }

private:
    bool exact;
    size_t most;
    std::vector<Bits> before, after;                    // sums of the groups before and after each
    std::vector<std::pair<long, long>> low, high;       // the same as ranges: (before, after)
};

}  // namespace

// The cubes no count speaks of, loose ones, can hold any number of the mines
// left; a group's cube is certain when every number it can be a mine with (or
// safe with) leaves the others and the loose cubes no way to hold the rest.
bool Deduction::SettleExactly() {
    std::vector<Group> groups = Groups();
    std::vector<bool> tied(facts.size(), false);
    std::vector<Bits> feasible;
    std::vector<std::pair<size_t, size_t>> ranges;
    for (Group& group : groups) {
        Search(group);
        if (group.settled && group.most < group.least) {
            return false;  // no way to place the mines: the counts disagree
        }
        for (const size_t cube : group.cubes) tied[cube] = true;
        feasible.push_back(group.feasible);
        ranges.emplace_back(group.least, group.most);
    }
    long loose = 0;
    for (size_t cube = 0; cube < facts.size(); ++cube) {
        loose += facts[cube] == kUnknown && !tied[cube];
    }
    const long left = mines - knownMines;
    const MineSums sums(feasible, ranges, left);
    bool learnt = false;
    for (size_t i = 0; i < groups.size(); ++i) {
        learnt = LearnFromGroup(groups[i], sums.Others(i), left, loose) || learnt;
    }
    const bool looseMine = sums.AllCan(left - loose, left - 1), looseSafe = sums.AllCan(left - loose + 1, left);
    for (size_t cube = 0; cube < facts.size() && loose > 0 && looseMine != looseSafe; ++cube) {
        if (facts[cube] == kUnknown && !tied[cube]) {
            Learn(cube, looseMine ? kMine : kSafe);
            learnt = true;
        }
    }
    return learnt;
}

bool Deduction::LearnFromGroup(const Group& group, const std::function<bool(long, long)>& othersCan, long left,
                               long loose) {
    if (!group.settled) {
        return false;
    }
    std::vector<bool> fits(group.most + 1, false);
    for (size_t k = group.least; k <= group.most; ++k) {
        fits[k] = othersCan(left - loose - static_cast<long>(k), left - static_cast<long>(k));
    }
    bool learnt = false;
    for (size_t c = 0; c < group.cubes.size(); ++c) {
        bool mine = false, safe = false;
        for (size_t k = group.least; k <= group.most; ++k) {
            mine = mine || (fits[k] && Bit(group.canMine[c], k));
            safe = safe || (fits[k] && Bit(group.canSafe[c], k));
        }
        if (mine != safe && facts[group.cubes[c]] == kUnknown) {
            Learn(group.cubes[c], mine ? kMine : kSafe);
            learnt = true;
        }
    }
    return learnt;
}

// Unknown cubes that a count speaks of, joined when one count speaks of both.
std::vector<Deduction::Group> Deduction::Groups() const {
    std::vector<size_t> parent(facts.size());
    std::iota(parent.begin(), parent.end(), 0);
    const auto root = [&](size_t cube) {
        while (parent[cube] != cube) {
            cube = parent[cube] = parent[parent[cube]];
        }
        return cube;
    };
    std::vector<size_t> constraints;
    for (size_t cube = 0; cube < counts.size(); ++cube) {
        if (!IsConstraint(cube)) {
            continue;
        }
        constraints.push_back(cube);
        const Need need = NeedOf(cube);
        for (const size_t each : need.unknown) {
            parent[root(each)] = root(need.unknown[0]);
        }
    }
    std::vector<Group> groups;
    std::vector<size_t> groupOf(facts.size(), SIZE_MAX);
    for (const size_t constraint : constraints) {
        const Need need = NeedOf(constraint);
        size_t& index = groupOf[root(need.unknown[0])];
        if (index == SIZE_MAX) {
            index = groups.size();
            groups.emplace_back();
        }
        groups[index].counts.push_back(constraint);
    }
    std::vector<bool> taken(facts.size(), false);
    for (Group& group : groups) {
        for (const size_t constraint : group.counts) {
            for (const size_t each : NeedOf(constraint).unknown) {
                if (!taken[each]) {
                    taken[each] = true;
                    group.cubes.push_back(each);
                }
            }
        }
    }
    return groups;
}

namespace {

// One search through a group: its cubes by local number, the counts that
// speak of them, and what the assignments so far leave each count.
class GroupSearch {
public:
    struct Count {
        int need = 0;  // mines still to place among its cubes
        int open = 0;  // its cubes not assigned yet
        std::vector<int> cubes;
    };

    GroupSearch(std::vector<Count> countsOf, std::vector<std::vector<int>> countsAt, size_t budget)
        : counts(std::move(countsOf)), at(std::move(countsAt)), value(at.size(), -1), budget(budget) {}

    // False when the budget ran out first.
    bool Run(std::vector<int> order, std::function<void(const std::vector<int>&, int)> leaf) {
        this->order = std::move(order);
        this->leaf = std::move(leaf);
        return Visit(0, 0);
    }

private:
    bool Assign(int cube, int mine) {
        value[cube] = mine;
        bool fits = true;
        for (const int c : at[cube]) {
            counts[c].need -= mine;
            --counts[c].open;
            fits = fits && counts[c].need >= 0 && counts[c].need <= counts[c].open;
        }
        return fits;
    }
    void Unassign(int cube) {
        for (const int c : at[cube]) {
            counts[c].need += value[cube];
            ++counts[c].open;
        }
        value[cube] = -1;
    }
    bool Visit(size_t depth, int mines) {
        if (++steps > budget) {
            return false;
        }
        if (depth == order.size()) {
            leaf(value, mines);
            return true;
        }
        const int cube = order[depth];
        for (const int mine : {0, 1}) {
            const bool fits = Assign(cube, mine);
            const bool within = !fits || Visit(depth + 1, mines + mine);
            Unassign(cube);
            if (!within) {
                return false;
            }
        }
        return true;
    }

    std::vector<Count> counts;
    std::vector<std::vector<int>> at;  // the counts of each cube
    std::vector<int> value;
    std::vector<int> order;
    std::function<void(const std::vector<int>&, int)> leaf;
    size_t budget;
    size_t steps = 0;
};

}  // namespace

// Depth first over the group's cubes in the order the counts reach them,
// each safe or a mine, dropping a branch as soon as a count cannot be met.
// Beyond the budget, or for a group too large to record, nothing is claimed:
// it may hold any number of mines.
void Deduction::Search(Group& group) const {
    constexpr size_t kLargestSearched = 4096;
    const size_t n = group.cubes.size();
    group.settled = false;
    group.least = 0;
    group.most = n;
    group.feasible.assign(n / 64 + 1, 0);
    for (size_t k = 0; k <= n; ++k) {
        SetBit(group.feasible, k);
    }
    if (n > kLargestSearched) {
        return;
    }
    std::unordered_map<size_t, int> local;
    for (size_t i = 0; i < n; ++i) {
        local[group.cubes[i]] = static_cast<int>(i);
    }
    std::vector<GroupSearch::Count> countsOf;
    std::vector<std::vector<int>> countsAt(n);
    for (const size_t constraint : group.counts) {
        const Need need = NeedOf(constraint);
        GroupSearch::Count count;
        count.need = need.mines;
        count.open = static_cast<int>(need.unknown.size());
        for (const size_t cube : need.unknown) {
            count.cubes.push_back(local[cube]);
            countsAt[local[cube]].push_back(static_cast<int>(countsOf.size()));
        }
        countsOf.push_back(count);
    }
    // The counts reach the cubes breadth first, so each count closes soon after it opens.
    std::vector<int> order;
    std::vector<bool> ordered(n, false), counted(countsOf.size(), false);
    for (size_t start = 0; start < n; ++start) {
        if (ordered[start]) continue;
        ordered[start] = true;
        order.push_back(static_cast<int>(start));
        for (size_t next = order.size() - 1; next < order.size(); ++next) {
            for (const int c : countsAt[order[next]]) {
                if (counted[c]) continue;
                counted[c] = true;
                for (const int cube : countsOf[c].cubes) {
                    if (!ordered[cube]) {
                        ordered[cube] = true;
                        order.push_back(cube);
                    }
                }
            }
        }
    }
    Bits feasible(n / 64 + 1, 0);
    std::vector<Bits> canMine(n, feasible), canSafe(n, feasible);
    GroupSearch search(std::move(countsOf), std::move(countsAt), budget);
    const bool done = search.Run(order, [&](const std::vector<int>& value, int mines) {
        SetBit(feasible, static_cast<size_t>(mines));
        for (size_t c = 0; c < n; ++c) {
            SetBit(value[c] ? canMine[c] : canSafe[c], static_cast<size_t>(mines));
        }
    });
    if (!done) {
        incomplete = true;
        return;
    }
    group.settled = true;
    group.feasible = feasible;
    group.canMine = std::move(canMine);
    group.canSafe = std::move(canSafe);
    group.least = n + 1;
    group.most = 0;
    for (size_t k = 0; k <= n; ++k) {
        if (Bit(feasible, k)) {
            group.least = std::min(group.least, k);
            group.most = std::max(group.most, k);
        }
    }
}
