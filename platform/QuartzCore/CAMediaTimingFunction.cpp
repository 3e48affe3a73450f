#include "QuartzCore/CAMediaTimingFunction.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// One coordinate of the cubic Bezier curve with end points 0 and 1 and inner
// control values a and b, at parameter t.
double bezier(double a, double b, double t) {
    const double u = 1 - t;
    return 3 * u * u * t * a + 3 * u * t * t * b + t * t * t;
}

double bezierSlope(double a, double b, double t) {
    const double u = 1 - t;
    return 3 * u * u * a + 6 * u * t * (b - a) + 3 * t * t * (1 - b);
}

} // namespace

Ptr<CAMediaTimingFunction> CAMediaTimingFunction::functionWithName(std::string_view name) {
    // Built from doubles (not the float factory) so that the standard curves are exact.
    auto function = alloc<CAMediaTimingFunction>();
    function->NSObject::init();
    if (name == kCAMediaTimingFunctionLinear) {
        function->setControlPoints(0, 0, 1, 1);
    } else if (name == kCAMediaTimingFunctionEaseIn) {
        function->setControlPoints(0.42, 0, 1, 1);
    } else if (name == kCAMediaTimingFunctionEaseOut) {
        function->setControlPoints(0, 0, 0.58, 1);
    } else if (name == kCAMediaTimingFunctionEaseInEaseOut) {
        function->setControlPoints(0.42, 0, 0.58, 1);
    } else if (name == kCAMediaTimingFunctionDefault) {
        function->setControlPoints(0.25, 0.1, 0.25, 1);
    } else {
        return nullptr;
    }
    return function;
}

Ptr<CAMediaTimingFunction> CAMediaTimingFunction::functionWithControlPoints(float c1x, float c1y, float c2x,
                                                                            float c2y) {
    return alloc<CAMediaTimingFunction>()->initWithControlPoints(c1x, c1y, c2x, c2y);
}

Ptr<CAMediaTimingFunction> CAMediaTimingFunction::initWithControlPoints(float c1x, float c1y, float c2x,
                                                                        float c2y) {
    NSObject::init();
    setControlPoints(c1x, c1y, c2x, c2y);
    return self<CAMediaTimingFunction>();
}

void CAMediaTimingFunction::setControlPoints(double c1x, double c1y, double c2x, double c2y) {
    const auto clampUnit = [](double x) { return std::isnan(x) ? 0.0 : std::clamp(x, 0.0, 1.0); };
    const auto finite = [](double y) { return std::isfinite(y) ? y : 0.0; };
    _c1 = {clampUnit(c1x), finite(c1y)};
    _c2 = {clampUnit(c2x), finite(c2y)};
}

CGPoint CAMediaTimingFunction::controlPointAtIndex(std::size_t index) const {
    switch (index) {
    case 1:
        return _c1;
    case 2:
        return _c2;
    case 3:
        return {1, 1};
    default:
        return {0, 0};
    }
}

double CAMediaTimingFunction::evaluate(double progress) const {
    if (std::isnan(progress) || progress <= 0) {
        return 0;
    }
    if (progress >= 1) {
        return 1;
    }
    // A curve whose control points lie on the diagonal is the identity.
    if (_c1.x == _c1.y && _c2.x == _c2.y) {
        return progress;
    }
    // Find the curve parameter whose x is `progress`: Newton's method from a good
    // start, then bisection (x is monotonic in t because the x controls are in [0, 1])
    // when Newton does not settle.
    constexpr double kTolerance = 1e-12;
    double t = progress;
    bool settled = false;
    for (int i = 0; i < 8; ++i) {
        const double error = bezier(_c1.x, _c2.x, t) - progress;
        if (std::abs(error) < kTolerance) {
            settled = true;
            break;
        }
        const double slope = bezierSlope(_c1.x, _c2.x, t);
        if (std::abs(slope) < 1e-9) {
            break;
        }
        t -= error / slope;
        if (t < 0 || t > 1) {
            break;
        }
    }
    if (!settled) {
        double low = 0;
        double high = 1;
        t = progress;
        for (int i = 0; i < 100 && high - low > kTolerance; ++i) {
            t = (low + high) / 2;
            if (bezier(_c1.x, _c2.x, t) < progress) {
                low = t;
            } else {
                high = t;
            }
        }
        t = (low + high) / 2;
    }
    return bezier(_c1.y, _c2.y, t);
}

std::string CAMediaTimingFunction::description() const {
    char text[96];
    std::snprintf(text, sizeof text, "<CAMediaTimingFunction: (%g, %g) (%g, %g)>", _c1.x, _c1.y, _c2.x,
                  _c2.y);
    return text;
}
