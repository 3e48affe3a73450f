#include <gtest/gtest.h>

#include <cmath>

#include "QuartzCore/CAMediaTimingFunction.h"

namespace {

// The y of the cubic Bezier (0,0) (x1,y1) (x2,y2) (1,1) where its x is `x`, found by
// bisection on the curve's parameter.
double referenceCurve(double x1, double y1, double x2, double y2, double x) {
    const auto bezier = [](double a, double b, double t) {
        return 3 * (1 - t) * (1 - t) * t * a + 3 * (1 - t) * t * t * b + t * t * t;
    };
    double low = 0, high = 1;
    for (int i = 0; i < 60; ++i) {
        const double t = (low + high) / 2;
        (bezier(x1, x2, t) < x ? low : high) = t;
    }
    return bezier(y1, y2, (low + high) / 2);
}

TEST(CAMediaTimingFunction, NamedCurvesFollowTheirBezierAndClampProgress) {
    const struct {
        std::string_view name;
        double x1, y1, x2, y2;
    } curves[] = {
        {kCAMediaTimingFunctionEaseInEaseOut, 0.42, 0, 0.58, 1},
        {kCAMediaTimingFunctionEaseIn, 0.42, 0, 1, 1},
        {kCAMediaTimingFunctionEaseOut, 0, 0, 0.58, 1},
        {kCAMediaTimingFunctionLinear, 0, 0, 1, 1},
        {kCAMediaTimingFunctionDefault, 0.25, 0.1, 0.25, 1},
    };
    for (const auto& [name, x1, y1, x2, y2] : curves) {
        SCOPED_TRACE(std::string(name));
        const auto function = CAMediaTimingFunction::functionWithName(name);
        ASSERT_TRUE(function);
        for (int i = 0; i <= 100; ++i) {
            EXPECT_NEAR(function->evaluate(i / 100.0), referenceCurve(x1, y1, x2, y2, i / 100.0), 1e-5) << i;
        }
        EXPECT_EQ(function->evaluate(-3), 0);
        EXPECT_EQ(function->evaluate(7), 1);
        EXPECT_EQ(function->evaluate(std::nan("")), 0);
    }
    EXPECT_FALSE(CAMediaTimingFunction::functionWithName("bounce"));
}

} // namespace
