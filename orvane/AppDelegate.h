#pragma once

#include "UIKit/UIApplication.h"

namespace orvane {

// Answers the platform's launch and life-cycle messages; holds the window, nothing else.
class AppDelegate : public UIResponder, public UIApplicationDelegate {
  public:
    std::shared_ptr<UIWindow> window() const override { return m_window; }
    void setWindow(std::shared_ptr<UIWindow> window) override { m_window = std::move(window); }

    bool application(UIApplication& application,
                     const std::optional<UIApplicationLaunchOptions>& launchOptions) override;
    void applicationWillResignActive(UIApplication& application) override;
    void applicationDidEnterBackground(UIApplication& application) override;
    void applicationWillEnterForeground(UIApplication& application) override;
    void applicationDidBecomeActive(UIApplication& application) override;
    void applicationWillTerminate(UIApplication& application) override;

  private:
    std::shared_ptr<UIWindow> m_window;
};

} // namespace orvane
