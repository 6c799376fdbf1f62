#include "render/FieldRegions.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "support/Sides.h"

namespace {

int Regions(int cubes) {
    return (cubes + FieldRegions::kRegionSide - 1) / FieldRegions::kRegionSide;
}

// Gathers the rectangles of a drawing pass as indexed triangles, in runs of one side and one texture map.
class FaceCollector : public QuadBuffer {
public:
    explicit FaceCollector(FieldRegions::Faces& out) : out(out) {}

    void Start() override {}
    void SetTexture(int texture) override {
        if (!out.runs.empty() && out.runs.back().count == 0) {
            out.runs.pop_back();
        }
        out.runs.push_back({texture, Indices(), 0, 0, TextureMap()});
    }
    void AddQuad(const Vector& p1, const Vector& p2, const Vector& p3, const Vector& p4, float uMin, float uMax,
                 float vMin, float vMax) override {
        const int side = FacingSide(p1, p2, p3);
        const TextureMap map = RectangleTextureMap({p1, p2, p3, p4}, uMin, uMax, vMin, vMax);
        const FieldRegions::Faces::Run& run = out.runs.back();
        if (run.count != 0 && (run.side != side || run.map != map || run.count == FieldRegions::kMostRunRectangles * 6)) {
            out.runs.push_back({run.texture, Indices(), 0, side, map});
        }
        out.runs.back().side = side;
        out.runs.back().map = map;
        for (const Vector& corner : {p1, p2, p3, p4}) {
            AppendCorner(corner, out.format, out.corners);
            Include(corner);
        }
        out.runs.back().count += 6;
    }
    void Flush() override {}
    void End() override {
        if (!out.runs.empty() && out.runs.back().count == 0) {
            out.runs.pop_back();
        }
    }

private:
    size_t Indices() const { return out.Corners() / 4 * 6; }
    void Include(const Vector& p) {
        if (out.Corners() == 1) {
            out.low = out.high = p;
        }
        out.low = Vector(std::min(out.low.x, p.x), std::min(out.low.y, p.y), std::min(out.low.z, p.z));
        out.high = Vector(std::max(out.high.x, p.x), std::max(out.high.y, p.y), std::max(out.high.z, p.z));
    }

    FieldRegions::Faces& out;
};

bool FitsShorts(const BlockRect& box) {
    constexpr int kLeast = std::numeric_limits<int16_t>::min(), kMost = std::numeric_limits<int16_t>::max();
    return std::min({box.low.x, box.low.y, box.low.z}) >= kLeast && std::max({box.high.x, box.high.y, box.high.z}) <= kMost;
}

}  // namespace

Vector FieldRegions::Faces::Corner(size_t i) const {
    const uint8_t* const at = &corners[i * CornerBytes(format)];
    if (format == CornerFormat::kShort) {
        int16_t c[3];
        std::memcpy(c, at, sizeof c);
        return Vector(c[0], c[1], c[2]);
    }
    float c[3];
    std::memcpy(c, at, sizeof c);
    return Vector(c[0], c[1], c[2]);
}


BlockRect FieldRegions::Box(int region) const {
    const int x = region / (counts[1] * counts[2]);
    const int y = region / counts[2] % counts[1];
    const int z = region % counts[2];
    const BlockPos low(x * kRegionSide, y * kRegionSide, z * kRegionSide);
    const BlockPos& size = world.Bounds().high;
    return BlockRect(low, BlockPos(std::min(low.x + kRegionSide, size.x) - 1, std::min(low.y + kRegionSide, size.y) - 1,
                                   std::min(low.z + kRegionSide, size.z) - 1));
}

int FieldRegions::RegionOf(const BlockPos& pos) const {
    const BlockPos r(pos.x / kRegionSide, pos.y / kRegionSide, pos.z / kRegionSide);
    if (pos.x < 0 || pos.y < 0 || pos.z < 0 || r.x >= counts[0] || r.y >= counts[1] || r.z >= counts[2]) {
        return -1;
    }
    return (r.x * counts[1] + r.y) * counts[2] + r.z;
}

// The field's box is the block world's bounds less the layer beyond its high side.
void FieldRegions::Reset() {
    const BlockPos& size = world.Bounds().high;
    counts[0] = Regions(size.x);
    counts[1] = Regions(size.y);
    counts[2] = Regions(size.z);
    const size_t count = static_cast<size_t>(counts[0]) * counts[1] * counts[2];
    format = FitsShorts(world.Bounds()) ? CornerFormat::kShort : CornerFormat::kFloat;
    ++layout;
    facesVersions.assign(count, 0);
    markersVersions.assign(count, 0);
}

bool FieldRegions::MarkersNear(const Vector& point, float reach) const {
    const BlockRect near = CubesNear(point, reach);
    const BlockPos& size = world.Bounds().high;
    const BlockRect box(BlockPos(std::max(near.low.x, 0), std::max(near.low.y, 0), std::max(near.low.z, 0)),
                        BlockPos(std::min(near.high.x, size.x - 1), std::min(near.high.y, size.y - 1), std::min(near.high.z, size.z - 1)));
    if (box.low.x > box.high.x || box.low.y > box.high.y || box.low.z > box.high.z) {
        return false;
    }
    shown(box, shownCounts);
    return std::any_of(shownCounts.begin(), shownCounts.end(), [](uint8_t count) { return count != 0; });
}

