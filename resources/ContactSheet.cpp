#include "resources/ContactSheet.h"

#include <cairo.h>

#include <algorithm>
#include <map>

#include "resources/CairoCanvas.h"
#include "resources/ImageDesigns.h"
#include "resources/Shapes.h"

using namespace shapes;

namespace {

constexpr double kSheetScale = 2;

struct Rendered {
    CairoCanvas canvas;
    double width;
    double height;
};

Rendered render(const ImageDesign& design, double scale) {
    CairoCanvas canvas(design.width, design.height, scale);
    design.draw(canvas.context(), design.width, design.height);
    cairo_surface_flush(canvas.surface());
    return {std::move(canvas), design.width, design.height};
}

// Paints the rendered image into the rectangle (x, y, width, height) of the sheet.
void paint(cairo_t* cr, const Rendered& image, double x, double y, double width, double height,
           cairo_filter_t filter = CAIRO_FILTER_GOOD) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, width / image.canvas.pixelWidth(), height / image.canvas.pixelHeight());
    cairo_set_source_surface(cr, image.canvas.surface(), 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), filter);
    cairo_paint(cr);
    cairo_restore(cr);
}

// Paints the image at its own height, stretched to `width` the way a stretchable
// image with a left cap of `leftCap` points is: the caps keep their size and the
// one-point column after the left cap fills the rest.
void paintStretched(cairo_t* cr, const Rendered& image, double leftCap, double x, double y, double width) {
    const double scale = image.canvas.scale();
    const double rightCap = image.width - leftCap - 1;
    struct Slice {
        double sourceX, sourceWidth, targetX, targetWidth;
    };
    const Slice slices[] = {
        {0, leftCap, 0, leftCap},
        {leftCap, 1, leftCap, width - leftCap - rightCap},
        {leftCap + 1, rightCap, width - rightCap, rightCap},
    };
    for (const Slice& slice : slices) {
        if (slice.sourceWidth <= 0 || slice.targetWidth <= 0) {
            continue;
        }
        cairo_surface_t* part =
            cairo_surface_create_for_rectangle(image.canvas.surface(), slice.sourceX * scale, 0,
                                               slice.sourceWidth * scale, image.height * scale);
        cairo_save(cr);
        cairo_rectangle(cr, x + slice.targetX, y, slice.targetWidth, image.height);
        cairo_clip(cr);
        cairo_translate(cr, x + slice.targetX, y);
        cairo_scale(cr, slice.targetWidth / (slice.sourceWidth * scale), 1 / scale);
        cairo_set_source_surface(cr, part, 0, 0);
        cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
        cairo_paint(cr);
        cairo_restore(cr);
        cairo_surface_destroy(part);
    }
}

void label(cairo_t* cr, double x, double y, const char* text, double size = 8,
           Colour colour = hex(0x9a9aa2)) {
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    setColour(cr, colour);
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, text);
}

// Centres the image in a control's frame, as a custom button shows its image.
void paintCentred(cairo_t* cr, const Rendered& image, double x, double y, double width, double height) {
    paint(cr, image, x + (width - image.width) / 2, y + (height - image.height) / 2, image.width,
          image.height);
}

// A slider as the widget shows it: the track at its own height across the frame,
// centred vertically, and the thumb at `fraction` of the travel.
void paintSlider(cairo_t* cr, const Rendered& track, const Rendered& thumb, double x, double y, double width,
                 double height, double fraction) {
    paintStretched(cr, track, 1, x, y + (height - track.height) / 2, width);
    const double thumbX = x + (width - thumb.width) * fraction;
    paint(cr, thumb, thumbX, y + (height - thumb.height) / 2, thumb.width, thumb.height);
}

void paintWidgetMock(cairo_t* cr, std::map<std::string, Rendered>& images, double x, double y, bool playing) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    setColour(cr, hex(0x1c1c1e));
    cairo_rectangle(cr, 0, 0, 320, 105);
    cairo_fill(cr);
    paint(cr, images.at(playing ? "no_cover" : "not_playing"), 10, 10, 85, 85);
    label(cr, 112, 25, playing ? "Song Title - Artist" : "Not Playing", 16, hex(0xffffff));
    paintCentred(cr, images.at("backward"), 120, 42, 32, 20);
    paintCentred(cr, images.at(playing ? "pause" : "play"), 202, 42, 16, 20);
    paintCentred(cr, images.at("forward"), 268, 42, 32, 20);
    if (playing) {
        paintSlider(cr, images.at("slider_bg"), images.at("volume_knob"), 130, 75, 160, 20, 0.65);
    } else {
        label(cr, 119, 88, "01:23", 8, hex(0xffffff));
        label(cr, 279, 88, "02:41", 8, hex(0xffffff));
        paintSlider(cr, images.at("slider_bg"), images.at("slider_thumb"), 150, 75, 120, 20, 0.35);
    }
    cairo_restore(cr);
}

} // namespace

std::string writeContactSheet(const std::filesystem::path& path) {
    const double sheetWidth = 1000, sheetHeight = 570;
    CairoCanvas sheet(sheetWidth, sheetHeight, kSheetScale);
    cairo_t* cr = sheet.context();
    setColour(cr, hex(0x2c2c30));
    cairo_paint(cr);

    std::map<std::string, Rendered> images;
    double x = 20;
    for (const ImageDesign& design : bundleImageDesigns()) {
        Rendered sharp = render(design, 2);
        Rendered coarse = render(design, 1);
        if (design.name != "Background") {
            paint(cr, sharp, x, 30, design.width, design.height);
            paint(cr, coarse, x + design.width + 6, 30, design.width, design.height, CAIRO_FILTER_NEAREST);
            label(cr, x, 20, design.name.c_str());
            cairo_text_extents_t extents;
            cairo_text_extents(cr, design.name.c_str(), &extents);
            x += std::max(2 * design.width + 26, extents.x_advance + 14);
        }
        images.emplace(design.name, std::move(sharp));
    }

    label(cr, 20, 150, "widget, nothing playing: time row");
    paintWidgetMock(cr, images, 20, 156, false);
    label(cr, 360, 150, "widget, playing without artwork: volume");
    paintWidgetMock(cr, images, 360, 156, true);

    label(cr, 20, 286, "older host strip, 320 and 480 wide");
    for (double width : {320.0, 480.0}) {
        const double left = width == 320 ? 20 : 360;
        setColour(cr, hex(0x1c1c1e));
        cairo_rectangle(cr, left, 292, width, 70);
        cairo_fill(cr);
        paintStretched(cr, images.at("Background"), 158, left + 2, 292, width - 4);
    }

    label(cr, 20, 384, "icon 48, 128, 256 px");
    double iconX = 20;
    for (int size : kAppIconSizes) {
        CairoCanvas icon(size, size, 1);
        drawAppIcon(icon.context(), size);
        cairo_surface_flush(icon.surface());
        Rendered rendered{std::move(icon), double(size), double(size)};
        paint(cr, rendered, iconX, 392, size / kSheetScale, size / kSheetScale);
        iconX += size / kSheetScale + 14;
    }

    label(cr, 300, 384, "demo artwork");
    double artworkX = 300;
    for (const ImageDesign& design : demoArtworkDesigns()) {
        Rendered artwork = render(design, 1);
        paint(cr, artwork, artworkX, 392, 150, 150);
        artworkX += 166;
    }
    return sheet.writePng(path);
}
