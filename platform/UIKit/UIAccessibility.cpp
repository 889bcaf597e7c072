#include "UIKit/UIAccessibility.h"

#include "UIKit/UIControl.h"
#include "UIKit/UIWindow.h"

#include <algorithm>
#include <iterator>

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

} // namespace

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
