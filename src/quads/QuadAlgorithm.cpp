#include "quads/QuadAlgorithm.h"

#include <algorithm>
#include <climits>
#include <iterator>
#include <numeric>
#include <tuple>

#include "quads/QuadBuffer.h"
#include "support/ProcessEnd.h"
#include "support/Sides.h"

using Point = QuadAlgorithm::Point;
using Edge = QuadAlgorithm::Edge;
using Quad = QuadAlgorithm::Quad;
using Engine = QuadAlgorithm::QuadMergerEngine;

Edge Edge::Shift(int dx, int dy) {
    start.x += dx;
    start.y += dy;
    end.x += dx;
    end.y += dy;
    return *this;
}

bool Quad::Contains(Point p) const {
    return low.x <= p.x && p.x <= high.x && low.y <= p.y && p.y <= high.y;
}

Edge Quad::GetEdge1() const { return Edge(Point(low.x, high.y), Point(high.x, high.y)); }
Edge Quad::GetEdge2() const { return Edge(Point(high.x, low.y), Point(high.x, high.y)); }
Edge Quad::GetEdge3() const { return Edge(Point(low.x, low.y), Point(high.x, low.y)); }
Edge Quad::GetEdge4() const { return Edge(Point(low.x, low.y), Point(low.x, high.y)); }
Edge Quad::GetNextEdge1() const { return GetEdge1().Shift(0, 1); }
Edge Quad::GetNextEdge2() const { return GetEdge2().Shift(1, 0); }
Edge Quad::GetNextEdge3() const { return GetEdge3().Shift(0, -1); }
Edge Quad::GetNextEdge4() const { return GetEdge4().Shift(-1, 0); }

Engine::QuadMergerEngine(pmr::memory_resource* memory, size_t listMost)
    : listMost(listMost), list(memory), quads(memory), topEdges(memory), rightEdges(memory), bottomEdges(memory), leftEdges(memory), runs(memory) {}

void Engine::Initialize(int side, int plane) {
    this->side = side;
    this->plane = plane;
}

// Neighbours that fit exactly along a whole side, tried below, left, above, right.
bool Engine::FindNeighbour(const Quad& q, Quad& o, Quad& merged) const {
    if (Neighbour(q, kBelow, o)) {
        merged = Quad(o.low, Point(o.high.x, q.high.y));
    } else if (Neighbour(q, kLeft, o)) {
        merged = Quad(o.low, Point(q.high.x, o.high.y));
    } else if (Neighbour(q, kAbove, o)) {
        merged = Quad(Point(o.low.x, q.low.y), o.high);
    } else if (Neighbour(q, kRight, o)) {
        merged = Quad(Point(q.low.x, o.low.y), o.high);
    } else {
        return false;
    }
    return true;
}

// The quad whose edge fits exactly against the side of q. In the list, quads
// of the same columns lie together in order of their rows, and the ones that
// start at a column together.
bool Engine::Neighbour(const Quad& q, Direction direction, Quad& o) const {
    if (!flat) {
        const EdgeMap& edges = direction == kBelow ? topEdges
                             : direction == kLeft  ? rightEdges
                             : direction == kAbove ? bottomEdges
                                                   : leftEdges;
        const Edge key = direction == kBelow ? q.GetNextEdge3()
                       : direction == kLeft  ? q.GetNextEdge4()
                       : direction == kAbove ? q.GetNextEdge1()
                                             : q.GetNextEdge2();
        const auto found = edges.find(key);
        if (found != edges.end()) {
            o = found->second;
        }
        return found != edges.end();
    }
    const auto fits = [&](const Quad& r) {
        switch (direction) {
            case kBelow: return r.low.x == q.low.x && r.high.x == q.high.x && r.high.y == q.low.y - 1;
            case kAbove: return r.low.x == q.low.x && r.high.x == q.high.x && r.low.y == q.high.y + 1;
            case kLeft: return r.high.x == q.low.x - 1 && r.low.y == q.low.y && r.high.y == q.high.y;
            default: return r.low.x == q.high.x + 1 && r.low.y == q.low.y && r.high.y == q.high.y;
        }
    };
    const int firstColumn = direction == kLeft ? INT_MIN : direction == kRight ? q.high.x + 1 : q.low.x;
    const int lastColumn = direction == kLeft ? q.low.x - 1 : direction == kRight ? q.high.x + 1 : q.low.x;
    auto next = std::lower_bound(list.begin(), list.end(), Quad(Point(firstColumn, INT_MIN), Point(INT_MIN, INT_MIN)));
    for (; next != list.end() && next->low.x <= lastColumn; ++next) {
        if (fits(*next)) {
            o = *next;
            return true;
        }
    }
    return false;
}

