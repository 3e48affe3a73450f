#include "render/Gradient.h"

#include <algorithm>
#include <cmath>

#include "QuartzCore/CAGradientLayer.h"
#include "UIKit/UIColor.h"

namespace render {

namespace {

GradientStop stopForColor(const Ptr<NSObject>& object) {
    if (auto color = as<CGColor>(object)) {
        return {0, color->red(), color->green(), color->blue(), color->alpha()};
    }
    if (auto color = as<UIColor>(object)) {
        return {0, color->red(), color->green(), color->blue(), color->alpha()};
    }
    return {};
}

double finiteOrZero(double value) {
    return std::isfinite(value) ? value : 0;
}

double clampedComponent(double value) {
    return std::isfinite(value) ? std::clamp(value, 0.0, 1.0) : 0;
}

} // namespace

std::vector<GradientStop> gradientStops(const CAGradientLayer& layer) {
    const auto& colors = layer.colors();
    if (!colors) {
        return {};
    }
    const std::vector<double> locations = layer.stopLocations();
    std::vector<GradientStop> stops;
    stops.reserve(colors->count());
    double previous = 0;
    for (std::size_t i = 0; i < colors->count(); ++i) {
        GradientStop stop = stopForColor(colors->objectAtIndex(i));
        const double location = i < locations.size() ? locations[i] : 1.0;
        stop.location =
            std::max(previous, std::isfinite(location) ? std::clamp(location, 0.0, 1.0) : previous);
        stop.red = clampedComponent(stop.red);
        stop.green = clampedComponent(stop.green);
        stop.blue = clampedComponent(stop.blue);
        stop.alpha = clampedComponent(stop.alpha);
        previous = stop.location;
        stops.push_back(stop);
    }
    return stops;
}

UICairoPatternPtr makeGradientPattern(const CAGradientLayer& layer, CGRect area, double alpha) {
    const auto stops = gradientStops(layer);
    if (stops.empty()) {
        return nullptr;
    }
    alpha = clampedComponent(alpha);
    const CGPoint start = layer.startPoint();
    const CGPoint end = layer.endPoint();
    const double x0 = area.origin.x + finiteOrZero(start.x) * area.size.width;
    const double y0 = area.origin.y + finiteOrZero(start.y) * area.size.height;
    const double x1 = area.origin.x + finiteOrZero(end.x) * area.size.width;
    const double y1 = area.origin.y + finiteOrZero(end.y) * area.size.height;
    if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1) ||
        (x0 == x1 && y0 == y1)) {
        const GradientStop& last = stops.back();
        return UICairoPatternPtr(
            cairo_pattern_create_rgba(last.red, last.green, last.blue, last.alpha * alpha));
    }
    UICairoPatternPtr pattern(cairo_pattern_create_linear(x0, y0, x1, y1));
    for (const auto& stop : stops) {
        cairo_pattern_add_color_stop_rgba(pattern.get(), stop.location, stop.red, stop.green, stop.blue,
                                          stop.alpha * alpha);
    }
    // Beyond the end points the end colours continue, as the platform's gradients do.
    cairo_pattern_set_extend(pattern.get(), CAIRO_EXTEND_PAD);
    return pattern;
}

GradientLines gradientLinesOf(const CAGradientLayer& layer) {
    // As makeGradientPattern places the end points: equal unit coordinates give
    // equal coordinates in any area.
    if (finiteOrZero(layer.startPoint().y) == finiteOrZero(layer.endPoint().y)) {
        return GradientLines::RowsAlike;
    }
    if (finiteOrZero(layer.startPoint().x) == finiteOrZero(layer.endPoint().x)) {
        return GradientLines::ColumnsAlike;
    }
    return GradientLines::Differ;
}

} // namespace render
