#pragma once

#include <vector>

#include "CoreGraphics/CGGeometry.h"
#include "UIKit/UIGraphicsHandles.h"

class CAGradientLayer;

namespace render {

// One colour stop of a gradient, premultiplication left to Cairo.
struct GradientStop {
    double location = 0;
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 0;
};

// The stops `layer` draws: one per colour that is a platform colour (a CGColor or
// a UIColor; anything else counts as clear), at locations clamped to [0, 1] and
// never decreasing, so that stops given out of order still draw a gradient.
std::vector<GradientStop> gradientStops(const CAGradientLayer& layer);

// The pattern that paints `layer`'s gradient over `area` (the layer's bounds as
// they lie in the current user space), each stop's alpha multiplied by `alpha`.
// nil when there is nothing to paint (no colours). Start and end points are unit
// coordinates of `area`; a coordinate that is not finite counts as 0, and equal
// points paint the last colour.
UICairoPatternPtr makeGradientPattern(const CAGradientLayer& layer, CGRect area, double alpha);

// Which lines of the area makeGradientPattern paints are all alike: every row (the
// colours change from left to right only, or not at all), every column, or neither.
enum class GradientLines { Differ, RowsAlike, ColumnsAlike };
GradientLines gradientLinesOf(const CAGradientLayer& layer);

} // namespace render
