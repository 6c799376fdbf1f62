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

bool DepthTiles::Hides(int x0, int y0, int x1, int y1, float depth) const {
    x0 = std::max(x0, 0), y0 = std::max(y0, 0);
    x1 = std::min(x1, width - 1), y1 = std::min(y1, height - 1);
    if (x0 > x1 || y0 > y1) {
        return true;  // off the screen
    }
    const uint64_t below = Below(depth);
    for (int ty = y0 / kTile; ty <= y1 / kTile; ++ty) {
        const uint32_t* tiles = &farthest[static_cast<size_t>(ty) * across];
        for (int tx = x0 / kTile; tx <= x1 / kTile; ++tx) {
            if (tiles[tx] >= below) {
                return false;
            }
        }
    }
    return true;
}

bool DepthTiles::PixelsHide(int x0, int y0, int x1, int y1, float depth) const {
    if (Hides(x0, y0, x1, y1, depth)) {
        return true;
    }
    x0 = std::max(x0, 0), y0 = std::max(y0, 0);
    x1 = std::min(x1, width - 1), y1 = std::min(y1, height - 1);
    const uint64_t below = Below(depth);
    for (int y = y0; y <= y1; ++y) {
        const uint32_t* row = pixels + static_cast<size_t>(y) * width;
        if (!std::all_of(row + x0, row + x1 + 1, [below](uint32_t d) { return d < below; })) {
            return false;
        }
    }
    return true;
}
