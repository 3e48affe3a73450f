#include <cmath>

#include "resources/ImageDesigns.h"
#include "resources/Shapes.h"

using namespace shapes;

namespace {

// Glyphs sit on a dark panel: plain white reads best at every scale.
const Colour kGlyph = hex(0xffffff);

void drawPlay(cairo_t* cr, double width, double height) {
    // The triangle's visual weight lies left of its box, so the box sits a little right of centre.
    setColour(cr, kGlyph);
    roundedPolygon(cr, {{4, 2}, {14.5, 8}, {4, 14}}, 1.5);
    cairo_fill(cr);
}

void drawPause(cairo_t* cr, double width, double height) {
    setColour(cr, kGlyph);
    roundedRectangle(cr, 3, 2, 4, 12, 1);
    roundedRectangle(cr, 9, 2, 4, 12, 1);
    cairo_fill(cr);
}

// Two triangles pointing right, touching at the middle; mirrored for backward.
void drawSkip(cairo_t* cr, double width, bool forward) {
    if (!forward) {
        cairo_translate(cr, width, 0);
        cairo_scale(cr, -1, 1);
    }
    setColour(cr, kGlyph);
    // Vertical edges on whole points stay sharp at scale 1.
    roundedPolygon(cr, {{3, 3}, {12, 8}, {3, 13}}, 1.2);
    roundedPolygon(cr, {{12, 3}, {21, 8}, {12, 13}}, 1.2);
    cairo_fill(cr);
}

void drawForward(cairo_t* cr, double width, double height) {
    drawSkip(cr, width, true);
}
void drawBackward(cairo_t* cr, double width, double height) {
    drawSkip(cr, width, false);
}

// The artwork placeholders are tiles with slightly rounded corners; the artwork
// view may round them further.
void paintPlaceholderBackground(cairo_t* cr, double width, double height) {
    roundedRectangle(cr, 0, 0, width, height, 4);
    cairo_clip(cr);
    paintLinearGradient(cr, 0, 0, hex(0x4a4a50), 0, height, hex(0x242428));
    // A faint glow behind the motif keeps the square from looking flat.
    cairo_pattern_t* glow =
        cairo_pattern_create_radial(width / 2, height * 0.42, 0, width / 2, height * 0.42, width * 0.6);
    addStop(glow, 0, hex(0xffffff, 0.10));
    addStop(glow, 1, hex(0xffffff, 0));
    cairo_set_source(cr, glow);
    cairo_paint(cr);
    cairo_pattern_destroy(glow);
}

void drawNoteHead(cairo_t* cr, double x, double y) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, -0.42);
    cairo_scale(cr, 1.32, 1);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 6.2, 0, 2 * M_PI);
    cairo_restore(cr);
}

// Nothing plays: a beamed pair of notes.
void drawNotPlaying(cairo_t* cr, double width, double height) {
    paintPlaceholderBackground(cr, width, height);
    cairo_save(cr);
    // The motif is designed on an 85-point square.
    cairo_scale(cr, width / 85, height / 85);
    // Drawn opaque in a group and then faded, so overlapping parts do not show darker seams.
    cairo_push_group(cr);
    setColour(cr, hex(0xffffff));
    drawNoteHead(cr, 28.5, 58);
    drawNoteHead(cr, 54.5, 53);
    cairo_fill(cr);
    // Stems rise from the right edge of each head; the beam slopes with them.
    cairo_rectangle(cr, 33.9, 26, 3.2, 32);
    cairo_rectangle(cr, 59.9, 21, 3.2, 32);
    cairo_fill(cr);
    cairo_move_to(cr, 33.9, 25);
    cairo_line_to(cr, 63.1, 18.5);
    cairo_line_to(cr, 63.1, 26.5);
    cairo_line_to(cr, 33.9, 33);
    cairo_close_path(cr);
    cairo_fill(cr);
    cairo_pop_group_to_source(cr);
    cairo_paint_with_alpha(cr, 0.72);
    cairo_restore(cr);
}

