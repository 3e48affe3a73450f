#pragma once

#include <string_view>

#include "CoreGraphics/CGGeometry.h"
#include "Foundation/NSObject.h"

// Names of the standard pacing curves.
inline constexpr std::string_view kCAMediaTimingFunctionLinear = "linear";
inline constexpr std::string_view kCAMediaTimingFunctionEaseIn = "easeIn";
inline constexpr std::string_view kCAMediaTimingFunctionEaseOut = "easeOut";
inline constexpr std::string_view kCAMediaTimingFunctionEaseInEaseOut = "easeInEaseOut";
inline constexpr std::string_view kCAMediaTimingFunctionDefault = "default";

// The pacing of an animation: a cubic Bezier curve from (0, 0) to (1, 1) whose two
// inner control points shape it. It maps the linear progress of an animation's
// active time to the progress of its value.
//
// The standard curves: linear (0, 0, 1, 1); ease in (0.42, 0, 1, 1); ease out
// (0, 0, 0.58, 1); ease in and out (0.42, 0, 0.58, 1); default (0.25, 0.1, 0.25, 1).
class CAMediaTimingFunction : public NSObject {
public:
    // One of the standard curves by name; nil for a name that is not one of them.
    static Ptr<CAMediaTimingFunction> functionWithName(std::string_view name);
    // A curve with control points (c1x, c1y) and (c2x, c2y). The x coordinates are
    // clamped to [0, 1] so that the curve is a function of progress.
    static Ptr<CAMediaTimingFunction> functionWithControlPoints(float c1x, float c1y, float c2x, float c2y);
    Ptr<CAMediaTimingFunction> initWithControlPoints(float c1x, float c1y, float c2x, float c2y);

    // Control point 0 is (0, 0), 1 and 2 are the inner points, 3 is (1, 1); past 3, (0, 0).
    CGPoint controlPointAtIndex(std::size_t index) const;

    // The value progress at linear progress `progress`, which is clamped to [0, 1]
    // (NaN reads as 0). The result is exact to well below 1e-9 of the curve.
    double evaluate(double progress) const;

    std::string description() const override;

private:
    void setControlPoints(double c1x, double c1y, double c2x, double c2y);

    CGPoint _c1{0, 0};
    CGPoint _c2{1, 1};
};
