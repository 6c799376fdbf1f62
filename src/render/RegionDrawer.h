#ifndef CUBOMB_RENDER_REGIONDRAWER_H
#define CUBOMB_RENDER_REGIONDRAWER_H

// Draws a field's regions from OpenGL buffer objects, uploading a region's
// geometry again only when its version moved on. Regions outside the view are
// left out; a region whose markers are all too small on the screen to show
// their triangles (about two pixels) draws them as points. The projection,
// the view and the viewport are OpenGL's current ones.

#include <cstdint>
#include <vector>

#include "render/DepthTiles.h"
#include "render/FieldRegions.h"

class TexDict;
struct FrameView;

// Whether every cube that the near plane reaches from the eye, as OpenGL's
// current matrices place them, is clear of the world's solids: then a face
// seen from behind never shows, for a nearer face of its own solid covers it.
bool EyeClearOfSolids(const BlockWorld2& world);
// Leaves out the block world's faces seen from behind, by the way their
// rectangles wind, or stops leaving them out.
void HideBackFaces(bool on);
// The same for the markers: each is closed and convex, so that from outside
// it its nearer triangles cover the others. Whether no marker lies within
// the near plane's reach from the eye, where one could be cut or hold it.
bool EyeClearOfMarkers(const FieldRegions& regions);
void HideMarkerBacks(bool on);

class RegionDrawer {
public:
    RegionDrawer() = default;
    ~RegionDrawer();
    RegionDrawer(const RegionDrawer&) = delete;
    RegionDrawer& operator=(const RegionDrawer&) = delete;

    // The faces, texture by texture, then the markers, with depth testing.
    void Draw(const FieldRegions& regions, const TexDict& textures);
    // Off: every marker shows its triangles, however small.
    void SetPointMarkers(bool on) { pointMarkers = on; }
    // On: regions whose every pixel already holds something nearer are left
    // out, which costs reading the depths back a few times a frame: worth it
    // where the processor draws, not where a graphics card does.
    void SetDepthCulling(bool on) { depthCulling = on; }
    // The regions the last frame left out so, and the markers of the others.
    size_t LeftOut() const { return leftOut; }
    size_t MarkersLeftOut() const { return markersLeftOut; }
    // On: faces seen from behind are left out while the eye is clear of
    // every solid; they never show then.
    void SetBackFaceHiding(bool on) { backFaceHiding = on; }
    bool BackFaceHiding() const { return backFaceHiding; }

    // What one of a region's buffers holds.
    struct Kept {
        bool current = false;  // built for the version below
        uint64_t version = 0;
    };

private:
    // A run of rectangles of one texture, side and texture map, whose corners
    // a 16-bit index reaches from the chunk's first corner.
    struct Chunk {
        int texture;
        int side;
        TextureMap map;
        size_t count;  // indices
        size_t base;   // corner
    };
    struct Region {
        unsigned int buffers[3] = {0, 0, 0};  // face vertices, marker vertices, points
        Kept faces, markers, points;
        std::vector<Chunk> chunks;
        CornerFormat format = CornerFormat::kShort, pointsFormat = CornerFormat::kShort;
        Vector low{0, 0, 0}, high{0, 0, 0};  // what the faces fill
        FieldRegions::PartEnds ends{};        // of the markers last built, as triangles or points
        std::vector<uint16_t> cubes;          // of the markers as triangles, to check each against the depths
    };

    // A region to draw in this frame, and the box its faces and markers lie in.
    struct Drawn {
        float distance;
        int index;
        bool faces;  // in view
        Vector low, high;
    };

    void Prepare(const FieldRegions& regions);
    void ReadDepths(const FrameView& view);
    void DrawWave(const FieldRegions& regions, const TexDict& textures, const FrameView& view, const std::vector<Drawn>& wave);
    void UploadFaces(const FieldRegions& regions, int index);
    void DrawMarkers(const FieldRegions& regions, const FrameView& view, int index, bool asPoints);
    void Release();

    std::vector<Region> built;
    unsigned int markerIndices = 0;  // the element buffers of every region's markers and rectangles
    unsigned int faceIndices = 0;
    unsigned int shownIndices = 0;     // the markers' triangles a frame leaves in, region by region
    std::vector<uint16_t> firstMarker;  // the first marker's indices
    std::vector<uint16_t> shown;
    uint64_t layout = 0;
    bool pointMarkers = true;
    bool depthCulling = false;
    bool backFaceHiding = true;
    size_t leftOut = 0;
    size_t markersLeftOut = 0;
    std::vector<uint32_t> depths;  // read back, and their tiles
    DepthTiles tiles;
    FieldRegions::Faces faces;  // scratch space for one region at a time
    std::vector<MarkerVertex> markers;
    MarkerPoints points;
};

#endif
