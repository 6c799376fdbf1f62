#ifndef CUBOMB_QUADS_QUADALGORITHM_H
#define CUBOMB_QUADS_QUADALGORITHM_H

// Face merging. The visible unit faces of each plane (one texture, one side,
// one plane coordinate) are kept as few disjoint rectangles of cells, merged
// greedily as faces arrive and split as they leave, and streamed into a
// QuadBuffer. Pure logic: nothing here draws. A cube's face is the cell of its
// plane given by the side's two cell axes (support/Sides.h).

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <vector>

#include "support/Geometry.h"
#include "system/MemoryResource.h"

class QuadBuffer;

class QuadAlgorithm {
public:
    struct Point {
        int x, y;

        Point() = default;
        Point(int x, int y) : x(x), y(y) {}

        bool operator==(const Point& b) const { return x == b.x && y == b.y; }
        // u ascending, then v descending.
        bool operator<(const Point& b) const { return x < b.x || (x == b.x && y > b.y); }
        bool operator>(const Point& b) const { return !(*this == b) && !(*this < b); }
    };

    // A straight run of cells from start (smaller coordinate) to end.
    struct Edge {
        Point start, end;

        Edge() = default;
        Edge(Point start, Point end) : start(start), end(end) {}

        bool operator<(const Edge& f) const {
            if (start < f.start) {
                return true;
            }
            if (start > f.start) {
                return false;
            }
            return end < f.end;
        }
        Edge Shift(int dx, int dy);
    };

    // A rectangle of cells, both corners inclusive.
    struct Quad {
        Point low, high;

        Quad() = default;
        Quad(Point low, Point high) : low(low), high(high) {}

        // (low.x, high.x, low.y, high.y), lexicographically.
        bool operator<(const Quad& r) const {
            if (low.x != r.low.x) {
                return low.x < r.low.x;
            }
            if (high.x != r.high.x) {
                return high.x < r.high.x;
            }
            if (low.y != r.low.y) {
                return low.y < r.low.y;
            }
            return high.y < r.high.y;
        }
        bool Contains(Point p) const;
        Edge GetEdge1() const;  // top row
        Edge GetEdge2() const;  // right column
        Edge GetEdge3() const;  // bottom row
        Edge GetEdge4() const;  // left column
        Edge GetNextEdge1() const;  // the row just above
        Edge GetNextEdge2() const;  // the column just right
        Edge GetNextEdge3() const;  // the row just below
        Edge GetNextEdge4() const;  // the column just left
    };

    // Told of every rectangle that enters or leaves an engine of the side and plane.
    class Observer {
    public:
        virtual ~Observer() = default;
        virtual void QuadChanged(int side, int plane, const Quad& quad) = 0;
    };

    // A plane's visible faces as one texture id per cell (0 for none), row by
    // row from the cell at origin, cut into rectangles of one texture each: each
    // grows right as far as it can, then up while its whole row fits. So no two
    // of one texture fit exactly along a whole side: none would merge. The
    // cells are used up: each becomes 0 once a rectangle takes it. Only cells
    // whose bit is set in occupied, RowWords(width) words a row, may hold a
    // face.
    struct TexturedQuad {
        int texture;
        Quad quad;
    };
    static void SweepRectangles(int16_t* cells, int width, int height, Point origin, std::vector<TexturedQuad>& out,
                                const uint64_t* occupied);
    static int64_t RowWords(int64_t width) { return (width + 63) / 64; }
    // In the order a plane's rectangles are filed, and ReplacePlane takes
    // them: by texture, then by quad. The items are left as they were.
    static void SortByTextureAndQuad(const std::vector<TexturedQuad>& items, std::vector<TexturedQuad>& sorted);

    // The rectangles of one plane. Callers never add a covered cell and never
    // remove an uncovered one; the block world guarantees both.
    class QuadMergerEngine {
    public:
        // Its containers allocate from the given resource; faces come and go
        // all the time, so the holder hands every engine one shared pool.
        // Past listMost quads, a plane is filed in a set and maps.
        static constexpr size_t kListMost = 1024;
        explicit QuadMergerEngine(pmr::memory_resource* memory = pmr::get_default_resource(),
                                  size_t listMost = kListMost);

        void Initialize(int side, int plane);
        void SetObserver(Observer* watcher) { observer = watcher; }
        // Takes every quad out.
        void Clear();
        void AddSquare(Point p) { AddQuad(Quad(p, p)); }
        void RemoveSquare(Point p);
        void AddQuad(Quad q);
        // A quad no other fits against exactly, such as a sweep's, needs no merging.
        void Insert(const Quad& q);
        // Every quad gives way to these: disjoint, and in Quad order; as a
        // sweep leaves them, none fits exactly against another.
        void Fill(const std::vector<Quad>& sorted);
        // The same from a run of one texture's rectangles.
        void Fill(const TexturedQuad* first, const TexturedQuad* last);
        void RemoveQuad(Quad q);
        bool FindQuadContainingSquare(Point p, Quad& out) const;
        static void SplitUpQuad(Quad q, Point p, std::vector<Quad>& out);
        int GetNumQuads() const { return static_cast<int>(flat ? list.size() : quads.size()); }
        void Draw(QuadBuffer* buffer) const;
        // Only the quads whose low corner lies from low to high, both included.
        void DrawLowCornersIn(QuadBuffer* buffer, Point low, Point high) const;

