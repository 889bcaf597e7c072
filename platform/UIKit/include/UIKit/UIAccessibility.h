#pragma once

#include "UIKit/UIView.h"

#include <string>
#include <vector>

class UIWindow;

// One element of what a screen reader is given: a shown view, as its class describes itself.
struct UIAccessibilityElement {
    UIAccessibilityRole role = UIAccessibilityRole::Group;
    std::string label;
    std::string value;
    std::string hint;
    std::string identifier;
    // In window points.
    CGRect frame;
    // A control that a touch at its center reaches now: nothing (the keyboard) lies on it.
    bool isActivatable = false;
    // In the ring Tab moves through (the fields and buttons, not the keyboard's keys).
    bool isFocusable = false;
    // Being edited, or ringed by the focus.
    bool isFocused = false;
    // For a live region: how many times its content was set; a new count is read out.
    unsigned announcements = 0;
    std::vector<UIAccessibilityElement> children;
};

// The window's shown views as a screen reader is given them, for any bridge to read.
UIAccessibilityElement UIAccessibilityTree(UIWindow& window);
