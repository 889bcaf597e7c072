#pragma once

#include "Runtime/Error.h"
#include "UIKit/UIApplicationHost.h"
#include "UIKit/UIHostSession.h"

// A front end that cannot run here: no display, no terminal, a module that will not load.
class FrontEndUnavailable : public Runtime::Error {
  public:
    using Runtime::Error::Error;
};

// Something that shows the window to a person (or a script) and feeds it touches and keys,
// by translating its own events into the session's calls.
class FrontEnd {
  public:
    virtual ~FrontEnd() = default;
    // Which of the session's calls it makes.
    virtual UIHostFeatures features() const = 0;
    // Runs the event loop until the person or the script ends it.
    virtual UIApplicationEnding run(UIHostSession& session) = 0;
};
