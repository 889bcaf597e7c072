#include "UIKit/UIWindow.h"

#include "UIDrawing.h"

#include "Runtime/ClassRegistry.h"
#include "UIKit/UIScreen.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
const Runtime::Registration registration = Runtime::ClassDeclaration<UIWindow>("UIWindow");
}

UIWindow::UIWindow(CGRect frame) : UIView(frame) {
}

void UIWindow::setRootViewController(std::shared_ptr<UIViewController> controller) {
    m_rootViewController = std::move(controller);
}

void UIWindow::makeKeyAndVisible() {
    if (!m_rootViewController)
        return;
    const auto root = m_rootViewController->view();
    if (root && !root->superview()) {
        addSubview(root);
        layOutRootView(*root);
    }
    screenChanged();
}

namespace {
// Past this, lines of text and rows of keys grow too long to follow: a wide screen keeps its
// content in a centred column this wide, as a phone toolkit's readable content guide does.
constexpr CGFloat readableWidth = 672;
} // namespace

CGRect UIWindow::safeArea() const {
    CGRect area = UIEdgeInsetsInsetRect(bounds(), UIScreen::mainScreen().safeAreaInsets());
    if (area.size.width > readableWidth) {
        area.origin.x += std::round((area.size.width - readableWidth) / 2);
        area.size.width = readableWidth;
    }
    return area;
}

// The root view keeps to the safe area; the window shows its colour under what the hardware
// covers, so that the screen is one colour to its edges.
void UIWindow::layOutRootView(UIView& root) {
    root.setFrame(safeArea());
    setBackgroundColor(root.backgroundColor());
}

void UIWindow::layoutSubviews() {
    if (m_rootViewController && m_rootViewController->isViewLoaded())
        if (const auto root = m_rootViewController->view())
            layOutRootView(*root);
    if (visibleKeyboard())
        placeKeyboard();
}

// Across the safe area, on its bottom edge: above a home indicator, clear of rounded corners.
void UIWindow::placeKeyboard() {
    const CGRect area = safeArea();
    m_keyboard->setFrame(CGRectMake(0, 0, area.size.width, m_keyboard->frame().size.height));
    m_keyboard->layoutForScreen();
    const CGFloat height = m_keyboard->frame().size.height;
    m_keyboard->setFrame(
        CGRectMake(area.origin.x, CGRectGetMaxY(area) - height, area.size.width, height));
}

void UIWindow::screenDidChange() {
    setFrame(UIScreen::mainScreen().bounds());
    layoutSubviews();
}

void UIWindow::setFocusedView(const std::shared_ptr<UIView>& view) {
    if (view == focusedView())
        return;
    m_focusedView = view;
    screenChanged();
}

namespace {
void collectFocusable(const std::shared_ptr<UIView>& view, const UIView* keyboard,
                      std::vector<std::shared_ptr<UIView>>& ring) {
    if (view->isHidden() || view.get() == keyboard)
        return;
    if (view->canBecomeFocused())
        ring.push_back(view);
    for (const auto& subview : view->subviews())
        collectFocusable(subview, keyboard, ring);
}
} // namespace

std::shared_ptr<UIView> UIWindow::nextInFocusRing(bool backwards) const {
    std::vector<std::shared_ptr<UIView>> ring;
    for (const auto& subview : subviews())
        collectFocusable(subview, m_keyboard.get(), ring);
    if (ring.empty())
        return nullptr;
    const auto current = firstResponder() ? firstResponder() : focusedView();
    const auto found = std::find(ring.begin(), ring.end(), current);
    if (found == ring.end())
        return backwards ? ring.back() : ring.front();
    const auto index = static_cast<std::size_t>(found - ring.begin());
    return ring[(index + (backwards ? ring.size() - 1 : 1)) % ring.size()];
}

std::shared_ptr<UIView> UIWindow::viewCovering(const UIView& view) {
    const CGRect frame = view.frameInWindow();
    const auto hit = hitTest({CGRectGetMidX(frame), CGRectGetMidY(frame)});
    if (!hit || hit->isDescendantOfView(view) || view.isDescendantOfView(*hit))
        return nullptr;
    return hit;
}

void UIWindow::describeScreen(Drawing::DisplayList& list) const {
    describe(list);
    const auto focused = focusedView();
    if (!focused || focused->isHiddenOnScreen() || focused->window().get() != this)
        return;
    constexpr CGFloat ringWidth = 3;
    list.push_back(Drawing::StrokeRect{focused->frameInWindow(), focused->layer().cornerRadius(),
                                       ringWidth, drawingColor(UIColor::systemBlueColor())});
}

bool UIWindow::makeFirstResponder(const std::shared_ptr<UIView>& responder) {
    const auto current = firstResponder();
    if (current == responder)
        return true;
    if (current && !current->canResignFirstResponder())
        return false;
    m_firstResponder = responder;
    if (dynamic_cast<UIKeyInput*>(responder.get()))
        showKeyboard(responder->inputAccessoryView());
    else
        hideKeyboard();
    screenChanged();
    return true;
}

void UIWindow::clearFirstResponder() {
    m_firstResponder.reset();
    hideKeyboard();
    screenChanged();
}

std::shared_ptr<UIKeyboard> UIWindow::visibleKeyboard() const {
    return m_keyboard && m_keyboard->superview() ? m_keyboard : nullptr;
}

void UIWindow::showKeyboard(std::shared_ptr<UIView> accessory) {
    if (!m_keyboard)
        m_keyboard = UIKeyboard::make(safeArea().size.width);
    m_keyboard->setAccessoryView(std::move(accessory));
    placeKeyboard();
    addSubview(m_keyboard);
}

void UIWindow::hideKeyboard() {
    if (!m_keyboard)
        return;
    m_keyboard->setAccessoryView(nullptr);
    m_keyboard->removeFromSuperview();
}

void UIWindow::sendTouch(UITouchPhase phase, CGPoint point) {
    const UITouch touch{phase, point};
    if (phase == UITouchPhase::Began) {
        // A finger on the screen takes over from the hardware keyboard's focus.
        setFocusedView(nullptr);
        const auto hit = hitTest(point);
        m_touchedView = hit;
        if (hit)
            hit->touchesBegan(touch);
        return;
    }
    const auto touched = m_touchedView.lock();
    if (!touched)
        return;
    if (phase == UITouchPhase::Moved)
        touched->touchesMoved(touch);
    else if (phase == UITouchPhase::Ended)
        touched->touchesEnded(touch);
    else
        touched->touchesCancelled(touch);
    if (phase != UITouchPhase::Moved)
        m_touchedView.reset();
}
