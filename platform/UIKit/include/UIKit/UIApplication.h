#pragma once

#include "UIKit/UIResponder.h"
#include "UIKit/UIWindow.h"

#include <any>
#include <map>
#include <memory>
#include <optional>
#include <string>

class UIApplication;

using UIApplicationLaunchOptionsKey = std::string;
using UIApplicationLaunchOptions = std::map<UIApplicationLaunchOptionsKey, std::any>;

// What the application answers to the platform's launch and life-cycle messages.
class UIApplicationDelegate {
  public:
    virtual ~UIApplicationDelegate() = default;

    virtual std::shared_ptr<UIWindow> window() const = 0;
    virtual void setWindow(std::shared_ptr<UIWindow> window) = 0;

    virtual bool application(UIApplication&,
                             const std::optional<UIApplicationLaunchOptions>& didFinishLaunching) {
        (void)didFinishLaunching;
        return true;
    }
    virtual void applicationWillResignActive(UIApplication&) {}
    virtual void applicationDidEnterBackground(UIApplication&) {}
    virtual void applicationWillEnterForeground(UIApplication&) {}
    virtual void applicationDidBecomeActive(UIApplication&) {}
    virtual void applicationWillTerminate(UIApplication&) {}
};

// Where the application stands: on screen and taking events; on screen but not taking them
// (launching, a window without focus); or off screen.
enum class UIApplicationState { Active, Inactive, Background };

// The running application: holds its delegate for as long as it runs, and tells it of every
// change of state in the order a phone does.
class UIApplication : public UIResponder {
  public:
    UIApplication() = default;
    explicit UIApplication(std::shared_ptr<NSObject> delegate) { setDelegate(std::move(delegate)); }

    // A delegate that does not adopt UIApplicationDelegate is a programming error.
    void setDelegate(std::shared_ptr<NSObject> delegate);
    UIApplicationDelegate& delegate() const;

    UIApplicationState applicationState() const { return m_state; }
    // Goes to the state through the ones between, with the delegate's message for each step:
    // from the background it enters the foreground and becomes active; to it, it resigns
    // active first. Nothing when already there, or once terminated.
    void transitionTo(UIApplicationState state);
    // Goes to the background and tells the delegate the application will terminate, once.
    void terminate();

  private:
    void step(UIApplicationState to);

    std::shared_ptr<NSObject> m_delegate;
    UIApplicationDelegate* m_delegateInterface = nullptr;
    UIApplicationState m_state = UIApplicationState::Inactive;
    bool m_terminated = false;
};

// The main interface's file in the main bundle, as its Info.plist names it
// (UIMainStoryboardFile). Raises Runtime::Error when it names none, or not a file of the bundle.
std::string mainStoryboardFileName();

// A screen-sized window holding the main interface that the main bundle's Info.plist names
// (UIMainStoryboardFile). Raises Runtime::Error when a resource cannot be read, and
// UIStoryboard::LoadError when the interface file is at fault.
std::shared_ptr<UIWindow> loadMainInterfaceWindow();

// Creates the application (of the principal class, UIApplication when none is named) and
// its delegate by their runtime names, loads the main interface into a window, and runs the
// linked UIApplicationHost's loop. Never returns: the process ends here, with the loop's
// status, or with one message and a non-zero status for whatever failed on the way.
[[noreturn]] int UIApplicationMain(int argc, char* argv[],
                                   const std::optional<std::string>& principalClassName,
                                   const std::string& delegateClassName);
