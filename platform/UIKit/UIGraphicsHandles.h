#pragma once

#include <memory>

#include <cairo.h>

// Pango's and GLib's types are declared, not included, so that code holding them
// does not parse their headers; code that calls Pango includes <pango/pangocairo.h>.
extern "C" {
typedef struct _PangoContext PangoContext;
typedef struct _PangoLayout PangoLayout;
typedef struct _PangoFontMap PangoFontMap;
typedef struct _PangoFontDescription PangoFontDescription;
}

// Move-only owners of one reference of the C objects drawing and text use. Each
// releases its object once when it goes; a null handle releases nothing.

struct UICairoContextDestroy {
    void operator()(cairo_t* context) const { cairo_destroy(context); }
};
using UICairoContextPtr = std::unique_ptr<cairo_t, UICairoContextDestroy>;

struct UICairoSurfaceDestroy {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
using UICairoSurfacePtr = std::unique_ptr<cairo_surface_t, UICairoSurfaceDestroy>;

struct UICairoPatternDestroy {
    void operator()(cairo_pattern_t* pattern) const { cairo_pattern_destroy(pattern); }
};
using UICairoPatternPtr = std::unique_ptr<cairo_pattern_t, UICairoPatternDestroy>;

// A new context drawing into `surface`; it holds its own reference of the surface.
inline UICairoContextPtr UICairoContextCreate(cairo_surface_t* surface) {
    return UICairoContextPtr(cairo_create(surface));
}

// A GObject (a Pango layout, context or font map).
struct UIGObjectUnref {
    void operator()(void* object) const;
};
template <class T> using UIGObjectPtr = std::unique_ptr<T, UIGObjectUnref>;

struct UIPangoFontDescriptionFree {
    void operator()(PangoFontDescription* description) const;
};
using UIPangoFontDescriptionPtr = std::unique_ptr<PangoFontDescription, UIPangoFontDescriptionFree>;
