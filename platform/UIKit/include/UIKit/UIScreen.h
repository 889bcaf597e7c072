#pragma once

#include "CoreGraphics/CGGeometry.h"

// The screen the window fills: its size in points, and the size of one of its pixels in
// points, across and down (half a point on a 2x display; a whole character cell, far taller
// than wide, in a terminal). A front end sets both before the window is made and whenever
// they change, then tells the window; a phone's screen at 2x until then. One per process.
class UIScreen {
  public:
    static UIScreen& mainScreen();

    CGRect bounds() const { return m_bounds; }
    void setBounds(CGRect bounds) { m_bounds = bounds; }
    CGSize pointsPerPixel() const { return m_pointsPerPixel; }
    void setPointsPerPixel(CGSize size) { m_pointsPerPixel = size; }

  private:
    UIScreen() = default;
    CGRect m_bounds = CGRectMake(0, 0, 375, 667);
    CGSize m_pointsPerPixel{0.5, 0.5};
};
