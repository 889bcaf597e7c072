#include "UIKit/UIKeyboard.h"

#include "Runtime/ClassRegistry.h"
#include "UIKit/UIButton.h"
#include "UIKit/UIWindow.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

const Runtime::Registration registration = Runtime::ClassDeclaration<UIKeyboard>("UIKeyboard")
                                               .action("keyPressed:", &UIKeyboard::keyPressed);

constexpr UIColor keypadColor{0.82f, 0.835f, 0.86f, 1};
constexpr UIColor keyColor{1, 1, 1, 1};
constexpr UIColor keyTitleColor{0, 0, 0, 1};
constexpr CGFloat keyGap = 6;
constexpr std::string_view deleteKey = "delete";
constexpr std::array<std::string_view, 12> keyTitles{"1", "2", "3", "4", "5", "6",
                                                     "7", "8", "9", ".", "0", "⌫"};

} // namespace

std::shared_ptr<UIKeyboard> UIKeyboard::make(CGFloat width) {
    auto keyboard = std::make_shared<UIKeyboard>(width);
    keyboard->addKeys();
    return keyboard;
}

UIKeyboard::UIKeyboard(CGFloat width)
    : UIView(CGRectMake(0, 0, width, keypadHeight)),
      m_keypad(std::make_shared<UIView>(CGRectMake(0, 0, width, keypadHeight))) {
    m_keypad->setBackgroundColor(keypadColor);
    m_keypad->setAccessibilityIdentifier("keypad");
}

void UIKeyboard::addKeys() {
    addSubview(m_keypad);
    for (std::size_t i = 0; i < keyTitles.size(); ++i) {
        auto key = std::make_shared<UIButton>();
        const bool isDelete = i + 1 == keyTitles.size();
        key->setTitle(std::string(keyTitles[i]), UIControlStateNormal);
        key->setTitleColor(keyTitleColor, UIControlStateNormal);
        key->setTitleFont(UIFont::systemFontOfSize(25));
        key->setAccessibilityIdentifier(isDelete ? std::string(deleteKey)
                                                 : "key" + std::string(keyTitles[i]));
        if (keyTitles[i] != "." && !isDelete) {
            key->setBackgroundColor(keyColor);
            key->layer().setCornerRadius(5);
        }
        key->addTarget(weak_from_this(), "keyPressed:", UIControlEventTouchUpInside);
        m_keypad->addSubview(key);
    }
    layoutKeys();
}

// Three columns and four rows of keys with even gaps, filling the keypad's width.
void UIKeyboard::layoutKeys() {
    const CGFloat width = frame().size.width;
    const CGFloat keyWidth = std::max<CGFloat>(0, (width - 4 * keyGap) / 3);
    const CGFloat keyHeight = (keypadHeight - 5 * keyGap) / 4;
    const auto& keys = m_keypad->subviews();
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const CGFloat x = keyGap + static_cast<CGFloat>(i % 3) * (keyWidth + keyGap);
        const CGFloat y = keyGap + static_cast<CGFloat>(i / 3) * (keyHeight + keyGap);
        keys[i]->setFrame(CGRectMake(x, y, keyWidth, keyHeight));
    }
}

void UIKeyboard::layoutSubviews() {
    const CGFloat width = frame().size.width;
    CGRect keypadFrame = m_keypad->frame();
    keypadFrame.size.width = width;
    m_keypad->setFrame(keypadFrame);
    layoutKeys();
    if (m_accessoryView) {
        CGRect accessoryFrame = m_accessoryView->frame();
        m_accessoryView->setFrame(CGRectMake(0, 0, width, accessoryFrame.size.height));
    }
}

void UIKeyboard::setAccessoryView(std::shared_ptr<UIView> accessory) {
    if (m_accessoryView == accessory)
        return;
    if (m_accessoryView)
        m_accessoryView->removeFromSuperview();
    m_accessoryView = std::move(accessory);
    const CGFloat accessoryHeight = m_accessoryView ? m_accessoryView->frame().size.height : 0;
    CGRect keypadFrame = m_keypad->frame();
    keypadFrame.origin.y = accessoryHeight;
    m_keypad->setFrame(keypadFrame);
    CGRect ownFrame = frame();
    ownFrame.size.height = accessoryHeight + keypadHeight;
    setFrame(ownFrame);
    if (m_accessoryView) {
        m_accessoryView->setFrame(CGRectMake(0, 0, ownFrame.size.width, accessoryHeight));
        addSubview(m_accessoryView);
    }
}

void UIKeyboard::keyPressed(const std::shared_ptr<NSObject>& sender) {
    const auto key = std::dynamic_pointer_cast<UIButton>(sender);
    const auto window = this->window();
    const auto input =
        std::dynamic_pointer_cast<UIKeyInput>(window ? window->firstResponder() : nullptr);
    if (!key || !input)
        return;
    if (key->accessibilityIdentifier() == deleteKey)
        input->deleteBackward();
    else
        input->insertText(key->titleForState(UIControlStateNormal).value_or(""));
}
