#include "RecordingBuffer.h"

#include <algorithm>
#include <cmath>

namespace {

int Round(float v) {
    return static_cast<int>(std::lround(v));
}

}  // namespace

// The outward normal names the side; the rectangle's extent on the other two axes lists its cells.
void RecordingBuffer::AddQuad(const Vector& p1, const Vector& p2, const Vector& p3, const Vector& p4, float uMin,
                              float uMax, float vMin, float vMax) {
    calls.push_back("AddQuad");
    rectangles.push_back(Rectangle{{p1, p2, p3, p4}, uMax, vMax});
    const Vector n = Cross(p2 - p1, p3 - p1);
    const float axis[3] = {n.x, n.y, n.z};
    const int a = std::fabs(n.x) > 0 ? 0 : (std::fabs(n.y) > 0 ? 1 : 2);
    const bool positive = axis[a] > 0;
    static const int sideOf[3][2] = {{5, 6}, {4, 3}, {2, 1}};
    const int side = sideOf[a][positive];
    int low[3];
    int high[3];
    const Vector corners[] = {p1, p2, p3, p4};
    for (int k = 0; k < 3; ++k) {
        low[k] = high[k] = Round(k == 0 ? p1.x : (k == 1 ? p1.y : p1.z));
        for (const Vector& c : corners) {
            const int value = Round(k == 0 ? c.x : (k == 1 ? c.y : c.z));
            low[k] = std::min(low[k], value);
            high[k] = std::max(high[k], value);
        }
    }
    // The face lies in a plane; the cube is on its inner side.
    low[a] = positive ? low[a] - 1 : low[a];
    high[a] = low[a] + 1;
    const int u = a == 0 ? 1 : 0;
    const int v = a == 2 ? 1 : 2;
    rangesMatchSize = rangesMatchSize && uMin == 0 && vMin == 0 && Round(uMax) == high[u] - low[u] &&
                      Round(vMax) == high[v] - low[v];
    int cell[3];
    cell[a] = low[a];
    for (cell[u] = low[u]; cell[u] < high[u]; ++cell[u]) {
        for (cell[v] = low[v]; cell[v] < high[v]; ++cell[v]) {
            faces.insert(Face{texture, cell[0], cell[1], cell[2], side});
        }
    }
}