// Each merge removes one quad, so the chain ends.
void Engine::AddQuad(Quad q) {
    Quad neighbour;
    Quad merged;
    while (FindNeighbour(q, neighbour, merged)) {
        RemoveQuad(neighbour);
        q = merged;
    }
    Insert(q);
}

// A plane that grows past the list's size is filed in the set and its maps.
void Engine::Insert(const Quad& q) {
    if (flat && list.size() >= listMost) {
        Unflatten();
    }
    Notify(q);
    if (flat) {
        list.insert(std::lower_bound(list.begin(), list.end(), q), q);
        return;
    }
    quads.insert(q);
    topEdges.emplace(q.GetEdge1(), q);
    rightEdges.emplace(q.GetEdge2(), q);
    bottomEdges.emplace(q.GetEdge3(), q);
    leftEdges.emplace(q.GetEdge4(), q);
    if (filed) {
        File(q);
    }
}

void Engine::RemoveQuad(Quad q) {
    if (flat) {
        const auto found = std::lower_bound(list.begin(), list.end(), q);
        if (found != list.end() && !(q < *found)) {
            list.erase(found);
            Notify(q);
        }
        return;
    }
    if (quads.erase(q) == 0) {
        return;
    }
    Notify(q);
    topEdges.erase(q.GetEdge1());
    rightEdges.erase(q.GetEdge2());
    bottomEdges.erase(q.GetEdge3());
    leftEdges.erase(q.GetEdge4());
    if (filed && quads.size() < kFileBelow) {
        runs.clear();
        filed = false;
    } else if (filed) {
        Unfile(q);
    }
}

void Engine::Clear() {
    for (const Quad& q : list) {
        Notify(q);
    }
    for (const Quad& q : quads) {
        Notify(q);
    }
    list.clear();
    flat = true;
    quads.clear();
    topEdges.clear();
    rightEdges.clear();
    bottomEdges.clear();
    leftEdges.clear();
    runs.clear();
    filed = false;
    highestLevel = -1;
}

void Engine::Fill(const std::vector<Quad>& sorted) {
    Clear();
    list.assign(sorted.begin(), sorted.end());
    for (const Quad& q : list) {
        Notify(q);
    }
}

void Engine::Fill(const TexturedQuad* first, const TexturedQuad* last) {
    Clear();
    list.resize(static_cast<size_t>(last - first));
    std::transform(first, last, list.begin(), [](const TexturedQuad& r) { return r.quad; });
    for (const Quad& q : list) {
        Notify(q);
    }
}

void Engine::Unflatten() {
    if (!flat) {
        return;
    }
    flat = false;
    for (const Quad& q : list) {
        quads.emplace_hint(quads.end(), q);
        topEdges.emplace(q.GetEdge1(), q);
        rightEdges.emplace(q.GetEdge2(), q);
        bottomEdges.emplace(q.GetEdge3(), q);
        leftEdges.emplace(q.GetEdge4(), q);
    }
    list = pmr::vector<Quad>(list.get_allocator());
}

std::vector<Quad> Engine::QuadList() const {
    return flat ? std::vector<Quad>(list.begin(), list.end()) : std::vector<Quad>(quads.begin(), quads.end());
}

// At most one quad holds a cell. A crowded plane is filed by runs when it is
// first searched, not while a sweep or a new field fills it.
bool Engine::FindQuadContainingSquare(Point p, Quad& out) const {
    if (flat) {
        const auto end = std::upper_bound(list.begin(), list.end(), Quad(Point(p.x, INT_MAX), Point(INT_MAX, INT_MAX)));
        const auto found = std::find_if(list.begin(), end, [p](const Quad& q) { return q.Contains(p); });
        if (found != end) {
            out = *found;
        }
        return found != end;
    }
    if (!filed && quads.size() > kFileAbove) {
        for (const Quad& each : quads) {
            File(each);
        }
        filed = true;
    }
    if (filed) {
        return FindInRuns(p, out);
    }
    for (const Quad& q : quads) {
        if (q.Contains(p)) {
            out = q;
            return true;
        }
    }
    return false;
}

bool Engine::RunKey::operator<(const RunKey& k) const {
    if (level != k.level) {
        return level < k.level;
    }
    if (run != k.run) {
        return run < k.run;
    }
    return row < k.row;
}

