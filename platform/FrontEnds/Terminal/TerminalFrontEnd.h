#pragma once

#include "FrontEnds/FrontEnd.h"

// The phone screen full-screen in a terminal (ncurses), scaled to fit and redrawn on resize.
// Keys: digits, the point and Backspace edit; Tab and Shift-Tab move through the wage
// field, the price field and the clear button; Enter taps Calculate while it is shown, or the
// focused button; Escape ends editing; q or Ctrl-C quits when no field is being edited.
// The mouse taps where the terminal reports it. The terminal is restored however orvane ends.
class TerminalFrontEnd : public FrontEnd {
  public:
    int run(UIApplication& application, UIWindow& window) override;
};
