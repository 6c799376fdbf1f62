#ifndef CUBOMB_TESTS_GAMESESSION_H
#define CUBOMB_TESTS_GAMESESSION_H

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Bmp.h"
#include "Process.h"
#include "TempDir.h"
#include "Xvfb.h"

struct GameSetup {
    std::string parameters = "dimensions 10 10 10\n";
    int screenWidth = 800;
    int screenHeight = 600;
    // Changes the copy of the runnable folder before the game starts.
    std::function<void(const std::string& folder)> prepare;
    // A command the game is started through, such as prlimit with its options.
    std::vector<std::string> launcher;
};

// The real game in a copy of data/, on an Xvfb of its own, driven with xdotool.
// Everything it started is stopped by process id when the session goes.
class GameSession {
public:
    explicit GameSession(const GameSetup& setup = GameSetup());
    ~GameSession();

    const std::string& Folder() const { return dir.Path(); }
    const Xvfb& Display() const { return display; }

    // True once the window exists and the frame loop answers a screenshot request.
    bool WaitForWindow(double timeoutSeconds = 60);
    bool Xdo(const std::string& arguments);
    // Presses P and returns the picture the game saved; empty when none came.
    Picture Screenshot(double timeoutSeconds = 30);
    bool WaitForOutputLine(const std::function<bool(const std::string&)>& match, double timeoutSeconds = 30);
    int WaitForExit(double timeoutSeconds = 30);
    bool Running() { return game->Running(); }
    std::vector<std::string> OutputLines() const;
    int Pid() const { return game->Pid(); }

private:
    void DrainScreenshotRequests();

    TempDir dir;
    Xvfb display;
    std::unique_ptr<Process> game;
};

// Counts the pixels of a picture region that satisfy a colour test.
int CountPixels(const Picture& picture, int x0, int y0, int x1, int y1,
                const std::function<bool(const Rgb&)>& test);
bool IsGreenText(const Rgb& c);

#endif
