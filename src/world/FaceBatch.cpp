#include "world/FaceBatch.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <numeric>
#include <thread>
#include <tuple>

#include "support/Sides.h"
#include "system/System.h"

void FaceBatch::Begin(const BlockRect& box, const DenseIndex& index) {
    bounds = box;
    for (int side = 1; side <= 6; ++side) {
        const Side& facts = kSides[side];
        planes[side - 1].assign(static_cast<size_t>(index.Extent(facts.axis) + 1), Plane());
        base[side - 1] = Coordinate(bounds.low, facts.axis) - (facts.sign > 0);
        width[facts.axis] = index.Extent(facts.u);
        height[facts.axis] = index.Extent(facts.v);
    }
}

void FaceBatch::MarkAll(const DenseIndex& index) {
    for (std::vector<Plane>& side : planes) {
        for (Plane& plane : side) {
            plane.sweep = true;
            plane.changes = {};
        }
    }
    shapeKept = true;
    recordsBefore = index.Records();
}

void FaceBatch::NoteRecord(const DenseIndex& index, const BlockPos& pos, size_t slot) {
    if (shapeKept && index.Closed(slot) && changed.size() < index.Size() / 4) {
        changed.push_back(Changed{pos, 0});
    } else {
        shapeKept = false;
    }
}

// Every change of a closed cube was noted, and all else but filling an empty
// one ended the watch: each cube noted that is closed again, with as many
// records as before, leaves no cube filled that was not emptied first.
bool FaceBatch::ShapeKept(const DenseIndex& index) {
    if (!shapeKept || index.Records() != recordsBefore || changed.size() > UINT32_MAX) {
        return false;
    }
    for (Changed& cube : changed) {
        size_t slot = 0;
        index.SlotOf(cube.pos, slot);
        if (!index.Closed(slot)) {
            return false;
        }
        cube.texture = index.Look(slot);
    }
    SortByLayer(index);
    return true;
}

void FaceBatch::SortByLayer(const DenseIndex& index) {
    for (int axis = 0; axis < 3; ++axis) {
        const int u = kSides[SideAcross(axis, -1)].u, v = kSides[SideAcross(axis, -1)].v;
        const auto layerOf = [&](const Changed& cube) { return static_cast<size_t>(Coordinate(cube.pos, axis) - Coordinate(bounds.low, axis)); };
        std::vector<uint32_t>& starts = layerStarts[axis];
        starts.assign(static_cast<size_t>(index.Extent(axis)) + 1, 0);
        for (const Changed& cube : changed) {
            ++starts[layerOf(cube) + 1];
        }
        std::partial_sum(starts.begin(), starts.end(), starts.begin());
        std::vector<uint32_t> next(starts.begin(), starts.end() - 1);
        byLayer[axis].resize(changed.size());
        for (const Changed& cube : changed) {
            const int64_t cell = (Coordinate(cube.pos, v) - Coordinate(bounds.low, v)) * width[axis] +
                                 (Coordinate(cube.pos, u) - Coordinate(bounds.low, u));
            byLayer[axis][next[layerOf(cube)]++] = InLayer{static_cast<uint32_t>(cell), cube.texture};
        }
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
    const int axis = kSides[side].axis;
    if (static_cast<int64_t>(plane.changes.size()) < std::max<int64_t>(16, width[axis] * height[axis] / 64)) {
        plane.changes.push_back(Change{texture, pos, add});
    } else {
        MarkForSweep(side, pos);
    }
    return true;
}

// Planes never share an engine, so every sweep may come before every list.
void FaceBatch::Apply(QuadAlgorithm& quads, const DenseIndex& index) {
    rereading = ShapeKept(index);
    if (rereading) {
        FindEngines(quads);
    }
    const bool big = SweepAll(quads, index);
    for (int side = 1; side <= 6; ++side) {
        const int first = Coordinate(bounds.low, kSides[side].axis);
        for (size_t i = 0; i < planes[side - 1].size(); ++i) {
            const int coordinate = first + static_cast<int>(i);
            for (const Change& change : Net(planes[side - 1][i].changes)) {
                change.add ? quads.AddQuad(change.texture, side, coordinate, change.pos)
                           : quads.RemoveQuad(change.texture, side, coordinate, change.pos);
            }
        }
    }
    // A page given back costs about ten microseconds to take again, and a
    // 100-cube flood takes a thousand: the planes' rectangles and the scratch
    // go back only while the process holds the most it ever has. Below that,
    // what the last game let go waits for this one to fill.
    const bool peak = big && System::AtPeak();
    Discard();
    if (peak) {
        System::ReturnFreeMemory();
    }
}

// A face's changes alternate, added and taken away, so an even number of them
// leaves it as it was and an odd number does what the first did: a face that
// came and went within the batch, as between two cubes taken away side by
// side, costs the merging nothing.
const std::vector<FaceBatch::Change>& FaceBatch::Net(const std::vector<Change>& changes) {
    const auto face = [](const Change& c) { return std::make_tuple(c.texture, c.pos.x, c.pos.y, c.pos.z); };
    order.resize(changes.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return face(changes[a]) < face(changes[b]); });
    std::vector<bool> kept(changes.size(), false);
    for (size_t run = 0; run < order.size();) {
        size_t end = run + 1;
        while (end < order.size() && face(changes[order[end]]) == face(changes[order[run]])) {
            ++end;
        }
        kept[order[run]] = (end - run) % 2 == 1;
        run = end;
    }
    net.clear();
    for (size_t c = 0; c < changes.size(); ++c) {
        if (kept[c]) {
            net.push_back(changes[c]);
        }
    }
    return net;
}

