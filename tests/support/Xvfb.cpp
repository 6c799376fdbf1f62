#include "Xvfb.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "Process.h"

Xvfb::Xvfb(int width, int height) {
    int fds[2];
    if (pipe(fds) != 0) {
        throw std::runtime_error("pipe failed");
    }
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    pid = fork();
    if (pid == 0) {
        close(fds[0]);
        DieWithParent();
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, 1);
        dup2(quiet, 2);
        const std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-noreset",
               "-nolisten", "tcp", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    char buffer[32] = {};
    size_t used = 0;
    while (used < sizeof buffer - 1 && std::strchr(buffer, '\n') == nullptr) {
        const ssize_t got = read(fds[0], buffer + used, sizeof buffer - 1 - used);
        if (got <= 0) {
            break;
        }
        used += static_cast<size_t>(got);
    }
    close(fds[0]);
    if (std::strchr(buffer, '\n') == nullptr) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        throw std::runtime_error("Xvfb did not start");
    }
    name = ":" + std::to_string(std::atoi(buffer));
}

Xvfb::~Xvfb() {
    if (pid > 0) {
        kill(pid, SIGTERM);
        int status = 0;
        waitpid(pid, &status, 0);
    }
}

bool XdoTool(const Xvfb& display, const std::string& arguments) {
    const std::string command = "DISPLAY=" + display.Name() + " xdotool " + arguments + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

namespace {

Window FindNamedWindow(Display* x, Window root, const std::string& wanted) {
    char* name = nullptr;
    if (XFetchName(x, root, &name) && name != nullptr) {
        const bool match = wanted == name;
        XFree(name);
        if (match) {
            return root;
        }
    }
    Window rootReturn = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (XQueryTree(x, root, &rootReturn, &parent, &children, &count)) {
        for (unsigned int i = 0; i < count && found == 0; ++i) {
            found = FindNamedWindow(x, children[i], wanted);
        }
        XFree(children);
    }
    return found;
}

}  // namespace

bool SendCloseRequest(const Xvfb& display, const std::string& windowName) {
    Display* const x = XOpenDisplay(display.Name().c_str());
    if (x == nullptr) {
        return false;
    }
    const Window window = FindNamedWindow(x, DefaultRootWindow(x), windowName);
    if (window != 0) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(x, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(x, window, False, NoEventMask, &event);
        XFlush(x);
    }
    XCloseDisplay(x);
    return window != 0;
}
