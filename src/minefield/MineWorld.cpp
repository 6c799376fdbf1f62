#include "minefield/MineWorld.h"

#include <GL/glew.h>

#include <string>
#include <utility>
#include <vector>

MineWorld::MineWorld() {
    const std::vector<std::pair<int, std::string>> textures = {
        {kGreyTexture, "grey_block"}, {kFlaggedTexture, "flagged_block"}, {kMineTexture, "mine_block"}};
    texDict.LoadListedTextures("Textures", "texture_listing.txt", textures);
    drawBuffer.Initialize(1000, &texDict);
}

void MineWorld::Render() {
    glEnable(GL_DEPTH_TEST);
    drawBuffer.Start();
    blockWorld.QuickRender(&drawBuffer);
    drawBuffer.End();
    glDisable(GL_TEXTURE_2D);
    for (size_t i = 0; i < cubes.Size(); ++i) {
        const Block& block = cubes.At(i);
        if (block.state == Block::kUncovered) {
            RenderNum(cubes.PositionOf(i), block.adjacentMines);
        }
    }
}

namespace {

struct Colour {
    float r, g, b;
};

// 1 blue, 2 green, 3 red, 4 magenta, 5 cyan, 6 yellow, 7 and more white; s shades it.
Colour CountColour(uint8_t count, float s) {
    switch (count) {
        case 1: return {0, 0, s};
        case 2: return {0, s, 0};
        case 3: return {s, 0, 0};
        case 4: return {s, 0, s};
        case 5: return {0, s, s};
        case 6: return {s, s, 0};
        default: return {s, s, s};
    }
}

// Corners A, B, C, D of the marker, offsets within the cube.
constexpr float kCorners[4][3] = {{0.4f, 0.4f, 0.4f}, {0.6f, 0.4f, 0.4f}, {0.5f, 0.6f, 0.4f}, {0.5f, 0.5f, 0.6f}};

struct Triangle {
    int corners[3];
    float shade;
};

// The base first; the fixed shades give the unlit tetrahedron its look.
constexpr Triangle kTriangles[4] = {{{0, 1, 2}, 1.0f}, {{1, 0, 3}, 0.7f}, {{2, 1, 3}, 0.4f}, {{0, 2, 3}, 0.8f}};

}  // namespace

void MineWorld::RenderNum(const BlockPos& pos, uint8_t count) {
    if (count == 0) {
        return;
    }
    const float x = static_cast<float>(pos.x);
    const float y = static_cast<float>(pos.y);
    const float z = static_cast<float>(pos.z);
    glBegin(GL_TRIANGLES);
    for (const Triangle& triangle : kTriangles) {
        const Colour colour = CountColour(count, triangle.shade);
        glColor3f(colour.r, colour.g, colour.b);
        for (const int corner : triangle.corners) {
            glVertex3f(x + kCorners[corner][0], y + kCorners[corner][1], z + kCorners[corner][2]);
        }
    }
    glEnd();
}
