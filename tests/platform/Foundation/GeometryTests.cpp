#include <gtest/gtest.h>

#include "CoreGraphics/CGGeometry.h"

namespace {

void expectRect(CGRect rect, CGFloat x, CGFloat y, CGFloat width, CGFloat height) {
    EXPECT_DOUBLE_EQ(rect.origin.x, x);
    EXPECT_DOUBLE_EQ(rect.origin.y, y);
    EXPECT_DOUBLE_EQ(rect.size.width, width);
    EXPECT_DOUBLE_EQ(rect.size.height, height);
}

TEST(GeometryTest, IntegralFloorsOriginAndCeilsFarEdges) {
    // The far edge is rounded up, not the width: 0.5 + 10.2 = 10.7 reaches 11.
    expectRect(CGRectIntegral(CGRectMake(0.5, 1.5, 10.2, 3.2)), 0, 1, 11, 4);
    expectRect(CGRectIntegral(CGRectMake(-0.5, -1.2, 1.0, 0.4)), -1, -2, 2, 2);
    expectRect(CGRectIntegral(CGRectMake(20, 0, 420, 20)), 20, 0, 420, 20);
    // A negative size is standardised first.
    expectRect(CGRectIntegral(CGRectMake(10.5, 0, -5.2, 1)), 5, 0, 6, 1);
    // The marquee's 100.2-point text rounds up to 101 wide.
    expectRect(CGRectIntegral(CGRectMake(20, 0, 100.2, 20)), 20, 0, 101, 20);
}

TEST(GeometryTest, NullRectangleStaysNull) {
    EXPECT_TRUE(CGRectIsNull(CGRectNull));
    EXPECT_FALSE(CGRectIsNull(CGRectZero));
    EXPECT_TRUE(CGRectIsEmpty(CGRectNull));
    EXPECT_TRUE(CGRectIsNull(CGRectIntegral(CGRectNull)));
    EXPECT_TRUE(CGRectIsNull(CGRectOffset(CGRectNull, 10, 10)));
    EXPECT_TRUE(CGRectIsNull(CGRectInset(CGRectNull, -5, -5)));
    EXPECT_TRUE(CGRectEqualToRect(CGRectNull, CGRectNull));
    EXPECT_FALSE(CGRectEqualToRect(CGRectNull, CGRectZero));
    EXPECT_FALSE(CGRectContainsPoint(CGRectNull, CGPointZero));
    // Null is the identity of union and absorbs intersection.
    expectRect(CGRectUnion(CGRectNull, CGRectMake(1, 2, 3, 4)), 1, 2, 3, 4);
    EXPECT_TRUE(CGRectIsNull(CGRectIntersection(CGRectNull, CGRectMake(0, 0, 10, 10))));
    EXPECT_TRUE(CGRectIsNull(CGRectIntersection(CGRectMake(0, 0, 1, 1), CGRectMake(5, 5, 1, 1))));
}

TEST(GeometryTest, OffsetAndInset) {
    expectRect(CGRectOffset(CGRectMake(20, 0, 420, 20), -140, 0), -120, 0, 420, 20);
    // The background view's inset: 2 points off each side, full height.
    expectRect(CGRectInset(CGRectMake(0, 0, 320, 70), 2, 0), 2, 0, 316, 70);
    expectRect(CGRectInset(CGRectMake(0, 0, 10, 10), -1, -2), -1, -2, 12, 14);
    // Insetting past the middle leaves no rectangle.
    EXPECT_TRUE(CGRectIsNull(CGRectInset(CGRectMake(0, 0, 3, 70), 2, 0)));
    expectRect(CGRectInset(CGRectMake(0, 0, 4, 70), 2, 0), 2, 0, 0, 70);
}

TEST(GeometryTest, ReadingsAndEquality) {
    const CGRect frame = CGRectMake(110, 10, 200, 20);
    EXPECT_DOUBLE_EQ(CGRectGetMidY(frame), 20);
    EXPECT_DOUBLE_EQ(CGRectGetMidX(frame), 210);
    EXPECT_DOUBLE_EQ(CGRectGetMaxX(frame), 310);
    // Readings standardise a negative size.
    const CGRect flipped = CGRectMake(10, 10, -4, -6);
    EXPECT_DOUBLE_EQ(CGRectGetMinX(flipped), 6);
    EXPECT_DOUBLE_EQ(CGRectGetMaxY(flipped), 10);
    EXPECT_DOUBLE_EQ(CGRectGetWidth(flipped), 4);
    EXPECT_TRUE(CGRectEqualToRect(flipped, CGRectMake(6, 4, 4, 6)));
    EXPECT_FALSE(CGRectEqualToRect(frame, CGRectMake(110, 10, 200, 21)));
    EXPECT_TRUE(CGSizeEqualToSize(CGSizeMake(320, 105), CGSizeMake(320, 105)));
    EXPECT_FALSE(CGSizeEqualToSize(CGSizeMake(320, 105), CGSizeMake(105, 320)));
    // Containment is half-open: the far edges are outside.
    EXPECT_TRUE(CGRectContainsPoint(CGRectMake(0, 0, 10, 10), CGPointMake(0, 0)));
    EXPECT_FALSE(CGRectContainsPoint(CGRectMake(0, 0, 10, 10), CGPointMake(10, 5)));
    EXPECT_TRUE(CGRectIsEmpty(CGRectMake(5, 5, 0, 10)));
}

} // namespace
