#ifndef CUBOMB_TESTS_XVFB_H
#define CUBOMB_TESTS_XVFB_H

#include <memory>
#include <string>

class Process;

// A virtual X server of its own on a free display number (Xvfb picks it and
// tells us through -displayfd); stopped by its process id when the object goes.
class Xvfb {
public:
    Xvfb(int width, int height);
    ~Xvfb();
    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;

    // The value for DISPLAY, such as ":12".
    const std::string& Name() const { return name; }
    std::string Environment() const { return "DISPLAY=" + name; }

private:
    int pid = -1;
    std::string name;
};

// Runs xdotool against a display; true when it succeeded.
bool XdoTool(const Xvfb& display, const std::string& arguments);

// Sends the window manager's close request (WM_DELETE_WINDOW) to the named window.
bool SendCloseRequest(const Xvfb& display, const std::string& windowName);

#endif
