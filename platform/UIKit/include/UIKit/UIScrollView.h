#pragma once

#include "UIKit/UIGeometry.h"
#include "UIKit/UIView.h"

#include <memory>

// A view that shows part of content taller than itself, from its content offset down, and
// clips the rest; a drag, the wheel and keys move it. Its insets are room the content may
// also scroll into, beside what lies over the view's edges (the keyboard over its bottom).
// While the content does not fit, a slim indicator on its right edge says where it is.
class UIScrollView : public UIView {
  public:
    explicit UIScrollView(CGRect frame = {});

    CGSize contentSize() const { return m_contentSize; }
    void setContentSize(CGSize size);
    CGPoint contentOffset() const { return bounds().origin; }
    // Kept within the range that the content and the insets allow.
    void setContentOffset(CGPoint offset);
    UIEdgeInsets contentInset() const { return m_contentInset; }
    void setContentInset(UIEdgeInsets inset);

    // The part of the content shown and not under the insets, in content coordinates.
    CGRect visibleContentRect() const;
    // Whether any of the content lies outside that part.
    bool isScrollable() const;
    // Moves the content up by a distance (down when negative), within its range; false when
    // it could not move.
    bool scrollBy(CGFloat distance);
    // Moves as little as it takes to show a rectangle of the content wholly, or its top when
    // it is taller than the room.
    void scrollRectToVisible(CGRect rect);
    // The same for a view inside, with a margin around it where there is room for one.
    void scrollViewToVisible(const UIView& view);

    void layoutSubviews() override;

  private:
    CGFloat smallestOffset() const;
    CGFloat largestOffset() const;
    void showIndicator();

    CGSize m_contentSize;
    UIEdgeInsets m_contentInset;
    std::shared_ptr<UIView> m_indicator;
};

// The scroll view holding a view, if any does.
std::shared_ptr<UIScrollView> UIScrollViewEnclosing(const UIView& view);
