#include "minefield/ZeroFlood.h"

#include <algorithm>

namespace {

using Word = ZeroFlood::Word;

// The seeds with every bit above them joined through the mask, doubling the reach at each step.
Word FillUp(Word seeds, Word mask) {
    for (int shift = 1; shift < 64; shift *= 2) {
        seeds |= mask & (seeds << shift);
        mask &= mask << shift;
    }
    return seeds;
}

Word FillDown(Word seeds, Word mask) {
    for (int shift = 1; shift < 64; shift *= 2) {
        seeds |= mask & (seeds >> shift);
        mask &= mask >> shift;
    }
    return seeds;
}

}  // namespace

ZeroFlood::ZeroFlood(int sizeX, int sizeY, int sizeZ)
    : sizeX(sizeX), sizeY(sizeY), words((std::max(sizeZ, 0) + 63) / 64),
      covered(static_cast<size_t>(std::max(sizeX, 0)) * std::max(sizeY, 0) * words), zeros(covered.size()),
      reached(covered.size()), waiting(covered.size()),
      queue(static_cast<size_t>(std::max(sizeX, 0)) * std::max(sizeY, 0) + 1), queued(queue.size() - 1) {}

size_t ZeroFlood::Flood(int x, int y, int z) {
    std::vector<Word> spread(static_cast<size_t>(words), 0);
    spread[static_cast<size_t>(z / 64)] = Word(1) << (z % 64);
    Reach(Row(x, y), spread.data());
    while (head != tail) {
        const size_t row = queue[head];
        head = (head + 1) % queue.size();
        queued[row] = false;
        Spread(row, spread.data());
        const int rowX = static_cast<int>(row / static_cast<size_t>(sizeY)), rowY = static_cast<int>(row % static_cast<size_t>(sizeY));
        for (int nx = std::max(rowX - 1, 0); nx <= std::min(rowX + 1, sizeX - 1); ++nx) {
            for (int ny = std::max(rowY - 1, 0); ny <= std::min(rowY + 1, sizeY - 1); ++ny) {
                Reach(Row(nx, ny), spread.data());
            }
        }
    }
    size_t count = 0;
    for (const Word word : reached) {
        count += static_cast<size_t>(__builtin_popcountll(word));
    }
    return count;
}

void ZeroFlood::Reach(size_t row, const Word* spread) {
    const size_t first = row * static_cast<size_t>(words);
    Word fresh = 0;
    for (size_t w = first; w < first + static_cast<size_t>(words); ++w) {
        const Word newly = spread[w - first] & covered[w] & ~reached[w];
        reached[w] |= newly;
        waiting[w] |= newly & zeros[w];
        fresh |= newly & zeros[w];
    }
    if (fresh != 0 && !queued[row]) {
        queued[row] = true;
        queue[tail] = static_cast<uint32_t>(row);
        tail = (tail + 1) % queue.size();
    }
}

// A run of zeros along the row is reached whole at once: one step at a time
// it would come back to the queue once a cube.
void ZeroFlood::Spread(size_t row, Word* spread) {
    Word* const wait = &waiting[row * static_cast<size_t>(words)];
    const Word* const mask = &zeros[row * static_cast<size_t>(words)];
    Word* const got = &reached[row * static_cast<size_t>(words)];
    for (int64_t w = 0, carry = 0; w < words; ++w) {
        wait[w] = FillUp(wait[w] | (Word(carry) & mask[w]), mask[w]);
        carry = static_cast<int64_t>(wait[w] >> 63);
    }
    for (int64_t w = words - 1, carry = 0; w >= 0; --w) {
        wait[w] = FillDown(wait[w] | ((Word(carry) << 63) & mask[w]), mask[w]);
        carry = static_cast<int64_t>(wait[w] & 1);
    }
    for (int64_t w = 0; w < words; ++w) {
        const Word below = w > 0 ? wait[w - 1] >> 63 : 0, above = w + 1 < words ? wait[w + 1] << 63 : 0;
        spread[w] = wait[w] | (wait[w] << 1) | (wait[w] >> 1) | below | above;
    }
    for (int64_t w = 0; w < words; ++w) {
        got[w] |= wait[w];
        wait[w] = 0;
    }
}
