#include "UIKit/UIScrollView.h"

#include "Runtime/ClassRegistry.h"

#include <algorithm>
#include <cmath>

namespace {

const Runtime::Registration registration = Runtime::ClassDeclaration<UIScrollView>("UIScrollView");

// Room kept between a view scrolled into sight and the edge of what shows it, so that what
// labels it (a caption above a field) tends to come along.
constexpr CGFloat visibleMargin = 16;
constexpr CGFloat indicatorWidth = 3;
constexpr CGFloat indicatorInset = 2;
constexpr CGFloat indicatorShortest = 24;
constexpr UIColor indicatorColor{1, 1, 1, 0.45f};

} // namespace

UIScrollView::UIScrollView(CGRect frame) : UIView(frame) {
    setClipsToBounds(true);
}

void UIScrollView::setContentSize(CGSize size) {
    m_contentSize = size;
    setContentOffset(contentOffset());
    showIndicator();
}

void UIScrollView::setContentInset(UIEdgeInsets inset) {
    m_contentInset = inset;
    setContentOffset(contentOffset());
    showIndicator();
}

// The content's top at the top inset's edge, and its bottom at the bottom inset's.
CGFloat UIScrollView::smallestOffset() const {
    return -m_contentInset.top;
}

CGFloat UIScrollView::largestOffset() const {
    return std::max(smallestOffset(),
                    m_contentSize.height + m_contentInset.bottom - frame().size.height);
}

void UIScrollView::setContentOffset(CGPoint offset) {
    const CGFloat y = std::clamp<CGFloat>(std::round(offset.y), smallestOffset(), largestOffset());
    if (y == contentOffset().y)
        return;
    setBoundsOrigin({0, y});
    showIndicator();
}

CGRect UIScrollView::visibleContentRect() const {
    const CGRect shown = bounds();
    return CGRectMake(shown.origin.x, shown.origin.y + m_contentInset.top, shown.size.width,
                      shown.size.height - m_contentInset.top - m_contentInset.bottom);
}

bool UIScrollView::isScrollable() const {
    return largestOffset() > smallestOffset();
}

bool UIScrollView::scrollBy(CGFloat distance) {
    const CGFloat before = contentOffset().y;
    setContentOffset({0, before + distance});
    return contentOffset().y != before;
}

void UIScrollView::scrollRectToVisible(CGRect rect) {
    const CGRect room = visibleContentRect();
    CGFloat offset = contentOffset().y;
    if (CGRectGetMaxY(rect) > CGRectGetMaxY(room))
        offset += CGRectGetMaxY(rect) - CGRectGetMaxY(room);
    if (rect.origin.y < offset + m_contentInset.top)
        offset = rect.origin.y - m_contentInset.top;
    setContentOffset({0, offset});
}

void UIScrollView::scrollViewToVisible(const UIView& view) {
    if (!view.isDescendantOfView(*this))
        return;
    const CGRect frame = view.frameInWindow();
    const CGPoint origin = convertPointFromWindow(frame.origin);
    // What is in sight stays where it is: the content moves only for what is not.
    if (CGRectContainsRect(visibleContentRect(), CGRect{origin, frame.size}))
        return;
    const CGFloat margin = std::clamp<CGFloat>(
        (visibleContentRect().size.height - frame.size.height) / 2, 0, visibleMargin);
    scrollRectToVisible(
        CGRectMake(origin.x, origin.y - margin, frame.size.width, frame.size.height + 2 * margin));
}

void UIScrollView::layoutSubviews() {
    setContentOffset(contentOffset());
    showIndicator();
}

// In proportion: as long as the room is of the content, as far down as the offset is of its
// range; on top of the content, and never touched. Shown only for content taller than the
// view itself: room the insets add (under the keyboard) is no news.
void UIScrollView::showIndicator() {
    if (!m_indicator) {
        m_indicator = std::make_shared<UIView>();
        m_indicator->setBackgroundColor(indicatorColor);
        m_indicator->setUserInteractionEnabled(false);
        m_indicator->layer().setCornerRadius(indicatorWidth / 2);
        m_indicator->setAccessibilityIdentifier("scrollIndicator");
    }
    if (subviews().empty() || subviews().back() != m_indicator)
        addSubview(m_indicator);
    const bool scrollable = isScrollable() && m_contentSize.height > frame().size.height;
    if (m_indicator->isHidden() == scrollable)
        m_indicator->setHidden(!scrollable);
    if (!scrollable) {
        m_indicator->setFrame({});
        return;
    }
    const CGRect room = visibleContentRect();
    const CGFloat track = room.size.height - 2 * indicatorInset;
    const CGFloat length = std::max(
        indicatorShortest, track * room.size.height / std::max<CGFloat>(m_contentSize.height, 1));
    const CGFloat along = (track - length) * (contentOffset().y - smallestOffset()) /
                          (largestOffset() - smallestOffset());
    m_indicator->setFrame(CGRectMake(room.size.width - indicatorInset - indicatorWidth,
                                     room.origin.y + indicatorInset + along, indicatorWidth,
                                     length));
}

std::shared_ptr<UIScrollView> UIScrollViewEnclosing(const UIView& view) {
    for (auto parent = view.superview(); parent; parent = parent->superview())
        if (auto scrollView = std::dynamic_pointer_cast<UIScrollView>(parent))
            return scrollView;
    return nullptr;
}
