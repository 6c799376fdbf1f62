#ifndef CUBOMB_SUPPORT_GEOMETRY_H
#define CUBOMB_SUPPORT_GEOMETRY_H

// World space is right-handed with +z up; one unit is one cube edge, and the
// cube at BlockPos (x, y, z) fills the box from (x, y, z) to (x+1, y+1, z+1).

#include <cstdint>
#include <sstream>
#include <string>

struct Vector {
    float x, y, z;

    Vector() = default;
    Vector(float x, float y, float z) : x(x), y(y), z(z) {}

    Vector operator+(const Vector& b) const { return Vector(x + b.x, y + b.y, z + b.z); }
    Vector operator-(const Vector& b) const { return Vector(x - b.x, y - b.y, z - b.z); }
    Vector operator*(float s) const { return Vector(x * s, y * s, z * s); }
    Vector& operator+=(const Vector& b);
    Vector& operator-=(const Vector& b);
    Vector& operator/=(float s);
};

float Dot(const Vector& a, const Vector& b);
Vector Cross(const Vector& a, const Vector& b);
float LengthSquared(const Vector& v);
float Length(const Vector& v);
// No test for zero length: callers that may hold a zero vector check LengthSquared first.
void Normalize(Vector& v);

struct BlockPos {
    int32_t x, y, z;

    BlockPos() = default;
    constexpr BlockPos(int32_t x, int32_t y, int32_t z) : x(x), y(y), z(z) {}

    // Orders x, then y, then z: every map keyed by BlockPos is walked in this order.
    bool operator<(const BlockPos& other) const {
        if (x != other.x) {
            return x < other.x;
        }
        if (y != other.y) {
            return y < other.y;
        }
        return z < other.z;
    }
    bool operator==(const BlockPos& other) const { return x == other.x && y == other.y && z == other.z; }
    bool operator!=(const BlockPos& other) const { return !(*this == other); }
};

// Both corners inclusive; a rectangle with low above high on some axis is empty.
struct BlockRect {
    BlockPos low, high;

    BlockRect() = default;
    BlockRect(const BlockPos& low, const BlockPos& high) : low(low), high(high) {}
};

// The cubes a box reaching this far from the point along each axis touches.
BlockRect CubesNear(const Vector& point, float reach);

inline bool BlockInBlockRect(const BlockPos& p, const BlockRect& r) {
    return r.low.x <= p.x && p.x <= r.high.x && r.low.y <= p.y && p.y <= r.high.y && r.low.z <= p.z && p.z <= r.high.z;
}

template <typename T>
std::string ToString(const T& value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

#endif
