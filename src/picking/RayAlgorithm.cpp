#include "picking/RayAlgorithm.h"

#include <cmath>
#include <cstdint>

#include "support/Sides.h"
#include "world/BlockWorld2.h"

namespace {

constexpr float kEpsilon = 1e-6f;

struct Candidate {
    bool found = false;
    Vector hitPoint;
    BlockPos block;
    int side = 0;
};

// Coordinates far beyond any world are clamped; they stay outside every bounds.
int32_t FloorToCoordinate(double value) {
    const double floored = std::floor(value);
    if (floored <= static_cast<double>(INT32_MIN)) {
        return INT32_MIN;
    }
    if (floored >= static_cast<double>(INT32_MAX)) {
        return INT32_MAX;
    }
    return static_cast<int32_t>(floored);
}

bool IsFinite(const Vector& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// The block world's solid cubes.
class SolidCubes : public RayStop {
public:
    explicit SolidCubes(const BlockWorld2* world) : world(world) {}
    bool Stops(const BlockPos& pos) const override { return world->IsPhysicallySolid(pos); }

private:
    const BlockWorld2* world;
};

class AxisMarch {
public:
    // Bounds are needed only where a march must know it has left the world.
    AxisMarch(const RayStop& stop, const BlockRect* bounds, const Vector& origin, const Vector& direction, int axis)
        : stop(stop), bounds(bounds), axis(axis), b(axis == 0 ? 1 : 0), c(axis == 2 ? 1 : 2) {
        const float da = Coordinate(direction, axis);
        marches = da > kEpsilon || da < -kEpsilon;
        if (!marches) {
            return;
        }
        up = da > 0;
        const float run = up ? da : -da;
        slopeB = Coordinate(direction, b) / run;
        slopeC = Coordinate(direction, c) / run;
        const float oa = Coordinate(origin, axis);
        float planeA = oa;
        runB = Coordinate(origin, b);
        runC = Coordinate(origin, c);
        if (std::ceil(oa) != oa) {
            planeA = up ? std::ceil(oa) : std::floor(oa);
            const float t = up ? planeA - oa : oa - planeA;
            runB += slopeB * t;
            runC += slopeC * t;
        }
        plane = static_cast<double>(planeA);
        step = std::sqrt(1 + slopeB * slopeB + slopeC * slopeC);
    }

    bool Marches() const { return marches; }

    // One plane: true when the position beyond it is solid.
    bool TestPlane(Candidate& candidate) const {
        const BlockPos pos = Position();
        if (!stop.Stops(pos)) {
            return false;
        }
        candidate.found = true;
        candidate.block = pos;
        candidate.side = SideAcross(axis, up ? -1 : 1);  // the face that looks back at the ray
        float point[3];
        point[axis] = static_cast<float>(plane);
        point[b] = runB;
        point[c] = runC;
        candidate.hitPoint = Vector(point[0], point[1], point[2]);
        return true;
    }

    void Advance() {
        plane += up ? 1 : -1;
        runB += slopeB;
        runC += slopeC;
        travelled += step;
    }

    float Travelled() const { return travelled; }

    // Jumps to the first plane inside the world's bounds. Called once a plane
    // outside them held nothing solid, so none before them can: from far off,
    // marching there one plane at a time would never end.
    void SkipToWorld() {
        const double first = up ? Coordinate(bounds->low, axis) : Coordinate(bounds->high, axis) + 1.0;
        const double planes = up ? first - plane : plane - first;
        if (planes <= 0) {
            return;
        }
        plane = first;
        runB = static_cast<float>(runB + slopeB * planes);
        runC = static_cast<float>(runC + slopeC * planes);
        travelled = static_cast<float>(travelled + step * planes);
    }

    // With the world's outside not solid, a march beyond its bounds that keeps
    // moving away can meet nothing more.
    bool LeftTheWorld() const {
        const BlockPos pos = Position();
        return Away(pos, *bounds, axis, up ? 1.0f : -1.0f) || Away(pos, *bounds, b, slopeB) ||
               Away(pos, *bounds, c, slopeC);
    }

private:
    BlockPos Position() const {
        int32_t coordinates[3];
        coordinates[axis] = FloorToCoordinate(up ? plane : plane - 1);
        coordinates[b] = FloorToCoordinate(runB);
        coordinates[c] = FloorToCoordinate(runC);
        return BlockPos(coordinates[0], coordinates[1], coordinates[2]);
    }

    static bool Away(const BlockPos& pos, const BlockRect& bounds, int axisIndex, float motion) {
        const int32_t value = Coordinate(pos, axisIndex);
        return (value > Coordinate(bounds.high, axisIndex) && motion >= 0) ||
               (value < Coordinate(bounds.low, axisIndex) && motion <= 0);
    }

    const RayStop& stop;
    const BlockRect* bounds;
    int axis;
    int b;
    int c;
    bool marches = false;
    bool up = false;
    float slopeB = 0;
    float slopeC = 0;
    float runB = 0;
    float runC = 0;
    double plane = 0;  // a whole number, exact far beyond any world
    float step = 0;
    float travelled = 0;
};

Candidate MarchBounded(const RayStop& stop, const Vector& origin, const Vector& direction, int axis,
                       float maxDistance) {
    Candidate candidate;
    AxisMarch march(stop, nullptr, origin, direction, axis);
    if (!march.Marches()) {
        return candidate;
    }
    while (!march.TestPlane(candidate) && !(march.Travelled() > maxDistance)) {
        march.Advance();
    }
    return candidate;
}

Candidate MarchUnbounded(const BlockWorld2* world, const Vector& origin, const Vector& direction, int axis) {
    Candidate candidate;
    const SolidCubes solid(world);
    AxisMarch march(solid, &world->Bounds(), origin, direction, axis);
    if (!march.Marches() || march.TestPlane(candidate)) {
        return candidate;
    }
    march.SkipToWorld();
    while (!march.TestPlane(candidate) && !march.LeftTheWorld()) {
        march.Advance();
    }
    return candidate;
}

void Report(const Candidate& candidate, Vector& hitPoint, BlockPos& hitBlock, int& hitSide) {
    hitPoint = candidate.hitPoint;
    hitBlock = candidate.block;
    hitSide = candidate.side;
}

}  // namespace

bool RayAlgorithm::RayIntersectsWorld(const BlockWorld2* world, const Vector& origin, const Vector& direction,
                                      float maxDistance, Vector& hitPoint, BlockPos& hitBlock,
                                      int& hitSide) const {
    return RayIntersectsWorld(SolidCubes(world), origin, direction, maxDistance, hitPoint, hitBlock, hitSide);
}

bool RayAlgorithm::RayIntersectsWorld(const RayStop& stop, const Vector& origin, const Vector& direction,
                                      float maxDistance, Vector& hitPoint, BlockPos& hitBlock, int& hitSide) const {
    if (!IsFinite(origin) || !IsFinite(direction)) {
        return false;
    }
    float best = maxDistance + 1.0f;
    for (int axis = 0; axis < 3; ++axis) {
        const Candidate candidate = MarchBounded(stop, origin, direction, axis, maxDistance);
        if (!candidate.found) {
            continue;
        }
        const float distance = Length(candidate.hitPoint - origin);
        if (distance < best) {
            Report(candidate, hitPoint, hitBlock, hitSide);
            best = distance;
        }
    }
    return best <= maxDistance;
}

void RayAlgorithm::InfiniteRayIntersectsWorld(const BlockWorld2* world, const Vector& origin,
                                              const Vector& direction, Vector& hitPoint, BlockPos& hitBlock,
                                              int& hitSide) const {
    if (!IsFinite(origin) || !IsFinite(direction)) {
        return;
    }
    bool any = false;
    float best = 0;
    for (int axis = 0; axis < 3; ++axis) {
        const Candidate candidate = MarchUnbounded(world, origin, direction, axis);
        if (!candidate.found) {
            continue;
        }
        const float distance = Length(candidate.hitPoint - origin);
        if (!any || distance <= best) {
            Report(candidate, hitPoint, hitBlock, hitSide);
            best = distance;
            any = true;
        }
    }
}
