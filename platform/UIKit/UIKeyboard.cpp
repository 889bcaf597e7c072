#include "UIKit/UIKeyboard.h"

#include "Foundation/NSTimer.h"
#include "Runtime/ClassRegistry.h"
#include "UIKit/UIButton.h"
#include "UIKit/UIScreen.h"
#include "UIKit/UIWindow.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <string_view>

namespace {

const Runtime::Registration registration =
    Runtime::ClassDeclaration<UIKeyboard>("UIKeyboard")
        .action("keyPressed:", &UIKeyboard::keyPressed)
        .action("deleteTouchedDown:", &UIKeyboard::deleteTouchedDown)
        .action("deleteLetGo:", &UIKeyboard::deleteLetGo);

// Held down, the delete key deletes at once, again after a pause, then steadily, as a phone's
// does.
constexpr auto deleteRepeatDelay = std::chrono::milliseconds(500);
constexpr auto deleteRepeatInterval = std::chrono::milliseconds(100);

constexpr UIColor keypadColor{0.82f, 0.835f, 0.86f, 1};
constexpr UIColor keyColor{1, 1, 1, 1};
constexpr UIColor keyTitleColor{0, 0, 0, 1};
constexpr CGFloat keyGap = 6;
// The phone's keypad: four rows of three keys 46.5 points high with 6 points around each,
// across the whole width.
constexpr int keyColumns = 3;
constexpr int keyRows = 4;
constexpr CGFloat designKeyHeight = 46.5;
constexpr CGFloat keyTitleSize = 25;

// A length in whole pixels, at least one.
CGFloat wholePixels(CGFloat length, CGFloat pixel) {
    return std::max<CGFloat>(1, std::round(length / pixel)) * pixel;
}

// A length in an odd number of whole pixels, the nearest to it.
CGFloat oddPixels(CGFloat length, CGFloat pixel) {
    return (2 * std::max<CGFloat>(0, std::round((length / pixel - 1) / 2)) + 1) * pixel;
}

constexpr std::array<std::string_view, keyColumns * keyRows> keyTitles{
    "1", "2", "3", "4", "5", "6", "7", "8", "9", ".", "0", "⌫"};

} // namespace

std::shared_ptr<UIKeyboard> UIKeyboard::make(CGFloat width) {
    auto keyboard = std::make_shared<UIKeyboard>(width);
    keyboard->addKeys();
    return keyboard;
}

UIKeyboard::UIKeyboard(CGFloat width)
    : UIView(CGRectMake(0, 0, width, 0)),
      m_keypad(std::make_shared<UIView>(CGRectMake(0, 0, width, 0))) {
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
        key->setTitleFont(UIFont::systemFontOfSize(keyTitleSize));
        key->setAccessibilityIdentifier(isDelete ? "delete" : "key" + std::string(keyTitles[i]));
        if (isDelete) {
            key->setAccessibilityLabel("Delete");
            key->addTarget(weak_from_this(), "deleteTouchedDown:", UIControlEventTouchDown);
            key->addTarget(weak_from_this(), "deleteLetGo:",
                           UIControlEventTouchUpInside | UIControlEventTouchUpOutside |
                               UIControlEventTouchCancel);
        } else {
            key->addTarget(weak_from_this(), "keyPressed:", UIControlEventTouchUpInside);
        }
        if (keyTitles[i] != "." && !isDelete) {
            key->setBackgroundColor(keyColor);
            key->layer().setCornerRadius(5);
        }
        m_keypad->addSubview(key);
    }
    layoutForScreen();
}

