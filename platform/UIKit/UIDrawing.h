#pragma once

#include "Drawing/DisplayList.h"
#include "UIKit/NSText.h"
#include "UIKit/UIColor.h"
#include "UIKit/UIFont.h"
#include "UIKit/UITextLayout.h"

#include <optional>
#include <string>
#include <string_view>

// UIKit's values in the drawing description's terms.
constexpr Drawing::Color drawingColor(const UIColor& color) {
    return {color.red(), color.green(), color.blue(), color.alpha()};
}

constexpr Drawing::Weight drawingWeight(UIFontWeight weight) {
    switch (weight) {
    case UIFontWeight::Light:
        return Drawing::Weight::Light;
    case UIFontWeight::Regular:
        return Drawing::Weight::Regular;
    case UIFontWeight::Medium:
        return Drawing::Weight::Medium;
    case UIFontWeight::Semibold:
        return Drawing::Weight::Semibold;
    case UIFontWeight::Bold:
        return Drawing::Weight::Bold;
    }
    return Drawing::Weight::Regular;
}

constexpr Drawing::Alignment drawingAlignment(NSTextAlignment alignment) {
    switch (alignment) {
    case NSTextAlignmentCenter:
        return Drawing::Alignment::Center;
    case NSTextAlignmentRight:
        return Drawing::Alignment::Right;
    default:
        return Drawing::Alignment::Left;
    }
}
