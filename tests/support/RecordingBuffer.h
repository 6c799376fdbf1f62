#ifndef CUBOMB_TESTS_RECORDINGBUFFER_H
#define CUBOMB_TESTS_RECORDINGBUFFER_H

#include <algorithm>
#include <cmath>
#include <set>
#include <tuple>
#include <vector>

#include "quads/QuadBuffer.h"
#include "support/Sides.h"

// A face of a cube: texture, x, y, z, side.
using Face = std::tuple<int, int, int, int, int>;

// Records every rectangle of a drawing pass as the unit faces it covers. The
// outward normal names the side; the cubes lie on its inner side.
class RecordingBuffer : public QuadBuffer {
public:
    void Start() override {}
    void SetTexture(int t) override { texture = t; }
    void Flush() override {}
    void End() override {}
    void AddQuad(const Vector& p1, const Vector& p2, const Vector& p3, const Vector& p4, float uMin, float uMax,
                 float vMin, float vMax) override {
        const Vector n = Cross(p2 - p1, p3 - p1);
        const float normal[3] = {n.x, n.y, n.z};
        const int a = n.x != 0 ? 0 : (n.y != 0 ? 1 : 2);
        const int u = a == 0 ? 1 : 0;
        const int v = a == 2 ? 1 : 2;
        int low[3], high[3];
        for (int k = 0; k < 3; ++k) {
            const float values[4] = {Axis(p1, k), Axis(p2, k), Axis(p3, k), Axis(p4, k)};
            low[k] = static_cast<int>(std::lround(*std::min_element(values, values + 4)));
            high[k] = static_cast<int>(std::lround(*std::max_element(values, values + 4)));
        }
        low[a] -= normal[a] > 0;
        rangesMatchSize = rangesMatchSize && uMin == 0 && vMin == 0 && std::lround(uMax) == high[u] - low[u] &&
                          std::lround(vMax) == high[v] - low[v];
        int cell[3] = {low[0], low[1], low[2]};
        for (cell[u] = low[u]; cell[u] < high[u]; ++cell[u])
            for (cell[v] = low[v]; cell[v] < high[v]; ++cell[v])
                faces.insert(Face{texture, cell[0], cell[1], cell[2], SideAcross(a, normal[a] > 0 ? 1 : -1)});
    }

    std::multiset<Face> faces;
    bool rangesMatchSize = true;

private:
    static float Axis(const Vector& p, int k) { return k == 0 ? p.x : (k == 1 ? p.y : p.z); }
    int texture = 0;
};

#endif
