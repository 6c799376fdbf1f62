// The listing reader and the dictionary's lookups need no OpenGL; loading is tested in a real context.

#include <gtest/gtest.h>
#include <unistd.h>

#include <sstream>

#include "support/TempDir.h"
#include "textures/TexDict.h"
#include "textures/Texture.h"

namespace {

TEST(TextureListing, ReadsPairsCommentsAndLineEnds) {
    using Files = std::map<std::string, std::string>;
    const std::pair<const char*, Files> cases[] = {
        {"grey_block grey.png\r\nmine_block mine.png", {{"grey_block", "grey.png"}, {"mine_block", "mine.png"}}},
        {"  # comment\n#x\n\t\ngrey_block #x", {{"grey_block", "#x"}}},
        {"\"grey_block\" grey.png\n", {{"\"grey_block\"", "grey.png"}}},
        {"a one.png\na\ttwo.png\n", {{"a", "two.png"}}},
    };
    for (const auto& [content, expected] : cases) {
        std::istringstream in(content);
        Files files;
        std::vector<std::string> error;
        EXPECT_TRUE(ParseTextureListing(in, files, error) && files == expected) << content;
    }
}

// Fatal paths print on standard output; the child sends it to standard error for the matcher.
void SendOutputToErrors() {
    fflush(stdout);
    dup2(2, 1);
}

TEST(TexDictDeathTest, LookupsBeforeLoadingAndUnknownNamesEndTheProcess) {
    TempDir dir;
    WriteFile(dir.File("listing.txt"), "grey_block grey.png\n");
    TexDict dict;
    EXPECT_EXIT((SendOutputToErrors(), dict.GetTexture(2)), ::testing::ExitedWithCode(1),
                "^Error: TexDict has not been initialized\n$");
    dict.LoadListedTextures(dir.path, "listing.txt", {});
    EXPECT_EXIT((SendOutputToErrors(), dict.LoadTexture(dir.path, 2, "\"grey_block\"")), ::testing::ExitedWithCode(1),
                "^Error: Cannot find texture name \"\"grey_block\"\" in texture name file.\n$");
    EXPECT_EXIT((SendOutputToErrors(), dict.GetTexture(7)), ::testing::ExitedWithCode(1),
                "^Error: Texture ID not found in TexDict: 7\n$");
    EXPECT_EXIT((SendOutputToErrors(), dict.GetTexture(std::string("grey_block"))), ::testing::ExitedWithCode(1),
                "^Error: Texture not foind in TexDict: grey_block\n$");
    EXPECT_EXIT((SendOutputToErrors(), Texture().UseTexture()), ::testing::ExitedWithCode(1),
                "^Using a texture that has not been initialized\n$");
}

TEST(Texture, OnlyLowerOrUpperTgaExtensionsAreTga) {
    for (const char* tga : {"font.tga", "font.TGA", "tga", "TGA", "a.b.tga"}) EXPECT_TRUE(IsTgaFileName(tga)) << tga;
    for (const char* other : {"font.Tga", "help.jpg", "textures.tga/file", "tgax"}) EXPECT_FALSE(IsTgaFileName(other)) << other;
}

}  // namespace
