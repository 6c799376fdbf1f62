#ifndef CUBOMB_QUADS_QUADDRAWBUFFER_H
#define CUBOMB_QUADS_QUADDRAWBUFFER_H

// Draws a pass of textured rectangles with OpenGL vertex arrays: the triangles
// gather in one batch that is drawn before each texture bind, at the end of the
// pass, whenever it grows to a slice, and when the next rectangle faces
// another side; each rectangle gets the fixed grey of the axis it faces, or a
// random colour in rainbow debug mode.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "quads/QuadBuffer.h"

class TexDict;

// One corner in 12 bytes: its texture coordinates follow from its position
// by the TextureMap of the rectangles it is drawn with. Corners stay floats: a
// box may run for millions of cubes along one axis, and floats hold such whole
// numbers exactly.
struct FaceVertex {
    float x, y, z;
};

// Texture coordinates as affine functions of a corner's position,
// s = s[0] x + s[1] y + s[2] z + s[3] and t likewise. Textures repeat, so the
// offsets are kept below 1 and every rectangle of a side shares one map.
struct TextureMap {
    float s[4] = {0, 0, 0, 0};
    float t[4] = {0, 0, 0, 0};

    bool operator==(const TextureMap& other) const;
    bool operator!=(const TextureMap& other) const { return !(*this == other); }
    Vector At(const Vector& p) const;  // (s, t, 0)
};

// The map that gives a rectangle's corners p1..p4 the texture's u running
// from uMin to uMax along p1-p2 and v from vMax at p1 to vMin at p3; its two
// triangles are the corners kRectangleTriangles lists.
TextureMap RectangleTextureMap(const Vector (&p)[4], float uMin, float uMax, float vMin, float vMax);
// Sets the map, and the colour of the textures it maps, for the faces drawn
// next, between System's BeginMappedTextures and EndMappedTextures.
void UseTextureMap(const TextureMap& map, const float rgb[3]);
constexpr int kRectangleTriangles[6] = {2, 3, 1, 2, 1, 0};
// Indices of that many shapes' triangles, each shape's corners following the
// last's and its triangles listed by pattern.
template <size_t N>
std::vector<uint16_t> RepeatedIndices(const int (&pattern)[N], size_t corners, size_t shapes) {
    std::vector<uint16_t> indices;
    indices.reserve(shapes * N);
    for (size_t shape = 0; shape < shapes; ++shape) {
        for (const int corner : pattern) {
            indices.push_back(static_cast<uint16_t>(shape * corners + static_cast<size_t>(corner)));
        }
    }
    return indices;
}

class QuadDrawBuffer : public QuadBuffer {
public:
    void Initialize(int, TexDict* dict) { texDict = dict; }
    void SetRainbowDebug(bool on) { rainbowDebug = on; }

    void Start() override;
    void SetTexture(int texture) override;
    void AddQuad(const Vector& p1, const Vector& p2, const Vector& p3, const Vector& p4, float uMin, float uMax,
                 float vMin, float vMax) override;
    void Flush() override {}
    void End() override;

    // Sets the current colour to the next random one.
    static void RainbowColor();

private:
    static constexpr size_t kVerticesPerSlice = 6 * 4096;

    static void NextRainbowColour(float rgb[3]);
    void DrawBatch();

    TexDict* texDict = nullptr;
    bool rainbowDebug = false;
    std::vector<FaceVertex> batch;
    float batchColour[3] = {1, 1, 1};  // every rectangle's in the batch
    TextureMap batchMap;
};

// How an array holds a corner's position: as three 16-bit integers, which
// hold every corner of a box under 32768 cubes a side exactly, in 6 bytes;
// or as three floats, a FaceVertex.
enum class CornerFormat { kShort, kFloat };
size_t CornerBytes(CornerFormat format);
// Appends a whole-numbered position in the format.
void AppendCorner(const Vector& p, CornerFormat format, std::vector<uint8_t>& out);
// The arrays OpenGL reads face vertices from, starting at first (in client
// memory, or an offset into the bound array buffer): positions alone, whose
// texture coordinates the current TextureMap gives.
void PointFaceArrays(const void* first, CornerFormat format = CornerFormat::kFloat);
// Draws the triangles of a face vertex array in one call and leaves the
// client arrays off again.
void DrawFaceTriangles(const FaceVertex* vertices, size_t count);

// The side a rectangle faces, along the normal of (p2 - p1) x (p3 - p1): 0
// when it faces no axis.
int FacingSide(const Vector& p1, const Vector& p2, const Vector& p3);
// The grey level of rectangles facing that side.
float SideShade(int side);

#endif
