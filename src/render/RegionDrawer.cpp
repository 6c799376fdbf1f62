#include "render/RegionDrawer.h"

#include <GL/glew.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <tuple>

#include "render/DepthTiles.h"
#include "support/Sides.h"
#include "system/System.h"
#include "textures/TexDict.h"
#include "textures/Texture.h"

// The six planes that bound what the camera sees (a point p is in view when
// a x + b y + c z + d >= 0 for each), where the eye is, and how far a marker
// must be for its triangles to shrink below a point's size.
struct FrameView {
    float planes[6][4];
    Vector eye;
    float pointDistance;
    float combined[16];  // projection times model-view, column by column
    int viewport[4];
    float nearReach;  // how far from the eye the near plane's corners lie
    bool backFacesHidden;
    bool markerBacksHidden;
    std::array<double, 4> markerCorners[kMarkerCorners];  // clip coordinates of each corner from its cube's low corner
};


namespace {

enum Buffer { kFaceVertices, kMarkerVertices, kPoints, kBuffers };

// A rectangle's four corners follow each other, so one element buffer serves
// every region's rectangles, a run at a time.
constexpr size_t kQuadsAChunk = FieldRegions::kMostRunRectangles;
static_assert(kQuadsAChunk * 4 <= 65536, "a 16-bit index reaches every corner of a run");

// How high a marker stands, and the height on the screen below which it shows as a point.
constexpr float kMarkerHeight = 0.2f;
constexpr float kPointPixels = 1.5f;

// The clip coordinates of p, or with w 0, of the direction p.
std::array<double, 4> ClipOf(const FrameView& view, const Vector& p, double w = 1) {
    std::array<double, 4> clip;
    for (int row = 0; row < 4; ++row) {
        clip[row] = view.combined[12 + row] * w + view.combined[row] * double(p.x) + view.combined[4 + row] * double(p.y) +
                    view.combined[8 + row] * double(p.z);
    }
    return clip;
}

FrameView CurrentView() {
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
    FrameView view;
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
    std::copy(c, c + 16, view.combined);
    std::copy(viewport, viewport + 4, view.viewport);
    for (int corner = 0; corner < kMarkerCorners; ++corner) {
        view.markerCorners[corner] = ClipOf(view, Vector(kMarkerCorner[corner][0], kMarkerCorner[corner][1], kMarkerCorner[corner][2]), 0);
    }
    const float near = p[14] / (p[10] - 1);  // of a perspective projection
    view.backFacesHidden = false;
    view.nearReach = p[11] == -1 && near > 0 ? near * std::sqrt(1 + 1 / (p[0] * p[0]) + 1 / (p[5] * p[5])) : 1e30f;
    return view;
}

// Only a few cubes around the eye are looked at: farther, as for a long near
// plane, the answer is no.
constexpr float kMostReach = 2;

bool ClearOfSolids(const BlockWorld2& world, const FrameView& view) {
    if (!(view.nearReach < kMostReach)) {
        return false;
    }
    const BlockRect near = CubesNear(view.eye, view.nearReach);
    BlockPos p;
    for (p.x = near.low.x; p.x <= near.high.x; ++p.x) {
        for (p.y = near.low.y; p.y <= near.high.y; ++p.y) {
            for (p.z = near.low.z; p.z <= near.high.z; ++p.z) {
                if (world.IsPhysicallySolid(p)) {
                    return false;
                }
            }
        }
    }
    return true;
}

bool ClearOfMarkers(const FieldRegions& regions, const FrameView& view) {
    return view.nearReach < kMostReach && !regions.MarkersNear(view.eye, view.nearReach);
}

bool InView(const FrameView& view, const Vector& low, const Vector& high) {
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

// Depths a little apart on the screen may come out in either order: what is
// this much nearer than a pixel's depth counts as maybe in front of it.
constexpr float kDepthMargin = 1e-6f;

// Whether what lies within the hull of the corners, in clip coordinates,
// would fail the depth test at every pixel it could cover, told by the tiles
// or pixel by pixel. What reaches behind the eye covers anything.
bool Hidden(const FrameView& view, const DepthTiles& tiles, const std::array<double, 4>* corners, int count, bool byPixel) {
    double left = 1e30, bottom = 1e30, right = -1e30, top = -1e30, nearest = 1;
    for (int corner = 0; corner < count; ++corner) {
        const std::array<double, 4>& clip = corners[corner];
        if (clip[3] <= 1e-6) {
            return false;
        }
        const double x = view.viewport[0] + (clip[0] / clip[3] + 1) / 2 * view.viewport[2];
        const double y = view.viewport[1] + (clip[1] / clip[3] + 1) / 2 * view.viewport[3];
        left = std::min(left, x), right = std::max(right, x), bottom = std::min(bottom, y), top = std::max(top, y);
        nearest = std::min(nearest, (clip[2] / clip[3] + 1) / 2);
    }
    const auto pixel = [](double v) { return static_cast<int>(std::clamp(v, -1e6, 1e6)); };
    const int x0 = pixel(std::floor(left)) - 1 - view.viewport[0], y0 = pixel(std::floor(bottom)) - 1 - view.viewport[1];
    const int x1 = pixel(std::ceil(right)) + 1 - view.viewport[0], y1 = pixel(std::ceil(top)) + 1 - view.viewport[1];
    const float depth = static_cast<float>(nearest) - kDepthMargin;
    return byPixel ? tiles.PixelsHide(x0, y0, x1, y1, depth) : tiles.Hides(x0, y0, x1, y1, depth);
}

bool Hidden(const FrameView& view, const DepthTiles& tiles, const Vector& low, const Vector& high) {
    std::array<double, 4> corners[8];
    for (int corner = 0; corner < 8; ++corner) {
        corners[corner] = ClipOf(view, Vector(corner & 1 ? high.x : low.x, corner & 2 ? high.y : low.y, corner & 4 ? high.z : low.z));
    }
    return Hidden(view, tiles, corners, 8, false);
}

// A marker is a tetrahedron of a few pixels, within its corners' hull, and
// seen through gaps: of the markers whose parts of 64 cubes are not hidden,
// the depths hide five in six, checked one by one pixel by pixel. Its corners
// lie the same way from every cube, so they are projected once a frame.
bool MarkerHidden(const FrameView& view, const DepthTiles& tiles, const BlockPos& cube) {
    const std::array<double, 4> at = ClipOf(view, Vector(float(cube.x), float(cube.y), float(cube.z)));
    std::array<double, 4> corners[kMarkerCorners];
    for (int corner = 0; corner < kMarkerCorners; ++corner) {
        for (int row = 0; row < 4; ++row) {
            corners[corner][row] = at[row] + view.markerCorners[corner][row];
        }
    }
    return Hidden(view, tiles, corners, kMarkerCorners, true);
}

// Each marker's cube from its region's low corner, as x * 256 + y * 16 + z:
// its first corner lies inside it.
static_assert(FieldRegions::kRegionSide == 16, "a cube within its region takes four bits an axis");
void KeepCubes(const std::vector<MarkerVertex>& markers, const BlockPos& low, std::vector<uint16_t>& cubes) {
    cubes.clear();
    for (size_t corner = 0; corner < markers.size(); corner += kMarkerCorners) {
        const MarkerVertex& first = markers[corner];
        const int x = static_cast<int>(first.x) - low.x, y = static_cast<int>(first.y) - low.y, z = static_cast<int>(first.z) - low.z;
        cubes.push_back(static_cast<uint16_t>((x * 16 + y) * 16 + z));
    }
    cubes.shrink_to_fit();
}

BlockPos CubeOf(const BlockPos& low, uint16_t cube) {
    return BlockPos(low.x + (cube >> 8), low.y + ((cube >> 4) & 15), low.z + (cube & 15));
}

template <typename T>
void Upload(unsigned int target, unsigned int buffer, const std::vector<T>& data, GLenum usage = GL_STATIC_DRAW) {
    glBindBuffer(target, buffer);
    glBufferData(target, static_cast<GLsizeiptr>(data.size() * sizeof(T)), data.data(), usage);
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
        kept = {true, version};
    }
}

// The runs of a region's markers, first to last: all of them; or, with the
// depths read back, those of the parts not hidden, consecutive ones together.
template <typename DrawRun>
void ForEachShownRun(const FrameView& view, const DepthTiles* tiles, const BlockRect& box, const FieldRegions::PartEnds& ends,
                     DrawRun draw) {
    const auto hidden = [&](int part) {
        const BlockRect cubes = FieldRegions::PartBox(box, part);
        return Hidden(view, *tiles, Vector(cubes.low.x + kMarkerLow, cubes.low.y + kMarkerLow, cubes.low.z + kMarkerLow),
                      Vector(cubes.high.x + kMarkerHigh, cubes.high.y + kMarkerHigh, cubes.high.z + kMarkerHigh));
    };
    size_t first = 0, last = tiles == nullptr ? ends.back() : 0;
    for (int part = 0; tiles != nullptr && part < FieldRegions::kParts; ++part) {
        const size_t begin = part == 0 ? 0 : ends[part - 1], end = ends[part];
        if (begin == end || hidden(part)) {
            continue;
        }
        if (begin != last) {
            if (first != last) {
                draw(first, last);
            }
            first = begin;
        }
        last = end;
    }
    if (first != last) {
        draw(first, last);
    }
}

}  // namespace

