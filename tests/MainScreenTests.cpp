// The main screen built from the real interface file, inside a window, without a front end.
#include "AppDelegate.h"
#include "Controller/MainVC.h"
#include "UIKit/UIApplication.h"

#include <gtest/gtest.h>

using orvane::MainVC;

namespace {

std::shared_ptr<UIWindow> mainWindow() {
    auto window = loadMainInterfaceWindow();
    window->makeKeyAndVisible();
    return window;
}

MainVC& controllerOf(const UIWindow& window) {
    return dynamic_cast<MainVC&>(*window.rootViewController());
}

void tap(UIWindow& window, const UIView& view) {
    const CGRect frame = view.frameInWindow();
    const CGPoint center{CGRectGetMidX(frame), CGRectGetMidY(frame)};
    window.sendTouch(UITouchPhase::Began, center);
    window.sendTouch(UITouchPhase::Ended, center);
}

TEST(MainScreenSetUp, sharesOneCalculateButtonAndHidesTheResult) {
    const auto window = mainWindow();
    auto& controller = controllerOf(*window);
    const auto accessory = controller.wageTxt()->inputAccessoryView();
    ASSERT_NE(accessory, nullptr);
    EXPECT_EQ(accessory, controller.priceTxt()->inputAccessoryView());
    EXPECT_EQ(accessory->frame(), CGRectMake(0, 0, 375, 60));
    EXPECT_EQ(Runtime::ClassRegistry::shared().nameOf(typeid(*accessory)), "orvane.CalcBtn");
    EXPECT_TRUE(controller.resultLbl()->isHidden());
    EXPECT_TRUE(controller.hoursLbl()->isHidden());
    // Held by the two fields and this test only: the controller keeps no reference.
    EXPECT_EQ(accessory.use_count(), 3);
}

TEST(MainScreenSetUp, oneTouchOnCalculateCalculatesOnce) {
    const auto window = mainWindow();
    auto& controller = controllerOf(*window);
    tap(*window, *controller.wageTxt());
    controller.wageTxt()->insertText("15");
    controller.priceTxt()->setText("100");
    const auto calcBtn = window->visibleKeyboard()->accessoryView();
    tap(*window, *calcBtn);
    EXPECT_EQ(controller.resultLbl()->text(), "7");
    EXPECT_EQ(window->visibleKeyboard(), nullptr);
    controller.wageTxt()->setText("10"); // a second send would now show 10
    EXPECT_EQ(controller.resultLbl()->text(), "7");
}

TEST(MainScreenClear, ignoresItsSenderAndLeavesTheKeyboardAsItWas) {
    const auto window = mainWindow();
    auto& controller = controllerOf(*window);
    tap(*window, *controller.priceTxt());
    controller.priceTxt()->insertText("9");
    for (const std::shared_ptr<NSObject>& sender :
         {std::shared_ptr<NSObject>(), std::static_pointer_cast<NSObject>(window)}) {
        controller.clearCalculatorPressed(sender);
        EXPECT_EQ(controller.priceTxt()->text(), "");
        EXPECT_TRUE(controller.priceTxt()->isEditing());
        EXPECT_NE(window->visibleKeyboard(), nullptr);
    }
}

TEST(AppDelegateWindow, isEmptyUntilSetAndKeepsOnlyTheLastWindow) {
    orvane::AppDelegate delegate;
    EXPECT_EQ(delegate.window(), nullptr);
    std::weak_ptr<UIWindow> first;
    {
        auto window = std::make_shared<UIWindow>(CGRectMake(0, 0, 375, 667));
        first = window;
        delegate.setWindow(window);
    }
    auto second = std::make_shared<UIWindow>(CGRectMake(0, 0, 375, 667));
    delegate.setWindow(second);
    EXPECT_TRUE(first.expired());
    EXPECT_EQ(delegate.window(), second);
}

TEST(AppDelegateLifeCycle, launchesAndTransitionsWithoutChangingAnything) {
    auto delegate = std::make_shared<orvane::AppDelegate>();
    UIApplication application(delegate);
    const auto window = mainWindow();
    delegate->setWindow(window);
    controllerOf(*window).resultLbl()->setText("42");
    EXPECT_TRUE(delegate->application(application, std::nullopt));
    EXPECT_TRUE(delegate->application(application, UIApplicationLaunchOptions{{"url", 1}}));
    for (int round = 0; round < 3; ++round) {
        delegate->applicationWillResignActive(application);
        delegate->applicationDidEnterBackground(application);
        delegate->applicationWillEnterForeground(application);
        delegate->applicationDidBecomeActive(application);
    }
    delegate->applicationWillTerminate(application);
    EXPECT_EQ(delegate->window(), window);
    EXPECT_EQ(controllerOf(*window).resultLbl()->text(), "42");
}

} // namespace
