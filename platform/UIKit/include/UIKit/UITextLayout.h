#pragma once

#include "Drawing/DisplayList.h"
#include "UIKit/NSText.h"
#include "UIKit/UIColor.h"
#include "UIKit/UIFont.h"

#include <optional>
#include <string_view>
#include <utility>

// What a line of text does when it is too wide for its box.
struct UITextFitting {
    // It is drawn smaller first, down to this share of its font's size (1: never smaller).
    CGFloat minimumScaleFactor = 1;
    // What still does not fit is cut at its start, so that its end stays in sight (the text
    // being typed), rather than at its tail with an ellipsis.
    bool keepsEnd = false;
    // A caret after the text, while it is being edited.
    std::optional<UIColor> caret;
};

// A line of text laid out in its box as the screen's painter measures it: at the size that
// fits, cut where it does not, with room kept for the caret. Views draw their text through
// it, so that every painter shows the same cut.
Drawing::DrawText layOutText(CGRect rect, std::string_view text, const UIFont& font,
                             NSTextAlignment alignment, const UIColor& color,
                             const UITextFitting& fitting = {});

// Where a laid-out line will be drawn across its box, the caret included: its left and right
// edges, as the screen's painter measures it.
std::pair<CGFloat, CGFloat> drawnSpan(const Drawing::DrawText& line);
