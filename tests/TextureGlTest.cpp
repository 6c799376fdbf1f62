// Textures in a real OpenGL context: the bytes that reach OpenGL, read back.

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "support/TempDir.h"
#include "textures/TexDict.h"
#include "textures/Texture.h"

namespace {

using Colour = std::array<int, 3>;

// Top row red, bottom row blue, each 2 pixels; written by ImageMagick with the given options.
std::string DrawTwoRows(const std::string& path, const std::string& options) {
    const std::string command = "convert -size 2x1 xc:'#ff0000' -size 2x1 xc:'#0000ff' -append " + options +
                                " '" + path + "' 2>/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return path;
}

// The base level of the bound texture, as red-green-blue bytes, top row first.
std::vector<Colour> ReadBoundTexture() {
    GLint width = 0;
    GLint height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    std::vector<unsigned char> bytes(static_cast<size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, bytes.data());
    std::vector<Colour> colours;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        colours.push_back({bytes[i], bytes[i + 1], bytes[i + 2]});
    }
    return colours;
}

bool Near(const Colour& a, const Colour& b) {
    for (int i = 0; i < 3; ++i) {
        if (std::abs(a[i] - b[i]) > 24) {
            return false;
        }
    }
    return true;
}

TEST(TextureUpload, EveryFormatArrivesUprightAndInItsOwnByteOrder) {
    TempDir dir;
    const std::pair<std::string, std::string> images[] = {
        {"rows.tga", "-alpha off -type TrueColor -orient TopLeft"},
        {"rows.TGA", "-alpha off -type TrueColor -orient TopLeft"},
        {"rows.png", "-alpha off -type TrueColor"},
        {"rows_palette.png", "-type Palette"},
        {"rows_alpha.png", "-alpha set -channel A -evaluate set 50% +channel"},
        {"rows.jpg", "-quality 100"},
        {"rows.bmp", "-type TrueColor"},
    };
    for (const auto& [name, options] : images) {
        Texture texture;
        texture.LoadFromFile(DrawTwoRows(dir.File(name), options));
        texture.UseTexture();
        const std::vector<Colour> texels = ReadBoundTexture();
        ASSERT_EQ(texels.size(), 4u) << name;
        EXPECT_TRUE(Near(texels[0], {255, 0, 0})) << name << " top row should be red, is " << texels[0][0] << ","
                                                  << texels[0][1] << "," << texels[0][2];
        EXPECT_TRUE(Near(texels[3], {0, 0, 255})) << name << " bottom row should be blue";
    }
}

TEST(TextureUpload, ReloadingKeepsOneLiveTextureObject) {
    TempDir dir;
    Texture texture;
    texture.LoadFromFile(DrawTwoRows(dir.File("a.png"), ""));
    GLint first = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &first);
    ASSERT_TRUE(glIsTexture(static_cast<GLuint>(first)));
    texture.LoadFromFile(DrawTwoRows(dir.File("b.png"), ""));
    GLint second = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &second);
    EXPECT_NE(second, first);
    EXPECT_TRUE(glIsTexture(static_cast<GLuint>(second)));
    EXPECT_FALSE(glIsTexture(static_cast<GLuint>(first))) << "the first load's object was deleted";
}

TEST(TexDictIds, LoadAllHandsOutFreeIdsInNameOrder) {
    TempDir dir;
    DrawTwoRows(dir.File("x.png"), "");
    WriteFile(dir.File("first.txt"), "one x.png\nthree x.png\n");
    WriteFile(dir.File("all.txt"), "b_tex x.png\na_tex x.png\nc_tex x.png\none x.png\nz_tex x.png\n");
    TexDict dict;
    dict.LoadListedTextures(dir.Path(), "first.txt", {{1, "one"}, {3, "three"}, {9, "one"}});
    EXPECT_EQ(dict.GetNewID(0), 2);
    EXPECT_EQ(dict.GetNewID(2), 4);
    EXPECT_EQ(dict.GetNewID(8), 9) << "a repeated name keeps only its first id";
    dict.LoadAllTextures(dir.Path(), "all.txt", 0);
    EXPECT_EQ(dict.GetTexture(2), dict.GetTexture(std::string("a_tex")));
    EXPECT_EQ(dict.GetTexture(4), dict.GetTexture(std::string("b_tex")));
    EXPECT_EQ(dict.GetTexture(5), dict.GetTexture(std::string("c_tex")));
    EXPECT_EQ(dict.GetTexture(7), dict.GetTexture(std::string("z_tex"))) << "the already loaded name used up id 6";
    EXPECT_EQ(dict.GetNewID(5), 6);
    EXPECT_EQ(dict.GetTexture(1), dict.GetTexture(std::string("one")));
}

}  // namespace
