#pragma once

#include "CoreGraphics/CGGeometry.h"
#include "UIKit/UIGeometry.h"

// The screen the window fills: its size in points, the size of one of its pixels in points,
// across and down (half a point on a 2x display; a whole character cell, far taller than
// wide, in a terminal), and the insets its hardware covers. A front end changes them through
// UIHostSession::setScreen; a phone's screen at 2x until then. One per process.
class UIScreen {
  public:
    static UIScreen& mainScreen();

    CGRect bounds() const { return m_bounds; }
    void setBounds(CGRect bounds) { m_bounds = bounds; }
    CGSize pointsPerPixel() const { return m_pointsPerPixel; }
    void setPointsPerPixel(CGSize size) { m_pointsPerPixel = size; }
    UIEdgeInsets safeAreaInsets() const { return m_safeAreaInsets; }
    void setSafeAreaInsets(UIEdgeInsets insets) { m_safeAreaInsets = insets; }

  private:
    UIScreen() = default;
    CGRect m_bounds = CGRectMake(0, 0, 375, 667);
    CGSize m_pointsPerPixel{0.5, 0.5};
    UIEdgeInsets m_safeAreaInsets;
};
