#include "minefield/MineWorld.h"

#include <GL/glew.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

MineWorld::MineWorld() {
    const std::vector<std::pair<int, std::string>> textures = {
        {kGreyTexture, "grey_block"}, {kFlaggedTexture, "flagged_block"}, {kMineTexture, "mine_block"}};
    texDict.LoadListedTextures("Textures", "texture_listing.txt", textures);
    drawBuffer.Initialize(1000, &texDict);
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

void AppendMarker(const BlockPos& pos, uint8_t count, std::vector<MarkerVertex>& out) {
    if (count == 0) {
        return;
    }
    const float x = static_cast<float>(pos.x);
    const float y = static_cast<float>(pos.y);
    const float z = static_cast<float>(pos.z);
    for (const Triangle& triangle : kTriangles) {
        const Colour colour = CountColour(count, triangle.shade);
        for (const int corner : triangle.corners) {
            out.push_back(MarkerVertex{colour.r, colour.g, colour.b, x + kCorners[corner][0],
                                       y + kCorners[corner][1], z + kCorners[corner][2]});
        }
    }
}

void MineWorld::Render() {
    RenderFaces();
    RenderMarkers();
}

void MineWorld::RenderFaces() {
    glEnable(GL_DEPTH_TEST);
    drawBuffer.Start();
    blockWorld.QuickRender(&drawBuffer);
    drawBuffer.End();
}

// Streamed in slices through one small array: keeping every marker's
// triangles would take more memory than the rest of a big field.
void MineWorld::RenderMarkers() {
    constexpr size_t kMarkersPerSlice = 4096;
    glDisable(GL_TEXTURE_2D);
    const std::vector<uint32_t>& marked = MarkedCubes();
    for (size_t first = 0; first < marked.size(); first += kMarkersPerSlice) {
        const size_t end = std::min(marked.size(), first + kMarkersPerSlice);
        markerVertices.clear();
        for (size_t i = first; i < end; ++i) {
            AppendMarker(cubes.PositionOf(marked[i]), cubes.At(marked[i]).adjacentMines, markerVertices);
        }
        DrawTriangleArray(GL_C3F_V3F, markerVertices.data(), markerVertices.size());
    }
}

void MineWorld::RenderNum(const BlockPos& pos, uint8_t count) {
    std::vector<MarkerVertex> vertices;
    AppendMarker(pos, count, vertices);
    DrawTriangleArray(GL_C3F_V3F, vertices.data(), vertices.size());
}

// Just outside the cube, so that its own faces never hide the lines.
void MineWorld::RenderOutline(const BlockPos& cube) {
    constexpr float kGap = 0.01f;
    const float low[3] = {cube.x - kGap, cube.y - kGap, cube.z - kGap};
    const float high[3] = {cube.x + 1 + kGap, cube.y + 1 + kGap, cube.z + 1 + kGap};
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glColor3f(0, 0, 0);
    glLineWidth(2);
    glBegin(GL_LINES);
    for (int axis = 0; axis < 3; ++axis) {
        for (int corner = 0; corner < 4; ++corner) {  // the four edges along this axis
            float point[3];
            point[(axis + 1) % 3] = corner & 1 ? high[(axis + 1) % 3] : low[(axis + 1) % 3];
            point[(axis + 2) % 3] = corner & 2 ? high[(axis + 2) % 3] : low[(axis + 2) % 3];
            point[axis] = low[axis];
            glVertex3fv(point);
            point[axis] = high[axis];
            glVertex3fv(point);
        }
    }
    glEnd();
    glLineWidth(1);
}
