#pragma once

#include "Controller/MainVC.h"
#include "FrontEnds/ViewQuery.h"
#include "TestSupport.h"
#include "UIKit/UIApplication.h"
#include "UIKit/UIHostSession.h"
#include "UIKit/UIScreen.h"

#include <memory>
#include <string>

// The real main screen, loaded from the application's interface file in the en_US locale on
// a screen of a size and pixel (a phone's at 2x by default), driven through the session as a front
// end drives it. The screen's size is put back afterwards.
class MainScreen {
  public:
    explicit MainScreen(CGSize size = {375, 667}, CGSize pointsPerPixel = {0.5, 0.5})
        : m_oldBounds(UIScreen::mainScreen().bounds()),
          m_oldPixel(UIScreen::mainScreen().pointsPerPixel()) {
        environment.set("LC_ALL", "en_US.UTF-8");
        UIScreen::mainScreen().setBounds(CGRect{{}, size});
        UIScreen::mainScreen().setPointsPerPixel(pointsPerPixel);
        window = loadMainInterfaceWindow();
        window->makeKeyAndVisible();
        session = std::make_unique<UIHostSession>(m_application, *window);
        session->declareFeatures({.touches = true, .hardwareKeys = true, .textInput = true});
    }
    ~MainScreen() {
        UIScreen::mainScreen().setTextMeasurer(nullptr);
        UIScreen::mainScreen().setSafeAreaInsets({});
        UIScreen::mainScreen().setBounds(m_oldBounds);
        UIScreen::mainScreen().setPointsPerPixel(m_oldPixel);
    }
    MainScreen(const MainScreen&) = delete;
    MainScreen& operator=(const MainScreen&) = delete;

    orvane::MainVC& controller() {
        return dynamic_cast<orvane::MainVC&>(*window->rootViewController());
    }
    std::shared_ptr<UIView> viewNamed(const std::string& identifier) const {
        return std::get<std::shared_ptr<UIView>>(ViewQuery::find(*window, identifier));
    }
    // A whole touch at the view's center.
    void tap(const UIView& view) {
        const CGRect frame = view.frameInWindow();
        const CGPoint center{CGRectGetMidX(frame), CGRectGetMidY(frame)};
        session->touch(UITouchPhase::Began, center);
        session->touch(UITouchPhase::Ended, center);
    }
    void calculate(const std::string& wage, const std::string& price) {
        controller().wageTxt()->setText(wage);
        controller().priceTxt()->setText(price);
        controller().calculate();
    }

    ScopedEnvironment environment;
    std::shared_ptr<UIWindow> window;
    std::unique_ptr<UIHostSession> session;

  private:
    UIApplication m_application;
    CGRect m_oldBounds;
    CGSize m_oldPixel;
};
