// The count markers in a real OpenGL context: the one batch the field draws
// must give the picture of one RenderNum call per cube, walked over the whole box.

#include <GL/glew.h>
#include <GL/glu.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <vector>

#include "minefield/MineWorld.h"
#include "support/GlContext.h"
#include "textures/Texture.h"

namespace {

std::vector<unsigned char> ReadScreen() {
    std::vector<unsigned char> pixels(GlContext::kWidth * GlContext::kHeight * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, GlContext::kWidth, GlContext::kHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

int LitPixels(const std::vector<unsigned char>& pixels) {
    int lit = 0;
    for (size_t i = 0; i < pixels.size(); i += 3) lit += pixels[i] || pixels[i + 1] || pixels[i + 2];
    return lit;
}

// Looks into a box of side n from beyond its far corner, so the markers of
// several depths overlap and the order of drawing counts.
void LookIntoBox(int n) {
    glViewport(0, 0, GlContext::kWidth, GlContext::kHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60, 1, 0.1, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(n * 1.6, n * 1.4, n * 1.5, n / 2.0, n / 2.0, n / 2.0, 0, 0, 1);
    glEnable(GL_DEPTH_TEST);
    glClearColor(0, 0, 0, 1);
}

TEST(MarkersGl, OneBatchDrawsWhatOneCallPerCubeDraws) {
    char previous[PATH_MAX];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(CUBOMB_DATA_DIR), 0);
    Texture::InitializeTextureStates();
    MineWorld world;
    ASSERT_EQ(chdir(previous), 0);

    for (unsigned seed = 1; seed <= 4; ++seed) {
        const int n = 5 + static_cast<int>(seed);
        std::srand(seed);
        world.Initialize(n, n, n, n * n * n / 12);
        std::vector<BlockPos> safe;
        for (size_t i = 0; i < world.Cubes().Size(); ++i)
            if (!world.Cubes().At(i).isMine) safe.push_back(world.Cubes().PositionOf(i));
        for (size_t k = 0; k < safe.size(); k += 3) {
            world.EatZeroBlocks(safe[k], 1.0f);
        }
        ASSERT_FALSE(world.MarkedCubes().empty()) << "seed " << seed;

        LookIntoBox(n);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        world.RenderMarkers();
        const std::vector<unsigned char> batch = ReadScreen();

        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        for (size_t i = 0; i < world.Cubes().Size(); ++i) {
            if (world.Cubes().At(i).state == Block::kUncovered) {
                MineWorld::RenderNum(world.Cubes().PositionOf(i), world.Cubes().At(i).adjacentMines);
            }
        }
        const std::vector<unsigned char> oneByOne = ReadScreen();

        EXPECT_GT(LitPixels(oneByOne), 50) << "seed " << seed;
        EXPECT_TRUE(batch == oneByOne) << "seed " << seed;
    }
}

}  // namespace
