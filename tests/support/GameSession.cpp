#include "GameSession.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>

GameSession::GameSession(const GameSetup& setup) : display(setup.screenWidth, setup.screenHeight) {
    CopyFolder(CUBOMB_DATA_DIR, dir.Path());
    std::string parameters = setup.parameters;
    parameters += "\nscreen_width " + std::to_string(setup.screenWidth) + "\nscreen_height " +
                  std::to_string(setup.screenHeight) + "\n";
    WriteFile(dir.File("game_parameters.txt"), parameters);
    if (setup.prepare) {
        setup.prepare(dir.Path());
    }
    std::vector<std::string> command = setup.launcher;
    command.push_back(CUBOMB_EXE);
    game = std::make_unique<Process>(command, dir.Path(), std::vector<std::string>{display.Environment()});
}

GameSession::~GameSession() {
    game->Kill();
    const std::string errors = game->Errors();
    EXPECT_EQ(errors.find("Sanitizer"), std::string::npos) << errors;
    EXPECT_EQ(errors.find("runtime error"), std::string::npos) << errors;
}

bool GameSession::WaitForWindow(double timeoutSeconds) {
    const bool window = WaitUntil(
        [this] { return !game->Running() || XdoTool(display, "search --name '^Cubomb$'"); }, timeoutSeconds);
    if (!window || !game->Running() || Screenshot(timeoutSeconds).Empty()) {
        return false;
    }
    DrainScreenshotRequests();
    return game->Running();
}

// A start-up frame can be slow enough that P was pressed more than once; a
// press still queued would answer the test's next request with an old picture.
void GameSession::DrainScreenshotRequests() {
    const std::string path = dir.File("screenshot.bmp");
    do {
        unlink(path.c_str());
        usleep(500000);
    } while (FileExists(path));
}

bool GameSession::Xdo(const std::string& arguments) {
    return XdoTool(display, arguments);
}

Picture GameSession::Screenshot(double timeoutSeconds) {
    const std::string path = dir.File("screenshot.bmp");
    unlink(path.c_str());
    Picture picture;
    int polls = 0;
    WaitUntil(
        [&] {
            if (!game->Running()) {
                return true;
            }
            // Presses again only when a whole second brought nothing: early
            // presses can be lost before the window has the keyboard.
            if (polls++ % 50 == 0) {
                Xdo("key p");
            }
            picture = ReadBmp(path);
            return !picture.Empty();
        },
        timeoutSeconds);
    return picture;
}

bool GameSession::WaitForOutputLine(const std::function<bool(const std::string&)>& match,
                                    double timeoutSeconds) {
    return WaitUntil(
        [&] {
            const std::vector<std::string> lines = OutputLines();
            return std::any_of(lines.begin(), lines.end(), match);
        },
        timeoutSeconds);
}

int GameSession::WaitForExit(double timeoutSeconds) {
    return game->Wait(timeoutSeconds);
}

std::vector<std::string> GameSession::OutputLines() const {
    return SplitLines(game->Output());
}

int CountPixels(const Picture& picture, int x0, int y0, int x1, int y1,
                const std::function<bool(const Rgb&)>& test) {
    int count = 0;
    for (int y = std::max(0, y0); y < std::min(picture.height, y1); ++y) {
        for (int x = std::max(0, x0); x < std::min(picture.width, x1); ++x) {
            count += test(picture.At(x, y));
        }
    }
    return count;
}

bool IsGreenText(const Rgb& c) {
    return c.g > 100 && c.g > c.r + 40 && c.g > c.b + 40;
}
