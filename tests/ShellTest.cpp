// The real program in a real window under Xvfb: start-up, HUD, help, screenshots, ending.

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "support/GameSession.h"

namespace {

// Mean absolute difference per channel between a screenshot and the help
// picture stretched over the same screen, leaving out the credit line.
double DifferenceFromHelpPicture(const Picture& shot) {
    SDL_Surface* const help = IMG_Load(CUBOMB_DATA_DIR "/HelpScreen.jpg");
    EXPECT_NE(help, nullptr);
    SDL_Surface* const rgb = SDL_CreateRGBSurface(SDL_SWSURFACE, help->w, help->h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_BlitSurface(help, nullptr, rgb, nullptr);
    double total = 0;
    long counted = 0;
    for (int y = 0; y < shot.height * 9 / 10; y += 2) {
        for (int x = 0; x < shot.width; x += 2) {
            const Uint32 ref = static_cast<Uint32*>(rgb->pixels)[(y * help->h / shot.height) * (rgb->pitch / 4) +
                                                                 x * help->w / shot.width];
            const Rgb& c = shot.At(x, y);
            total += std::abs(c.r - int(ref >> 16 & 0xFF)) + std::abs(c.g - int(ref >> 8 & 0xFF)) +
                     std::abs(c.b - int(ref & 0xFF));
            counted += 3;
        }
    }
    SDL_FreeSurface(rgb);
    SDL_FreeSurface(help);
    return total / counted;
}

bool ShowsHud(const Picture& shot) {
    const int textRows = shot.height * 3 / 100 + 2;
    const int tabHelpX = shot.width * 83 / 100;
    return CountPixels(shot, 0, 0, shot.width / 10, textRows, IsGreenText) > 20 &&
           CountPixels(shot, tabHelpX, 0, shot.width, textRows, IsGreenText) > 40;
}

TEST(Shell, StartsInFullScreenShowsTheHudAndEndsOnEscape) {
    GameSession game;
    ASSERT_TRUE(game.WaitForWindow());
    const Picture shot = game.Screenshot();
    EXPECT_EQ(shot.width, 800);
    EXPECT_EQ(shot.height, 600);
    EXPECT_EQ(shot.bitsPerPixel, 24);
    EXPECT_TRUE(ShowsHud(shot));
    ASSERT_FALSE(game.OutputLines().empty());
    EXPECT_EQ(game.OutputLines().front(), "Initializing texture states...");
    game.Xdo("key Escape");
    EXPECT_EQ(game.WaitForExit(), 0);
}

TEST(Shell, TabHeldShowsTheHelpPictureAndTheLaterScreenshotWins) {
    GameSession game;
    ASSERT_TRUE(game.WaitForWindow());
    game.Xdo("keydown Tab");
    const Picture help = game.Screenshot();
    game.Xdo("keyup Tab");
    EXPECT_LT(DifferenceFromHelpPicture(help), 12);
    EXPECT_GT(CountPixels(help, 0, 582, 300, 600, IsGreenText), 50) << "credit line at the bottom left";
    EXPECT_FALSE(ShowsHud(help));

    const std::vector<std::string> before = ListFolder(game.Folder());
    EXPECT_TRUE(WaitUntil([&] { return ShowsHud(game.Screenshot()); }, 20)) << "Tab released: the field again";
    EXPECT_EQ(ListFolder(game.Folder()), before) << "one screenshot.bmp, replaced in place";
}

TEST(Shell, AWideScreenGivesAnUprightUnskewedScreenshot) {
    GameSetup setup;
    setup.screenWidth = 1366;
    setup.screenHeight = 768;
    GameSession game(setup);
    ASSERT_TRUE(game.WaitForWindow());
    game.Xdo("keydown Tab");
    const Picture help = game.Screenshot();
    game.Xdo("keyup Tab");
    ASSERT_EQ(help.width, 1366);
    ASSERT_EQ(help.height, 768);
    EXPECT_LT(DifferenceFromHelpPicture(help), 12);
}

TEST(Shell, TheWindowsCloseRequestEndsWithStatusZero) {
    GameSession game;
    ASSERT_TRUE(game.WaitForWindow());
    ASSERT_TRUE(SendCloseRequest(game.Display(), "Cubomb"));
    EXPECT_EQ(game.WaitForExit(), 0);
}

TEST(Shell, AMissingOrBrokenPictureStopsWithItsMessage) {
    struct Case {
        const char* file;
        const char* content;  // nullptr removes the file
        const char* message;
    };
    const Case cases[] = {
        {"font_proggy_green.tga", nullptr, "Error: cannot find: font_proggy_green.tga"},
        {"HelpScreen.jpg", nullptr, "Error: cannot find: HelpScreen.jpg"},
        {"HelpScreen.jpg", "this is not a picture", "Error: could not load image:HelpScreen.jpg"},
        {"font_proggy_green.tga", "", "Error: could not load image:font_proggy_green.tga"},
    };
    for (const Case& c : cases) {
        GameSetup setup;
        setup.prepare = [&c](const std::string& folder) {
            const std::string path = folder + "/" + c.file;
            c.content ? WriteFile(path, c.content) : void(unlink(path.c_str()));
        };
        GameSession game(setup);
        EXPECT_EQ(game.WaitForExit(60), 1) << c.message;
        EXPECT_EQ(game.OutputLines(), (std::vector<std::string>{"Initializing texture states...", c.message}));
    }
}

}  // namespace
