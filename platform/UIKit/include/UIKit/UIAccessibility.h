#pragma once

#include "UIKit/UIView.h"

#include <memory>
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
    // A control that a touch at its center reaches, now or once scrolled into sight: nothing
    // (the keyboard) lies on it there.
    bool isActivatable = false;
    // In the ring Tab moves through (the fields and buttons, not the keyboard's keys).
    bool isFocusable = false;
    // Being edited, or ringed by the focus.
    bool isFocused = false;
    // For a live region: how many times its content was set; a new count is read out.
    unsigned announcements = 0;
    std::vector<UIAccessibilityElement> children;
};

// One thing a screen reader reads out, as every bridge presents it: a field, a button, a
// heading, a text, or a live region read as one text. Groups are not read; what they hold is.
struct UIAccessibilityReading {
    // The element, its children left out.
    UIAccessibilityElement element;
    // Its place in the tree, for the session's calls.
    std::vector<std::size_t> path;
    // The same from frame to frame while the element stays: its identifiers, or else its
    // places, from the window down.
    std::string key;
    // What it reads as: a field's text, a live region's texts joined, else its label.
    std::string text;
};

// The window's shown views as a screen reader is given them, for any bridge to read.
UIAccessibilityElement UIAccessibilityTree(UIWindow& window);
// The view behind an element of that tree: the places of the element and of those above it,
// each among its siblings, from the window's children down; null when there is none.
std::shared_ptr<UIView> UIAccessibilityElementView(UIWindow& window,
                                                   const std::vector<std::size_t>& path);
// What of the tree is read, in the screen's order.
std::vector<UIAccessibilityReading> UIAccessibilityReadingOrder(const UIAccessibilityElement& tree);
