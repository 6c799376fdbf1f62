// A caller written against the game's documented interfaces, in the very
// forms they are documented in: each must keep compiling, whatever forms
// faster callers inside the game add. Nothing here runs.

#include <string>
#include <vector>

#include "picking/RayAlgorithm.h"
#include "quads/QuadAlgorithm.h"
#include "quads/QuadDrawBuffer.h"
#include "support/Geometry.h"
#include "support/StringHelpers.h"
#include "world/BlockWorld2.h"

namespace {

[[maybe_unused]] void FacesAndRays() {
    QuadAlgorithm::QuadHolder holder;
    holder.AddQuad(2, 1, 5, BlockPos(3, 7, 4));
    QuadAlgorithm::QuadMergerEngine engine;
    engine.Initialize(1, 5);
    engine.AddSquare(QuadAlgorithm::Point(3, 7));
    QuadAlgorithm::Quad found;
    engine.FindQuadContainingSquare(QuadAlgorithm::Point(3, 7), found);
    std::vector<QuadAlgorithm::Quad> pieces;
    QuadAlgorithm::QuadMergerEngine::SplitUpQuad(found, QuadAlgorithm::Point(3, 7), pieces);
    QuadAlgorithm algorithm;
    algorithm.AddQuad(2, 1, 5, BlockPos(3, 7, 4));

    BlockPos low(0L, 0L, 0L), high(4L, 4L, 4L);
    BlockRect bounds(low, high);
    BlockWorld2 world;
    world.Initialize(bounds, false);
    world.ChangePos(low, 2);
    world.ChangeTexture(3, low, 1);
    const int texture = world.GetTexture(low, 1) + world.TotalBlocks() + world.NumQuads();
    QuadDrawBuffer buffer;
    world.QuickRender(&buffer);

    RayAlgorithm ray;
    Vector origin(-2.5f, 0.5f, 0.5f), direction(1, 0, 0), hitPoint;
    BlockPos hitBlock;
    int hitSide = texture;
    if (ray.RayIntersectsWorld(&world, origin, direction, 200.0f, hitPoint, hitBlock, hitSide)) {
        ray.InfiniteRayIntersectsWorld(&world, origin, direction, hitPoint, hitBlock, hitSide);
    }
}

[[maybe_unused]] void Strings() {
    int value = 0;
    float real = 0;
    const char* text = "7";
    IsNaturalNumber("12", value);
    IsNaturalNumber(text, value);
    IsNaturalNumberWithLeadingZeros("007", value);
    IsFloatingPoint("-0.25", real);
    IsFloatingPoint(text, real);
    std::string line = "grey_block grey_block.png", prefix = "grey";
    std::vector<std::string> tokens;
    ExtractStringsFromLine(line, tokens);
    RemoveNewLineCharacters(line);
    StartsWith(line, prefix);
    EndsWith(line, prefix);
    ToString(value);
    ToString(real);
}

}  // namespace
