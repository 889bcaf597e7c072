#pragma once

#include "UIKit/UIView.h"

#include <memory>

class NSTimer;

// The on-screen decimal keypad, with the editing responder's accessory view on top of it,
// stretched to the keyboard's width as the platform does. Its decimal key types "." in
// every region: numbers are read without regard to locale.
//
// Keys lie on the screen's pixels: each a whole number of them, an odd number high so that
// its title has a middle line, with at least one pixel between neighbours. On a fine screen
// that is the phone's keypad; where a pixel is a character cell, it keeps every key a box of
// its own.
class UIKeyboard : public UIView {
  public:
    static std::shared_ptr<UIKeyboard> make(CGFloat width);
    explicit UIKeyboard(CGFloat width);

    const std::shared_ptr<UIView>& accessoryView() const { return m_accessoryView; }
    // Puts the accessory at the keyboard's top edge, as wide as the keyboard and as high as
    // it was made, and the keypad right under it.
    void setAccessoryView(std::shared_ptr<UIView> accessory);
    const std::shared_ptr<UIView>& keypad() const { return m_keypad; }

    // Follows a change of width: the keypad, its keys and the accessory span it.
    void layoutSubviews() override;
    // Lays the keys out again on the screen's pixels as they are now; the keyboard's height
    // follows.
    void layoutForScreen();

    // Types the key's title into the first responder.
    void keyPressed(const std::shared_ptr<NSObject>& sender);
    // The delete key, touched: deletes backward at once, and again while it is held.
    void deleteTouchedDown(const std::shared_ptr<NSObject>& sender);
    void deleteLetGo(const std::shared_ptr<NSObject>& sender);

  private:
    void addKeys();
    std::shared_ptr<UIKeyInput> editingInput() const;
    // False when no field is being edited.
    bool deleteBackward();

    std::shared_ptr<UIView> m_accessoryView;
    std::shared_ptr<UIView> m_keypad;
    std::shared_ptr<NSTimer> m_deleteRepeat;
    // Its own change of height is not a change to lay out again for.
    bool m_layingOut = false;
};
