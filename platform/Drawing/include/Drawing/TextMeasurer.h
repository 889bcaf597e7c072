#pragma once

#include "CoreGraphics/CGGeometry.h"
#include "Drawing/DisplayList.h"

#include <string_view>

namespace Drawing {

// How the painter that draws the frames measures text, so that the toolkit lays text out once
// for every painter alike: the width of a run, what a box leaves for a line, a caret's width.
class TextMeasurer {
  public:
    virtual ~TextMeasurer() = default;
    // The text may hold any bytes; a painter measures them as it would draw them.
    virtual CGFloat widthOf(std::string_view text, CGFloat fontSize, Weight weight) = 0;
    // The width a line may take in a box: the box's own, or what a painter's grid leaves of it.
    virtual CGFloat usableWidth(CGRect box) const { return box.size.width; }
    virtual CGFloat caretWidth() const { return 2; }
};

} // namespace Drawing