bool EyeClearOfSolids(const BlockWorld2& world) {
    return ClearOfSolids(world, CurrentView());
}

// A rectangle's triangles turn clockwise seen from the side it shows.
void HideBackFaces(bool on) {
    if (on) {
        glEnable(GL_CULL_FACE);
    } else {
        glDisable(GL_CULL_FACE);
    }
    glCullFace(GL_BACK);
    glFrontFace(on ? GL_CW : GL_CCW);
}

void HideMarkerBacks(bool on) {
    HideBackFaces(on);
    glFrontFace(GL_CCW);
}

bool EyeClearOfMarkers(const FieldRegions& regions) {
    return ClearOfMarkers(regions, CurrentView());
}

RegionDrawer::~RegionDrawer() {
    Release();
    if (markerIndices != 0) {
        glDeleteBuffers(1, &markerIndices);
        glDeleteBuffers(1, &faceIndices);
        glDeleteBuffers(1, &shownIndices);
    }
}

void RegionDrawer::Release() {
    for (Region& region : built) {
        if (region.buffers[0] != 0) {
            glDeleteBuffers(kBuffers, region.buffers);
        }
    }
    built.clear();
}

// A field laid out anew has new regions: every buffer is built again. Every
// region's markers share one element buffer, for as many as a region holds,
// and so do their rectangles.
void RegionDrawer::Prepare(const FieldRegions& regions) {
    if (markerIndices == 0) {
        glGenBuffers(1, &markerIndices);
        constexpr size_t kMostMarkers = size_t(FieldRegions::kRegionSide) * FieldRegions::kRegionSide * FieldRegions::kRegionSide;
        Upload(GL_ELEMENT_ARRAY_BUFFER, markerIndices, MarkerIndices(kMostMarkers));
        glGenBuffers(1, &faceIndices);
        Upload(GL_ELEMENT_ARRAY_BUFFER, faceIndices, RepeatedIndices(kRectangleTriangles, 4, kQuadsAChunk));
        glGenBuffers(1, &shownIndices);
        firstMarker = MarkerIndices(1);
    }
    if (layout != regions.Layout()) {
        Release();
        built.resize(static_cast<size_t>(regions.Count()));
        layout = regions.Layout();
    }
    for (int index = 0; index < regions.Count(); ++index) {
        Region& region = built[index];
        if (region.buffers[0] == 0) {
            glGenBuffers(kBuffers, region.buffers);
        }
        if (Stale(region.faces, regions.FacesVersion(index))) {
            UploadFaces(regions, index);
        }
    }
}

