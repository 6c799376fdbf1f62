// Textures and the field in a real OpenGL context: what reaches OpenGL, read back.

#include <GL/glew.h>
#include <GL/glu.h>
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "minefield/MineWorld.h"
#include "support/TempDir.h"
#include "textures/Texture.h"

namespace {

// The tests share one window, on the display their runner provides.
constexpr int kGlWidth = 320;
constexpr int kGlHeight = 240;

// The colour buffer as red-green-blue bytes, bottom row first.
std::vector<unsigned char> ReadScreen() {
    std::vector<unsigned char> pixels(kGlWidth * kGlHeight * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kGlWidth, kGlHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// Top row red, bottom row blue, two pixels each, written by ImageMagick with the given options.
std::string DrawTwoRows(const std::string& path, const std::string& options) {
    const std::string command = "convert -size 2x1 xc:red -size 2x1 xc:blue -append " + options + " '" + path + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return path;
}

TEST(TextureGl, EveryFormatArrivesUprightInItsOwnByteOrder) {
    TempDir dir;
    const std::pair<const char*, const char*> images[] = {
        {"rows.tga", "-alpha off -type TrueColor -orient TopLeft"}, {"rows.TGA", "-alpha off -type TrueColor -orient TopLeft"},
        {"rows.png", "-alpha off -type TrueColor"}, {"rows_palette.png", "-type Palette"},
        {"rows_alpha.png", "-alpha set -channel A -evaluate set 50% +channel"}, {"rows.jpg", "-quality 100"},
        {"rows.bmp", "-type TrueColor"}};
    for (const auto& [name, options] : images) {
        Texture texture;
        texture.LoadFromFile(DrawTwoRows(dir.File(name), options));
        texture.UseTexture();
        unsigned char texels[12] = {};
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
        EXPECT_TRUE(texels[0] > 230 && texels[1] < 25 && texels[2] < 25) << name << ": the top row is red";
        EXPECT_TRUE(texels[9] < 25 && texels[10] < 25 && texels[11] > 230) << name << ": the bottom row is blue";
    }
}

// The field drawn region by region from buffers on the card must give the
// picture of every face and marker sent plainly, pixel for pixel, from outside
// the box and from inside it, with the view cutting through regions, and again
// after more cubes open; with far markers as points, nearly so. From far off,
// where every marker is less than a pixel, points show what tiny triangles
// mostly miss: exact without them only.
TEST(FieldGl, RegionsDrawWhatSendingEverythingDraws) {
    char previous[PATH_MAX];
    ASSERT_TRUE(getcwd(previous, sizeof previous) && chdir(CUBOMB_DATA_DIR) == 0);
    Texture::InitializeTextureStates();
    MineWorld world;
    ASSERT_EQ(chdir(previous), 0);
    std::srand(3);
    world.Initialize(45, 40, 36, 45 * 40 * 36 / 25);
    const std::pair<Vector, Vector> views[] = {
        {{-1, -1, 37}, {0.5f, 0.5f, -0.7071f}}, {{22, 20, 18}, {1, 0.01f, 0.02f}},
        {{3, 4, 30}, {0.6f, 0.5f, -0.6f}},      {{70, -20, 50}, {-0.6f, 0.5f, -0.5f}}};
    for (const int pass : {0, 1, 2}) {  // before the last, cubes open on top: kept buffers must follow
        for (size_t i = pass == 2 ? 35 : 0; pass != 1 && i < world.Cubes().Size(); i += pass == 2 ? 36 * 7 : 997)
            if (!world.Cubes().At(i).isMine && world.Cubes().At(i).state == Block::kCovered)
                world.EatZeroBlocks(world.Cubes().PositionOf(i), 1.0f);
        const bool points = pass == 1;
        world.Drawer().SetPointMarkers(points);
        for (const auto& [eye, look] : views) {
            if (points && eye.x == 70) continue;
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

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (SDL_Init(SDL_INIT_VIDEO) != 0 || !SDL_SetVideoMode(kGlWidth, kGlHeight, 32, SDL_OPENGL | SDL_DOUBLEBUF) ||
        glewInit() != GLEW_OK) {
        return 1;
    }
    gluPerspective(60, double(kGlWidth) / kGlHeight, 0.1, 400);  // as the game's camera, z up
    glMatrixMode(GL_MODELVIEW);
    const int status = RUN_ALL_TESTS();
    SDL_Quit();
    return status;
}
