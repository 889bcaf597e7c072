#pragma once

#include "CoreGraphics/CGGeometry.h"

// Distances in from each edge of a rectangle: the parts of a screen that its hardware or the
// system covers (a notch, a home indicator), where content should not go.
struct UIEdgeInsets {
    CGFloat top = 0;
    CGFloat left = 0;
    CGFloat bottom = 0;
    CGFloat right = 0;
    bool operator==(const UIEdgeInsets&) const = default;
};

constexpr CGRect UIEdgeInsetsInsetRect(CGRect rect, UIEdgeInsets insets) {
    return CGRect{{rect.origin.x + insets.left, rect.origin.y + insets.top},
                  {rect.size.width - insets.left - insets.right,
                   rect.size.height - insets.top - insets.bottom}};
}
