#include "UIKit/UIAccessibility.h"

#include "UIKit/UIControl.h"
#include "UIKit/UIWindow.h"

#include <algorithm>
#include <iterator>

namespace {

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
    for (const auto& subview : view.subviews())
        if (!subview->isHidden())
            element.children.push_back(
                elementFor(window, *subview, inKeyboard || subview == window.visibleKeyboard()));
    return element;
}

} // namespace

UIAccessibilityElement UIAccessibilityTree(UIWindow& window) {
    return elementFor(window, window, false);
}

// Children are the shown subviews, in order, as the tree lists them.
std::shared_ptr<UIView> UIAccessibilityElementView(UIWindow& window,
                                                   const std::vector<std::size_t>& path) {
    std::shared_ptr<UIView> view = std::static_pointer_cast<UIView>(window.shared_from_this());
    for (const std::size_t place : path) {
        std::vector<std::shared_ptr<UIView>> shown;
        std::copy_if(view->subviews().begin(), view->subviews().end(), std::back_inserter(shown),
                     [](const auto& subview) { return !subview->isHidden(); });
        if (place >= shown.size())
            return nullptr;
        view = shown[place];
    }
    return view;
}
