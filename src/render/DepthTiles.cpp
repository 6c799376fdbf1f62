#include "render/DepthTiles.h"

#include <algorithm>
#include <cmath>

void DepthTiles::Build(const uint32_t* depths, int w, int h) {
    pixels = depths;
    width = w;
    height = h;
    across = (w + kTile - 1) / kTile;
    up = (h + kTile - 1) / kTile;
    farthest.assign(static_cast<size_t>(across) * up, 0);
    // A whole tile's row is eight depths side by side, which the compiler
    // compares at once; a pixel at a time, each waited on the last.
    for (int y = 0; y < h; ++y) {
        uint32_t* tiles = &farthest[static_cast<size_t>(y / kTile) * across];
        const uint32_t* row = depths + static_cast<size_t>(y) * w;
        int x = 0;
        for (; x + kTile <= w; x += kTile) {
            uint32_t most = row[x];
            for (int k = 1; k < kTile; ++k) {
                most = std::max(most, row[x + k]);
            }
            tiles[x / kTile] = std::max(tiles[x / kTile], most);
        }
        for (; x < w; ++x) {
            tiles[x / kTile] = std::max(tiles[x / kTile], row[x]);
        }
    }
}

// Whole numbers scale the fractions by 2^32 - 1: a depth read back lies below
// a fraction exactly when it lies below the fraction so scaled, rounded up.
uint64_t DepthTiles::Below(float depth) {
    constexpr double kScale = 4294967295.0;
    return depth <= 0 ? 0 : depth > 1 ? uint64_t(1) << 32 : static_cast<uint64_t>(std::ceil(double(depth) * kScale));
}

namespace {

// Whether every number of the grid from (x0, y0) to (x1, y1) lies below the limit.
bool AllBelow(const uint32_t* grid, int stride, int x0, int y0, int x1, int y1, uint64_t below) {
    for (int y = y0; y <= y1; ++y) {
        const uint32_t* row = grid + static_cast<size_t>(y) * stride;
        if (!std::all_of(row + x0, row + x1 + 1, [below](uint32_t d) { return d < below; })) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool DepthTiles::Clip(int& x0, int& y0, int& x1, int& y1) const {
    x0 = std::max(x0, 0), y0 = std::max(y0, 0);
    x1 = std::min(x1, width - 1), y1 = std::min(y1, height - 1);
    return x0 <= x1 && y0 <= y1;
}

bool DepthTiles::Hides(int x0, int y0, int x1, int y1, float depth) const {
    return !Clip(x0, y0, x1, y1) || AllBelow(farthest.data(), across, x0 / kTile, y0 / kTile, x1 / kTile, y1 / kTile, Below(depth));
}

bool DepthTiles::PixelsHide(int x0, int y0, int x1, int y1, float depth) const {
    if (!Clip(x0, y0, x1, y1)) {
        return true;
    }
    const uint64_t below = Below(depth);
    return AllBelow(farthest.data(), across, x0 / kTile, y0 / kTile, x1 / kTile, y1 / kTile, below) ||
           AllBelow(pixels, width, x0, y0, x1, y1, below);
}
