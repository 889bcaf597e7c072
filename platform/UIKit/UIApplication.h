#pragma once

#include "UIKit/UIResponder.h"
#include "UIKit/UIWindow.h"

#include <any>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
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

// The running application: holds its delegate for as long as it runs.
class UIApplication : public UIResponder {
  public:
    explicit UIApplication(std::shared_ptr<NSObject> delegate);

    UIApplicationDelegate& delegate() const { return *m_delegateInterface; }

  private:
    std::shared_ptr<NSObject> m_delegate;
    UIApplicationDelegate* m_delegateInterface;
};

// Something the platform cannot start with: a missing or unreadable resource.
class UIApplicationLaunchError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A screen-sized window holding the main interface that the main bundle's Info.plist names
// (UIMainStoryboardFile). Throws UIApplicationLaunchError or UIStoryboard::LoadError.
std::shared_ptr<UIWindow> loadMainInterfaceWindow();

// Creates the application and its delegate (by runtime class name), loads the main
// interface into a window, and runs the front end's loop. Reads the platform's own options
// (see --help) from the arguments; the application never sees them. Ends the process with
// a non-zero status itself when something fails; returns 0 otherwise.
int UIApplicationMain(int argc, char* argv[], const std::optional<std::string>& principalClassName,
                      const std::string& delegateClassName);
