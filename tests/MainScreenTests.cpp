// The main screen built from the real interface file, inside a window, without a front end.
#include "AppDelegate.h"
#include "MainScreenHarness.h"
#include "Views/CalcBtn.h"

#include <gtest/gtest.h>

namespace {

TEST(MainScreenSetUp, sharesOneCalculateButtonAndHidesTheResult) {
    MainScreen screen;
    auto& controller = screen.controller();
    const auto accessory = controller.wageTxt()->inputAccessoryView();
    ASSERT_NE(accessory, nullptr);
    EXPECT_EQ(accessory, controller.priceTxt()->inputAccessoryView());
    EXPECT_EQ(accessory->frame(), CGRectMake(0, 0, 375, 60));
    EXPECT_NE(std::dynamic_pointer_cast<orvane::CalcBtn>(accessory), nullptr);
    EXPECT_TRUE(controller.resultLbl()->isHidden());
    EXPECT_TRUE(controller.hoursLbl()->isHidden());
}

TEST(MainScreenSetUp, theFieldsAloneKeepTheCalculateButton) {
    MainScreen screen;
    auto& controller = screen.controller();
    const std::weak_ptr<UIView> calcBtn = controller.wageTxt()->inputAccessoryView();
    controller.wageTxt()->setInputAccessoryView(nullptr);
    EXPECT_FALSE(calcBtn.expired());
    controller.priceTxt()->setInputAccessoryView(nullptr);
    EXPECT_TRUE(calcBtn.expired());
}

TEST(MainScreenSetUp, oneTouchOnCalculateCalculatesOnce) {
    MainScreen screen;
    const auto& window = screen.window;
    auto& controller = screen.controller();
    screen.tap(*controller.wageTxt());
    controller.wageTxt()->insertText("15");
    controller.priceTxt()->setText("100");
    const auto calcBtn = window->visibleKeyboard()->accessoryView();
    screen.tap(*calcBtn);
    EXPECT_EQ(controller.resultLbl()->text(), "7");
    EXPECT_EQ(window->visibleKeyboard(), nullptr);
    controller.wageTxt()->setText("10"); // a second send would now show 10
    EXPECT_EQ(controller.resultLbl()->text(), "7");
}

TEST(MainScreenClear, ignoresItsSenderAndLeavesTheKeyboardAsItWas) {
    MainScreen screen;
    const auto& window = screen.window;
    auto& controller = screen.controller();
    screen.tap(*controller.priceTxt());
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

TEST(AppDelegateLaunch, reportsSuccessWithOrWithoutOptionsAndLeavesTheWindow) {
    auto delegate = std::make_shared<orvane::AppDelegate>();
    UIApplication application(delegate);
    MainScreen screen;
    const auto window = screen.window;
    delegate->setWindow(window);
    EXPECT_TRUE(delegate->application(application, std::nullopt));
    EXPECT_TRUE(delegate->application(application, UIApplicationLaunchOptions{{"url", 1}}));
    EXPECT_EQ(delegate->window(), window);
}

} // namespace
