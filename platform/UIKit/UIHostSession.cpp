#include "UIKit/UIHostSession.h"

#include "Foundation/NSTimer.h"
#include "Runtime/FatalError.h"
#include "UIKit/UIAccessibility.h"
#include "UIKit/UIControl.h"
#include "UIKit/UIScreen.h"

#include <algorithm>
#include <string>

namespace {

UIKeyInput* editingField(UIWindow& window) {
    return dynamic_cast<UIKeyInput*>(window.firstResponder().get());
}

// A field by editing it, anything else by the ring; either way scrolled into sight.
void focusOn(UIWindow& window, const std::shared_ptr<UIView>& view) {
    if (view->becomeFirstResponder()) {
        window.setFocusedView(nullptr);
        return;
    }
    window.endEditing(true);
    window.setFocusedView(view);
}

// Nothing left edited or ringed: the keyboard's focus is elsewhere.
void letFocusGo(UIWindow& window) {
    window.endEditing(true);
    window.setFocusedView(nullptr);
}

// Past either end of the ring, a host that takes the focus back gets it with the focus let go.
bool moveFocus(UIWindow& window, bool backwards, UIFocusRingEnds ends) {
    const auto next = window.nextInFocusRing(backwards, ends == UIFocusRingEnds::Wrap);
    if (next)
        focusOn(window, next);
    else
        letFocusGo(window);
    return next != nullptr;
}

// The element's view when it is shown and can take the focus, else null.
std::shared_ptr<UIView> focusableElementView(UIWindow& window,
                                             const std::vector<std::size_t>& path) {
    const auto view = UIAccessibilityElementView(window, path);
    if (!view || view->isHiddenOnScreen() || !view->canBecomeFocused())
        return nullptr;
    return view;
}

// Scrolled into sight, then touched at its center unless something covers it there: what
// covers it, else null.
std::shared_ptr<UIView> tapInSight(UIWindow& window, UIView& view) {
    window.scrollIntoSight(view);
    if (auto cover = window.viewCovering(view))
        return cover;
    const CGRect frame = view.frameInWindow();
    const CGPoint center{CGRectGetMidX(frame), CGRectGetMidY(frame)};
    window.sendTouch(UITouchPhase::Began, center);
    window.sendTouch(UITouchPhase::Ended, center);
    return nullptr;
}

bool tapKeyboardAccessory(UIWindow& window) {
    const auto keyboard = window.visibleKeyboard();
    const auto control =
        std::dynamic_pointer_cast<UIControl>(keyboard ? keyboard->accessoryView() : nullptr);
    if (control)
        control->sendActionsForControlEvents(UIControlEventTouchUpInside);
    return control != nullptr;
}

bool pressFocusedButton(UIWindow& window) {
    const auto control = std::dynamic_pointer_cast<UIControl>(window.focusedView());
    if (!control || control->isHiddenOnScreen())
        return false;
    control->sendActionsForControlEvents(UIControlEventTouchUpInside);
    return true;
}

// A scroll's distance in points: a page is the room shown, less a line of what was in
// sight, so that a reader keeps their place.
CGFloat scrollDistance(const UIWindow& window, const UIScrollView* view, CGFloat amount,
                       UIScrollUnit unit) {
    switch (unit) {
    case UIScrollUnit::Points:
        return amount;
    case UIScrollUnit::Lines:
        return amount * UIScrollLineHeight;
    case UIScrollUnit::Pages:
        break;
    }
    const CGFloat screen = window.frame().size.height;
    const CGFloat room = view ? std::min(view->visibleContentRect().size.height, screen) : screen;
    return amount * std::max(UIScrollLineHeight, room - UIScrollLineHeight);
}

// The content a line or a page at a time.
bool scrollContent(UIWindow& window, UIKey key) {
    const auto content = window.contentScrollView();
    if (!content)
        return false;
    const bool lines = key == UIKey::Up || key == UIKey::Down;
    const CGFloat direction = key == UIKey::Up || key == UIKey::PageUp ? -1 : 1;
    return window.scrollBy(content.get(),
                           scrollDistance(window, content.get(), direction,
                                          lines ? UIScrollUnit::Lines : UIScrollUnit::Pages));
}

// The keys that keep their meaning with Ctrl, Alt or Meta held: there is no word in a number to
// delete instead of a character, and Escape is Escape.
bool keepsItsMeaningAsAShortcut(UIKey key) {
    return key == UIKey::Backspace || key == UIKey::Delete || key == UIKey::Escape;
}

bool isAsciiLetter(std::string_view text) {
    return text.size() == 1 &&
           ((text[0] >= 'a' && text[0] <= 'z') || (text[0] >= 'A' && text[0] <= 'Z'));
}

} // namespace

