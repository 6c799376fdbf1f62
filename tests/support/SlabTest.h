#ifndef CUBOMB_TESTS_SLABTEST_H
#define CUBOMB_TESTS_SLABTEST_H

#include <algorithm>
#include <cmath>

#include "support/Geometry.h"
#include "support/Sides.h"

// The slab test in double precision: where the ray enters and leaves a cube,
// the side it enters through, and whether another side ties for it.
struct Entry {
    double enter = -INFINITY, exit = INFINITY, runnerUp = -INFINITY;
    BlockPos block;
    int side = 0;
};

inline Entry SlabTest(const Vector& o, const Vector& d, const BlockPos& b) {
    const double origin[] = {o.x, o.y, o.z}, dir[] = {d.x, d.y, d.z}, low[] = {double(b.x), double(b.y), double(b.z)};
    Entry e{-INFINITY, INFINITY, -INFINITY, b, 0};
    for (int a = 0; a < 3; ++a) {
        const double t0 = (low[a] - origin[a]) / dir[a], t1 = (low[a] + 1 - origin[a]) / dir[a];
        e.runnerUp = std::max(e.runnerUp, std::min(std::min(t0, t1), e.enter));
        if (std::min(t0, t1) > e.enter) e.side = SideAcross(a, dir[a] > 0 ? -1 : 1);
        e.enter = std::max(e.enter, std::min(t0, t1));
        e.exit = std::min(e.exit, std::max(t0, t1));
    }
    return e;
}

#endif
