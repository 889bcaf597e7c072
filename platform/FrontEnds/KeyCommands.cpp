#include "FrontEnds/KeyCommands.h"

#include "UIKit/UIButton.h"
#include "UIKit/UITextField.h"

#include <algorithm>
#include <vector>

namespace KeyCommands {
namespace {

void collectFocusable(const std::shared_ptr<UIView>& view, bool includeButtons,
                      std::vector<std::shared_ptr<UIView>>& ring) {
    if (view->isHidden() || dynamic_cast<const UIKeyboard*>(view.get()))
        return;
    if (dynamic_cast<const UITextField*>(view.get()) ||
        (includeButtons && dynamic_cast<const UIButton*>(view.get())))
        ring.push_back(view);
    for (const auto& subview : view->subviews())
        collectFocusable(subview, includeButtons, ring);
}

} // namespace

bool typeText(UIWindow& window, std::string_view text) {
    auto* input = dynamic_cast<UIKeyInput*>(window.firstResponder().get());
    if (input)
        input->insertText(text);
    return input != nullptr;
}

bool deleteBackward(UIWindow& window) {
    auto* input = dynamic_cast<UIKeyInput*>(window.firstResponder().get());
    if (input)
        input->deleteBackward();
    return input != nullptr;
}

bool tapKeyboardAccessory(UIWindow& window) {
    const auto keyboard = window.visibleKeyboard();
    const auto control =
        std::dynamic_pointer_cast<UIControl>(keyboard ? keyboard->accessoryView() : nullptr);
    if (control)
        press(*control);
    return control != nullptr;
}

void press(UIControl& control) {
    control.sendActionsForControlEvents(UIControlEventTouchUpInside);
}

std::shared_ptr<UIView> nextInFocusRing(UIWindow& window, const UIView* current, bool backwards,
                                        bool includeButtons) {
    std::vector<std::shared_ptr<UIView>> ring;
    for (const auto& subview : window.subviews())
        collectFocusable(subview, includeButtons, ring);
    if (ring.empty())
        return nullptr;
    const auto found = std::find_if(ring.begin(), ring.end(),
                                    [&](const auto& view) { return view.get() == current; });
    if (found == ring.end())
        return backwards ? ring.back() : ring.front();
    const auto index = static_cast<std::size_t>(found - ring.begin());
    return ring[(index + (backwards ? ring.size() - 1 : 1)) % ring.size()];
}

} // namespace KeyCommands
