#pragma once

#include "UIKit/UIGeometry.h"

#include <memory>
#include <optional>

class UIHostSession;

// The screen an application starts on: a phone's is there before any application is, so the
// window is made at its size. What is left out is a phone's (375 x 667 points, 2 pixels a
// point, nothing covered).
struct UIStartingScreen {
    std::optional<CGSize> points;
    std::optional<CGSize> pointsPerPixel;
    UIEdgeInsets safeArea{};
};

// How an application's event loop ended: an exit status, or the signal that ended it, which
// the process dies of once everything is put back, so that its caller sees it.
struct UIApplicationEnding {
    int status = 0;
    int signal = 0;
};

// The platform layer around the application: it reads the platform's own arguments, then
// shows the window to a person or a script and feeds it events until the end. A program
// links exactly one, which registers itself; UIApplicationMain drives it.
class UIApplicationHost {
  public:
    virtual ~UIApplicationHost() = default;

    // Reads the arguments; the application never sees them. False when they asked for
    // something that is already done (the help, the version). Raises Runtime::UsageError for
    // arguments it cannot take, Runtime::Error for anything else that fails.
    virtual bool prepare(int argc, char* argv[]) = 0;
    // The screen to start on, once prepared; from then on the session's setScreen changes it.
    virtual UIStartingScreen startingScreen() const { return {}; }
    // Shows the application's window and feeds it events through the session until the end.
    virtual UIApplicationEnding run(UIHostSession& session) = 0;

    // The host the program was linked with; none is a programming error.
    static UIApplicationHost& linked();

    // One constant beside the host registers it before main runs.
    struct Registration {
        explicit Registration(std::unique_ptr<UIApplicationHost> host);
    };
};
