#include <cmath>
#include <cstdint>

#include "resources/ImageDesigns.h"
#include "resources/Shapes.h"

using namespace shapes;

namespace {

// A sun setting over a grid horizon.
void drawSunset(cairo_t* cr, double width, double height) {
    const double horizon = height * 0.66;
    cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, horizon);
    addStop(sky, 0, hex(0x140c3a));
    addStop(sky, 0.55, hex(0x5a2470));
    addStop(sky, 1, hex(0xe8645a));
    cairo_set_source(cr, sky);
    cairo_rectangle(cr, 0, 0, width, horizon);
    cairo_fill(cr);
    cairo_pattern_destroy(sky);

    // The sun, cut by bands that widen towards the horizon.
    const double cx = width / 2, cy = horizon - 8, radius = width * 0.3;
    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, width, horizon);
    double bandTop = cy - radius * 0.5, gap = 1.5;
    while (bandTop < horizon) {
        cairo_rectangle(cr, 0, bandTop, width, gap);
        bandTop += gap + 9 - gap * 0.5;
        gap += 1.6;
    }
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_clip(cr);
    cairo_pattern_t* sun = cairo_pattern_create_linear(0, cy - radius, 0, cy + radius);
    addStop(sun, 0, hex(0xffe08a));
    addStop(sun, 0.6, hex(0xff8a5c));
    addStop(sun, 1, hex(0xff4f7b));
    cairo_set_source(cr, sun);
    cairo_arc(cr, cx, cy, radius, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(sun);
    cairo_restore(cr);

    // The ground and its perspective grid.
    cairo_pattern_t* ground = cairo_pattern_create_linear(0, horizon, 0, height);
    addStop(ground, 0, hex(0x2a0f45));
    addStop(ground, 1, hex(0x0b0620));
    cairo_set_source(cr, ground);
    cairo_rectangle(cr, 0, horizon, width, height - horizon);
    cairo_fill(cr);
    cairo_pattern_destroy(ground);

    cairo_save(cr);
    cairo_rectangle(cr, 0, horizon, width, height - horizon);
    cairo_clip(cr);
    cairo_set_line_width(cr, 1.2);
    setColour(cr, hex(0xff5fa2, 0.75));
    for (int line = -12; line <= 12; ++line) {
        cairo_move_to(cr, cx + line * 6, horizon);
        cairo_line_to(cr, cx + line * 60, height);
    }
    for (double depth = 1; depth < 12; depth += 1) {
        const double y = horizon + (height - horizon) * (depth * depth) / 121;
        cairo_move_to(cr, 0, y);
        cairo_line_to(cr, width, y);
    }
    cairo_stroke(cr);
    cairo_restore(cr);

    setColour(cr, hex(0xffc2d6, 0.9));
    cairo_rectangle(cr, 0, horizon - 0.5, width, 1.5);
    cairo_fill(cr);
}

// Primary shapes on paper.
void drawShapes(cairo_t* cr, double width, double height) {
    setColour(cr, hex(0xefe6d2));
    cairo_paint(cr);

    setColour(cr, hex(0xf2b632));
    cairo_move_to(cr, width, 0);
    cairo_arc(cr, width, 0, 130, M_PI / 2, M_PI);
    cairo_close_path(cr);
    cairo_fill(cr);

    setColour(cr, hex(0x1f4e8c));
    cairo_move_to(cr, 150, 300);
    cairo_arc(cr, 225, 300, 75, M_PI, 2 * M_PI);
    cairo_close_path(cr);
    cairo_fill(cr);

    setColour(cr, hex(0xd8412f));
    cairo_arc(cr, 112, 128, 72, 0, 2 * M_PI);
    cairo_fill(cr);

    cairo_save(cr);
    cairo_translate(cr, 150, 150);
    cairo_rotate(cr, -M_PI / 4);
    setColour(cr, hex(0x1b1b1b));
    cairo_rectangle(cr, -150, 44, 300, 14);
    cairo_fill(cr);
    cairo_restore(cr);

    setColour(cr, hex(0x1b1b1b));
    cairo_arc(cr, 238, 196, 13, 0, 2 * M_PI);
    cairo_fill(cr);

    cairo_set_line_width(cr, 3);
    cairo_arc(cr, 112, 128, 92, M_PI * 0.85, M_PI * 1.35);
    cairo_stroke(cr);
}

// Layered waves from deep water up to the light.
void drawWaves(cairo_t* cr, double width, double height) {
    paintLinearGradient(cr, 0, 0, hex(0x06203a), 0, height, hex(0x021022));
    // A low sun behind the waves.
    cairo_pattern_t* glow = cairo_pattern_create_radial(214, 38, 0, 214, 38, 60);
    addStop(glow, 0, hex(0xfff6c8, 0.9));
    addStop(glow, 0.3, hex(0xfff6c8, 0.5));
    addStop(glow, 1, hex(0xfff6c8, 0));
    cairo_set_source(cr, glow);
    cairo_rectangle(cr, 0, 0, width, height);
    cairo_fill(cr);
    cairo_pattern_destroy(glow);
    const Colour layers[] = {hex(0x0d4f6b), hex(0x11708a), hex(0x1b9097), hex(0x3aae9a),
                             hex(0x78c58f), hex(0xbcd97f), hex(0xf4e88a)};
    const int count = sizeof layers / sizeof layers[0];
    for (int layer = 0; layer < count; ++layer) {
        const double baseline = 70 + layer * 34;
        const double amplitude = 16 - layer * 1.2;
        const double wavelength = 210 - layer * 12;
        const double phase = layer * 1.7;
        cairo_move_to(cr, 0, height);
        for (double x = 0; x <= width; x += 2) {
            const double y = baseline + amplitude * std::sin(2 * M_PI * x / wavelength + phase) +
                             amplitude * 0.35 * std::sin(2 * M_PI * x / (wavelength * 0.43) + phase * 2.3);
            cairo_line_to(cr, x, y);
        }
        cairo_line_to(cr, width, height);
        cairo_close_path(cr);
        setColour(cr, layers[layer]);
        cairo_fill(cr);
    }
}

} // namespace

const std::vector<ImageDesign>& demoArtworkDesigns() {
    static const std::vector<ImageDesign> designs = {
        {"demo-artwork-1", 300, 300, drawSunset},
        {"demo-artwork-2", 300, 300, drawShapes},
        {"demo-artwork-3", 300, 300, drawWaves},
    };
    return designs;
}
