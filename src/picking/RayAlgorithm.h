#ifndef CUBOMB_PICKING_RAYALGORITHM_H
#define CUBOMB_PICKING_RAYALGORITHM_H

// Which solid position of a block world a ray meets first, where it enters it
// and through which side. Each axis is marched from one integer plane to the
// next, testing the position just beyond each plane; the nearest of the three
// axis candidates wins. The only question put to the world is IsPhysicallySolid.
//
// Inputs: the world, the ray's origin and direction (any length), and for the
// bounded ray a maximum distance. Outputs: the entry point, the block and the
// side entered (5/6 moving up/down x, 4/3 along y, 2/1 along z). Out-parameters
// are written only when some axis found a candidate.

#include "support/Geometry.h"

class BlockWorld2;

// What stops a ray: the block world's solid cubes, or any other set of positions.
class RayStop {
public:
    virtual bool Stops(const BlockPos& pos) const = 0;

protected:
    ~RayStop() = default;
};

class RayAlgorithm {
public:
    // On equal distances the earlier axis wins: x, then y, then z.
    bool RayIntersectsWorld(const BlockWorld2* world, const Vector& origin, const Vector& direction,
                            float maxDistance, Vector& hitPoint, BlockPos& hitBlock, int& hitSide) const;
    // The same march, stopped by the given positions instead of solid cubes.
    bool RayIntersectsWorld(const RayStop& stop, const Vector& origin, const Vector& direction, float maxDistance,
                            Vector& hitPoint, BlockPos& hitBlock, int& hitSide) const;
    // Unbounded; on equal distances the later axis wins: z, then y, then x. A march
    // that has left the world's bounds and moves away from them meets nothing more;
    // one that starts far outside them goes straight to them.
    void InfiniteRayIntersectsWorld(const BlockWorld2* world, const Vector& origin, const Vector& direction,
                                    Vector& hitPoint, BlockPos& hitBlock, int& hitSide) const;
};

#endif
