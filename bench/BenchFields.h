#ifndef CUBOMB_BENCH_BENCHFIELDS_H
#define CUBOMB_BENCH_BENCHFIELDS_H

// Fields the benchmarks share.

#include <malloc.h>
#include <sys/resource.h>

#include <fstream>
#include <string>

#include "minefield/MineField.h"

inline int MinesAtDensity(int n, double density) {
    return static_cast<int>(double(n) * n * n * density);
}

// The uncovered cubes that show a count.
inline double MarkedCubes(const MineField& field) {
    double marked = 0;
    for (size_t i = 0; i < field.Cubes().Size(); ++i) {
        marked += field.Cubes().At(i).state == Block::kUncovered && field.Cubes().At(i).adjacentMines != 0;
    }
    return marked;
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

// A game laid out as a no-guess board is, at its first uncover: from the
// outside along +x at the middle of the box, its mines laid around that click.
inline void FirstNoGuessClick(MineField& field, int n, int mines) {
    field.SetNoGuess(true);
    field.Initialize(n, n, n, mines);
    field.MouseInput(Vector(-0.5f, n / 2 + 0.5f, n / 2 + 0.5f), Vector(1, 0, 0), true, 1.0f);
    field.SetNoGuess(false);
}

// What the heap holds now, in bytes, whether from its arenas or mapped alone.
inline double HeldBytes() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd);
}

// The pages the process, all its threads, has touched for the first time so
// far. Each costs the kernel a fault, and some virtual machines ten
// microseconds: fifty times the clearing of a page already held.
inline double MinorFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_minflt);
}

// The process's peak resident size so far.
inline long PeakResidentKiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    }
    return 0;
}

#endif
