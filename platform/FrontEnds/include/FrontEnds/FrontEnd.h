#pragma once

#include "Runtime/Error.h"
#include "UIKit/UIApplicationHost.h"

class UIApplication;
class UIWindow;

// A front end that cannot run here: no display, no terminal, a module that will not load.
class FrontEndUnavailable : public Runtime::Error {
  public:
    using Runtime::Error::Error;
};

// Something that shows the window to a person (or a script) and feeds it touches and keys.
class FrontEnd {
  public:
    virtual ~FrontEnd() = default;
    // Runs the event loop until the person or the script ends it.
    virtual UIApplicationEnding run(UIApplication& application, UIWindow& window) = 0;
};
