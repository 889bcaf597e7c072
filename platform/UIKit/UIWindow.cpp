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

UIWindow::UIWindow(CGRect frame) : UIView(frame), m_pageHeight(frame.size.height) {
}

void UIWindow::setRootViewController(std::shared_ptr<UIViewController> controller) {
    m_rootViewController = std::move(controller);
}

void UIWindow::makeKeyAndVisible() {
    if (!m_rootViewController)
        return;
    const auto root = m_rootViewController->view();
    if (root && !root->superview()) {
        m_contentView = std::make_shared<UIScrollView>(safeArea());
        m_contentView->setAccessibilityIdentifier("content");
        addSubview(m_contentView);
        m_contentView->addSubview(root);
        layOutRootView(*root);
    }
    screenChanged();
}

namespace {
// Past this, lines of text and rows of keys grow too long to follow: a wide screen keeps its
// content in a centred column this wide, as a phone toolkit's readable content guide does.
constexpr CGFloat readableWidth = 672;
// The least of the content a screen shows above the keyboard: a field and its caption, with
// room to spare. A screen shorter than the keyboard and this scrolls as a whole.
constexpr CGFloat smallestRoomAboveKeyboard = 96;
} // namespace

CGRect UIWindow::safeArea() const {
    const CGRect page = CGRectMake(0, 0, frame().size.width, m_pageHeight);
    CGRect area = UIEdgeInsetsInsetRect(page, UIScreen::mainScreen().safeAreaInsets());
    if (area.size.width > readableWidth) {
        area.origin.x += std::round((area.size.width - readableWidth) / 2);
        area.size.width = readableWidth;
    }
    return area;
}

// The root view keeps to the safe area, as wide as it and as tall as it or as its subviews
// need, whichever is more; the window shows its colour under what the hardware covers, so
// that the screen is one colour to its edges.
void UIWindow::layOutRootView(UIView& root) {
    const CGRect area = safeArea();
    m_contentView->setFrame(area);
    const CGFloat height = std::max(area.size.height, root.heightFittingSubviews());
    root.setFrame(CGRectMake(0, 0, area.size.width, height));
    m_contentView->setContentSize(root.frame().size);
    setBackgroundColor(root.backgroundColor());
}

void UIWindow::layoutSubviews() {
    if (visibleKeyboard())
        sizeKeyboard();
    m_pageHeight = pageHeightNeeded();
    if (m_rootViewController && m_rootViewController->isViewLoaded())
        if (const auto root = m_rootViewController->view())
            layOutRootView(*root);
    if (visibleKeyboard())
        placeKeyboard();
    avoidKeyboard();
    scrollPageBy(0);
}

// The screen's height; while the keyboard is up, at least the keyboard's and the least room
// above it, so that the field being edited can always be brought into sight.
CGFloat UIWindow::pageHeightNeeded() const {
    const CGFloat screen = frame().size.height;
    if (!visibleKeyboard())
        return screen;
    const UIEdgeInsets insets = UIScreen::mainScreen().safeAreaInsets();
    return std::max(screen, insets.top + smallestRoomAboveKeyboard +
                                m_keyboard->frame().size.height + insets.bottom);
}

bool UIWindow::scrollPageBy(CGFloat distance) {
    const CGFloat before = bounds().origin.y;
    const CGFloat furthest = std::max<CGFloat>(0, m_pageHeight - frame().size.height);
    setBoundsOrigin({0, std::clamp<CGFloat>(std::round(before + distance), 0, furthest)});
    return bounds().origin.y != before;
}

bool UIWindow::scrollBy(UIScrollView* content, CGFloat distance) {
    return (content && content->scrollBy(distance)) || scrollPageBy(distance);
}

std::shared_ptr<UIView> UIWindow::hitTest(CGPoint point) {
    return UIView::hitTest(convertPointFromWindow(point));
}

