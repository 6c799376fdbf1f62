#ifndef CUBOMB_RENDER_FIELDREGIONS_H
#define CUBOMB_RENDER_FIELDREGIONS_H

// The field cut into regions of kRegionSide cubes a side, so that drawing can
// keep each region's geometry and build it again only when something in it
// changed. It watches the field's block world: a region's faces change when a
// merged rectangle whose low corner's cube lies in it comes or goes, its
// markers when one of its cubes changes. The field's box is the block world's
// bounds less their high layer; what count each cube shows is asked of the
// field. Pure data, built on demand; a version per region and kind moves on
// with every change.

#include <array>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "quads/QuadDrawBuffer.h"
#include "render/Markers.h"
#include "world/BlockWorld2.h"

class FieldRegions : public BlockWorld2::Observer {
public:
    static constexpr int kRegionSide = 16;

    // The merged faces whose low corner's cube lies in the region, four
    // corners each, whose triangles are kRectangleTriangles of each four; in
    // runs of one texture, one side and one texture map, of at most
    // kMostRunRectangles, counted in those triangles' indices, the textures
    // in ascending order and the sides in the order the block world draws.
    static constexpr size_t kMostRunRectangles = 65536 / 4;
    struct Faces {
        struct Run {
            int texture;
            size_t first;
            size_t count;
            int side;  // the side its rectangles face, whose shade they take
            TextureMap map;
        };
        // 16-bit corners wherever the block world's bounds fit them: half
        // the bytes, and the same numbers.
        CornerFormat format = CornerFormat::kShort;
        std::vector<uint8_t> corners;
        std::vector<Run> runs;
        Vector low{0, 0, 0}, high{0, 0, 0};  // the box the faces lie in

        size_t Corners() const { return corners.size() / CornerBytes(format); }
        Vector Corner(size_t i) const;
    };

    // A region's markers come part by part, kPartSide cubes a side, in x,
    // y, z order of the parts and of the cubes in each; the markers of parts
    // 0 to p are ends[p]. Drawing leaves out the parts nothing can be seen in.
    static constexpr int kPartSide = 4;
    static constexpr int kParts = (kRegionSide / kPartSide) * (kRegionSide / kPartSide) * (kRegionSide / kPartSide);
    using PartEnds = std::array<uint16_t, kParts>;

    // The count markers the cubes of a box show (0 for none), in x, y, z order.
    using ShownCounts = std::function<void(const BlockRect& box, std::vector<uint8_t>& counts)>;

    FieldRegions(const BlockWorld2& world, ShownCounts shown) : world(world), shown(std::move(shown)) {}

    int Count() const { return static_cast<int>(facesVersions.size()); }
    const BlockWorld2& World() const { return world; }
    // The region's cubes, both corners included.
    BlockRect Box(int region) const;
    // Moves on whenever the regions are laid out anew, as for a new field.
    uint64_t Layout() const { return layout; }
    uint64_t FacesVersion(int region) const { return facesVersions[region]; }
    uint64_t MarkersVersion(int region) const { return markersVersions[region]; }

    void BuildFaces(int region, Faces& out) const;
    // The markers' triangles, exactly as one marker at a time draws them.
    void BuildMarkers(int region, std::vector<MarkerVertex>& out, PartEnds& ends) const;
    void BuildPoints(int region, MarkerPoints& out, PartEnds& ends) const;
    // The part's cubes of a region's box, both corners included; none (low
    // beyond high) past a smaller region's edge.
    static BlockRect PartBox(const BlockRect& region, int part);

    // Whether a cube within reach of the point, along each axis, shows a marker.
    bool MarkersNear(const Vector& point, float reach) const;
    // The markers of every region that holds part of the box change.
    void MarkersChanged(const BlockRect& box);

    void Reset() override;
    void CubeChanged(const BlockPos& pos) override;
    void QuadChanged(int side, int plane, const QuadAlgorithm::Quad& quad) override;

private:
    int RegionOf(const BlockPos& pos) const;
    template <typename Visit>
    void ForEachMarkedCube(int region, PartEnds& ends, Visit visit) const;

    const BlockWorld2& world;
    ShownCounts shown;
    mutable std::vector<uint8_t> shownCounts;  // a region's, while it is built
    int counts[3] = {0, 0, 0};
    CornerFormat format = CornerFormat::kShort;  // of the corners and points built, the bounds' widest that fits
    uint64_t layout = 0;
    std::vector<uint64_t> facesVersions;
    std::vector<uint64_t> markersVersions;
};

#endif
