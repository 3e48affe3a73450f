#pragma once

#include <cairo.h>

#include <initializer_list>

// Path and paint helpers shared by the image designs. All take points.
namespace shapes {

struct Point {
    double x = 0;
    double y = 0;
};

struct Colour {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1;
};

// A colour from a 0xRRGGBB value with the given opacity.
Colour hex(unsigned rgb, double alpha = 1);

void setColour(cairo_t* cr, Colour colour);
void addStop(cairo_pattern_t* pattern, double offset, Colour colour);

// Adds a closed rectangle with circular corners of `radius` (clamped to half the
// shorter side) as a new sub-path.
void roundedRectangle(cairo_t* cr, double x, double y, double width, double height, double radius);

// Adds a closed convex polygon whose corners are rounded with `radius` as a new
// sub-path. Corners too sharp for the radius get the largest radius that fits.
void roundedPolygon(cairo_t* cr, std::initializer_list<Point> corners, double radius);

// Fills the current clip with a linear gradient from `from` at (x0, y0) to `to` at (x1, y1).
void paintLinearGradient(cairo_t* cr, double x0, double y0, Colour from, double x1, double y1, Colour to);

} // namespace shapes