void UIWindow::avoidKeyboard() {
    if (!m_contentView)
        return;
    const auto keyboard = visibleKeyboard();
    const CGFloat covered =
        keyboard ? CGRectGetMaxY(m_contentView->frame()) - keyboard->frame().origin.y : 0;
    m_contentView->setContentInset({0, 0, std::max<CGFloat>(0, covered), 0});
    if (const auto editing = firstResponder())
        scrollIntoSight(*editing);
}

bool UIWindow::canBringIntoReach(const UIView& view) {
    if (!viewCovering(view))
        return true;
    return m_contentView && view.isDescendantOfView(*m_contentView) &&
           view.frame().size.height <= m_contentView->visibleContentRect().size.height;
}

void UIWindow::scrollIntoSight(const UIView& view) {
    if (m_contentView)
        m_contentView->scrollViewToVisible(view);
    const CGRect frame = view.frameInWindow();
    if (frame.origin.y < 0)
        scrollPageBy(frame.origin.y);
    else if (CGRectGetMaxY(frame) > this->frame().size.height)
        scrollPageBy(std::min(frame.origin.y, CGRectGetMaxY(frame) - this->frame().size.height));
}

// Its keys laid out for the safe area's width; the keyboard's height follows from them.
void UIWindow::sizeKeyboard() {
    m_keyboard->setFrame(CGRectMake(0, 0, safeArea().size.width, m_keyboard->frame().size.height));
    m_keyboard->layoutForScreen();
}

// Across the safe area, on its bottom edge: above a home indicator, clear of rounded corners.
void UIWindow::placeKeyboard() {
    const CGRect area = safeArea();
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
    if (view)
        scrollIntoSight(*view);
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

std::shared_ptr<UIView> UIWindow::nextInFocusRing(bool backwards, bool wraps) const {
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
    if (!wraps && index == (backwards ? 0 : ring.size() - 1))
        return nullptr;
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
    addSubview(m_keyboard);
    layoutSubviews();
}

void UIWindow::hideKeyboard() {
    if (!m_keyboard)
        return;
    m_keyboard->setAccessoryView(nullptr);
    m_keyboard->removeFromSuperview();
    layoutSubviews();
}

namespace {
// How far a finger moves before it drags the content rather than touching what is under it.
constexpr CGFloat panDistance = 10;
} // namespace

// From the margins beside the content's column, the content: a thumb rests there on a phone
// held sideways.
std::shared_ptr<UIScrollView> UIWindow::scrollViewScrolledFrom(const UIView& view) const {
    return &view == this ? m_contentView : UIScrollViewEnclosing(view);
}

bool UIWindow::panContent(CGPoint point) {
    const auto touched = m_touchedView.lock();
    if (!m_panning) {
        const auto scrolled = touched ? scrollViewScrolledFrom(*touched) : nullptr;
        const bool draggable = touched && (m_pageHeight > frame().size.height ||
                                           (scrolled && scrolled->isScrollable()));
        if (!draggable || std::abs(point.y - m_touchStart.y) < panDistance)
            return false;
        m_panning = true;
        touched->touchesCancelled(UITouch{UITouchPhase::Cancelled, point});
    }
    scrollBy(touched ? scrollViewScrolledFrom(*touched).get() : nullptr, m_touchLast.y - point.y);
    m_touchLast = point;
    return true;
}

void UIWindow::sendTouch(UITouchPhase phase, CGPoint point) {
    const UITouch touch{phase, point};
    if (phase == UITouchPhase::Began) {
        // A finger on the screen takes over from the hardware keyboard's focus.
        setFocusedView(nullptr);
        const auto hit = hitTest(point);
        m_touchedView = hit;
        m_touchStart = m_touchLast = point;
        m_panning = false;
        if (hit)
            hit->touchesBegan(touch);
        return;
    }
    if (phase == UITouchPhase::Moved && panContent(point))
        return;
    if (m_panning) {
        m_panning = false;
        m_touchedView.reset();
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
