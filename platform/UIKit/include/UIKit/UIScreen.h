#pragma once

#include "CoreGraphics/CGGeometry.h"
#include "Drawing/TextMeasurer.h"
#include "UIKit/UIGeometry.h"

#include <memory>

// The screen the window fills: its size in points, the size of one of its pixels in points,
// across and down (half a point on a 2x display; a whole character cell, far taller than
// wide, in a terminal), the insets its hardware covers, and how its painter measures text.
// A front end changes them through UIHostSession; a phone's screen at 2x until then, its
// texts measured by an estimate. One per process.
class UIScreen {
  public:
    static UIScreen& mainScreen();
    // The phone the layouts are made for, in points: the screen until a front end says.
    static constexpr CGSize phoneSize{375, 667};

    CGRect bounds() const { return m_bounds; }
    void setBounds(CGRect bounds) { m_bounds = bounds; }
    CGSize pointsPerPixel() const { return m_pointsPerPixel; }
    void setPointsPerPixel(CGSize size) { m_pointsPerPixel = size; }
    UIEdgeInsets safeAreaInsets() const { return m_safeAreaInsets; }
    void setSafeAreaInsets(UIEdgeInsets insets) { m_safeAreaInsets = insets; }
    Drawing::TextMeasurer& textMeasurer() const { return *m_textMeasurer; }
    // Null puts the estimate back.
    void setTextMeasurer(std::shared_ptr<Drawing::TextMeasurer> measurer);

  private:
    UIScreen();
    CGRect m_bounds{{}, phoneSize};
    CGSize m_pointsPerPixel{0.5, 0.5};
    UIEdgeInsets m_safeAreaInsets;
    std::shared_ptr<Drawing::TextMeasurer> m_textMeasurer;
};
