#pragma once

#include "UIKit/UIView.h"

#include <memory>

// The on-screen decimal keypad, with the editing responder's accessory view on top of it,
// stretched to the keyboard's width as the platform does. Its decimal key types "." in
// every region: numbers are read without regard to locale.
class UIKeyboard : public UIView {
  public:
    static constexpr CGFloat keypadHeight = 216;

    static std::shared_ptr<UIKeyboard> make(CGFloat width);
    explicit UIKeyboard(CGFloat width);

    const std::shared_ptr<UIView>& accessoryView() const { return m_accessoryView; }
    // Puts the accessory at the keyboard's top edge, as wide as the keyboard and as high as
    // it was made, and the keypad right under it.
    void setAccessoryView(std::shared_ptr<UIView> accessory);
    const std::shared_ptr<UIView>& keypad() const { return m_keypad; }

    // Follows a change of width: the keypad, its keys and the accessory span it.
    void layoutSubviews() override;

    // Types the key's title into the first responder; the delete key deletes backward.
    void keyPressed(const std::shared_ptr<NSObject>& sender);

  private:
    void addKeys();
    void layoutKeys();

    std::shared_ptr<UIView> m_accessoryView;
    std::shared_ptr<UIView> m_keypad;
};