        // The quads in Quad order.
        std::vector<Quad> QuadList() const;
        template <typename Visit>
        void ForEach(Visit visit) const {
            if (flat) {
                std::for_each(list.begin(), list.end(), visit);
            } else {
                std::for_each(quads.begin(), quads.end(), visit);
            }
        }
        // True when the quads are kept as a list in Quad order and nothing is
        // mapped, or when every quad's four edges and its column runs map back
        // to it and nothing else is mapped.
        bool IndexesConsistent() const;

    private:
        // A quad is filed under the aligned runs of 2^level columns that
        // tile its own columns. The quads under one run all span it, so they
        // cannot share a row: a cell's quad, if it has one, is the one under
        // some run holding the cell's column that starts at the highest row
        // not above the cell's.
        struct RunKey {
            int level;
            int64_t run;  // the run's first column >> level
            int row;      // the quad's lowest row

            bool operator<(const RunKey& k) const;
        };
        template <typename Visit>
        static void ForEachRun(const Quad& q, Visit visit);
        bool FindInRuns(Point p, Quad& out) const;
        void File(const Quad& q) const;
        void Unfile(const Quad& q);
        enum Direction { kBelow, kLeft, kAbove, kRight };
        bool FindNeighbour(const Quad& q, Quad& neighbour, Quad& merged) const;
        bool Neighbour(const Quad& q, Direction direction, Quad& o) const;
        // From the plain list to the set and its maps.
        void Unflatten();
        // The quads from next on, in Quad order, while their low corners may lie from low to high.
        template <typename Iterator>
        void DrawFrom(Iterator next, Iterator end, QuadBuffer* buffer, Point low, Point high) const;

        using EdgeMap = pmr::map<Edge, Quad>;

        void Notify(const Quad& q) const {
            if (observer != nullptr) observer->QuadChanged(side, plane, q);
        }

        int side = 0;
        int plane = 0;
        Observer* observer = nullptr;
        // A plane of few quads keeps them in a plain list in Quad order,
        // searched by walking; one of many, in the set with its maps.
        size_t listMost;
        bool flat = true;
        pmr::vector<Quad> list;
        pmr::set<Quad> quads;
        EdgeMap topEdges;
        EdgeMap rightEdges;
        EdgeMap bottomEdges;
        EdgeMap leftEdges;
        // Only planes with many quads are filed: walking a few is quicker.
        static constexpr size_t kFileAbove = 64;
        static constexpr size_t kFileBelow = 32;
        mutable bool filed = false;
        mutable pmr::map<RunKey, Quad> runs;
        mutable int highestLevel = -1;
    };

    // Engines by texture id, side number and plane coordinate. Engines are
    // never erased, so a small cache of recently used ones stays valid.
    class QuadHolder {
    public:
        explicit QuadHolder(pmr::memory_resource* memory = pmr::get_default_resource()) : memory(memory) {}
        QuadHolder(const QuadHolder&) = delete;
        QuadHolder& operator=(const QuadHolder&) = delete;

        void AddQuad(int texture, int side, int plane, const BlockPos& pos);
        void RemoveQuad(int texture, int side, int plane, const BlockPos& pos);
        void Draw(QuadBuffer* buffer) const;
        int GetNumQuads() const;
        void SetObserver(Observer* watcher);
        // Every texture's quads of the side and plane give way to these, which
        // must be disjoint and come sorted by SortByTextureAndQuad: a big
        // batch sorts each plane on the thread that swept it, and checking the
        // order again, one unforeseeable comparison at a time, cost a flood a
        // twentieth of its time. Any two that fit exactly stay apart.
        void ReplacePlane(int side, int plane, const std::vector<TexturedQuad>& rectangles);

        using PlaneMap = std::map<int, QuadMergerEngine>;
        using SideMap = std::map<int, PlaneMap>;
        const std::map<int, SideMap>& Engines() const { return engines; }

    private:
        struct CachedEngine {
            int texture = 0;
            int side = 0;
            int plane = 0;
            QuadMergerEngine* engine = nullptr;
        };

        QuadMergerEngine& EngineFor(int texture, int side, int plane);

        pmr::memory_resource* memory;
        Observer* observer = nullptr;
        std::map<int, SideMap> engines;

        CachedEngine cache[64];
    };

    // The engines' containers allocate from memory, which must outlive them.
    explicit QuadAlgorithm(pmr::memory_resource* memory = pmr::get_default_resource()) : holder(memory) {}

    void AddQuad(int texture, int side, int plane, const BlockPos& pos) { holder.AddQuad(texture, side, plane, pos); }
    void RemoveQuad(int texture, int side, int plane, const BlockPos& pos) {
        holder.RemoveQuad(texture, side, plane, pos);
    }
    void Draw(QuadBuffer* buffer) const { holder.Draw(buffer); }
    int GetNumQuads() const { return holder.GetNumQuads(); }
    void SetObserver(Observer* observer) { holder.SetObserver(observer); }
    void ReplacePlane(int side, int plane, const std::vector<TexturedQuad>& rectangles) {
        holder.ReplacePlane(side, plane, rectangles);
    }
    const QuadHolder& Holder() const { return holder; }

    // The cell a cube's face occupies in its plane; false for a side outside 1..6.
    static bool CellOfFace(int side, const BlockPos& pos, Point& cell);

private:
    QuadHolder holder;
};

#endif
