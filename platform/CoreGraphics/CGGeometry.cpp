#include "CoreGraphics/CGGeometry.h"

#include <algorithm>
#include <cmath>

const CGPoint CGPointZero{};
const CGSize CGSizeZero{};
const CGRect CGRectZero{};
const CGRect CGRectNull{{std::numeric_limits<CGFloat>::infinity(), std::numeric_limits<CGFloat>::infinity()},
                        {0, 0}};
const CGAffineTransform CGAffineTransformIdentity{};

CGRect CGRectStandardize(CGRect rect) {
    if (CGRectIsNull(rect)) {
        return rect;
    }
    if (rect.size.width < 0) {
        rect.origin.x += rect.size.width;
        rect.size.width = -rect.size.width;
    }
    if (rect.size.height < 0) {
        rect.origin.y += rect.size.height;
        rect.size.height = -rect.size.height;
    }
    return rect;
}

bool CGRectIsNull(CGRect rect) {
    return std::isinf(rect.origin.x) || std::isinf(rect.origin.y);
}

bool CGRectIsEmpty(CGRect rect) {
    return CGRectIsNull(rect) || rect.size.width == 0 || rect.size.height == 0;
}

CGFloat CGRectGetMinX(CGRect rect) {
    return CGRectStandardize(rect).origin.x;
}
CGFloat CGRectGetMaxX(CGRect rect) {
    rect = CGRectStandardize(rect);
    return rect.origin.x + rect.size.width;
}
CGFloat CGRectGetMidX(CGRect rect) {
    rect = CGRectStandardize(rect);
    return rect.origin.x + rect.size.width / 2;
}
CGFloat CGRectGetMinY(CGRect rect) {
    return CGRectStandardize(rect).origin.y;
}
CGFloat CGRectGetMaxY(CGRect rect) {
    rect = CGRectStandardize(rect);
    return rect.origin.y + rect.size.height;
}
CGFloat CGRectGetMidY(CGRect rect) {
    rect = CGRectStandardize(rect);
    return rect.origin.y + rect.size.height / 2;
}
CGFloat CGRectGetWidth(CGRect rect) {
    return std::fabs(rect.size.width);
}
CGFloat CGRectGetHeight(CGRect rect) {
    return std::fabs(rect.size.height);
}

CGRect CGRectIntegral(CGRect rect) {
    if (CGRectIsNull(rect)) {
        return CGRectNull;
    }
    rect = CGRectStandardize(rect);
    const CGFloat minX = std::floor(rect.origin.x);
    const CGFloat minY = std::floor(rect.origin.y);
    const CGFloat maxX = std::ceil(rect.origin.x + rect.size.width);
    const CGFloat maxY = std::ceil(rect.origin.y + rect.size.height);
    return CGRectMake(minX, minY, maxX - minX, maxY - minY);
}

CGRect CGRectOffset(CGRect rect, CGFloat dx, CGFloat dy) {
    if (CGRectIsNull(rect)) {
        return CGRectNull;
    }
    rect = CGRectStandardize(rect);
    rect.origin.x += dx;
    rect.origin.y += dy;
    return rect;
}

CGRect CGRectInset(CGRect rect, CGFloat dx, CGFloat dy) {
    if (CGRectIsNull(rect)) {
        return CGRectNull;
    }
    rect = CGRectStandardize(rect);
    rect.origin.x += dx;
    rect.origin.y += dy;
    rect.size.width -= 2 * dx;
    rect.size.height -= 2 * dy;
    if (rect.size.width < 0 || rect.size.height < 0) {
        return CGRectNull;
    }
    return rect;
}

CGRect CGRectUnion(CGRect a, CGRect b) {
    if (CGRectIsNull(a)) {
        return CGRectStandardize(b);
    }
    if (CGRectIsNull(b)) {
        return CGRectStandardize(a);
    }
    const CGFloat minX = std::min(CGRectGetMinX(a), CGRectGetMinX(b));
    const CGFloat minY = std::min(CGRectGetMinY(a), CGRectGetMinY(b));
    const CGFloat maxX = std::max(CGRectGetMaxX(a), CGRectGetMaxX(b));
    const CGFloat maxY = std::max(CGRectGetMaxY(a), CGRectGetMaxY(b));
    return CGRectMake(minX, minY, maxX - minX, maxY - minY);
}

CGRect CGRectIntersection(CGRect a, CGRect b) {
    if (CGRectIsNull(a) || CGRectIsNull(b)) {
        return CGRectNull;
    }
    const CGFloat minX = std::max(CGRectGetMinX(a), CGRectGetMinX(b));
    const CGFloat minY = std::max(CGRectGetMinY(a), CGRectGetMinY(b));
    const CGFloat maxX = std::min(CGRectGetMaxX(a), CGRectGetMaxX(b));
    const CGFloat maxY = std::min(CGRectGetMaxY(a), CGRectGetMaxY(b));
    if (maxX < minX || maxY < minY) {
        return CGRectNull;
    }
    return CGRectMake(minX, minY, maxX - minX, maxY - minY);
}

bool CGRectContainsPoint(CGRect rect, CGPoint point) {
    if (CGRectIsNull(rect)) {
        return false;
    }
    rect = CGRectStandardize(rect);
    return point.x >= rect.origin.x && point.x < rect.origin.x + rect.size.width &&
           point.y >= rect.origin.y && point.y < rect.origin.y + rect.size.height;
}

bool CGRectEqualToRect(CGRect a, CGRect b) {
    if (CGRectIsNull(a) || CGRectIsNull(b)) {
        return CGRectIsNull(a) && CGRectIsNull(b);
    }
    a = CGRectStandardize(a);
    b = CGRectStandardize(b);
    return a.origin == b.origin && a.size == b.size;
}

bool CGSizeEqualToSize(CGSize a, CGSize b) {
    return a == b;
}
bool CGPointEqualToPoint(CGPoint a, CGPoint b) {
    return a == b;
}
