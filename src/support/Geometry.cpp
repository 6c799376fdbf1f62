#include "support/Geometry.h"

#include <algorithm>
#include <cmath>

Vector& Vector::operator+=(const Vector& b) {
    x += b.x;
    y += b.y;
    z += b.z;
    return *this;
}

Vector& Vector::operator-=(const Vector& b) {
    x -= b.x;
    y -= b.y;
    z -= b.z;
    return *this;
}

Vector& Vector::operator/=(float s) {
    x /= s;
    y /= s;
    z /= s;
    return *this;
}

float Dot(const Vector& a, const Vector& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vector Cross(const Vector& a, const Vector& b) {
    return Vector(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

float LengthSquared(const Vector& v) {
    return Dot(v, v);
}

float Length(const Vector& v) {
    return std::sqrt(LengthSquared(v));
}

void Normalize(Vector& v) {
    v /= Length(v);
}

BlockRect CubesNear(const Vector& point, float reach) {
    const auto cube = [](float v) { return static_cast<int32_t>(std::floor(std::clamp(v, -1e9f, 1e9f))); };
    return BlockRect(BlockPos(cube(point.x - reach), cube(point.y - reach), cube(point.z - reach)),
                     BlockPos(cube(point.x + reach), cube(point.y + reach), cube(point.z + reach)));
}
