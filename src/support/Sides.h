#ifndef CUBOMB_SUPPORT_SIDES_H
#define CUBOMB_SUPPORT_SIDES_H

// What the side numbers 1 to 6 of a cube's faces mean, and which cubes are
// neighbours: every part of the game that needs either reads it here.

#include <array>

#include "support/Geometry.h"

struct Side {
    int axis;        // 0 x, 1 y, 2 z: the axis the face lies across
    int sign;        // +1 when the face looks along +axis, -1 along -axis
    int opposite;    // the side of the neighbour's face that touches it
    int u, v;        // the axes of the face's cell in its plane
    bool uvOutward;  // u x v points out of the face, not into it
    float shade;     // the grey of a face across this axis
};

// Index 0 is no side.
constexpr Side kSides[7] = {
    {0, 0, 0, 0, 0, false, 0.0f},
    {2, +1, 2, 0, 1, true, 0.85f},   // 1: +z
    {2, -1, 1, 0, 1, false, 0.85f},  // 2: -z
    {1, +1, 4, 0, 2, false, 0.7f},   // 3: +y
    {1, -1, 3, 0, 2, true, 0.7f},    // 4: -y
    {0, -1, 6, 1, 2, false, 1.0f},   // 5: -x
    {0, +1, 5, 1, 2, true, 1.0f},    // 6: +x
};

constexpr bool IsSide(int side) {
    return side >= 1 && side <= 6;
}

// The side whose face lies across the axis and looks along sign.
constexpr int SideAcross(int axis, int sign) {
    for (int side = 1; side <= 6; ++side) {
        if (kSides[side].axis == axis && kSides[side].sign == sign) return side;
    }
    return 0;
}

inline int32_t& Coordinate(BlockPos& p, int axis) {
    return axis == 0 ? p.x : (axis == 1 ? p.y : p.z);
}

inline int32_t Coordinate(const BlockPos& p, int axis) {
    return axis == 0 ? p.x : (axis == 1 ? p.y : p.z);
}

inline float Coordinate(const Vector& p, int axis) {
    return axis == 0 ? p.x : (axis == 1 ? p.y : p.z);
}

// Whether every face of the side lying within the box turns its back to the
// eye, which sees none of them even edge on.
inline bool TurnedAway(int side, const Vector& eye, const Vector& low, const Vector& high) {
    const int axis = kSides[side].axis;
    return kSides[side].sign > 0 ? Coordinate(eye, axis) < Coordinate(low, axis) : Coordinate(eye, axis) > Coordinate(high, axis);
}

// The cube across the face of a side; a number that is no side gives pos itself.
inline BlockPos Across(BlockPos pos, int side) {
    if (IsSide(side)) Coordinate(pos, kSides[side].axis) += kSides[side].sign;
    return pos;
}

// The offsets of a cube's 26 neighbours, dx then dy then dz running from -1 to 1.
constexpr std::array<BlockPos, 26> kNeighbours = [] {
    std::array<BlockPos, 26> offsets{};
    int n = 0;
    for (int d = 0; d < 27; ++d) {
        if (d != 13) offsets[n++] = BlockPos(d / 9 - 1, d / 3 % 3 - 1, d % 3 - 1);
    }
    return offsets;
}();

#endif
