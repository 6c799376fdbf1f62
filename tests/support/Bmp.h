#ifndef CUBOMB_TESTS_BMP_H
#define CUBOMB_TESTS_BMP_H

#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
    int r, g, b;
};

// A decoded picture, top row first.
struct Picture {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    std::vector<Rgb> pixels;

    const Rgb& At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    bool Empty() const { return pixels.empty(); }
};

// Reads an uncompressed 24-bit BMP; an empty picture when it is not one.
Picture ReadBmp(const std::string& path);

#endif
