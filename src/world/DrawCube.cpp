#include <GL/glew.h>

#include "world/BlockWorld2.h"

namespace {

// Corner offsets c0..c3 of each face, in drawing order: -y, +x, +y, -x, +z, -z.
constexpr int kFaces[6][4][3] = {
    {{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}},
    {{1, 0, 0}, {1, 1, 0}, {1, 1, 1}, {1, 0, 1}},
    {{1, 1, 0}, {0, 1, 0}, {0, 1, 1}, {1, 1, 1}},
    {{0, 1, 0}, {0, 0, 0}, {0, 0, 1}, {0, 1, 1}},
    {{0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}},
    {{0, 1, 0}, {1, 1, 0}, {1, 0, 0}, {0, 0, 0}},
};
constexpr int kCornerOrder[6] = {0, 1, 2, 0, 2, 3};
constexpr float kTexCoords[4][2] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};

}  // namespace

void DrawCube(int x, int y, int z) {
    glColor3f(1, 1, 1);
    glBegin(GL_TRIANGLES);
    for (const auto& face : kFaces) {
        glColor3f(1, 1, 1);
        for (const int corner : kCornerOrder) {
            glTexCoord2f(kTexCoords[corner][0], kTexCoords[corner][1]);
            glVertex3f(static_cast<float>(x) + face[corner][0], static_cast<float>(y) + face[corner][1],
                       static_cast<float>(z) + face[corner][2]);
        }
    }
    glEnd();
}
