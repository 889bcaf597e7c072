#include "UIKit/UIAccessibility.h"

#include "UIKit/UIControl.h"
#include "UIKit/UIWindow.h"

#include <algorithm>
#include <iterator>
#include <string>

namespace {

// An element's children: its view's shown subviews, in order. The tree and the paths into it
// both count them so.
std::vector<std::shared_ptr<UIView>> shownSubviews(const UIView& view) {
    std::vector<std::shared_ptr<UIView>> shown;
    std::copy_if(view.subviews().begin(), view.subviews().end(), std::back_inserter(shown),
                 [](const auto& subview) { return !subview->isHidden(); });
    return shown;
}

UIAccessibilityElement elementFor(UIWindow& window, const UIView& view, bool inKeyboard) {
    UIAccessibilityElement element;
    element.role = view.accessibilityRole();
    element.label = view.accessibilityLabel().value_or("");
    element.value = view.accessibilityValue().value_or("");
    element.hint = view.accessibilityHint().value_or("");
    element.identifier = view.accessibilityIdentifier();
    element.frame = view.frameInWindow();
    element.isActivatable = dynamic_cast<const UIControl*>(&view) &&
                            view.isUserInteractionEnabled() && window.canBringIntoReach(view);
    element.isFocusable = view.canBecomeFocused() && !inKeyboard;
    element.isFocused =
        &view == window.firstResponder().get() || &view == window.focusedView().get();
    element.announcements = view.accessibilityAnnouncements();
    for (const auto& subview : shownSubviews(view))
        element.children.push_back(
            elementFor(window, *subview, inKeyboard || subview == window.visibleKeyboard()));
    return element;
}

// A live region's words: the texts it holds, in order.
std::string textWithin(const UIAccessibilityElement& element) {
    if (element.role == UIAccessibilityRole::Text)
        return element.label;
    std::string text;
    for (const auto& child : element.children)
        if (const auto words = textWithin(child); !words.empty())
            text += (text.empty() ? "" : " ") + words;
    return text;
}

std::string readingText(const UIAccessibilityElement& element) {
    switch (element.role) {
    case UIAccessibilityRole::TextField:
        return element.value;
    case UIAccessibilityRole::LiveRegion:
        return textWithin(element);
    case UIAccessibilityRole::Group:
    case UIAccessibilityRole::Text:
    case UIAccessibilityRole::Heading:
    case UIAccessibilityRole::Button:
        break;
    }
    return element.label;
}

// Whether the element is read as one, rather than through what it holds.
bool isRead(const UIAccessibilityElement& element) {
    switch (element.role) {
    case UIAccessibilityRole::TextField:
    case UIAccessibilityRole::Button:
    case UIAccessibilityRole::LiveRegion:
        return true;
    case UIAccessibilityRole::Text:
    case UIAccessibilityRole::Heading:
        return !element.label.empty();
    case UIAccessibilityRole::Group:
        break;
    }
    return false;
}

void collectReadings(const UIAccessibilityElement& element, std::vector<std::size_t>& path,
                     const std::string& key, std::vector<UIAccessibilityReading>& readings) {
    if (isRead(element)) {
        UIAccessibilityReading reading{element, path, key, readingText(element)};
        reading.element.children.clear();
        readings.push_back(std::move(reading));
        return;
    }
    for (std::size_t place = 0; place < element.children.size(); ++place) {
        const auto& child = element.children[place];
        path.push_back(place);
        collectReadings(child, path,
                        key + "/" +
                            (child.identifier.empty() ? std::to_string(place) : child.identifier),
                        readings);
        path.pop_back();
    }
}

} // namespace

std::vector<UIAccessibilityReading>
UIAccessibilityReadingOrder(const UIAccessibilityElement& tree) {
    std::vector<UIAccessibilityReading> readings;
    std::vector<std::size_t> path;
    collectReadings(tree, path, "window", readings);
    return readings;
}

UIAccessibilityElement UIAccessibilityTree(UIWindow& window) {
    return elementFor(window, window, false);
}

std::shared_ptr<UIView> UIAccessibilityElementView(UIWindow& window,
                                                   const std::vector<std::size_t>& path) {
    std::shared_ptr<UIView> view = std::static_pointer_cast<UIView>(window.shared_from_this());
    for (const std::size_t place : path) {
        const auto shown = shownSubviews(*view);
        if (place >= shown.size())
            return nullptr;
        view = shown[place];
    }
    return view;
}
