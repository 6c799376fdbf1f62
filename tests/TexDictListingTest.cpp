// The listing reader needs no OpenGL; loading textures is tested in a real context.

#include <gtest/gtest.h>
#include <unistd.h>

#include <sstream>

#include "support/TempDir.h"
#include "textures/TexDict.h"
#include "textures/Texture.h"

namespace {

std::map<std::string, std::string> ReadListing(const std::string& content) {
    std::istringstream in(content);
    std::map<std::string, std::string> files;
    std::vector<std::string> error;
    EXPECT_TRUE(ParseTextureListing(in, files, error)) << content;
    return files;
}

TEST(TextureListing, ReadsPairsCommentsAndLineEnds) {
    using Files = std::map<std::string, std::string>;
    struct Case {
        const char* content;
        Files files;
    };
    const Case cases[] = {
        {"", {}},
        {"grey_block grey.png\n", {{"grey_block", "grey.png"}}},
        {"grey_block grey.png\r\nmine_block mine.png\r\n", {{"grey_block", "grey.png"}, {"mine_block", "mine.png"}}},
        {"  # comment\n#x\n\t\ngrey_block #x", {{"grey_block", "#x"}}},
        {"\"grey_block\" grey.png\n", {{"\"grey_block\"", "grey.png"}}},
        {"a one.png\na two.png\n", {{"a", "two.png"}}},
        {"a\tone.png", {{"a", "one.png"}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadListing(c.content), c.files) << c.content;
    }
}

// Fatal paths print on standard output; the child sends it to standard error for the matcher.
void SendOutputToErrors() {
    fflush(stdout);
    dup2(2, 1);
}

TEST(TextureListingDeathTest, BadLinesAndMissingFilesEndTheProcess) {
    TempDir dir;
    WriteFile(dir.File("listing.txt"), "grey_block grey.png\nmine_block mine.png trailing\n");
    TexDict dict;
    EXPECT_EXIT((SendOutputToErrors(), dict.ReadTextureNameFile(dir.Path(), "listing.txt")),
                ::testing::ExitedWithCode(1),
                "Error: Systax in texture name file must be \"texture_name\" \"texture_file\"\n"
                "and neither string can have a whitespace character.\n"
                "Line: mine_block mine.png trailing\n");
    EXPECT_EXIT((SendOutputToErrors(), dict.ReadTextureNameFile(dir.Path(), "absent.txt")),
                ::testing::ExitedWithCode(1),
                "Error: Cannot find file to associate texture names with texture files: \n" + dir.Path() +
                    "/absent.txt\n");
    EXPECT_EXIT((SendOutputToErrors(), dict.ReadTextureNameFile(dir.Path(), ".")),
                ::testing::ExitedWithCode(1), "Cannot find file");
}

TEST(TexDictDeathTest, LookupsBeforeLoadingAndUnknownNamesEndTheProcess) {
    TempDir dir;
    WriteFile(dir.File("listing.txt"), "grey_block grey.png\n");
    TexDict dict;
    EXPECT_EXIT((SendOutputToErrors(), dict.GetTexture(2)), ::testing::ExitedWithCode(1),
                "^Error: TexDict has not been initialized\n$");
    EXPECT_EXIT((SendOutputToErrors(), dict.GetTexture(std::string("grey_block"))), ::testing::ExitedWithCode(1),
                "^Error: TexDict has not been initialized\n$");
    dict.ReadTextureNameFile(dir.Path(), "listing.txt");
    EXPECT_EXIT((SendOutputToErrors(), dict.LoadTexture(dir.Path(), 2, "\"grey_block\"")),
                ::testing::ExitedWithCode(1),
                "^Error: Cannot find texture name \"\"grey_block\"\" in texture name file.\n$");
    dict.LoadListedTextures(dir.Path(), "listing.txt", {});
    EXPECT_EXIT((SendOutputToErrors(), dict.GetTexture(7)), ::testing::ExitedWithCode(1),
                "^Error: Texture ID not found in TexDict: 7\n$");
    EXPECT_EXIT((SendOutputToErrors(), dict.GetTexture(std::string("grey_block"))), ::testing::ExitedWithCode(1),
                "^Error: Texture not foind in TexDict: grey_block\n$");
    Texture never;
    EXPECT_EXIT((SendOutputToErrors(), never.UseTexture()), ::testing::ExitedWithCode(1),
                "^Using a texture that has not been initialized\n$");
}

TEST(Texture, OnlyLowerOrUpperTgaExtensionsAreTga) {
    const std::pair<const char*, bool> cases[] = {
        {"font.tga", true}, {"font.TGA", true}, {"font.Tga", false}, {"help.jpg", false},
        {"tga", true},      {"TGA", true},      {"textures.tga/file", false}, {"a.b.tga", true},
        {"block.png", false}, {"tgax", false},
    };
    for (const auto& [name, tga] : cases) {
        EXPECT_EQ(IsTgaFileName(name), tga) << name;
    }
}

}  // namespace
