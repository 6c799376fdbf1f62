// The draw buffer in a real OpenGL context: shades read back from the frame buffer.

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "quads/QuadAlgorithm.h"
#include "quads/QuadDrawBuffer.h"
#include "support/GlContext.h"
#include "support/TempDir.h"
#include "textures/TexDict.h"
#include "textures/Texture.h"

namespace {

using Engine = QuadAlgorithm::QuadMergerEngine;
using Point = QuadAlgorithm::Point;

class DrawBufferGl : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string command = "convert -size 8x8 xc:white '" + dir.File("white.png") +
                                    "' && convert -size 8x8 xc:'#808080' '" + dir.File("grey.png") + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
        WriteFile(dir.File("listing.txt"), "white white.png\ngrey grey.png\n");
        Texture::InitializeTextureStates();
        dict.LoadListedTextures(dir.Path(), "listing.txt", {{2, "white"}, {3, "grey"}});
        buffer.Initialize(1000, &dict);
        glViewport(0, 0, GlContext::kWidth, GlContext::kHeight);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-2, 2, -2, 2, -10, 10);
        glMatrixMode(GL_MODELVIEW);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glEnable(GL_TEXTURE_2D);
    }

    // Looks at the plane of the side's axis through the origin, face on.
    static void LookAtPlaneOf(int side) {
        static const GLfloat acrossZ[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        static const GLfloat acrossY[16] = {1, 0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1};
        static const GLfloat acrossX[16] = {0, 0, 1, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1};
        glLoadMatrixf(side <= 2 ? acrossZ : (side <= 4 ? acrossY : acrossX));
    }

    static int CentreRed() {
        unsigned char rgb[3] = {};
        glReadPixels(GlContext::kWidth / 2, GlContext::kHeight / 2, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
        return rgb[0];
    }

    int DrawFace(int side, int texture = 2) {
        glClear(GL_COLOR_BUFFER_BIT);
        LookAtPlaneOf(side);
        Engine engine;
        engine.Initialize(side, 0);
        engine.AddQuad(QuadAlgorithm::Quad(Point(-1, -1), Point(0, 0)));
        buffer.Start();
        buffer.SetTexture(texture);
        engine.Draw(&buffer);
        buffer.Flush();
        buffer.End();
        return CentreRed();
    }

    TempDir dir;
    TexDict dict;
    QuadDrawBuffer buffer;
};

TEST_F(DrawBufferGl, EachFacingDirectionHasItsGrey) {
    const std::pair<int, int> expected[] = {{1, 217}, {2, 217}, {3, 179}, {4, 179}, {5, 255}, {6, 255}};
    for (const auto& [side, red] : expected) {
        EXPECT_NEAR(DrawFace(side), red, 2) << "side " << side;
    }
    EXPECT_NEAR(DrawFace(5, 3), 128, 2) << "the texture modulates the grey";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(DrawBufferGl, TextureBindsFallBetweenBatches) {
    Engine first;
    first.Initialize(1, 0);
    Engine second;
    second.Initialize(6, 3);
    for (int i = 0; i < 5; ++i) {
        first.AddSquare(Point(2 * i, 0));
        second.AddSquare(Point(0, 2 * i));
    }
    LookAtPlaneOf(1);
    buffer.Start();
    buffer.SetTexture(2);
    first.Draw(&buffer);
    buffer.Flush();
    buffer.SetTexture(3);
    second.Draw(&buffer);
    buffer.Flush();
    buffer.End();
    buffer.End();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "a bind inside glBegin/glEnd is an error";
}

TEST_F(DrawBufferGl, RainbowColoursRepeatFromPassToPass) {
    buffer.SetRainbowDebug(true);
    const int first = DrawFace(1);
    EXPECT_EQ(DrawFace(1), first);
    std::srand(3405);
    const int expected = static_cast<int>(std::rand() / static_cast<double>(RAND_MAX) * 255.0 + 0.5);
    EXPECT_NEAR(first, expected, 2) << "the first rectangle takes the first numbers after the debug seed";
}

}  // namespace
