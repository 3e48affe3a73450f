#pragma once

#include <memory>

#include <cairo.h>

namespace render {

struct CairoContextDestroy {
    void operator()(cairo_t* context) const { cairo_destroy(context); }
};
struct CairoPatternDestroy {
    void operator()(cairo_pattern_t* pattern) const { cairo_pattern_destroy(pattern); }
};

// One owned reference of a Cairo context or pattern.
using CairoContext = std::unique_ptr<cairo_t, CairoContextDestroy>;
using CairoPattern = std::unique_ptr<cairo_pattern_t, CairoPatternDestroy>;

// A new context drawing into `surface`; it holds its own reference of the surface.
inline CairoContext makeContext(cairo_surface_t* surface) {
    return CairoContext(cairo_create(surface));
}

} // namespace render
