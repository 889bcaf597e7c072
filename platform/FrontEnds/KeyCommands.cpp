#include "FrontEnds/KeyCommands.h"

#include "UIKit/UIButton.h"
#include "UIKit/UITextField.h"

#include <algorithm>
#include <vector>

namespace KeyCommands {
namespace {

void collectFocusable(const std::shared_ptr<UIView>& view,
                      std::vector<std::shared_ptr<UIView>>& ring) {
    if (view->isHidden() || dynamic_cast<const UIKeyboard*>(view.get()))
        return;
    if (dynamic_cast<const UITextField*>(view.get()) || dynamic_cast<const UIButton*>(view.get()))
        ring.push_back(view);
    for (const auto& subview : view->subviews())
        collectFocusable(subview, ring);
}

// The next (or previous) of the shown text fields and buttons, in the order of the tree.
std::shared_ptr<UIView> nextInFocusRing(UIWindow& window, bool backwards) {
    std::vector<std::shared_ptr<UIView>> ring;
    for (const auto& subview : window.subviews())
        collectFocusable(subview, ring);
    if (ring.empty())
        return nullptr;
    const auto current = window.firstResponder() ? window.firstResponder() : window.focusedView();
    const auto found = std::find(ring.begin(), ring.end(), current);
    if (found == ring.end())
        return backwards ? ring.back() : ring.front();
    const auto index = static_cast<std::size_t>(found - ring.begin());
    return ring[(index + (backwards ? ring.size() - 1 : 1)) % ring.size()];
}

bool moveFocus(UIWindow& window, bool backwards) {
    const auto next = nextInFocusRing(window, backwards);
    if (!next)
        return false;
    if (next->becomeFirstResponder()) {
        window.setFocusedView(nullptr);
        return true;
    }
    window.endEditing(true);
    window.setFocusedView(next);
    return true;
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

UIKeyInput* editingField(UIWindow& window) {
    return dynamic_cast<UIKeyInput*>(window.firstResponder().get());
}

} // namespace

bool typeText(UIWindow& window, std::string_view text) {
    auto* input = editingField(window);
    if (!input) {
        // Typing with no field being edited starts on the first one, as a person means.
        window.setFocusedView(nullptr);
        const auto first = nextInFocusRing(window, false);
        if (!first || !first->becomeFirstResponder())
            return false;
        input = editingField(window);
    }
    if (input)
        input->insertText(text);
    return input != nullptr;
}

bool press(UIWindow& window, Key key) {
    switch (key) {
    case Key::Tab:
        return moveFocus(window, false);
    case Key::ShiftTab:
        return moveFocus(window, true);
    case Key::Enter:
        return tapKeyboardAccessory(window) || pressFocusedButton(window);
    case Key::Space:
        return !editingField(window) && pressFocusedButton(window);
    case Key::Escape:
        return window.endEditing(true);
    case Key::Backspace:
        if (auto* input = editingField(window)) {
            input->deleteBackward();
            return true;
        }
        return false;
    }
    return false;
}

} // namespace KeyCommands