// The longest aligned run that starts at the first column not yet tiled and
// stays inside the quad, again and again: at most two runs per level.
template <typename Visit>
void Engine::ForEachRun(const Quad& q, Visit visit) {
    int64_t first = q.low.x;
    const int64_t last = q.high.x;
    while (first <= last) {
        int level = 0;
        while (level < 62 && (first & ((int64_t(1) << (level + 1)) - 1)) == 0 &&
               first + (int64_t(1) << (level + 1)) - 1 <= last) {
            ++level;
        }
        visit(RunKey{level, first >> level, q.low.y});
        first += int64_t(1) << level;
    }
}

bool Engine::FindInRuns(Point p, Quad& out) const {
    for (int level = 0; level <= highestLevel; ++level) {
        auto found = runs.upper_bound(RunKey{level, int64_t(p.x) >> level, p.y});
        if (found == runs.begin()) {
            continue;
        }
        --found;
        if (found->first.level == level && found->first.run == int64_t(p.x) >> level && found->second.Contains(p)) {
            out = found->second;
            return true;
        }
    }
    return false;
}

void Engine::File(const Quad& q) const {
    ForEachRun(q, [&](const RunKey& key) {
        runs.emplace(key, q);
        highestLevel = std::max(highestLevel, key.level);
    });
}

void Engine::Unfile(const Quad& q) {
    ForEachRun(q, [&](const RunKey& key) { runs.erase(key); });
}

// The side blocks keep the full height; only the column of p is cut.
void Engine::SplitUpQuad(Quad q, Point p, std::vector<Quad>& out) {
    if (p.x > q.low.x) {
        out.emplace_back(q.low, Point(p.x - 1, q.high.y));
    }
    if (p.y > q.low.y) {
        out.emplace_back(Point(p.x, q.low.y), Point(p.x, p.y - 1));
    }
    if (p.y < q.high.y) {
        out.emplace_back(Point(p.x, p.y + 1), Point(p.x, q.high.y));
    }
    if (p.x < q.high.x) {
        out.emplace_back(Point(p.x + 1, q.low.y), q.high);
    }
}

void Engine::RemoveSquare(Point p) {
    Quad q;
    if (!FindQuadContainingSquare(p, q)) {
        FatalOnStandardError("The sky is falling!!!");
    }
    RemoveQuad(q);
    std::vector<Quad> pieces;
    SplitUpQuad(q, p, pieces);
    for (const Quad& piece : pieces) {
        AddQuad(piece);
    }
}

namespace {

// A point of the side's plane at cell coordinates (u, v), in world space.
// Picked rather than stored by index: Emscripten's optimiser at -O2 and above
// mixed up the corners built by stores into a small array.
Vector PlanePointToWorld(const Side& facts, float u, float v, float c) {
    const auto pick = [&](int axis) { return axis == facts.axis ? c : (axis == facts.u ? u : v); };
    return Vector(pick(0), pick(1), pick(2));
}

}  // namespace

void Engine::Draw(QuadBuffer* buffer) const {
    DrawLowCornersIn(buffer, Point(INT_MIN, INT_MIN), Point(INT_MAX, INT_MAX));
}

void Engine::DrawLowCornersIn(QuadBuffer* buffer, Point low, Point high) const {
    const Quad first(Point(low.x, INT_MIN), Point(INT_MIN, INT_MIN));
    if (flat) {
        DrawFrom(std::lower_bound(list.begin(), list.end(), first), list.end(), buffer, low, high);
    } else {
        DrawFrom(quads.lower_bound(first), quads.end(), buffer, low, high);
    }
}

// Corners A, B, C, D, or B, A, D, C where u x v points into the face, so that
// (P2 - P1) x (P3 - P1) always points out of the visible side.
template <typename Iterator>
void Engine::DrawFrom(Iterator next, Iterator end, QuadBuffer* buffer, Point low, Point high) const {
    if (!IsSide(side)) {
        return;
    }
    const Side& facts = kSides[side];
    const float c = static_cast<float>(plane);
    for (; next != end && next->low.x <= high.x; ++next) {
        const Quad& q = *next;
        if (q.low.y < low.y || q.low.y > high.y) {
            continue;
        }
        const float uLow = static_cast<float>(q.low.x);
        const float vLow = static_cast<float>(q.low.y);
        const float uHigh = static_cast<float>(q.high.x + 1);
        const float vHigh = static_cast<float>(q.high.y + 1);
        const Vector a = PlanePointToWorld(facts, uLow, vLow, c);
        const Vector b = PlanePointToWorld(facts, uHigh, vLow, c);
        const Vector cc = PlanePointToWorld(facts, uLow, vHigh, c);
        const Vector d = PlanePointToWorld(facts, uHigh, vHigh, c);
        const float w = static_cast<float>(q.high.x - q.low.x + 1);
        const float h = static_cast<float>(q.high.y - q.low.y + 1);
        if (facts.uvOutward) {
            buffer->AddQuad(a, b, cc, d, 0, w, 0, h);
        } else {
            buffer->AddQuad(b, a, d, cc, 0, w, 0, h);
        }
    }
}