UIHostSession::UIHostSession(UIApplication& application, UIWindow& window)
    : m_application(application), m_window(window) {
}

void UIHostSession::require(bool declared, const char* feature) const {
    if (!declared)
        fatalError(std::string("a front end used ") + feature + " without declaring it");
}

void UIHostSession::setScreen(CGSize points, CGSize pointsPerPixel, UIEdgeInsets safeArea) {
    if (safeArea != UIEdgeInsets{})
        require(m_features.safeAreas, "safe areas");
    if (m_screenSet)
        require(m_features.screenChanges, "screen changes");
    m_screenSet = true;
    auto& screen = UIScreen::mainScreen();
    screen.setBounds(CGRect{{}, points});
    screen.setPointsPerPixel(pointsPerPixel);
    screen.setSafeAreaInsets(safeArea);
    m_window.screenDidChange();
    m_window.screenChanged();
}

void UIHostSession::setTextMeasurer(std::shared_ptr<Drawing::TextMeasurer> measurer) {
    UIScreen::mainScreen().setTextMeasurer(std::move(measurer));
    m_window.screenChanged();
}

void UIHostSession::textFacesChanged() {
    m_window.screenChanged();
}

std::optional<Drawing::DisplayList> UIHostSession::takeFrameIfChanged() {
    m_window.displayIfNeeded();
    if (!m_window.needsScreenUpdate())
        return std::nullopt;
    return describeFrame();
}

Drawing::DisplayList UIHostSession::takeFrame() {
    m_window.displayIfNeeded();
    return describeFrame();
}

Drawing::DisplayList UIHostSession::takeTouchScreenFrame() {
    m_window.displayIfNeeded();
    Drawing::DisplayList list;
    m_window.describe(list); // the window's views, without describeScreen's focus ring
    return list;
}

void UIHostSession::passFrame() {
    m_window.displayIfNeeded();
    m_window.screenUpdated();
}

// After the display pass: the frame as it stands, counted as shown.
Drawing::DisplayList UIHostSession::describeFrame() {
    Drawing::DisplayList list;
    m_window.describeScreen(list);
    m_window.screenUpdated();
    return list;
}

void UIHostSession::setApplicationState(UIApplicationState state) {
    require(m_features.lifeCycle, "the life cycle");
    m_application.transitionTo(state);
}

std::optional<std::chrono::milliseconds> UIHostSession::timeUntilNextTimer() const {
    const auto next = NSRunLoop::mainRunLoop().nextFireDate();
    if (!next)
        return std::nullopt;
    // Rounded up: woken a little early, nothing would be due yet.
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*next - NSTimer::Clock::now());
    return std::max(wait, std::chrono::milliseconds(0));
}

void UIHostSession::fireTimers() {
    require(m_features.timers, "timers");
    NSRunLoop::mainRunLoop().fireTimers(NSTimer::Clock::now());
}

void UIHostSession::touch(UITouchPhase phase, CGPoint point) {
    require(m_features.touches, "touches");
    m_window.sendTouch(phase, point);
}

UICursor UIHostSession::cursorAt(CGPoint point) {
    for (auto view = m_window.hitTest(point); view; view = view->superview())
        if (view->cursor() != UICursor::Arrow)
            return view->cursor();
    return UICursor::Arrow;
}