void FieldRegions::CubeChanged(const BlockPos& pos) {
    const int region = RegionOf(pos);
    if (region >= 0) {
        ++markersVersions[region];
    }
}

void FieldRegions::MarkersChanged(const BlockRect& box) {
    for (int x = box.low.x / kRegionSide; x <= box.high.x / kRegionSide; ++x) {
        for (int y = box.low.y / kRegionSide; y <= box.high.y / kRegionSide; ++y) {
            for (int z = box.low.z / kRegionSide; z <= box.high.z / kRegionSide; ++z) {
                const int region = RegionOf(BlockPos(x * kRegionSide, y * kRegionSide, z * kRegionSide));
                if (region >= 0) {
                    ++markersVersions[region];
                }
            }
        }
    }
}

void FieldRegions::QuadChanged(int side, int plane, const QuadAlgorithm::Quad& quad) {
    const Side& facts = kSides[side];
    BlockPos owner;
    Coordinate(owner, facts.axis) = plane - (facts.sign > 0);
    Coordinate(owner, facts.u) = quad.low.x;
    Coordinate(owner, facts.v) = quad.low.y;
    const int region = RegionOf(owner);
    if (region >= 0) {
        ++facesVersions[region];
    }
}

void FieldRegions::BuildFaces(int region, Faces& out) const {
    out = Faces();
    out.format = format;
    const BlockRect box = Box(region);
    FaceCollector collector(out);
    for (const auto& [texture, sides] : world.Quads().Holder().Engines()) {
        collector.SetTexture(texture);
        for (const auto& [side, planes] : sides) {
            const Side& facts = kSides[side];
            const int nearest = Coordinate(box.low, facts.axis) + (facts.sign > 0);
            const int farthest = Coordinate(box.high, facts.axis) + (facts.sign > 0);
            const QuadAlgorithm::Point low(Coordinate(box.low, facts.u), Coordinate(box.low, facts.v));
            const QuadAlgorithm::Point high(Coordinate(box.high, facts.u), Coordinate(box.high, facts.v));
            for (auto plane = planes.lower_bound(nearest); plane != planes.end() && plane->first <= farthest; ++plane) {
                plane->second.DrawLowCornersIn(&collector, low, high);
            }
        }
    }
    collector.End();
}

BlockRect FieldRegions::PartBox(const BlockRect& box, int part) {
    constexpr int kAcross = kRegionSide / kPartSide;
    const BlockPos low(box.low.x + part / (kAcross * kAcross) * kPartSide, box.low.y + part / kAcross % kAcross * kPartSide,
                       box.low.z + part % kAcross * kPartSide);
    return BlockRect(low, BlockPos(std::min(low.x + kPartSide - 1, box.high.x), std::min(low.y + kPartSide - 1, box.high.y),
                                   std::min(low.z + kPartSide - 1, box.high.z)));
}

template <typename Visit>
void FieldRegions::ForEachMarkedCube(int region, PartEnds& ends, Visit visit) const {
    const BlockRect box = Box(region);
    shown(box, shownCounts);
    const int sizeY = box.high.y - box.low.y + 1, sizeZ = box.high.z - box.low.z + 1;
    uint16_t markers = 0;
    for (int part = 0; part < kParts; ++part) {
        const BlockRect cubes = PartBox(box, part);
        const bool some = cubes.low.x <= cubes.high.x && cubes.low.y <= cubes.high.y && cubes.low.z <= cubes.high.z;
        BlockPos pos;
        for (pos.x = cubes.low.x; some && pos.x <= cubes.high.x; ++pos.x) {
            for (pos.y = cubes.low.y; pos.y <= cubes.high.y; ++pos.y) {
                const uint8_t* count = &shownCounts[static_cast<size_t>(((pos.x - box.low.x) * sizeY + pos.y - box.low.y) * sizeZ +
                                                                        cubes.low.z - box.low.z)];
                for (pos.z = cubes.low.z; pos.z <= cubes.high.z; ++pos.z, ++count) {
                    if (*count != 0) {
                        visit(pos, *count);
                        ++markers;
                    }
                }
            }
        }
        ends[part] = markers;
    }
}

void FieldRegions::BuildMarkers(int region, std::vector<MarkerVertex>& out, PartEnds& ends) const {
    out.clear();
    ForEachMarkedCube(region, ends, [&](const BlockPos& pos, uint8_t count) { AppendMarker(pos, count, out); });
}

void FieldRegions::BuildPoints(int region, MarkerPoints& out, PartEnds& ends) const {
    out.Clear(format);
    ForEachMarkedCube(region, ends, [&](const BlockPos& pos, uint8_t count) { out.Append(pos, count); });
}

