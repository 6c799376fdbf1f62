// Textures, the draw buffer and the markers in a real OpenGL context: what reaches OpenGL, read back.

#include <GL/glew.h>
#include <GL/glu.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cmath>
#include <cstdlib>

#include "minefield/MineWorld.h"
#include "quads/QuadAlgorithm.h"
#include "world/BlockWorld2.h"
#include "support/GlContext.h"
#include "support/TempDir.h"
#include "textures/TexDict.h"
#include "textures/Texture.h"

namespace {

// Top row red, bottom row blue, two pixels each, written by ImageMagick with the given options.
std::string DrawTwoRows(const std::string& path, const std::string& options) {
    const std::string command = "convert -size 2x1 xc:red -size 2x1 xc:blue -append " + options + " '" + path + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return path;
}

TEST(TextureGl, EveryFormatArrivesUprightInItsOwnByteOrderAndAReloadKeepsOneObject) {
    TempDir dir;
    const std::pair<const char*, const char*> images[] = {
        {"rows.tga", "-alpha off -type TrueColor -orient TopLeft"}, {"rows.TGA", "-alpha off -type TrueColor -orient TopLeft"},
        {"rows.png", "-alpha off -type TrueColor"}, {"rows_palette.png", "-type Palette"},
        {"rows_alpha.png", "-alpha set -channel A -evaluate set 50% +channel"}, {"rows.jpg", "-quality 100"},
        {"rows.bmp", "-type TrueColor"}};
    Texture texture;
    GLint previous = 0;
    for (const auto& [name, options] : images) {
        texture.LoadFromFile(DrawTwoRows(dir.File(name), options));
        texture.UseTexture();
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_FALSE(glIsTexture(previous)) << "the earlier load's object is gone";
        previous = bound;
        unsigned char texels[12] = {};
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
        EXPECT_TRUE(texels[0] > 230 && texels[1] < 25 && texels[2] < 25) << name << ": the top row is red";
        EXPECT_TRUE(texels[9] < 25 && texels[10] < 25 && texels[11] > 230) << name << ": the bottom row is blue";
    }
}

TEST(TexDictGl, LoadAllHandsOutFreeIdsInNameOrder) {
    TempDir dir;
    DrawTwoRows(dir.File("x.png"), "");
    WriteFile(dir.File("first.txt"), "one x.png\nthree x.png\n");
    WriteFile(dir.File("all.txt"), "b_tex x.png\na_tex x.png\nc_tex x.png\none x.png\nz_tex x.png\n");
    TexDict dict;
    dict.LoadListedTextures(dir.path, "first.txt", {{1, "one"}, {3, "three"}, {9, "one"}});
    EXPECT_EQ(dict.GetNewID(8), 9) << "a repeated name keeps only its first id";
    dict.LoadAllTextures(dir.path, "all.txt", 0);
    const std::pair<int, const char*> ids[] = {{1, "one"}, {2, "a_tex"}, {4, "b_tex"}, {5, "c_tex"}, {7, "z_tex"}};
    for (const auto& [id, name] : ids) EXPECT_EQ(dict.GetTexture(id), dict.GetTexture(std::string(name))) << name;
}

class DrawBufferGl : public ::testing::Test {
protected:
    void SetUp() override {
        DrawTwoRows(dir.File("white.png"), "-fill white -colorize 100");
        DrawTwoRows(dir.File("grey.png"), "-fill '#808080' -colorize 100");
        WriteFile(dir.File("listing.txt"), "white white.png\ngrey grey.png\n");
        Texture::InitializeTextureStates();
        dict.LoadListedTextures(dir.path, "listing.txt", {{2, "white"}, {3, "grey"}});
        buffer.Initialize(1000, &dict);
        glViewport(0, 0, kGlWidth, kGlHeight);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-2, 2, -2, 2, -10, 10);
        glMatrixMode(GL_MODELVIEW);
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_TEXTURE_2D);
    }

    // The centre's red after drawing a 2 by 2 face in the plane of the side's axis through the origin, face on.
    int DrawFace(int side, int texture = 2) {
        static const GLfloat across[3][16] = {{0, 0, 1, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1},
                                              {1, 0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1},
                                              {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
        glClear(GL_COLOR_BUFFER_BIT);
        glLoadMatrixf(across[side <= 2 ? 2 : (side <= 4 ? 1 : 0)]);
        QuadAlgorithm::QuadMergerEngine engine;
        engine.Initialize(side, 0);
        engine.AddQuad(QuadAlgorithm::Quad(QuadAlgorithm::Point(-1, -1), QuadAlgorithm::Point(0, 0)));
        buffer.Start();
        buffer.SetTexture(texture);
        engine.Draw(&buffer);
        buffer.Flush();
        buffer.End();
        return ReadScreen()[(kGlHeight / 2 * kGlWidth + kGlWidth / 2) * 3];
    }

    TempDir dir;
    TexDict dict;
    QuadDrawBuffer buffer;
};

TEST_F(DrawBufferGl, EachFacingDirectionHasItsGreyModulatedByTheTexture) {
    const std::pair<int, int> expected[] = {{1, 217}, {2, 217}, {3, 179}, {4, 179}, {5, 255}, {6, 255}};
    for (const auto& [side, red] : expected) EXPECT_NEAR(DrawFace(side), red, 2) << "side " << side;
    EXPECT_NEAR(DrawFace(5, 3), 128, 2);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    buffer.SetRainbowDebug(true);
    const int first = DrawFace(1);
    std::srand(3405);
    EXPECT_NEAR(first, std::rand() / double(RAND_MAX) * 255.0, 2) << "the first numbers after the debug seed";
    EXPECT_EQ(DrawFace(1), first) << "and again in the next pass";
}

// Every solid cube drawn whole shows the same nearest surfaces as the merged faces, seen from either far corner.
TEST_F(DrawBufferGl, SlowRenderShowsWhatTheMergedFacesShow) {
    BlockWorld2 world;
    world.Initialize(BlockRect(BlockPos(0, 0, 0), BlockPos(3, 3, 3)), false);
    for (const BlockPos& p : {BlockPos(0, 0, 0), BlockPos(1, 0, 0), BlockPos(1, 1, 0), BlockPos(1, 1, 1)}) world.ChangePos(p, 2);
    const auto depths = [] {
        std::vector<float> depth(kGlWidth * kGlHeight);
        glReadPixels(0, 0, kGlWidth, kGlHeight, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
        return depth;
    };
    glEnable(GL_DEPTH_TEST);
    for (const float side : {-4.0f, 6.0f}) {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(60, double(kGlWidth) / kGlHeight, 0.1, 100);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(side, side * 0.8, side * 0.9, 1, 1, 1, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        world.QuickRender(&buffer);
        const std::vector<float> merged = depths();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        dict.GetTexture(2)->UseTexture();
        world.SlowRender();
        const std::vector<float> whole = depths();
        size_t same = 0, near = 0;
        for (size_t i = 0; i < whole.size(); ++i) {
            same += std::fabs(whole[i] - merged[i]) < 1e-5f;
            near += merged[i] < 1;
        }
        EXPECT_TRUE(same == whole.size() && near > 1000) << side << ": " << whole.size() - same << " differ";
    }
    glDisable(GL_DEPTH_TEST);
}

// The field drawn region by region from buffers on the card must give the
// picture of every face and marker sent plainly, pixel for pixel, from outside
// the box and from inside it, with the view cutting through regions; with far
// markers as points, nearly so. From far off, where every marker is less than
// a pixel, points show what tiny triangles mostly miss: exact without them only.
TEST(FieldGl, RegionsDrawWhatSendingEverythingDraws) {
    char previous[PATH_MAX];
    ASSERT_TRUE(getcwd(previous, sizeof previous) && chdir(CUBOMB_DATA_DIR) == 0);
    Texture::InitializeTextureStates();
    MineWorld world;
    ASSERT_EQ(chdir(previous), 0);
    std::srand(3);
    world.Initialize(45, 40, 36, 45 * 40 * 36 / 25);
    for (size_t i = 0; i < world.Cubes().Size(); i += 997)
        if (!world.Cubes().At(i).isMine && world.Cubes().At(i).state == Block::kCovered)
            world.EatZeroBlocks(world.Cubes().PositionOf(i), 1.0f);
    const std::pair<Vector, Vector> views[] = {
        {{-1, -1, 37}, {0.5f, 0.5f, -0.7071f}}, {{22, 20, 18}, {1, 0.01f, 0.02f}},
        {{3, 4, 30}, {0.6f, 0.5f, -0.6f}},      {{70, -20, 50}, {-0.6f, 0.5f, -0.5f}}};
    for (const bool points : {false, true}) {
        world.Drawer().SetPointMarkers(points);
        for (const auto& [eye, look] : views) {
            if (points && eye.x == 70) continue;
            glViewport(0, 0, kGlWidth, kGlHeight);
            glMatrixMode(GL_PROJECTION);
            glLoadIdentity();
            gluPerspective(60, double(kGlWidth) / kGlHeight, 0.1, 400);
            glMatrixMode(GL_MODELVIEW);
            glLoadIdentity();
            gluLookAt(eye.x, eye.y, eye.z, eye.x + look.x, eye.y + look.y, eye.z + look.z, 0, 0, 1);
            std::vector<unsigned char> pictures[2];
            for (int plain = 0; plain < 2; ++plain) {
                glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
                glEnable(GL_TEXTURE_2D);
                plain ? world.RenderPlain() : world.Render();
                pictures[plain] = ReadScreen();
            }
            int differ = 0;
            for (size_t i = 0; i < pictures[0].size(); i += 3)
                differ += !std::equal(&pictures[0][i], &pictures[0][i] + 3, &pictures[1][i]);
            EXPECT_LE(differ, points ? kGlWidth * kGlHeight / 200 : 0) << "points " << points << ", eye " << eye.x;
            EXPECT_GT(std::count(pictures[1].begin(), pictures[1].end(), 0), 0);
        }
    }
}

}  // namespace
