#include <cmath>

#include "resources/ImageDesigns.h"
#include "resources/Shapes.h"

using namespace shapes;

void drawAppIcon(cairo_t* cr, double size) {
    cairo_save(cr);
    // The design is laid out on a 256-unit square; the transparent margin keeps it
    // the same visual size as other icons in a launcher.
    cairo_scale(cr, size / 256, size / 256);

    roundedRectangle(cr, 12, 12, 232, 232, 52);
    cairo_save(cr);
    cairo_clip(cr);
    paintLinearGradient(cr, 12, 12, hex(0xff7a59), 244, 244, hex(0x7b3fe4));
    // A soft light from the top keeps the tile from looking flat.
    cairo_pattern_t* light = cairo_pattern_create_radial(90, 40, 0, 90, 40, 220);
    addStop(light, 0, hex(0xffffff, 0.22));
    addStop(light, 1, hex(0xffffff, 0));
    cairo_set_source(cr, light);
    cairo_paint(cr);
    cairo_pattern_destroy(light);
    cairo_restore(cr);

    // The play glyph.
    setColour(cr, hex(0xffffff));
    roundedPolygon(cr, {{100, 58}, {180, 104}, {100, 150}}, 12);
    cairo_fill(cr);

    // A trill beneath it: the wavy line of the musical ornament.
    cairo_set_line_width(cr, 10);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    const double left = 76, right = 180, baseline = 192, amplitude = 9, waves = 3;
    for (double x = left; x <= right; x += 1) {
        const double y = baseline - amplitude * std::sin(2 * M_PI * waves * (x - left) / (right - left));
        if (x == left) {
            cairo_move_to(cr, x, y);
        } else {
            cairo_line_to(cr, x, y);
        }
    }
    setColour(cr, hex(0xffffff, 0.92));
    cairo_stroke(cr);
    cairo_restore(cr);
}
