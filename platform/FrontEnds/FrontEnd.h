#pragma once

#include <stdexcept>

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
