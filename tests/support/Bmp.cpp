#include "Bmp.h"

#include "TempDir.h"

namespace {

uint32_t Little(const std::string& bytes, size_t at, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

}  // namespace

Picture ReadBmp(const std::string& path) {
    const std::string bytes = ReadFile(path);
    Picture picture;
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') {
        return picture;
    }
    const uint32_t offset = Little(bytes, 10, 4);
    const int width = static_cast<int>(Little(bytes, 18, 4));
    const int32_t rawHeight = static_cast<int32_t>(Little(bytes, 22, 4));
    const int bits = static_cast<int>(Little(bytes, 28, 2));
    const bool bottomUp = rawHeight > 0;
    const int height = bottomUp ? rawHeight : -rawHeight;
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
    if (bits != 24 || Little(bytes, 30, 4) != 0 || offset + stride * height > bytes.size()) {
        return picture;
    }
    picture.width = width;
    picture.height = height;
    picture.bitsPerPixel = bits;
    picture.pixels.reserve(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const size_t row = offset + stride * static_cast<size_t>(bottomUp ? height - 1 - y : y);
        for (int x = 0; x < width; ++x) {
            const size_t at = row + static_cast<size_t>(x) * 3;
            picture.pixels.push_back(Rgb{static_cast<unsigned char>(bytes[at + 2]),
                                         static_cast<unsigned char>(bytes[at + 1]),
                                         static_cast<unsigned char>(bytes[at])});
        }
    }
    return picture;
}
