#ifndef CUBOMB_BENCH_BENCHFIELDS_H
#define CUBOMB_BENCH_BENCHFIELDS_H

// Fields the benchmarks share.

#include "minefield/MineField.h"

inline int MinesAtDensity(int n, double density) {
    return static_cast<int>(double(n) * n * n * density);
}

// A click on the first cube without mined neighbours. At the default density
// on big boxes its flood opens nine cubes in ten, leaving planes split into
// many quads and a marker in most opened cubes.
inline void FloodFromFirstZero(MineField& field) {
    const CubeGrid& cubes = field.Cubes();
    for (size_t i = 0; i < cubes.Size(); ++i) {
        if (!cubes.At(i).isMine && cubes.At(i).adjacentMines == 0) {
            field.EatZeroBlocks(cubes.PositionOf(i), 1.0f);
            return;
        }
    }
}

#endif
