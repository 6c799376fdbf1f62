#ifndef CUBOMB_WORLD_FACEBATCH_H
#define CUBOMB_WORLD_FACEBATCH_H

// The face changes of one batch of the block world, held back plane by plane
// (one side and plane coordinate) until its end.
//
// Invariant: a plane marked for a sweep keeps no list of changes; every other
// plane keeps its changes in the order they came. At the end each marked
// plane is merged afresh from the faces the index shows in it, and each list
// is applied in order, less the changes that cancel out. No two planes share
// a merger engine, so the faces come out as if every change had been applied
// as it came.
//
// A plane takes its changes one by one while they are few (fewer than 16 or a
// sixty-fourth of its cells); past that, one sweep costs less.

#include <cstdint>
#include <vector>

#include "quads/QuadAlgorithm.h"
#include "support/Sides.h"
#include "world/DenseIndex.h"

class FaceBatch {
public:
    // From now on every face of the index's box waits.
    void Begin(const BlockRect& bounds, const DenseIndex& index);
    bool Waiting() const { return !planes[0].empty(); }
    // Holds the change back; false, doing nothing, when faces do not wait.
    bool Defer(int texture, const BlockPos& pos, int side, bool add);
    // The plane of the cube's face on that side will be merged afresh.
    void MarkForSweep(int side, const BlockPos& pos) {
        Plane& plane = At(side, pos);
        if (!plane.sweep) {
            plane.sweep = true;
            plane.changes = {};
        }
    }
    bool Sweeping(int side, const BlockPos& pos) const { return Waiting() && At(side, pos).sweep; }
    // Every plane will be merged afresh: a batch that changes much of the box touches them all.
    void MarkAll();
    // Applies what waits and ends the batch.
    void Apply(QuadAlgorithm& quads, const DenseIndex& index);
    // Ends the batch, dropping what waits.
    void Discard();

private:
    struct Change {
        int texture;
        BlockPos pos;
        bool add;
    };
    struct Plane {
        bool sweep = false;
        std::vector<Change> changes;
        std::vector<QuadAlgorithm::TexturedQuad> rectangles;  // a swept plane's, once read
    };
    // Kept from sweep to sweep within a batch, one for each thread, and let
    // go at its end: a big box's layers of faces are megabytes that a game
    // mostly spends between batches.
    struct Scratch {
        DenseIndex::Faces low, high;
        std::vector<QuadAlgorithm::TexturedQuad> found, sorting;
    };

    // The plane through the face of the cube at pos on that side.
    Plane& At(int side, const BlockPos& pos) { return planes[side - 1][Coordinate(pos, kSides[side].axis) - base[side - 1]]; }
    const Plane& At(int side, const BlockPos& pos) const {
        return planes[side - 1][Coordinate(pos, kSides[side].axis) - base[side - 1]];
    }
    // The layers of cubes from begin to before end across the axis, counted
    // from the box's low corner.
    struct Run {
        int axis;
        int64_t begin, end;
    };

    const std::vector<Change>& Net(const std::vector<Change>& changes);
    // Sweeps and files every plane marked; true when the sweep was big enough to share.
    bool SweepAll(QuadAlgorithm& quads, const DenseIndex& index);
    // Files the swept planes whose faces the run's layers hold.
    void File(QuadAlgorithm& quads, const Run& run);
    // The layers of cubes from begin to before end, counted from the box's low corner.
    void SweepLayers(const DenseIndex& index, int axis, int64_t begin, int64_t end, Scratch& scratch);
    void Sweep(Plane& plane, int axis, DenseIndex::Faces& faces, int64_t layer, Scratch& scratch) const;
    // Whether a sweep needs the faces of this layer of cubes across the axis.
    bool Needed(int axis, int64_t layer) const;

    BlockRect bounds;
    std::vector<Plane> planes[6];  // by side, then plane from the bounds' low corner
    int64_t base[6] = {0, 0, 0, 0, 0, 0};  // the coordinate of the cubes whose faces lie in each side's first plane
    Scratch scratch[2];
    std::vector<size_t> order;  // scratch space of Net
    std::vector<Change> net;
    int64_t width[3] = {0, 0, 0}, height[3] = {0, 0, 0};  // of the planes across each axis
};

#endif
