#ifndef CUBOMB_MINEFIELD_ZEROFLOOD_H
#define CUBOMB_MINEFIELD_ZEROFLOOD_H

// The cubes one uncover click opens, found on rows of bits: in: which cubes
// are covered and which of them have no mined neighbour; out: every cube the
// flood from a start reaches, that is the start and, when it is a zero, every
// zero joined to it through zeros and every neighbour of those zeros, among
// the covered cubes. A row runs along z at one x and y, a bit a cube.

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

class ZeroFlood {
public:
    using Word = uint64_t;

    ZeroFlood(int sizeX, int sizeY, int sizeZ);
    // Before the flood, the cubes of a row from z = 64 word on: which are covered, which of those are zeros.
    void SetWord(int x, int y, int64_t word, Word covering, Word zero) {
        const size_t at = Row(x, y) * static_cast<size_t>(words) + static_cast<size_t>(word);
        covered[at] = covering;
        zeros[at] = zero & covering;
    }
    // Floods from the start; returns how many cubes it reached.
    size_t Flood(int x, int y, int z);
    // The rows of reached cubes, one after another in x, then y order, given up.
    std::vector<Word> TakeReached() { return std::move(reached); }

private:
    size_t Row(int x, int y) const { return static_cast<size_t>(x) * static_cast<size_t>(sizeY) + static_cast<size_t>(y); }
    // The spread bits that reach covered cubes of the row for the first time;
    // zeros among them wait to spread in turn.
    void Reach(size_t row, const Word* spread);
    // The zeros waiting in the row, with every zero along the row joined to them, spread one cube along it.
    void Spread(size_t row, Word* spread);

    int sizeX, sizeY;
    int64_t words;
    std::vector<Word> covered, zeros, reached, waiting;  // a row after another
    // Rows whose zeros wait, each at most once: a ring one longer than the
    // rows, so that with every row in it, it is not taken for empty.
    std::vector<uint32_t> queue;
    std::vector<bool> queued;
    size_t head = 0, tail = 0;
};

#endif
