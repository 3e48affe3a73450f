#include "resources/Shapes.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace shapes {

Colour hex(unsigned rgb, double alpha) {
    return {((rgb >> 16) & 0xff) / 255.0, ((rgb >> 8) & 0xff) / 255.0, (rgb & 0xff) / 255.0, alpha};
}

void setColour(cairo_t* cr, Colour colour) {
    cairo_set_source_rgba(cr, colour.red, colour.green, colour.blue, colour.alpha);
}

void addStop(cairo_pattern_t* pattern, double offset, Colour colour) {
    cairo_pattern_add_color_stop_rgba(pattern, offset, colour.red, colour.green, colour.blue, colour.alpha);
}

void roundedRectangle(cairo_t* cr, double x, double y, double width, double height, double radius) {
    radius = std::clamp(radius, 0.0, std::min(width, height) / 2);
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + width - radius, y + radius, radius, -M_PI / 2, 0);
    cairo_arc(cr, x + width - radius, y + height - radius, radius, 0, M_PI / 2);
    cairo_arc(cr, x + radius, y + height - radius, radius, M_PI / 2, M_PI);
    cairo_arc(cr, x + radius, y + radius, radius, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void roundedPolygon(cairo_t* cr, std::initializer_list<Point> corners, double radius) {
    std::vector<Point> points(corners);
    const size_t count = points.size();
    if (count < 3) {
        return;
    }
    cairo_new_sub_path(cr);
    for (size_t i = 0; i < count; ++i) {
        const Point previous = points[(i + count - 1) % count];
        const Point corner = points[i];
        const Point next = points[(i + 1) % count];
        double inX = previous.x - corner.x, inY = previous.y - corner.y;
        double outX = next.x - corner.x, outY = next.y - corner.y;
        const double inLength = std::hypot(inX, inY), outLength = std::hypot(outX, outY);
        inX /= inLength, inY /= inLength, outX /= outLength, outY /= outLength;
        const double angle = std::acos(std::clamp(inX * outX + inY * outY, -1.0, 1.0));
        // Keep each tangent point within half of its edge so neighbouring corners never overlap.
        const double tangent = std::min(radius / std::tan(angle / 2), std::min(inLength, outLength) / 2);
        const double fitted = tangent * std::tan(angle / 2);
        double bisectorX = inX + outX, bisectorY = inY + outY;
        const double bisectorLength = std::hypot(bisectorX, bisectorY);
        bisectorX /= bisectorLength, bisectorY /= bisectorLength;
        const double centreDistance = fitted / std::sin(angle / 2);
        const double centreX = corner.x + bisectorX * centreDistance;
        const double centreY = corner.y + bisectorY * centreDistance;
        const double startAngle =
            std::atan2(corner.y + inY * tangent - centreY, corner.x + inX * tangent - centreX);
        const double endAngle =
            std::atan2(corner.y + outY * tangent - centreY, corner.x + outX * tangent - centreX);
        // The turn direction at this corner decides which way round the arc goes.
        const double turn =
            (corner.x - previous.x) * (next.y - corner.y) - (corner.y - previous.y) * (next.x - corner.x);
        if (turn > 0) {
            cairo_arc(cr, centreX, centreY, fitted, startAngle, endAngle);
        } else {
            cairo_arc_negative(cr, centreX, centreY, fitted, startAngle, endAngle);
        }
    }
    cairo_close_path(cr);
}

void paintLinearGradient(cairo_t* cr, double x0, double y0, Colour from, double x1, double y1, Colour to) {
    cairo_pattern_t* gradient = cairo_pattern_create_linear(x0, y0, x1, y1);
    addStop(gradient, 0, from);
    addStop(gradient, 1, to);
    cairo_set_source(cr, gradient);
    cairo_paint(cr);
    cairo_pattern_destroy(gradient);
}

} // namespace shapes
