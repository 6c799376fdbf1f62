#include <GL/glew.h>

#include "support/Sides.h"
#include "world/BlockWorld2.h"

namespace {

// The faces in drawing order, each with its corners c0..c3 as (u, v) cells of
// its plane; the texture's corners follow them.
struct CubeFace {
    int side;
    int corners[4][2];
};
constexpr CubeFace kFaces[6] = {
    {4, {{0, 0}, {1, 0}, {1, 1}, {0, 1}}}, {6, {{0, 0}, {1, 0}, {1, 1}, {0, 1}}},
    {3, {{1, 0}, {0, 0}, {0, 1}, {1, 1}}}, {5, {{1, 0}, {0, 0}, {0, 1}, {1, 1}}},
    {1, {{0, 0}, {1, 0}, {1, 1}, {0, 1}}}, {2, {{0, 1}, {1, 1}, {1, 0}, {0, 0}}},
};
constexpr int kCornerOrder[6] = {0, 1, 2, 0, 2, 3};
constexpr float kTexCoords[4][2] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};

}  // namespace

void DrawCube(int x, int y, int z) {
    glColor3f(1, 1, 1);
    glBegin(GL_TRIANGLES);
    for (const CubeFace& face : kFaces) {
        const Side& facts = kSides[face.side];
        glColor3f(1, 1, 1);
        for (const int corner : kCornerOrder) {
            int offset[3];
            offset[facts.axis] = facts.sign > 0;
            offset[facts.u] = face.corners[corner][0];
            offset[facts.v] = face.corners[corner][1];
            glTexCoord2f(kTexCoords[corner][0], kTexCoords[corner][1]);
            glVertex3f(static_cast<float>(x) + offset[0], static_cast<float>(y) + offset[1],
                       static_cast<float>(z) + offset[2]);
        }
    }
    glEnd();
}
