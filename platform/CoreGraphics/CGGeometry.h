#pragma once

#include <limits>

// Geometry records of the platform: points, sizes and rectangles in points.
// CGFloat is double precision, as on 64-bit devices.
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
};

struct CGAffineTransform {
    CGFloat a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
    bool operator==(const CGAffineTransform&) const = default;
};

inline constexpr CGFloat CGFLOAT_MAX = std::numeric_limits<CGFloat>::max();

extern const CGPoint CGPointZero;
extern const CGSize CGSizeZero;
extern const CGRect CGRectZero;
// The null rectangle: an origin at infinity. It stays null under offset, inset and integral.
extern const CGRect CGRectNull;
extern const CGAffineTransform CGAffineTransformIdentity;

inline CGPoint CGPointMake(CGFloat x, CGFloat y) {
    return {x, y};
}
inline CGSize CGSizeMake(CGFloat width, CGFloat height) {
    return {width, height};
}
inline CGRect CGRectMake(CGFloat x, CGFloat y, CGFloat width, CGFloat height) {
    return {{x, y}, {width, height}};
}

// The rectangle with a non-negative size covering the same area.
CGRect CGRectStandardize(CGRect rect);
bool CGRectIsNull(CGRect rect);
bool CGRectIsEmpty(CGRect rect);
CGFloat CGRectGetMinX(CGRect rect);
CGFloat CGRectGetMidX(CGRect rect);
CGFloat CGRectGetMaxX(CGRect rect);
CGFloat CGRectGetMinY(CGRect rect);
CGFloat CGRectGetMidY(CGRect rect);
CGFloat CGRectGetMaxY(CGRect rect);
CGFloat CGRectGetWidth(CGRect rect);
CGFloat CGRectGetHeight(CGRect rect);
// The smallest rectangle with whole-number origin and size containing `rect`:
// the origin is rounded down and the far edges up. Null stays null.
CGRect CGRectIntegral(CGRect rect);
// `rect` moved by (dx, dy). Null stays null.
CGRect CGRectOffset(CGRect rect, CGFloat dx, CGFloat dy);
// `rect` shrunk by dx on the left and right and dy on the top and bottom; a rectangle
// that would get a negative size becomes null. Null stays null.
CGRect CGRectInset(CGRect rect, CGFloat dx, CGFloat dy);
CGRect CGRectUnion(CGRect a, CGRect b);
CGRect CGRectIntersection(CGRect a, CGRect b);
bool CGRectContainsPoint(CGRect rect, CGPoint point);
bool CGRectEqualToRect(CGRect a, CGRect b);
bool CGSizeEqualToSize(CGSize a, CGSize b);
bool CGPointEqualToPoint(CGPoint a, CGPoint b);