bool Engine::IndexesConsistent() const {
    const EdgeMap* const maps[] = {&topEdges, &rightEdges, &bottomEdges, &leftEdges};
    if (flat) {
        return std::is_sorted(list.begin(), list.end()) && quads.empty() && runs.empty() &&
               std::all_of(std::begin(maps), std::end(maps), [](const EdgeMap* map) { return map->empty(); });
    }
    if (!list.empty()) {
        return false;
    }
    for (const auto* map : maps) {
        if (map->size() != quads.size()) {
            return false;
        }
    }
    size_t filedRuns = 0;
    for (const Quad& q : quads) {
        const Edge edges[] = {q.GetEdge1(), q.GetEdge2(), q.GetEdge3(), q.GetEdge4()};
        for (int i = 0; i < 4; ++i) {
            const auto found = maps[i]->find(edges[i]);
            if (found == maps[i]->end() || found->second < q || q < found->second) {
                return false;
            }
        }
        bool allFiled = true;
        ForEachRun(q, [&](const RunKey& key) {
            const auto found = runs.find(key);
            allFiled = allFiled && found != runs.end() && !(found->second < q) && !(q < found->second);
            ++filedRuns;
        });
        if (filed && !allFiled) {
            return false;
        }
    }
    return filed ? filedRuns == runs.size() : runs.empty();
}

bool QuadAlgorithm::CellOfFace(int side, const BlockPos& pos, Point& cell) {
    if (!IsSide(side)) {
        return false;
    }
    cell = Point(Coordinate(pos, kSides[side].u), Coordinate(pos, kSides[side].v));
    return true;
}

Engine& QuadAlgorithm::QuadHolder::EngineFor(int texture, int side, int plane) {
    CachedEngine& cached = cache[static_cast<unsigned>(side * 8 + plane) % 64];
    if (cached.engine != nullptr && cached.texture == texture && cached.side == side && cached.plane == plane) {
        return *cached.engine;
    }
    PlaneMap& planes = engines[texture][side];
    auto found = planes.find(plane);
    if (found == planes.end()) {
        found = planes.emplace(plane, QuadMergerEngine(memory)).first;
        found->second.Initialize(side, plane);
        found->second.SetObserver(observer);
    }
    cached = CachedEngine{texture, side, plane, &found->second};
    return found->second;
}

void QuadAlgorithm::QuadHolder::AddQuad(int texture, int side, int plane, const BlockPos& pos) {
    Engine& engine = EngineFor(texture, side, plane);
    Point cell;
    if (CellOfFace(side, pos, cell)) {
        engine.AddSquare(cell);
    }
}

void QuadAlgorithm::QuadHolder::RemoveQuad(int texture, int side, int plane, const BlockPos& pos) {
    Engine& engine = EngineFor(texture, side, plane);
    Point cell;
    if (CellOfFace(side, pos, cell)) {
        engine.RemoveSquare(cell);
    }
}

void QuadAlgorithm::QuadHolder::Draw(QuadBuffer* buffer) const {
    buffer->Start();
    for (const auto& [texture, sides] : engines) {
        buffer->SetTexture(texture);
        for (const auto& [side, planes] : sides) {
            for (const auto& [plane, engine] : planes) {
                engine.Draw(buffer);
            }
        }
        buffer->Flush();
    }
    buffer->End();
}

int QuadAlgorithm::QuadHolder::GetNumQuads() const {
    int total = 0;
    for (const auto& [texture, sides] : engines) {
        for (const auto& [side, planes] : sides) {
            for (const auto& [plane, engine] : planes) {
                total += engine.GetNumQuads();
            }
        }
    }
    return total;
}

void QuadAlgorithm::QuadHolder::SetObserver(Observer* watcher) {
    observer = watcher;
    for (auto& [texture, sides] : engines) {
        for (auto& [side, planes] : sides) {
            for (auto& [plane, engine] : planes) {
                engine.SetObserver(watcher);
            }
        }
    }
}

