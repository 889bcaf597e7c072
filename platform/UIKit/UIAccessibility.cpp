#include "UIKit/UIAccessibility.h"

#include "UIKit/UIControl.h"
#include "UIKit/UIWindow.h"

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
                            view.isUserInteractionEnabled() && !window.viewCovering(view);
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
