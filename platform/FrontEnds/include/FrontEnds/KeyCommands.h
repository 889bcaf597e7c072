#pragma once

#include "UIKit/UIControl.h"
#include "UIKit/UIWindow.h"

#include <memory>
#include <string_view>

// What the keys of a desktop keyboard do to the phone screen, for every front end with keys.
namespace KeyCommands {

// Types into the field being edited; false when none is.
bool typeText(UIWindow& window, std::string_view text);
bool deleteBackward(UIWindow& window);
// Taps the accessory on top of the keyboard while it is shown.
bool tapKeyboardAccessory(UIWindow& window);
// Sends the button's touch-up-inside actions, as a tap would.
void press(UIControl& control);
// The next (or previous) of the shown text fields, and buttons when asked for, in the order
// of the view tree; the keyboard's own keys are not part of the ring.
std::shared_ptr<UIView> nextInFocusRing(UIWindow& window, const UIView* current, bool backwards,
                                        bool includeButtons);

} // namespace KeyCommands