// By texture, then in Quad order: (low.x, high.x, low.y); disjoint quads never
// share a low corner, so high.y need not be compared, nor can two compare
// equal. One counting pass by texture and low.x leaves each column's few
// quads together, in the order a sweep or the engines gave them, which is
// close to sorted: insertion finishes them.
void QuadAlgorithm::SortByTextureAndQuad(const std::vector<TexturedQuad>& items, std::vector<TexturedQuad>& sorted) {
    const auto before = [](const TexturedQuad& a, const TexturedQuad& b) {
        return std::tie(a.texture, a.quad.low.x, a.quad.high.x, a.quad.low.y) <
               std::tie(b.texture, b.quad.low.x, b.quad.high.x, b.quad.low.y);
    };
    sorted.resize(items.size());
    if (items.empty()) {
        return;
    }
    int lowTexture = items[0].texture, highTexture = lowTexture, lowX = items[0].quad.low.x, highX = lowX;
    for (const TexturedQuad& item : items) {
        lowTexture = std::min(lowTexture, item.texture);
        highTexture = std::max(highTexture, item.texture);
        lowX = std::min(lowX, item.quad.low.x);
        highX = std::max(highX, item.quad.low.x);
    }
    const int64_t columns = int64_t(highX) - lowX + 1, keys = (int64_t(highTexture) - lowTexture + 1) * columns;
    if (keys > int64_t(4 * items.size() + 1024)) {
        std::copy(items.begin(), items.end(), sorted.begin());
        std::sort(sorted.begin(), sorted.end(), before);
        return;
    }
    const auto key = [&](const TexturedQuad& t) { return size_t((int64_t(t.texture) - lowTexture) * columns + (t.quad.low.x - lowX)); };
    std::vector<size_t> starts(static_cast<size_t>(keys) + 1, 0);
    for (const TexturedQuad& item : items) {
        ++starts[key(item) + 1];
    }
    std::partial_sum(starts.begin(), starts.end(), starts.begin());
    for (const TexturedQuad& item : items) {
        sorted[starts[key(item)]++] = item;
    }
    for (size_t i = 1; i < sorted.size(); ++i) {
        for (size_t j = i; j > 0 && before(sorted[j], sorted[j - 1]); --j) {
            std::swap(sorted[j], sorted[j - 1]);
        }
    }
}

void QuadAlgorithm::QuadHolder::ReplacePlane(int side, int plane, const std::vector<TexturedQuad>& rectangles) {
    for (auto& [texture, sides] : engines) {
        const auto planes = sides.find(side);
        if (planes != sides.end() && planes->second.count(plane) != 0) {
            planes->second.at(plane).Clear();
        }
    }
    for (auto run = rectangles.begin(); run != rectangles.end();) {
        const auto end = std::find_if(run, rectangles.end(), [&](const TexturedQuad& r) { return r.texture != run->texture; });
        EngineFor(run->texture, side, plane).Fill(&*run, &*run + (end - run));
        run = end;
    }
}

namespace {

// The rectangle of the cell's texture that starts at the cell, grown right as
// far as it can, then up while its whole row fits; its cells become 0.
QuadAlgorithm::Quad TakeRectangle(int16_t* cells, int width, int height, int u, int v, QuadAlgorithm::Point origin) {
    const auto at = [&](int cu, int cv) -> int16_t& { return cells[size_t(cv) * width + cu]; };
    const int16_t texture = at(u, v);
    int right = u;
    while (right + 1 < width && at(right + 1, v) == texture) {
        ++right;
    }
    // Most rectangles are a cell or two wide: a loop beats a call to memcmp.
    const auto fits = [&](int row) {
        const int16_t* cell = &at(u, row);
        return std::all_of(cell, cell + (right - u + 1), [&](int16_t c) { return c == texture; });
    };
    int top = v;
    while (top + 1 < height && fits(top + 1)) {
        ++top;
    }
    for (int row = v; row <= top; ++row) {
        std::fill_n(&at(u, row), right - u + 1, 0);
    }
    return QuadAlgorithm::Quad(QuadAlgorithm::Point(origin.x + u, origin.y + v),
                               QuadAlgorithm::Point(origin.x + right, origin.y + top));
}

}  // namespace

// Most of a big box's cells show nothing: only the marked ones are looked at,
// in the order of a scan row by row.
void QuadAlgorithm::SweepRectangles(int16_t* cells, int width, int height, Point origin,
                                    std::vector<TexturedQuad>& out, const uint64_t* occupied) {
    const int words = static_cast<int>(RowWords(width));
    for (int v = 0; v < height; ++v) {
        for (int word = 0; word < words; ++word) {
            for (uint64_t bits = occupied[size_t(v) * words + word]; bits != 0; bits &= bits - 1) {
                const int u = word * 64 + __builtin_ctzll(bits);
                const int16_t texture = cells[size_t(v) * width + u];
                if (texture != 0) {
                    out.push_back(TexturedQuad{texture, TakeRectangle(cells, width, height, u, v, origin)});
                }
            }
        }
    }
}
