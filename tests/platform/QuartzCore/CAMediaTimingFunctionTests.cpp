#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "QuartzCore/CAMediaTimingFunction.h"

namespace {

// The y of the cubic Bezier (0,0) (x1,y1) (x2,y2) (1,1) at each of `xs` (ascending),
// found by walking the parametric curve finely and interpolating between samples.
std::vector<double> referenceCurve(double x1, double y1, double x2, double y2,
                                   const std::vector<double>& xs) {
    const auto point = [&](double t) {
        const double u = 1 - t;
        return std::pair{3 * u * u * t * x1 + 3 * u * t * t * x2 + t * t * t,
                         3 * u * u * t * y1 + 3 * u * t * t * y2 + t * t * t};
    };
    constexpr int kSteps = 200000;
    std::vector<double> ys;
    auto previous = point(0);
    int step = 0;
    for (double x : xs) {
        auto next = point(static_cast<double>(step) / kSteps);
        while (next.first < x && step < kSteps) {
            previous = next;
            next = point(static_cast<double>(++step) / kSteps);
        }
        const double span = next.first - previous.first;
        const double share = span > 0 ? (x - previous.first) / span : 0;
        ys.push_back(previous.second + (next.second - previous.second) * share);
    }
    return ys;
}

double referenceCurve(double x1, double y1, double x2, double y2, double x) {
    return referenceCurve(x1, y1, x2, y2, std::vector<double>{x}).front();
}

struct NamedCurve {
    std::string_view name;
    double x1, y1, x2, y2;
};

TEST(CAMediaTimingFunction, StandardCurvesMatchTheirBezierDefinitions) {
    const NamedCurve curves[] = {
        {kCAMediaTimingFunctionEaseInEaseOut, 0.42, 0, 0.58, 1},
        {kCAMediaTimingFunctionEaseIn, 0.42, 0, 1, 1},
        {kCAMediaTimingFunctionEaseOut, 0, 0, 0.58, 1},
        {kCAMediaTimingFunctionLinear, 0, 0, 1, 1},
        {kCAMediaTimingFunctionDefault, 0.25, 0.1, 0.25, 1},
    };
    for (const auto& curve : curves) {
        SCOPED_TRACE(std::string(curve.name));
        const auto function = CAMediaTimingFunction::functionWithName(curve.name);
        ASSERT_TRUE(function);
        std::vector<double> xs;
        for (int i = 0; i <= 100; ++i) {
            xs.push_back(i / 100.0);
        }
        const auto ys = referenceCurve(curve.x1, curve.y1, curve.x2, curve.y2, xs);
        for (std::size_t i = 0; i < xs.size(); ++i) {
            EXPECT_NEAR(function->evaluate(xs[i]), ys[i], 1e-5) << "at " << xs[i];
        }
    }
}

TEST(CAMediaTimingFunction, KnownPointsAndShape) {
    const auto easeInOut = CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionEaseInEaseOut);
    const auto easeIn = CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionEaseIn);
    const auto easeOut = CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionEaseOut);
    EXPECT_NEAR(easeInOut->evaluate(0.5), 0.5, 1e-9);
    // Symmetric curves mirror each other.
    for (double x : {0.1, 0.3, 0.7, 0.9}) {
        EXPECT_NEAR(easeIn->evaluate(x), 1 - easeOut->evaluate(1 - x), 1e-9);
        EXPECT_NEAR(easeInOut->evaluate(x), 1 - easeInOut->evaluate(1 - x), 1e-9);
    }
    EXPECT_LT(easeIn->evaluate(0.5), 0.5);
    EXPECT_GT(easeOut->evaluate(0.5), 0.5);
    EXPECT_DOUBLE_EQ(CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionLinear)->evaluate(0.37),
                     0.37);
}

TEST(CAMediaTimingFunction, ProgressOutsideTheUnitIntervalIsClamped) {
    const auto easeIn = CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionEaseIn);
    EXPECT_EQ(easeIn->evaluate(-3), 0);
    EXPECT_EQ(easeIn->evaluate(7), 1);
    EXPECT_EQ(easeIn->evaluate(std::nan("")), 0);
    EXPECT_EQ(easeIn->evaluate(0), 0);
    EXPECT_EQ(easeIn->evaluate(1), 1);
}

TEST(CAMediaTimingFunction, CustomPointsAreClampedIntoAFunction) {
    const auto steep = CAMediaTimingFunction::functionWithControlPoints(1.5f, 0.0f, -0.5f, 1.0f);
    EXPECT_EQ(steep->controlPointAtIndex(1).x, 1.0);
    EXPECT_EQ(steep->controlPointAtIndex(2).x, 0.0);
    EXPECT_EQ(steep->controlPointAtIndex(3), (CGPoint{1, 1}));
    double previous = 0;
    for (int i = 0; i <= 50; ++i) {
        const double y = steep->evaluate(i / 50.0);
        EXPECT_GE(y, previous - 1e-9);
        previous = y;
    }
    EXPECT_NEAR(steep->evaluate(0.5), referenceCurve(1, 0, 0, 1, 0.5), 1e-5);
    // Overshooting curves go past 1 on the way, as their y control asks.
    const auto overshoot = CAMediaTimingFunction::functionWithControlPoints(0.3f, 1.6f, 0.6f, 1.0f);
    EXPECT_GT(overshoot->evaluate(0.6), 1.0);
}

TEST(CAMediaTimingFunction, UnknownNameGivesNil) {
    EXPECT_FALSE(CAMediaTimingFunction::functionWithName("bounce"));
}

} // namespace