void FaceBatch::Discard() {
    for (std::vector<Plane>& side : planes) {
        side = {};
    }
    for (Scratch& own : scratch) {
        own = Scratch();
    }
    spares = {};
    changed = {};
    for (int axis = 0; axis < 3; ++axis) {
        byLayer[axis] = {};
        layerStarts[axis] = {};
    }
    shapeKept = rereading = false;
}

// A layer of cubes holds the faces of the low side's plane of its own
// coordinate and of the high side's plane one above.
bool FaceBatch::Needed(int axis, int64_t layer) const {
    const std::vector<Plane>& low = planes[SideAcross(axis, -1) - 1];
    const std::vector<Plane>& high = planes[SideAcross(axis, +1) - 1];
    return (layer >= 0 && layer < static_cast<int64_t>(low.size()) && low[layer].sweep) ||
           (layer + 1 >= 0 && layer + 1 < static_cast<int64_t>(high.size()) && high[layer + 1].sweep);
}

// Reading faces and finding rectangles touch nothing but the store and each
// plane's own rectangles, so a big batch shares them between two threads,
// each taking the next few layers of an axis until none are left. The merging
// is this thread's alone: it files each run's planes, in the runs' order, as
// soon as they are swept, and sweeps the next run only when none waits.
// Eight layers make a run: a column along z yields one word of them, and
// each thread's layers of faces stay small, as pages first touched cost.
bool FaceBatch::SweepAll(QuadAlgorithm& quads, const DenseIndex& index) {
    constexpr int64_t kCellsForTwoThreads = 1 << 18, kLayersPerRun = 8;
    int64_t cells = 0;
    for (int side = 1; side <= 6; ++side) {
        const int axis = kSides[side].axis;
        cells += width[axis] * height[axis] *
                 std::count_if(planes[side - 1].begin(), planes[side - 1].end(), [](const Plane& p) { return p.sweep; });
    }
    std::vector<Run> runs;
    for (int axis = 0; axis < 3; ++axis) {
        const int64_t end = index.Extent(axis) + 1;  // from the layer below the box to the one above
        for (int64_t first = -1; first < end; first += kLayersPerRun) {
            runs.push_back(Run{axis, first, std::min(first + kLayersPerRun, end)});
        }
    }
    std::vector<std::atomic<bool>> swept(runs.size());
    std::atomic<size_t> taken{0};
    const auto sweepNext = [&](Scratch& own) {
        const size_t run = taken++;
        if (run < runs.size()) {
            SweepLayers(index, runs[run].axis, runs[run].begin, runs[run].end, own);
            swept[run].store(true, std::memory_order_release);
        }
        return run < runs.size();
    };
    const bool big = cells >= kCellsForTwoThreads;
    std::future<void> other;
    if (big) {
        other = System::StartAlongside([&] {
            while (sweepNext(scratch[1])) {
            }
        });
    }
    for (size_t filed = 0; filed < runs.size();) {
        if (swept[filed].load(std::memory_order_acquire)) {
            File(quads, runs[filed++]);
        } else if (!sweepNext(scratch[0])) {
            // The other thread is still sweeping it, unless it failed.
            if (other.valid() && other.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
                other.get();
            }
            std::this_thread::yield();
        }
    }
    if (other.valid()) {
        other.get();
    }
    return big;
}

// Layer l of cubes holds the faces of the low side's plane l and of the high
// side's plane l + 1.
template <typename Visit>
void FaceBatch::ForEachPlane(const Run& run, Visit visit) {
    for (const int sign : {-1, +1}) {
        const int side = SideAcross(run.axis, sign);
        std::vector<Plane>& sidePlanes = planes[side - 1];
        const int64_t shift = sign > 0, end = std::min<int64_t>(run.end + shift, static_cast<int64_t>(sidePlanes.size()));
        for (int64_t i = std::max<int64_t>(run.begin + shift, 0); i < end; ++i) {
            if (sidePlanes[i].sweep) {
                visit(side, i, sidePlanes[i]);
            }
        }
    }
}

