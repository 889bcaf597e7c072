#pragma once

#include "CoreGraphics/CGGeometry.h"

// The screen the window fills, in points. A front end sets its size (a desktop window's, a
// terminal's, a browser's viewport) before the window is made and whenever it changes; it
// is a phone's until then. One per process.
class UIScreen {
  public:
    static UIScreen& mainScreen();

    CGRect bounds() const { return m_bounds; }
    void setBounds(CGRect bounds) { m_bounds = bounds; }

  private:
    UIScreen() = default;
    CGRect m_bounds = CGRectMake(0, 0, 375, 667);
};
