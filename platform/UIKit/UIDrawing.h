#pragma once

#include "Drawing/DisplayList.h"
#include "UIKit/UIColor.h"
#include "UIKit/UIFont.h"
#include "UIKit/UIGeometry.h"

#include <string>

// UIKit's values in the drawing description's terms.
constexpr Drawing::Color drawingColor(const UIColor& color) {
    return {color.red(), color.green(), color.blue(), color.alpha()};
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
    return {rect,
            std::move(text),
            font.pointSize,
            static_cast<Drawing::Weight>(font.weight),
            drawingAlignment(alignment),
            drawingColor(color),
            std::nullopt};
}