void UIKeyboard::layoutForScreen() {
    const CGSize pixel = UIScreen::mainScreen().pointsPerPixel();
    const CGFloat width = frame().size.width;
    const CGFloat gapX = wholePixels(std::max(keyGap, pixel.width), pixel.width);
    const CGFloat gapY = wholePixels(std::max(keyGap, pixel.height), pixel.height);
    // At the keypad's edges the gap may vanish where pixels are coarse: the keys' own
    // colour tells them from the bar and the screen's edge.
    const CGFloat marginY = std::round(keyGap / pixel.height) * pixel.height;
    const CGFloat keyHeight = oddPixels(designKeyHeight, pixel.height);
    const CGFloat keyWidth = std::max<CGFloat>(
        0, std::floor((width - (keyColumns + 1) * gapX) / keyColumns / pixel.width) * pixel.width);
    const CGFloat left =
        std::round((width - keyColumns * keyWidth - (keyColumns - 1) * gapX) / 2 / pixel.width) *
        pixel.width;
    const auto& keys = m_keypad->subviews();
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const CGFloat x = left + static_cast<CGFloat>(i % keyColumns) * (keyWidth + gapX);
        const CGFloat y = marginY + static_cast<CGFloat>(i / keyColumns) * (keyHeight + gapY);
        keys[i]->setFrame(CGRectMake(x, y, keyWidth, keyHeight));
    }
    const CGFloat keypadHeight = keyRows * keyHeight + (keyRows - 1) * gapY + 2 * marginY;
    const CGFloat accessoryHeight = m_accessoryView ? m_accessoryView->frame().size.height : 0;
    m_keypad->setFrame(CGRectMake(0, accessoryHeight, width, keypadHeight));
    if (m_accessoryView)
        m_accessoryView->setFrame(CGRectMake(0, 0, width, accessoryHeight));
    CGRect ownFrame = frame();
    ownFrame.size.height = accessoryHeight + keypadHeight;
    m_layingOut = true;
    setFrame(ownFrame);
    m_layingOut = false;
}

void UIKeyboard::layoutSubviews() {
    if (!m_layingOut)
        layoutForScreen();
}

void UIKeyboard::setAccessoryView(std::shared_ptr<UIView> accessory) {
    if (m_accessoryView == accessory)
        return;
    if (m_accessoryView)
        m_accessoryView->removeFromSuperview();
    m_accessoryView = std::move(accessory);
    if (m_accessoryView)
        addSubview(m_accessoryView);
    layoutForScreen();
}

std::shared_ptr<UIKeyInput> UIKeyboard::editingInput() const {
    const auto window = this->window();
    return std::dynamic_pointer_cast<UIKeyInput>(window ? window->firstResponder() : nullptr);
}

void UIKeyboard::keyPressed(const std::shared_ptr<NSObject>& sender) {
    const auto key = std::dynamic_pointer_cast<UIButton>(sender);
    const auto input = editingInput();
    if (key && input)
        input->insertText(key->titleForState(UIControlStateNormal).value_or(""));
}

void UIKeyboard::deleteTouchedDown(const std::shared_ptr<NSObject>&) {
    deleteLetGo(nullptr);
    if (!deleteBackward())
        return;
    const std::weak_ptr<UIKeyboard> keyboard =
        std::static_pointer_cast<UIKeyboard>(shared_from_this());
    const auto deleteAgain = [keyboard] {
        if (const auto self = keyboard.lock(); self && !self->deleteBackward())
            self->deleteLetGo(nullptr);
    };
    m_deleteRepeat = NSTimer::scheduledTimer(deleteRepeatDelay, false, [keyboard, deleteAgain] {
        deleteAgain();
        if (const auto self = keyboard.lock(); self && self->m_deleteRepeat)
            self->m_deleteRepeat = NSTimer::scheduledTimer(deleteRepeatInterval, true, deleteAgain);
    });
}

bool UIKeyboard::deleteBackward() {
    const auto input = editingInput();
    if (input)
        input->deleteBackward();
    return input != nullptr;
}

void UIKeyboard::deleteLetGo(const std::shared_ptr<NSObject>&) {
    if (m_deleteRepeat)
        m_deleteRepeat->invalidate();
    m_deleteRepeat.reset();
}
