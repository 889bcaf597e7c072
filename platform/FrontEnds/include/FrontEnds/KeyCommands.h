#pragma once

#include "UIKit/UIWindow.h"

#include <string_view>

// What the keys of a hardware keyboard do to the screen, the same in every front end that
// has keys: text goes to the field being edited, or starts editing the first one; Tab and Shift-Tab
// move through the shown text fields and buttons (not the keyboard's own keys), a field by editing
// it, a button by the focus ring; Enter taps the bar on top of the keyboard while it is up, else
// presses the focused button, as Space does; Escape ends editing; Backspace deletes.
namespace KeyCommands {

enum class Key { Tab, ShiftTab, Enter, Space, Escape, Backspace };

// Types into the field being edited, or the first text field when none is; false when the
// screen has none.
bool typeText(UIWindow& window, std::string_view text);
// False when the key had nothing to do.
bool press(UIWindow& window, Key key);

} // namespace KeyCommands
