#include "render/Outline.h"

#include <GL/glew.h>

void DrawCubeOutline(const BlockPos& cube, const LineStyle& style) {
    const float low[3] = {cube.x - style.gap, cube.y - style.gap, cube.z - style.gap};
    const float high[3] = {cube.x + 1 + style.gap, cube.y + 1 + style.gap, cube.z + 1 + style.gap};
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glColor3fv(style.rgb);
    glLineWidth(style.width);
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
