#pragma once

// Points, sizes and rectangles in points, as the toolkit lays views out.
using CGFloat = double;

struct CGPoint {
    CGFloat x = 0;
    CGFloat y = 0;
    bool operator==(const CGPoint&) const = default;
};

struct CGSize {
    CGFloat width = 0;
    CGFloat height = 0;
    bool operator==(const CGSize&) const = default;
};

struct CGRect {
    CGPoint origin;
    CGSize size;
    bool operator==(const CGRect&) const = default;
};

constexpr CGRect CGRectMake(CGFloat x, CGFloat y, CGFloat width, CGFloat height) {
    return CGRect{{x, y}, {width, height}};
}

constexpr CGFloat CGRectGetMidX(const CGRect& rect) {
    return rect.origin.x + rect.size.width / 2;
}
constexpr CGFloat CGRectGetMidY(const CGRect& rect) {
    return rect.origin.y + rect.size.height / 2;
}
constexpr CGFloat CGRectGetMaxX(const CGRect& rect) {
    return rect.origin.x + rect.size.width;
}
constexpr CGFloat CGRectGetMaxY(const CGRect& rect) {
    return rect.origin.y + rect.size.height;
}

constexpr bool CGRectContainsPoint(const CGRect& rect, CGPoint point) {
    return point.x >= rect.origin.x && point.x < CGRectGetMaxX(rect) && point.y >= rect.origin.y &&
           point.y < CGRectGetMaxY(rect);
}

constexpr bool CGRectContainsRect(const CGRect& rect, const CGRect& inner) {
    return inner.origin.x >= rect.origin.x && CGRectGetMaxX(inner) <= CGRectGetMaxX(rect) &&
           inner.origin.y >= rect.origin.y && CGRectGetMaxY(inner) <= CGRectGetMaxY(rect);
}