bool UIHostSession::pressKey(UIKey key, UIKeyModifiers held) {
    require(m_features.hardwareKeys, "hardware keys");
    if (held.makesShortcut() && !keepsItsMeaningAsAShortcut(key))
        return false;
    switch (key) {
    case UIKey::Tab:
    case UIKey::ShiftTab:
        return moveFocus(m_window, key == UIKey::ShiftTab || held.shift, m_features.ringEnds);
    case UIKey::Enter:
        return tapKeyboardAccessory(m_window) || pressFocusedButton(m_window);
    case UIKey::Space:
        if (auto* input = editingField(m_window)) {
            input->insertText(" ");
            return true;
        }
        return pressFocusedButton(m_window);
    case UIKey::Escape:
        return m_window.endEditing(true);
    case UIKey::Backspace:
    case UIKey::Delete:
        if (auto* input = editingField(m_window)) {
            input->deleteBackward();
            return true;
        }
        return false;
    case UIKey::Up:
    case UIKey::Down:
    case UIKey::PageUp:
    case UIKey::PageDown:
        return scrollContent(m_window, key);
    }
    return false;
}

bool UIHostSession::typeKey(std::string_view text, UIKeyModifiers held) {
    require(m_features.hardwareKeys, "hardware keys");
    const bool editing = editingField(m_window) != nullptr;
    if (held.makesShortcut()) {
        const bool controlC =
            held.control && !held.alt && !held.meta && (text == "c" || text == "C");
        return editing && controlC && m_window.endEditing(true);
    }
    if (!editing && isAsciiLetter(text))
        return false;
    return insertText(text);
}

bool UIHostSession::scrollWheel(CGPoint point, CGFloat amount, UIScrollUnit unit) {
    require(m_features.wheel, "the wheel");
    const auto hit = m_window.hitTest(point);
    const auto scrollView = hit ? m_window.scrollViewScrolledFrom(*hit) : nullptr;
    return hit && m_window.scrollBy(scrollView.get(),
                                    scrollDistance(m_window, scrollView.get(), amount, unit));
}

std::shared_ptr<UIView> UIHostSession::tapView(UIView& view) {
    require(m_features.touches, "touches");
    return tapInSight(m_window, view);
}

bool UIHostSession::activateAccessibilityElement(const std::vector<std::size_t>& path) {
    require(m_features.screenReader, "a screen reader");
    const auto view = UIAccessibilityElementView(m_window, path);
    const auto control = std::dynamic_pointer_cast<UIControl>(view);
    if (!control || !control->isUserInteractionEnabled() || control->isHiddenOnScreen())
        return false;
    // A screen reader's tap is the bridge's, not a finger's: it needs no touches declared.
    return tapInSight(m_window, *control) == nullptr;
}

bool UIHostSession::focusAccessibilityElement(const std::vector<std::size_t>& path) {
    require(m_features.screenReader, "a screen reader");
    const auto view = focusableElementView(m_window, path);
    if (view)
        focusOn(m_window, view);
    return view != nullptr;
}

bool UIHostSession::setAccessibilityElementText(const std::vector<std::size_t>& path,
                                                std::string_view text) {
    require(m_features.screenReader, "a screen reader");
    const auto view = focusableElementView(m_window, path);
    auto* input = dynamic_cast<UIKeyInput*>(view.get());
    if (!input)
        return false;
    // As a person would: the field is edited, emptied and typed into, so that whatever
    // watches typing sees this too.
    if (!view->isFirstResponder())
        focusOn(m_window, view);
    if (!view->isFirstResponder())
        return false;
    while (input->hasText())
        input->deleteBackward();
    if (!text.empty())
        input->insertText(text);
    return true;
}

void UIHostSession::resignFocus() {
    require(m_features.hardwareKeys, "hardware keys");
    letFocusGo(m_window);
}

bool UIHostSession::insertText(std::string_view text) {
    require(m_features.textInput, "text input");
    auto* input = editingField(m_window);
    if (!input && text == " ")
        return pressFocusedButton(m_window);
    if (!input) {
        // Typing with no field being edited starts on the first one, as a person means.
        m_window.setFocusedView(nullptr);
        const auto first = m_window.nextInFocusRing(false);
        if (!first || !first->becomeFirstResponder())
            return false;
        input = editingField(m_window);
    }
    if (input)
        input->insertText(text);
    return input != nullptr;
}
