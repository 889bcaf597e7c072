#pragma once

#include "CoreGraphics/CGGeometry.h"

enum class UIFontWeight { Light, Regular, Medium, Semibold, Bold };

// The system font at a size and weight; the painter chooses the face that shows it.
struct UIFont {
    CGFloat pointSize = 17;
    UIFontWeight weight = UIFontWeight::Regular;

    static constexpr UIFont systemFontOfSize(CGFloat size,
                                             UIFontWeight weight = UIFontWeight::Regular) {
        return UIFont{size, weight};
    }
    bool operator==(const UIFont&) const = default;
};
