#include "render/RegionDrawer.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "textures/TexDict.h"
#include "textures/Texture.h"

namespace {

enum Buffer { kFaceVertices, kFaceIndices, kMarkerVertices, kPoints };

// How high a marker stands, and the height on the screen below which it shows as a point.
constexpr float kMarkerHeight = 0.2f;
constexpr float kPointPixels = 1.5f;

// The six planes that bound what the camera sees (a point p is in view when
// a x + b y + c z + d >= 0 for each), where the eye is, and how far a marker
// must be for its triangles to shrink below a point's size.
struct View {
    float planes[6][4];
    Vector eye;
    float pointDistance;
};

View CurrentView() {
    float p[16], m[16], c[16];
    glGetFloatv(GL_PROJECTION_MATRIX, p);
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            c[column * 4 + row] = 0;
            for (int k = 0; k < 4; ++k) {
                c[column * 4 + row] += p[k * 4 + row] * m[column * 4 + k];
            }
        }
    }
    View view;
    for (int axis = 0; axis < 3; ++axis) {
        for (int side = 0; side < 2; ++side) {
            const float sign = side == 0 ? 1.0f : -1.0f;
            for (int k = 0; k < 4; ++k) {
                view.planes[axis * 2 + side][k] = c[k * 4 + 3] + sign * c[k * 4 + axis];
            }
        }
    }
    view.eye = Vector(-(m[0] * m[12] + m[1] * m[13] + m[2] * m[14]), -(m[4] * m[12] + m[5] * m[13] + m[6] * m[14]),
                      -(m[8] * m[12] + m[9] * m[13] + m[10] * m[14]));
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    view.pointDistance = kMarkerHeight * p[5] * static_cast<float>(viewport[3]) / 2 / kPointPixels;
    return view;
}

bool InView(const View& view, const Vector& low, const Vector& high) {
    for (const auto& plane : view.planes) {
        const float x = plane[0] >= 0 ? high.x : low.x;
        const float y = plane[1] >= 0 ? high.y : low.y;
        const float z = plane[2] >= 0 ? high.z : low.z;
        if (plane[0] * x + plane[1] * y + plane[2] * z + plane[3] < 0) {
            return false;
        }
    }
    return true;
}

float DistanceToBox(const Vector& p, const Vector& low, const Vector& high) {
    const auto gap = [](float value, float from, float to) { return std::max({from - value, 0.0f, value - to}); };
    const Vector d(gap(p.x, low.x, high.x), gap(p.y, low.y, high.y), gap(p.z, low.z, high.z));
    return Length(d);
}

template <typename T>
void Upload(unsigned int target, unsigned int buffer, const std::vector<T>& data) {
    glBindBuffer(target, buffer);
    glBufferData(target, static_cast<GLsizeiptr>(data.size() * sizeof(T)), data.data(), GL_STATIC_DRAW);
}

bool Stale(const RegionDrawer::Kept& kept, uint64_t version) {
    return !kept.current || kept.version != version;
}

// Builds the vertices into the scratch space and uploads them, unless the buffer holds this version already.
template <typename T, typename Build>
void Keep(RegionDrawer::Kept& kept, uint64_t version, unsigned int buffer, const std::vector<T>& scratch, Build build) {
    if (Stale(kept, version)) {
        build();
        Upload(GL_ARRAY_BUFFER, buffer, scratch);
        kept = {true, version, scratch.size()};
    }
}

void DrawArray(unsigned int buffer, GLenum format, GLenum mode, size_t count) {
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glInterleavedArrays(format, 0, nullptr);
    glDrawArrays(mode, 0, static_cast<GLsizei>(count));
}

}  // namespace

RegionDrawer::~RegionDrawer() {
    Release();
    if (markerIndices != 0) {
        glDeleteBuffers(1, &markerIndices);
    }
}

void RegionDrawer::Release() {
    for (Region& region : built) {
        if (region.buffers[0] != 0) {
            glDeleteBuffers(4, region.buffers);
        }
    }
    built.clear();
}

