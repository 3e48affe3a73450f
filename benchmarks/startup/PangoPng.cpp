// The least a snapshot must do: lay out one line of text with Pango and write a
// PNG with Cairo. Usage: startup_pango_png OUT.png
#include <pango/pangocairo.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: startup_pango_png OUT.png\n");
        return 2;
    }
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 640, 210);
    cairo_t* context = cairo_create(surface);
    PangoLayout* layout = pango_cairo_create_layout(context);
    PangoFontDescription* font = pango_font_description_from_string("DejaVu Sans 16");
    pango_layout_set_font_description(layout, font);
    pango_layout_set_text(layout, "Song by Band", -1);
    cairo_set_source_rgb(context, 1, 1, 1);
    cairo_move_to(context, 16, 16);
    pango_cairo_show_layout(context, layout);
    pango_font_description_free(font);
    g_object_unref(layout);
    cairo_destroy(context);
    const cairo_status_t status = cairo_surface_write_to_png(surface, argv[1]);
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "startup_pango_png: cannot write %s: %s\n", argv[1],
                     cairo_status_to_string(status));
        return 1;
    }
    return 0;
}
