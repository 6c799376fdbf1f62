#ifndef CUBOMB_RENDER_REGIONDRAWER_H
#define CUBOMB_RENDER_REGIONDRAWER_H

// Draws a field's regions from OpenGL buffer objects, uploading a region's
// geometry again only when its version moved on. Regions outside the view are
// left out; a region whose markers are all too small on the screen to show
// their triangles (about two pixels) draws them as points. The projection,
// the view and the viewport are OpenGL's current ones.

#include <cstdint>
#include <vector>

#include "render/FieldRegions.h"

class TexDict;

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

    // What one of a region's buffers holds.
    struct Kept {
        bool current = false;  // built for the version below
        uint64_t version = 0;
        size_t count = 0;
    };

private:
    struct Region {
        unsigned int buffers[4] = {0, 0, 0, 0};  // face vertices and indices, marker vertices, points
        Kept faces, markers, points;
        std::vector<FieldRegions::Faces::Run> runs;
        Vector low{0, 0, 0}, high{0, 0, 0};  // what the faces fill
    };

    void Prepare(const FieldRegions& regions);
    void UploadFaces(const FieldRegions& regions, int index);
    void DrawMarkers(const FieldRegions& regions, int index, bool asPoints);
    void Release();

    std::vector<Region> built;
    unsigned int markerIndices = 0;  // the element buffer of every region's markers
    uint64_t layout = 0;
    bool pointMarkers = true;
    FieldRegions::Faces faces;  // scratch space for one region at a time
    std::vector<MarkerVertex> markers;
    std::vector<MarkerVertex> points;
};

#endif
