#pragma once

#include <cstdlib>
#include <stdexcept>
#include <unistd.h>

class UIApplication;
class UIWindow;

// A front end that cannot run here: no display, no terminal.
class FrontEndUnavailable : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Something that shows the window to a person (or a script) and feeds it touches and keys.
class FrontEnd {
  public:
    virtual ~FrontEnd() = default;
    // Runs the application loop until the user or the script ends it; the exit status.
    virtual int run(UIApplication& application, UIWindow& window) = 0;
};

// Whether a desktop display looks reachable (X11 or Wayland), without opening it.
inline bool displayReachable() {
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY");
}

// Whether standard input and output are both a terminal.
inline bool onTerminal() {
    return isatty(STDIN_FILENO) && isatty(STDOUT_FILENO);
}
