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
#include <mutex>
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
    // Every plane will be merged afresh: a batch that changes much of the box
    // touches them all. Such a batch only writes the store, and tells of it.
    void MarkAll(const DenseIndex& index);
    // The cube at pos, in the store's slot, is about to become a whole cube
    // of some texture, or none. Only a cube that holds a record is noted: a
    // new game fills every cube of the box, and the count of records tells
    // how many were filled.
    void NoteCube(const DenseIndex& index, const BlockPos& pos, size_t slot) {
        if (index.Holds(slot)) {
            NoteRecord(index, pos, slot);
        }
    }
    // Some face is about to come or go otherwise.
    void NoteShape() { shapeKept = false; }
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
    using Engine = QuadAlgorithm::QuadMergerEngine;
    struct Plane {
        bool sweep = false;
        std::vector<Change> changes;
        std::vector<QuadAlgorithm::TexturedQuad> rectangles;  // a swept plane's, once read
        std::vector<std::pair<int, const Engine*>> engines;  // by texture, when its rectangles are read again
    };
    // Kept from sweep to sweep within a batch, one for each thread, and let
    // go at its end: a big box's layers of faces are megabytes that a game
    // mostly spends between batches.
    struct Scratch {
        DenseIndex::Faces low, high;
        std::vector<QuadAlgorithm::TexturedQuad> found;
        std::vector<int16_t> changed;  // a rereading plane's cells: the texture of a cube changed, else 0
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
    // The rectangles found, sorted into the plane's list: a spare one of a
    // plane already filed, where there is one.
    void Keep(Plane& plane, const std::vector<QuadAlgorithm::TexturedQuad>& found) const;
    // Whether the batch left every face showing that showed, and no other:
    // then only looks changed, and each plane's rectangles are read again.
    // Each cube changed learns its texture now, and the cubes are sorted by
    // their layers across each axis.
    bool ShapeKept(const DenseIndex& index);
    // The watch gives up rather than note more than a quarter of the store's
    // cubes, as a batch of single cubes uncovered would.
    void NoteRecord(const DenseIndex& index, const BlockPos& pos, size_t slot);
    void FindEngines(const QuadAlgorithm& quads);
    // Whether a sweep needs the faces of this layer of cubes across the axis.
    bool Needed(int axis, int64_t layer) const;
    void SortByLayer(const DenseIndex& index);
    // Each plane marked whose faces the run's layers hold, with its side and place.
    template <typename Visit>
    void ForEachPlane(const Run& run, Visit visit);
    void RereadLayers(const DenseIndex& index, const Run& run, Scratch& scratch);
    // The plane's rectangles, each in the texture its cells show now, from
    // the cubes changed in the layer whose faces the plane holds.
    void Reread(Plane& plane, int side, int64_t at, const DenseIndex& index, Scratch& scratch) const;
    // The rectangle's cells, cut into rectangles of one texture each, as a sweep finds them.
    template <typename TextureAt>
    static void Split(const QuadAlgorithm::Quad& quad, TextureAt textureAt, Scratch& scratch);

    BlockRect bounds;
    std::vector<Plane> planes[6];  // by side, then plane from the bounds' low corner
    int64_t base[6] = {0, 0, 0, 0, 0, 0};  // the coordinate of the cubes whose faces lie in each side's first plane
    Scratch scratch[2];
    // The lists of planes filed, handed back for the next planes read to
    // fill: given back and taken again plane by plane, the allocator would
    // return their pages to the system and fault them in again.
    mutable std::mutex spareLock;
    mutable std::vector<std::vector<QuadAlgorithm::TexturedQuad>> spares;
    // What a batch that only writes the store did to the cubes: the closed
    // ones it changed, the store's count of records before it, and whether
    // anything else changed which faces show. A loss takes every mine away
    // and puts it back in another texture.
    struct Changed {
        BlockPos pos;
        int texture;  // once the batch ends: the cube's on all sides, or -1 where they differ
    };
    std::vector<Changed> changed;
    size_t recordsBefore = 0;
    bool shapeKept = false;
    bool rereading = false;
    // The cubes changed by their layer across each axis from the box's low
    // corner, layer l's from layerStarts[l] on: each as its cell in the
    // layer's planes, row by row, and its texture, -1 where its faces differ.
    struct InLayer {
        uint32_t cell;
        int32_t look;
    };
    std::vector<InLayer> byLayer[3];
    std::vector<uint32_t> layerStarts[3];
    std::vector<size_t> order;  // scratch space of Net
    std::vector<Change> net;
    int64_t width[3] = {0, 0, 0}, height[3] = {0, 0, 0};  // of the planes across each axis
};

#endif