void RegionDrawer::UploadFaces(const FieldRegions& regions, int index) {
    Region& region = built[index];
    regions.BuildFaces(index, faces);
    region.chunks.clear();
    for (const auto& run : faces.runs) {
        region.chunks.push_back({run.texture, run.side, run.map, run.count, run.first / 6 * 4});
    }
    Upload(GL_ARRAY_BUFFER, region.buffers[kFaceVertices], faces.corners);
    region.format = faces.format;
    region.low = faces.low;
    region.high = faces.high;
    region.faces = {true, regions.FacesVersion(index)};
}

// The triangles near the eye; far off, points, and the triangles' memory
// goes. Where depths were read back, the parts of the region whose every
// pixel already holds something nearer are left out; the others go in runs
// of parts one after another.
void RegionDrawer::DrawMarkers(const FieldRegions& regions, const FrameView& view, int index, bool asPoints) {
    Region& region = built[index];
    const uint64_t version = regions.MarkersVersion(index);
    if (asPoints) {
        Keep(region.points, version, region.buffers[kPoints], points.bytes, [&] {
            regions.BuildPoints(index, points, region.ends);
            region.pointsFormat = points.format;
        });
        if (region.markers.current) {
            Upload(GL_ARRAY_BUFFER, region.buffers[kMarkerVertices], std::vector<MarkerVertex>());
            region.markers.current = false;
            region.cubes = {};
        }
        glBindBuffer(GL_ARRAY_BUFFER, region.buffers[kPoints]);
        PointFarMarkerArrays(nullptr, region.pointsFormat);
    } else {
        Keep(region.markers, version, region.buffers[kMarkerVertices], markers, [&] {
            regions.BuildMarkers(index, markers, region.ends);
            KeepCubes(markers, regions.Box(index).low, region.cubes);
        });
        glBindBuffer(GL_ARRAY_BUFFER, region.buffers[kMarkerVertices]);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, markerIndices);
        PointMarkerArrays(nullptr);
        glShadeModel(GL_FLAT);
        HideMarkerBacks(view.markerBacksHidden);
    }
    const BlockRect box = regions.Box(index);
    shown.clear();
    ForEachShownRun(view, depthCulling ? &tiles : nullptr, box, region.ends, [&](size_t first, size_t last) {
        if (asPoints) {
            glDrawArrays(GL_POINTS, static_cast<GLint>(first), static_cast<GLsizei>(last - first));
        } else if (depthCulling) {
            for (size_t marker = first; marker < last; ++marker) {
                if (MarkerHidden(view, tiles, CubeOf(box.low, region.cubes[marker]))) {
                    ++markersLeftOut;
                    continue;
                }
                for (const uint16_t corner : firstMarker) {
                    shown.push_back(static_cast<uint16_t>(corner + marker * kMarkerCorners));
                }
            }
        } else {
            glDrawElements(GL_TRIANGLES, static_cast<GLsizei>((last - first) * kMarkerIndices), GL_UNSIGNED_SHORT,
                           reinterpret_cast<const void*>(first * kMarkerIndices * sizeof(uint16_t)));
        }
    });
    if (!shown.empty()) {
        Upload(GL_ELEMENT_ARRAY_BUFFER, shownIndices, shown, GL_STREAM_DRAW);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(shown.size()), GL_UNSIGNED_SHORT, nullptr);
    }
    glShadeModel(GL_SMOOTH);
    HideMarkerBacks(false);
}

