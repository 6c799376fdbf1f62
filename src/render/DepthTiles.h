#ifndef CUBOMB_RENDER_DEPTHTILES_H
#define CUBOMB_RENDER_DEPTHTILES_H

// The farthest depth in each tile of a depth buffer, to tell cheaply that
// everything already drawn over a rectangle of the screen lies nearer than
// some depth: whatever lies only beyond it there would fail the depth test
// at every pixel, and need not be drawn. Plain data.

#include <cstdint>
#include <vector>

class DepthTiles {
public:
    static constexpr int kTile = 8;

    // Depths row by row from the bottom left, 0 near to the largest number
    // far, as OpenGL reads them back as whole numbers: a driver on the
    // processor hands them over five times quicker so than as fractions.
    // They must stay while the tiles are asked, of fractions from 0 to 1.
    void Build(const uint32_t* depths, int width, int height);
    // Whether every pixel of the tiles that the rectangle from (x0, y0) to
    // (x1, y1), both included and clipped to the screen, touches holds a
    // depth below depth.
    bool Hides(int x0, int y0, int x1, int y1, float depth) const;
    // The same for the rectangle's own pixels: for what covers a few of
    // them, where one far pixel in a tile tells nothing of its others.
    bool PixelsHide(int x0, int y0, int x1, int y1, float depth) const;

private:
    int width = 0;
    int height = 0;
    int across = 0;
    int up = 0;
    // The whole number below which a depth read back lies below the fraction.
    static uint64_t Below(float depth);
    // Clipped to the screen; false where nothing of it is left.
    bool Clip(int& x0, int& y0, int& x1, int& y1) const;

    std::vector<uint32_t> farthest;
    const uint32_t* pixels = nullptr;
};

#endif