void FaceBatch::File(QuadAlgorithm& quads, const Run& run) {
    ForEachPlane(run, [&](int side, int64_t at, Plane& plane) {
        quads.ReplacePlane(side, Coordinate(bounds.low, run.axis) + static_cast<int>(at), plane.rectangles);
        if (plane.rectangles.capacity() != 0) {
            plane.rectangles.clear();
            const std::lock_guard<std::mutex> hold(spareLock);
            spares.push_back(std::move(plane.rectangles));
        }
    });
}

// A plane's engines are looked up here, before any thread reads them: the
// merging may add engines as it files, and the maps are not for sharing.
void FaceBatch::FindEngines(const QuadAlgorithm& quads) {
    for (const auto& [texture, sides] : quads.Holder().Engines()) {
        for (const auto& [side, engines] : sides) {
            std::vector<Plane>& sidePlanes = planes[side - 1];
            for (const auto& [plane, engine] : engines) {
                const int64_t at = plane - Coordinate(bounds.low, kSides[side].axis);
                if (at >= 0 && at < static_cast<int64_t>(sidePlanes.size()) && sidePlanes[at].sweep) {
                    sidePlanes[at].engines.emplace_back(texture, &engine);
                }
            }
        }
    }
}

// The faces of runs of needed layers are read together, as many layers as
// make a few hundred kilobytes of cells at a time.
void FaceBatch::SweepLayers(const DenseIndex& index, int axis, int64_t begin, int64_t end, Scratch& scratch) {
    if (rereading) {
        RereadLayers(index, Run{axis, begin, end}, scratch);
        return;
    }
    constexpr int64_t kCellsAtOnce = 1 << 21;
    const int lowSide = SideAcross(axis, -1), highSide = SideAcross(axis, +1);
    const int64_t area = width[axis] * height[axis];
    const int64_t most = std::max<int64_t>(1, kCellsAtOnce / std::max<int64_t>(area, 1));
    for (int64_t first = begin; first < end;) {
        if (!Needed(axis, first)) {
            ++first;
            continue;
        }
        int64_t count = 1;
        while (first + count < end && count < most && Needed(axis, first + count)) {
            ++count;
        }
        index.VisibleFaces(axis, first, count, scratch.low, scratch.high);
        // A sweep takes every face it reads; a plane not swept is cleared.
        const auto sweepOrClear = [&](Plane* plane, DenseIndex::Faces& faces, int64_t layer) {
            if (plane != nullptr && plane->sweep) {
                Sweep(*plane, axis, faces, layer - first, scratch);
            } else {
                std::fill_n(faces.cells.begin() + (layer - first) * area, area, int16_t(0));
            }
        };
        const int64_t highPlanes = static_cast<int64_t>(planes[highSide - 1].size());
        for (int64_t layer = first; layer < first + count; ++layer) {
            sweepOrClear(layer >= 0 ? &planes[lowSide - 1][layer] : nullptr, scratch.low, layer);
            sweepOrClear(layer + 1 < highPlanes ? &planes[highSide - 1][layer + 1] : nullptr, scratch.high, layer);
        }
        first += count;
    }
}

// The plane's rectangles from the faces visible in it, all textures at once:
// the layer of cubes is the one at this place among those read. They are
// found in the thread's own space, which grows once, and sorted into the
// plane's at their size: grown plane by plane, half a flood's page faults
// came from copying them as they doubled.
void FaceBatch::Sweep(Plane& plane, int axis, DenseIndex::Faces& faces, int64_t layer, Scratch& scratch) const {
    const int64_t rows = height[axis];
    const int u = kSides[SideAcross(axis, -1)].u, v = kSides[SideAcross(axis, -1)].v;
    scratch.found.clear();
    QuadAlgorithm::SweepRectangles(faces.cells.data() + layer * width[axis] * rows, static_cast<int>(width[axis]),
                                   static_cast<int>(rows),
                                   QuadAlgorithm::Point(Coordinate(bounds.low, u), Coordinate(bounds.low, v)),
                                   scratch.found, faces.occupied.data() + layer * rows * QuadAlgorithm::RowWords(width[axis]));
    Keep(plane, scratch.found);
}

void FaceBatch::Keep(Plane& plane, const std::vector<QuadAlgorithm::TexturedQuad>& found) const {
    if (plane.rectangles.capacity() == 0) {
        const std::lock_guard<std::mutex> hold(spareLock);
        if (!spares.empty()) {
            plane.rectangles = std::move(spares.back());
            spares.pop_back();
        }
    }
    QuadAlgorithm::SortByTextureAndQuad(found, plane.rectangles);
}

void FaceBatch::RereadLayers(const DenseIndex& index, const Run& run, Scratch& scratch) {
    ForEachPlane(run, [&](int side, int64_t at, Plane& plane) { Reread(plane, side, at, index, scratch); });
}