// Something plays but has no artwork: a record.
void drawNoCover(cairo_t* cr, double width, double height) {
    paintPlaceholderBackground(cr, width, height);
    cairo_save(cr);
    cairo_scale(cr, width / 85, height / 85);
    const double cx = 42.5, cy = 42.5;
    cairo_pattern_t* disc = cairo_pattern_create_linear(10, 10, 75, 75);
    addStop(disc, 0, hex(0x1e1e22));
    addStop(disc, 0.5, hex(0x111114));
    addStop(disc, 1, hex(0x1a1a1e));
    cairo_set_source(cr, disc);
    cairo_arc(cr, cx, cy, 31, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(disc);
    // Grooves.
    cairo_set_line_width(cr, 0.6);
    for (double radius = 14; radius <= 28.5; radius += 2.5) {
        setColour(cr, hex(0xffffff, 0.07 + 0.01 * (radius - 14) / 2.5));
        cairo_arc(cr, cx, cy, radius, 0, 2 * M_PI);
        cairo_stroke(cr);
    }
    // A sheen across the grooves.
    cairo_save(cr);
    cairo_arc(cr, cx, cy, 31, 0, 2 * M_PI);
    cairo_clip(cr);
    cairo_move_to(cr, cx, cy);
    cairo_arc(cr, cx, cy, 32, -2.25, -1.55);
    cairo_close_path(cr);
    cairo_move_to(cr, cx, cy);
    cairo_arc(cr, cx, cy, 32, 0.89, 1.59);
    cairo_close_path(cr);
    setColour(cr, hex(0xffffff, 0.06));
    cairo_fill(cr);
    cairo_restore(cr);
    setColour(cr, hex(0xffffff, 0.18));
    cairo_set_line_width(cr, 0.8);
    cairo_arc(cr, cx, cy, 30.6, 0, 2 * M_PI);
    cairo_stroke(cr);
    // Label and spindle hole.
    setColour(cr, hex(0xffffff, 0.72));
    cairo_arc(cr, cx, cy, 10, 0, 2 * M_PI);
    cairo_fill(cr);
    setColour(cr, hex(0x2a2a2e));
    cairo_arc(cr, cx, cy, 1.8, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_restore(cr);
}

// A round knob with a soft shadow, centred in its square.
void drawKnob(cairo_t* cr, double width, double height, double radius) {
    const double cx = width / 2, cy = height / 2;
    cairo_pattern_t* shadow =
        cairo_pattern_create_radial(cx, cy + 0.5, radius - 0.5, cx, cy + 0.5, radius + 1);
    addStop(shadow, 0, hex(0x000000, 0.45));
    addStop(shadow, 1, hex(0x000000, 0));
    cairo_set_source(cr, shadow);
    cairo_arc(cr, cx, cy + 0.5, radius + 1, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(shadow);

    cairo_pattern_t* face = cairo_pattern_create_linear(0, cy - radius, 0, cy + radius);
    addStop(face, 0, hex(0xffffff));
    addStop(face, 1, hex(0xdcdce0));
    cairo_set_source(cr, face);
    cairo_arc(cr, cx, cy, radius, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(face);
}

void drawVolumeKnob(cairo_t* cr, double width, double height) {
    drawKnob(cr, width, height, 6);
}

// The time slider's thumb is smaller than the volume knob: it marks a position more than it invites a grip.
void drawSliderThumb(cairo_t* cr, double width, double height) {
    drawKnob(cr, width, height, 5);
}

// A track two points thick in a four-point image, round at both ends. Stretched
// with a one-point left cap, the middle column repeats and the ends stay round.
void drawSliderTrack(cairo_t* cr, double width, double height) {
    setColour(cr, hex(0xffffff, 0.42));
    roundedRectangle(cr, 0, (height - 2) / 2, width, 2, 1);
    cairo_fill(cr);
}

// The older host's strip: a subtle, rounded panel. Stretched about its centre, so
// nothing in it varies along the width except the corners.
void drawBackground(cairo_t* cr, double width, double height) {
    const double radius = 10;
    roundedRectangle(cr, 0, 0, width, height, radius);
    cairo_clip(cr);
    paintLinearGradient(cr, 0, 0, hex(0xffffff, 0.14), 0, height, hex(0xffffff, 0.07));
    cairo_reset_clip(cr);
    // The rim is brighter at the top, as if lit from above.
    cairo_pattern_t* rim = cairo_pattern_create_linear(0, 0, 0, height);
    addStop(rim, 0, hex(0xffffff, 0.30));
    addStop(rim, 0.3, hex(0xffffff, 0.14));
    addStop(rim, 1, hex(0xffffff, 0.10));
    cairo_set_source(cr, rim);
    cairo_set_line_width(cr, 1);
    roundedRectangle(cr, 0.5, 0.5, width - 1, height - 1, radius - 0.5);
    cairo_stroke(cr);
    cairo_pattern_destroy(rim);
}

} // namespace

const std::vector<ImageDesign>& bundleImageDesigns() {
    static const std::vector<ImageDesign> designs = {
        {"play", 16, 16, drawPlay},
        {"pause", 16, 16, drawPause},
        {"backward", 24, 16, drawBackward},
        {"forward", 24, 16, drawForward},
        {"not_playing", 85, 85, drawNotPlaying},
        {"no_cover", 85, 85, drawNoCover},
        {"volume_knob", 14, 14, drawVolumeKnob},
        {"slider_bg", 3, 4, drawSliderTrack},
        {"slider_thumb", 14, 14, drawSliderThumb},
        {"Background", 316, 70, drawBackground},
    };
    return designs;
}
