#include "world/FaceBatch.h"

#include <algorithm>

#include "support/Sides.h"

void FaceBatch::Begin(const BlockRect& box, const DenseIndex& index) {
    bounds = box;
    for (int side = 1; side <= 6; ++side) {
        const Side& facts = kSides[side];
        planes[side - 1].assign(static_cast<size_t>(index.Extent(facts.axis) + 1), Plane());
        base[side - 1] = Coordinate(bounds.low, facts.axis) - (facts.sign > 0);
        cellsPerPlane[side - 1] = index.Extent(facts.u) * index.Extent(facts.v);
    }
}

bool FaceBatch::Defer(int texture, const BlockPos& pos, int side, bool add) {
    if (!Waiting()) {
        return false;
    }
    Plane& plane = At(side, pos);
    if (plane.sweep) {
        return true;
    }
    if (static_cast<int64_t>(plane.changes.size()) < std::max<int64_t>(16, cellsPerPlane[side - 1] / 64)) {
        plane.changes.push_back(Change{texture, pos, add});
    } else {
        MarkForSweep(side, pos);
    }
    return true;
}

void FaceBatch::Apply(QuadAlgorithm& quads, const DenseIndex& index) {
    for (int side = 1; side <= 6; ++side) {
        const int first = Coordinate(bounds.low, kSides[side].axis);
        for (size_t i = 0; i < planes[side - 1].size(); ++i) {
            const Plane& plane = planes[side - 1][i];
            const int coordinate = first + static_cast<int>(i);
            if (plane.sweep) {
                Sweep(quads, index, side, coordinate);
            }
            for (const Change& change : plane.changes) {
                change.add ? quads.AddQuad(change.texture, side, coordinate, change.pos)
                           : quads.RemoveQuad(change.texture, side, coordinate, change.pos);
            }
        }
        planes[side - 1] = {};
    }
}

void FaceBatch::Discard() {
    for (std::vector<Plane>& side : planes) {
        side = {};
    }
}

// Merges the plane again from the faces visible in it, all textures at once.
void FaceBatch::Sweep(QuadAlgorithm& quads, const DenseIndex& index, int side, int plane) {
    const Side& facts = kSides[side];
    index.VisibleFaces(side, plane, cells);
    rectangles.clear();
    QuadAlgorithm::SweepRectangles(cells, static_cast<int>(index.Extent(facts.u)),
                                   QuadAlgorithm::Point(Coordinate(bounds.low, facts.u), Coordinate(bounds.low, facts.v)),
                                   rectangles);
    quads.ReplacePlane(side, plane, rectangles);
}
