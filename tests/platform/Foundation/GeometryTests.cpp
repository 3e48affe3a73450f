#include <gtest/gtest.h>

#include "CoreGraphics/CGGeometry.h"

namespace {

TEST(GeometryTest, IntegralCoversTheFarEdgesAndNullStaysNull) {
    // The far edge is rounded up, not the width: 0.5 + 10.2 = 10.7 reaches 11. A
    // negative size is standardised first.
    for (const auto& [rect, integral] :
         {std::pair{CGRectMake(0.5, 1.5, 10.2, 3.2), CGRectMake(0, 1, 11, 4)},
          std::pair{CGRectMake(10.5, -1.2, -5.2, 0.4), CGRectMake(5, -2, 6, 2)}}) {
        EXPECT_EQ(CGRectIntegral(rect).origin, integral.origin);
        EXPECT_EQ(CGRectIntegral(rect).size, integral.size);
    }
    const CGRect square = CGRectMake(0, 0, 10, 10);
    for (const CGRect rect :
         {CGRectIntegral(CGRectNull), CGRectOffset(CGRectNull, 10, 10),
          CGRectIntersection(square, CGRectMake(50, 50, 1, 1)), CGRectInset(CGRectMake(0, 0, 3, 70), 2, 0)}) {
        EXPECT_TRUE(CGRectIsNull(rect));
    }
    EXPECT_TRUE(CGRectEqualToRect(CGRectUnion(CGRectNull, square), square));
}

} // namespace
