#pragma once

#include "Drawing/DisplayList.h"
#include "UIKit/NSText.h"
#include "UIKit/UIColor.h"
#include "UIKit/UIFont.h"

#include <string>

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

inline Drawing::DrawText drawingText(CGRect rect, std::string text, const UIFont& font,
                                     NSTextAlignment alignment, const UIColor& color) {
    Drawing::DrawText command;
    command.rect = rect;
    command.text = std::move(text);
    command.fontSize = font.pointSize;
    command.weight = drawingWeight(font.weight);
    command.alignment = drawingAlignment(alignment);
    command.color = drawingColor(color);
    return command;
}
