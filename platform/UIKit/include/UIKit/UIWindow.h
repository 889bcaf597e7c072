#pragma once

#include "UIKit/UIKeyboard.h"
#include "UIKit/UIScrollView.h"
#include "UIKit/UIView.h"
#include "UIKit/UIViewController.h"

#include <memory>

// The root of the view tree: routes touches, keeps the first responder and the view with
// the keyboard's focus (both weakly), and shows the keyboard while the first responder takes
// typed text. Its root controller's view and the keyboard span its safe area: the screen
// less what its hardware covers, and no wider than a readable column. The root view scrolls
// there when it is taller than the room: it is never made shorter than its subviews need,
// and while the keyboard is up, the field being edited is kept in sight above it. A screen
// too short for the keyboard and a field above it scrolls as a whole, keyboard and all.
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
    // What holds the root view and scrolls it; null until the window is made visible.
    const std::shared_ptr<UIScrollView>& contentScrollView() const { return m_contentView; }
    // Whether the view is, or can be scrolled to be, where a touch at its center reaches it.
    bool canBringIntoReach(const UIView& view);
    // Scrolls the view into sight, clear of the keyboard, where it lies in the content; and
    // the whole screen, where it is too short for the keyboard.
    void scrollIntoSight(const UIView& view);
    // Scrolls the content, if given, and else (or once it is at its end) the whole screen;
    // false when neither moved.
    bool scrollBy(UIScrollView* content, CGFloat distance);
    // What a drag or the wheel over the view scrolls first: the scroll view holding it, or
    // null; the whole screen comes next.
    std::shared_ptr<UIScrollView> scrollViewScrolledFrom(const UIView& view) const;
    // A point on the screen: the whole screen may be scrolled.
    std::shared_ptr<UIView> hitTest(CGPoint point) override;

    // The view a hardware keyboard's Enter or Space would press, ringed on screen; empty
    // for none.
    std::shared_ptr<UIView> focusedView() const { return m_focusedView.lock(); }
    void setFocusedView(const std::shared_ptr<UIView>& view);
    // After the first responder, or else the ringed view, the next (or previous) shown view
    // that can become focused, in the order of the tree; the keyboard's keys are not in it.
    // Past an end it comes round to the other, unless it does not wrap: then there is none.
    std::shared_ptr<UIView> nextInFocusRing(bool backwards, bool wraps = true) const;
    // What a touch at the view's center reaches instead of it, when something lies on top of
    // it there; null when the touch reaches the view (or passes through it to what holds it).
    std::shared_ptr<UIView> viewCovering(const UIView& view);
    // Everything the window shows, with the focus ring on top.
    void describeScreen(Drawing::DisplayList& list) const;

    void layoutSubviews() override;
    // Takes the screen's size and pixels as the front end has just set them.
    void screenDidChange();

    // A touch goes to the view under its first point until it ends, unless it drags content
    // that scrolls: then the view's touch is cancelled and the drag scrolls it.
    void sendTouch(UITouchPhase phase, CGPoint point);

    // The screen changed since the last frame was produced.
    bool needsScreenUpdate() const { return m_screenChanged; }
    void screenChanged() const { m_screenChanged = true; }
    void screenUpdated() { m_screenChanged = false; }

  private:
    // The window less the screen's safe-area insets, and on a wide screen the readable
    // column centred in it.
    CGRect safeArea() const;
    void layOutRootView(UIView& root);
    void showKeyboard(std::shared_ptr<UIView> accessory);
    void sizeKeyboard();
    // At the bottom of the safe area, at the height sizeKeyboard gave it.
    void placeKeyboard();
    // With the keyboard sized.
    CGFloat pageHeightNeeded() const;
    // The whole screen, where it is taller than the window; false when it did not move.
    bool scrollPageBy(CGFloat distance);
    void hideKeyboard();
    // Lets the content scroll clear of the keyboard, and keeps the field being edited in
    // sight above it.
    void avoidKeyboard();
    // A moved touch: true once it drags the content rather than touching a view.
    bool panContent(CGPoint point);

    std::shared_ptr<UIViewController> m_rootViewController;
    std::weak_ptr<UIView> m_firstResponder;
    std::weak_ptr<UIView> m_focusedView;
    std::weak_ptr<UIView> m_touchedView;
    std::shared_ptr<UIScrollView> m_contentView;
    // Where the touch on screen began, where it last was, and whether it drags the content.
    CGPoint m_touchStart;
    CGPoint m_touchLast;
    bool m_panning = false;
    std::shared_ptr<UIKeyboard> m_keyboard;
    // What the window lays out: its own height, or more while the keyboard needs it. The
    // window's bounds scroll through it.
    CGFloat m_pageHeight;
    mutable bool m_screenChanged = true;
};
