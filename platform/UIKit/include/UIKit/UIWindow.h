#pragma once

#include "UIKit/UIKeyboard.h"
#include "UIKit/UIView.h"
#include "UIKit/UIViewController.h"

#include <memory>

// The root of the view tree: routes touches, keeps the first responder (weakly) and shows
// the keyboard while that responder takes typed text.
class UIWindow : public UIView {
  public:
    explicit UIWindow(CGRect frame);

    const std::shared_ptr<UIViewController>& rootViewController() const {
        return m_rootViewController;
    }
    void setRootViewController(std::shared_ptr<UIViewController> controller);
    // Loads the root controller's view (viewDidLoad runs) and puts it in the window.
    void makeKeyAndVisible();

    std::shared_ptr<UIView> firstResponder() const { return m_firstResponder.lock(); }
    // Asks the current first responder to resign first; false if it refuses.
    bool makeFirstResponder(const std::shared_ptr<UIView>& responder);
    void clearFirstResponder();
    // The keyboard while it is up, else null.
    std::shared_ptr<UIKeyboard> visibleKeyboard() const;

    // A touch goes to the view under its first point until it ends.
    void sendTouch(UITouchPhase phase, CGPoint point);

    // The screen changed since the last frame was produced.
    bool needsScreenUpdate() const { return m_screenChanged; }
    void screenChanged() const { m_screenChanged = true; }
    void screenUpdated() { m_screenChanged = false; }

  private:
    void showKeyboard(std::shared_ptr<UIView> accessory);
    void hideKeyboard();

    std::shared_ptr<UIViewController> m_rootViewController;
    std::weak_ptr<UIView> m_firstResponder;
    std::weak_ptr<UIView> m_touchedView;
    std::shared_ptr<UIKeyboard> m_keyboard;
    mutable bool m_screenChanged = true;
};
