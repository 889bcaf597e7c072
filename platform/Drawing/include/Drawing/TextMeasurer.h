#pragma once

#include "CoreGraphics/CGGeometry.h"
#include "Drawing/DisplayList.h"

#include <string_view>

namespace Drawing {

// What every painter draws text with, so that a text measures alike in each: the faces in
// order of preference (as CSS and Pango both read the list), and a caret's width.
inline constexpr const char* textFamilies = "Inter, DejaVu Sans, sans-serif";
inline constexpr CGFloat caretPoints = 2;
// A character's width where nothing measures text, as a share of its font's size: half again
// as wide as the font is tall is too much, a tenth too little; a little over half suits a
// sans-serif face.
inline constexpr CGFloat estimatedCharacterWidth = 0.55;

// How the painter that draws the frames measures text, so that the toolkit lays text out once
// for every painter alike: the width of a run, what a box leaves for a line, a caret's width.
class TextMeasurer {
  public:
    virtual ~TextMeasurer() = default;
    // The text may hold any bytes; a painter measures them as it would draw them.
    virtual CGFloat widthOf(std::string_view text, CGFloat fontSize, Weight weight) = 0;
    // The width a line may take in a box: the box's own, or what a painter's grid leaves of it.
    virtual CGFloat usableWidth(CGRect box) const { return box.size.width; }
    virtual CGFloat caretWidth() const { return caretPoints; }
};

} // namespace Drawing
