// The listing reader and the dictionary's lookups need no OpenGL; loading is tested in a real context.

#include <gtest/gtest.h>

#include <sstream>

#include "support/Fatal.h"
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

TEST(TexDictDeathTest, LookupsBeforeLoadingAndUnknownNamesEndTheProcess) {
    TempDir dir;
    WriteFile(dir.File("listing.txt"), "grey_block grey.png\n");
    TexDict dict;
    ExpectFatal([&] { dict.GetTexture(2); }, "Error: TexDict has not been initialized");
    dict.LoadListedTextures(dir.path, "listing.txt", {});
    ExpectFatal([&] { dict.LoadTexture(dir.path, 2, "\"grey_block\""); },
                "Error: Cannot find texture name \"\"grey_block\"\" in texture name file.");
    ExpectFatal([&] { dict.GetTexture(7); }, "Error: Texture ID not found in TexDict: 7");
    ExpectFatal([&] { dict.GetTexture(std::string("grey_block")); }, "Error: Texture not foind in TexDict: grey_block");
    ExpectFatal([] { Texture().UseTexture(); }, "Using a texture that has not been initialized");
}

}  // namespace
