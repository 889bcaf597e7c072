#pragma once

#include "UIKit/UIButton.h"

namespace orvane {

// The orange "Calculate" bar that rides on top of the keyboard.
class CalcBtn : public UIButton {
  public:
    explicit CalcBtn(CGRect frame);
    // Never loaded from an interface file: stops the program.
    explicit CalcBtn(NSCoder& coder);
};

} // namespace orvane