// A field laid out anew has new regions: every buffer is built again. Every
// region's markers share one element buffer, for as many as a region holds.
void RegionDrawer::Prepare(const FieldRegions& regions) {
    if (markerIndices == 0) {
        glGenBuffers(1, &markerIndices);
        constexpr size_t kMostMarkers = size_t(FieldRegions::kRegionSide) * FieldRegions::kRegionSide * FieldRegions::kRegionSide;
        Upload(GL_ELEMENT_ARRAY_BUFFER, markerIndices, MarkerIndices(kMostMarkers));
    }
    if (layout != regions.Layout()) {
        Release();
        built.resize(static_cast<size_t>(regions.Count()));
        layout = regions.Layout();
    }
    for (int index = 0; index < regions.Count(); ++index) {
        Region& region = built[index];
        if (region.buffers[0] == 0) {
            glGenBuffers(4, region.buffers);
        }
        if (Stale(region.faces, regions.FacesVersion(index))) {
            UploadFaces(regions, index);
        }
    }
}

void RegionDrawer::UploadFaces(const FieldRegions& regions, int index) {
    Region& region = built[index];
    regions.BuildFaces(index, faces);
    Upload(GL_ARRAY_BUFFER, region.buffers[kFaceVertices], faces.vertices);
    Upload(GL_ELEMENT_ARRAY_BUFFER, region.buffers[kFaceIndices], faces.indices);
    region.runs = faces.runs;
    region.low = faces.low;
    region.high = faces.high;
    region.faces = {true, regions.FacesVersion(index), faces.indices.size()};
}

// The triangles near the eye; far off, points, and the triangles' memory goes.
void RegionDrawer::DrawMarkers(const FieldRegions& regions, int index, bool asPoints) {
    Region& region = built[index];
    const uint64_t version = regions.MarkersVersion(index);
    if (asPoints) {
        Keep(region.points, version, region.buffers[kPoints], points, [&] { regions.BuildPoints(index, points); });
        if (region.markers.current) {
            Upload(GL_ARRAY_BUFFER, region.buffers[kMarkerVertices], std::vector<MarkerVertex>());
            region.markers.current = false;
        }
        DrawArray(region.buffers[kPoints], GL_C4UB_V3F, GL_POINTS, region.points.count);
        return;
    }
    Keep(region.markers, version, region.buffers[kMarkerVertices], markers, [&] { regions.BuildMarkers(index, markers); });
    glBindBuffer(GL_ARRAY_BUFFER, region.buffers[kMarkerVertices]);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, markerIndices);
    ::DrawMarkers(nullptr, nullptr, region.markers.count / kMarkerCorners);
}

// Faces never overlap and markers sit apart inside their cubes, so the order
// of the regions changes nothing on the screen: the nearest go first, and
// what lies behind them fails the depth test before it is textured.
void RegionDrawer::Draw(const FieldRegions& regions, const TexDict& textures) {
    Prepare(regions);
    const View view = CurrentView();
    std::vector<std::pair<float, int>> faceOrder, markerOrder;
    std::set<int> used;
    for (int index = 0; index < regions.Count(); ++index) {
        const Region& region = built[index];
        if (!region.runs.empty() && InView(view, region.low, region.high)) {
            faceOrder.emplace_back(DistanceToBox(view.eye, region.low, region.high), index);
            for (const auto& run : region.runs) {
                used.insert(run.texture);
            }
        }
        const BlockRect box = regions.Box(index);
        const Vector low(box.low.x, box.low.y, box.low.z), high(box.high.x + 1, box.high.y + 1, box.high.z + 1);
        if (InView(view, low, high)) {
            markerOrder.emplace_back(DistanceToBox(view.eye, low, high), index);
        }
    }
    std::sort(faceOrder.begin(), faceOrder.end());
    std::sort(markerOrder.begin(), markerOrder.end());
    glEnable(GL_DEPTH_TEST);
    for (const int texture : used) {
        textures.GetTexture(texture)->UseTexture();
        for (const auto& [distance, index] : faceOrder) {
            const Region& region = built[index];
            const auto run = std::find_if(region.runs.begin(), region.runs.end(),
                                          [texture](const auto& r) { return r.texture == texture; });
            if (run == region.runs.end()) {
                continue;
            }
            glBindBuffer(GL_ARRAY_BUFFER, region.buffers[kFaceVertices]);
            glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, region.buffers[kFaceIndices]);
            glInterleavedArrays(GL_T2F_C3F_V3F, 0, nullptr);
            glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(run->count), GL_UNSIGNED_INT,
                           reinterpret_cast<const void*>(run->first * sizeof(uint32_t)));
        }
    }
    glDisable(GL_TEXTURE_2D);
    for (const auto& [distance, index] : markerOrder) {
        DrawMarkers(regions, index, pointMarkers && distance > view.pointDistance);
    }
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}
