#ifndef CUBOMB_TESTS_RECORDINGBUFFER_H
#define CUBOMB_TESTS_RECORDINGBUFFER_H

#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "quads/QuadBuffer.h"

// A face of a cube: texture, position, side.
using Face = std::tuple<int, int, int, int, int>;

// Records a drawing pass: the call sequence, and every rectangle expanded to the unit faces it covers.
class RecordingBuffer : public QuadBuffer {
public:
    struct Rectangle {
        Vector p[4];
        float uMax, vMax;
    };

    void Start() override { calls.push_back("Start"); }
    void SetTexture(int t) override {
        texture = t;
        calls.push_back("SetTexture " + std::to_string(t));
    }
    void AddQuad(const Vector& p1, const Vector& p2, const Vector& p3, const Vector& p4, float uMin, float uMax,
                 float vMin, float vMax) override;
    void Flush() override { calls.push_back("Flush"); }
    void End() override { calls.push_back("End"); }

    std::vector<std::string> calls;
    std::vector<Rectangle> rectangles;
    std::multiset<Face> faces;
    bool rangesMatchSize = true;

private:
    int texture = 0;
};

#endif