// Faces never overlap and markers sit apart inside their cubes, so the order
// of the regions changes nothing on the screen: the nearest go first, and
// what lies behind them fails the depth test before it is textured. They go
// in waves, each twice the last. Where depths are read back cheaply, they
// are read back after each wave's faces: the wave's markers leave out their
// parts, and the next wave its regions, whose every pixel already holds
// something nearer; either way the same faces and markers go in the same
// order.
void RegionDrawer::Draw(const FieldRegions& regions, const TexDict& textures) {
    Prepare(regions);
    FrameView view = CurrentView();
    view.backFacesHidden = backFaceHiding && ClearOfSolids(regions.World(), view);
    view.markerBacksHidden = backFaceHiding && ClearOfMarkers(regions, view);
    std::vector<Drawn> order;
    for (int index = 0; index < regions.Count(); ++index) {
        const Region& region = built[index];
        const BlockRect box = regions.Box(index);
        const Vector low(box.low.x, box.low.y, box.low.z), high(box.high.x + 1, box.high.y + 1, box.high.z + 1);
        const bool faces = !region.chunks.empty() && InView(view, region.low, region.high);
        if (!faces && !InView(view, low, high)) {
            continue;
        }
        Drawn drawn{DistanceToBox(view.eye, low, high), index, faces, low, high};
        if (!region.chunks.empty()) {
            drawn.low = Vector(std::min(low.x, region.low.x), std::min(low.y, region.low.y), std::min(low.z, region.low.z));
            drawn.high = Vector(std::max(high.x, region.high.x), std::max(high.y, region.high.y), std::max(high.z, region.high.z));
        }
        order.push_back(drawn);
    }
    std::sort(order.begin(), order.end(), [](const Drawn& a, const Drawn& b) { return a.distance < b.distance || (a.distance == b.distance && a.index < b.index); });

    // Under llvmpipe, a first wave of 16 regions against one of 32 or 64 costs
    // one more read but hides more of the rest: 33 ms against 35 and 36 for
    // a flooded 100-cube box from the start.
    constexpr size_t kFirstWave = 16;
    leftOut = 0;
    markersLeftOut = 0;
    std::vector<Drawn> wave;
    for (size_t begin = 0, size = kFirstWave; begin < order.size(); begin += size, size *= 2) {
        const auto end = order.begin() + static_cast<std::ptrdiff_t>(std::min(order.size(), begin + size));
        wave.assign(order.begin() + static_cast<std::ptrdiff_t>(begin), end);
        if (depthCulling && begin > 0) {
            const auto kept = std::remove_if(wave.begin(), wave.end(), [&](const Drawn& d) { return Hidden(view, tiles, d.low, d.high); });
            leftOut += static_cast<size_t>(wave.end() - kept);
            wave.erase(kept, wave.end());
        }
        DrawWave(regions, textures, view, wave);
    }
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

void RegionDrawer::ReadDepths(const FrameView& view) {
    const int width = view.viewport[2], height = view.viewport[3];
    depths.resize(static_cast<size_t>(std::max(width, 0)) * std::max(height, 0));
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(view.viewport[0], view.viewport[1], width, height, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, depths.data());
    tiles.Build(depths.data(), width, height);
}

// The faces texture by texture and side by side, nearest region first within
// each: a side's map is set once a wave, not once a region, as setting one
// is what costs a driver most, and where two faces meet at one depth the one
// that shows is the one the block world's own drawing shows. Then the
// markers, near ones as triangles and far ones as points.
void RegionDrawer::DrawWave(const FieldRegions& regions, const TexDict& textures, const FrameView& view, const std::vector<Drawn>& wave) {
    struct Pending {
        const Chunk* chunk;
        const Region* region;
    };
    std::vector<Pending> pending;
    for (const Drawn& d : wave) {
        const Region& region = built[d.index];
        for (size_t c = 0; d.faces && c < region.chunks.size(); ++c) {
            // Culling would drop them only after the driver had transformed every corner.
            if (!view.backFacesHidden || !TurnedAway(region.chunks[c].side, view.eye, region.low, region.high)) {
                pending.push_back({&region.chunks[c], &region});
            }
        }
    }
    std::stable_sort(pending.begin(), pending.end(), [](const Pending& a, const Pending& b) {
        return std::tie(a.chunk->texture, a.chunk->side) < std::tie(b.chunk->texture, b.chunk->side);
    });
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    System::BeginMappedTextures();
    HideBackFaces(view.backFacesHidden);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, faceIndices);
    const Chunk* last = nullptr;
    for (const Pending& p : pending) {
        const Chunk& chunk = *p.chunk;
        if (last == nullptr || chunk.texture != last->texture) {
            textures.GetTexture(chunk.texture)->UseTexture();
        }
        if (last == nullptr || chunk.map != last->map || chunk.side != last->side) {
            const float shade = SideShade(chunk.side), grey[3] = {shade, shade, shade};
            UseTextureMap(chunk.map, grey);
        }
        last = &chunk;
        glBindBuffer(GL_ARRAY_BUFFER, p.region->buffers[kFaceVertices]);
        PointFaceArrays(reinterpret_cast<const void*>(chunk.base * CornerBytes(p.region->format)), p.region->format);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(chunk.count), GL_UNSIGNED_SHORT, nullptr);
    }
    System::EndMappedTextures();
    HideBackFaces(false);
    glDisable(GL_TEXTURE_2D);
    if (depthCulling) {
        ReadDepths(view);
    }
    // The points lie at their cubes' corners, which one shift for them all moves to the markers' centres.
    for (const bool asPoints : {false, true}) {
        if (asPoints) {
            glPushMatrix();
            glTranslatef(kPointOffset[0], kPointOffset[1], kPointOffset[2]);
        }
        for (const Drawn& d : wave) {
            const BlockRect box = regions.Box(d.index);
            const Vector low(box.low.x, box.low.y, box.low.z), high(box.high.x + 1, box.high.y + 1, box.high.z + 1);
            const bool far = pointMarkers && DistanceToBox(view.eye, low, high) > view.pointDistance;
            if (far == asPoints && InView(view, low, high)) {
                DrawMarkers(regions, view, d.index, asPoints);
            }
        }
        if (asPoints) {
            glPopMatrix();
        }
    }
}