// Each rectangle of the plane, in the texture its cells show now: most keep
// theirs or change it whole, and the rest are cut up. A plane where nothing
// changed, or whose layer holds no cube noted, is left as it is. The cubes noted are the only ones whose looks
// may have changed; they are looked up in a grid of the plane's cells, which
// is cleared again at the end.
void FaceBatch::Reread(Plane& plane, int side, int64_t at, const DenseIndex& index, Scratch& scratch) const {
    using Point = QuadAlgorithm::Point;
    const Side& facts = kSides[side];
    const int64_t layer = at - (facts.sign > 0), rowLength = width[facts.axis];
    const int lowU = Coordinate(bounds.low, facts.u), lowV = Coordinate(bounds.low, facts.v);
    const auto cellOf = [&](int u, int v) { return static_cast<size_t>((v - lowV) * rowLength + (u - lowU)); };
    std::vector<int16_t>& grid = scratch.changed;
    grid.resize(static_cast<size_t>(rowLength * height[facts.axis]));
    const InLayer* first = nullptr;
    const InLayer* last = nullptr;
    if (layer >= 0 && layer < index.Extent(facts.axis)) {
        first = byLayer[facts.axis].data() + layerStarts[facts.axis][layer];
        last = byLayer[facts.axis].data() + layerStarts[facts.axis][layer + 1];
    }
    if (first == last) {
        plane.sweep = false;
        return;
    }
    const int64_t strides[3] = {index.Extent(1) * index.Extent(2), index.Extent(2), 1};
    for (const InLayer* cube = first; cube != last; ++cube) {
        const int64_t slot = layer * strides[facts.axis] + cube->cell % rowLength * strides[facts.u] + cube->cell / rowLength * strides[facts.v];
        grid[cube->cell] = static_cast<int16_t>(cube->look >= 0 ? cube->look : index.Face(static_cast<size_t>(slot), side));
    }
    scratch.found.clear();
    bool differs = false;
    for (const auto& [texture, engine] : plane.engines) {
        const auto textureAt = [&, was = texture](const Point& cell) {
            const int now = grid[cellOf(cell.x, cell.y)];
            return now != 0 ? now : was;
        };
        engine->ForEach([&, was = texture](const QuadAlgorithm::Quad& q) {
            const int now = textureAt(q.low);
            bool whole = true;
            for (int y = q.low.y; y <= q.high.y && whole; ++y) {
                for (int x = q.low.x; x <= q.high.x && whole; ++x) {
                    whole = textureAt(Point(x, y)) == now;
                }
            }
            differs = differs || !whole || now != was;
            if (whole) {
                scratch.found.push_back(QuadAlgorithm::TexturedQuad{now, q});
            } else {
                Split(q, textureAt, scratch);
            }
        });
    }
    for (const InLayer* cube = first; cube != last; ++cube) {
        grid[cube->cell] = 0;
    }
    plane.sweep = differs;
    if (differs) {
        Keep(plane, scratch.found);
    }
}

// A row or a column is cut where its texture changes; anything wider is swept.
template <typename TextureAt>
void FaceBatch::Split(const QuadAlgorithm::Quad& quad, TextureAt textureAt, Scratch& scratch) {
    using Point = QuadAlgorithm::Point;
    const int width = quad.high.x - quad.low.x + 1, height = quad.high.y - quad.low.y + 1;
    if (width == 1 || height == 1) {
        const Point step(width > 1, width == 1);
        Point start = quad.low;
        int texture = textureAt(start);
        for (Point cell = start;; cell = Point(cell.x + step.x, cell.y + step.y)) {
            const Point next(cell.x + step.x, cell.y + step.y);
            const bool last = next.x > quad.high.x || next.y > quad.high.y;
            const int nextTexture = last ? 0 : textureAt(next);
            if (nextTexture != texture) {
                scratch.found.push_back(QuadAlgorithm::TexturedQuad{texture, QuadAlgorithm::Quad(start, cell)});
                start = next;
                texture = nextTexture;
            }
            if (last) {
                return;
            }
        }
    }
    const int64_t words = QuadAlgorithm::RowWords(width);
    DenseIndex::Faces& grid = scratch.low;
    grid.cells.resize(static_cast<size_t>(width) * height);
    grid.occupied.assign(static_cast<size_t>(words * height), ~uint64_t(0));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            grid.cells[static_cast<size_t>(y) * width + x] = static_cast<int16_t>(textureAt(Point(quad.low.x + x, quad.low.y + y)));
        }
        if (width % 64 != 0) {
            grid.occupied[static_cast<size_t>((y + 1) * words - 1)] = (uint64_t(1) << (width % 64)) - 1;
        }
    }
    QuadAlgorithm::SweepRectangles(grid.cells.data(), width, height, quad.low, scratch.found, grid.occupied.data());
}
