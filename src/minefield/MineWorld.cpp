#include "minefield/MineWorld.h"

#include <GL/glew.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "render/Outline.h"
#include "support/Sides.h"

namespace {

// Mesa's software renderers, where what is not drawn is what costs.
bool DrawsOnTheProcessor() {
    const char* const renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const std::string name = renderer == nullptr ? "" : renderer;
    return name.find("llvmpipe") != std::string::npos || name.find("softpipe") != std::string::npos;
}

}  // namespace

MineWorld::MineWorld() {
    const std::vector<std::pair<int, std::string>> textures = {
        {kGreyTexture, "grey_block"}, {kFlaggedTexture, "flagged_block"}, {kMineTexture, "mine_block"}};
    texDict.LoadListedTextures("Textures", "texture_listing.txt", textures);
    drawBuffer.Initialize(1000, &texDict);
    blockWorld.SetObserver(&regions);
    drawer.SetDepthCulling(DrawsOnTheProcessor());
}

void MineWorld::Render() {
    drawer.Draw(regions, texDict);
}

void MineWorld::RenderPlain() {
    RenderFaces();
    RenderMarkers();
}

void MineWorld::RenderFaces() {
    glEnable(GL_DEPTH_TEST);
    HideBackFaces(drawer.BackFaceHiding() && EyeClearOfSolids(blockWorld));
    drawBuffer.Start();
    blockWorld.QuickRender(&drawBuffer);
    drawBuffer.End();
    HideBackFaces(false);
}

// Streamed in slices through one small array: keeping every marker's
// triangles would take more memory than the rest of a big field.
void MineWorld::RenderMarkers() {
    constexpr size_t kMarkersPerSlice = 4096;
    glDisable(GL_TEXTURE_2D);
    static const std::vector<uint16_t> indices = MarkerIndices(kMarkersPerSlice);
    const auto drawSlice = [&] {
        DrawMarkers(markerVertices.data(), indices.data(), markerVertices.size() / kMarkerCorners);
        markerVertices.clear();
        glFlush();
    };
    markerVertices.clear();
    HideMarkerBacks(drawer.BackFaceHiding() && EyeClearOfMarkers(regions));
    for (size_t i = 0; i < cubes.Size(); ++i) {
        const Block& block = cubes.At(i);
        if (block.state == Block::kUncovered && block.adjacentMines != 0) {
            const BlockPos pos = cubes.PositionOf(i);
            AppendMarker(pos, ShownCount(pos), markerVertices);  // none where the cut hides it
        }
        if (markerVertices.size() == kMarkersPerSlice * kMarkerCorners) {
            drawSlice();
        }
    }
    drawSlice();
    HideMarkerBacks(false);
}

void MineWorld::RenderNum(const BlockPos& pos, uint8_t count) {
    std::vector<MarkerVertex> corners;
    AppendMarker(pos, count, corners);
    DrawMarkers(corners.data(), MarkerIndices(1).data(), corners.size() / kMarkerCorners);
}

void MineWorld::RenderOutline(const BlockPos& cube) {
    DrawCubeOutline(cube, LineStyle{{0, 0, 0}, 2, 0.01f});
}

bool MineWorld::CutDeeper(const Vector& look) {
    BlockRect layer;
    const bool changed = MineField::CutDeeper(look, layer);
    if (changed) {
        regions.MarkersChanged(layer);
    }
    return changed;
}

bool MineWorld::CutShallower() {
    BlockRect layer;
    const bool changed = MineField::CutShallower(layer);
    if (changed) {
        regions.MarkersChanged(layer);
    }
    return changed;
}

void MineWorld::RenderCoveredAround(const BlockPos& marker) const {
    LineStyle style{{0, 0, 0}, 1, 0.03f};
    MarkerColour(ShownCount(marker), style.rgb);
    for (const BlockPos& d : kNeighbours) {
        const BlockPos cube(marker.x + d.x, marker.y + d.y, marker.z + d.z);
        const Block* const block = cubes.Find(cube);
        if (block != nullptr && block->state == Block::kCovered && !Hidden(cube)) {
            DrawCubeOutline(cube, style);
        }
    }
}
