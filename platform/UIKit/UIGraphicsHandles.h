#pragma once

#include <memory>
#include <utility>

#include <cairo.h>

// Pango's and GLib's types are declared, not included, so that code holding them
// does not parse their headers; code that calls Pango includes <pango/pangocairo.h>.
extern "C" {
typedef struct _PangoContext PangoContext;
typedef struct _PangoLayout PangoLayout;
typedef struct _PangoFontMap PangoFontMap;
typedef struct _PangoFontDescription PangoFontDescription;
}

// Owners of one reference of the C objects drawing and text use: move-only, except
// the surface, which images share. Each releases its reference once when it goes;
// a null handle releases nothing.

struct UICairoContextDestroy {
    void operator()(cairo_t* context) const { cairo_destroy(context); }
};
using UICairoContextPtr = std::unique_ptr<cairo_t, UICairoContextDestroy>;

// One reference to a Cairo surface: copying takes another reference, destruction
// drops it.
class UICairoSurface {
public:
    UICairoSurface() = default;
    // Takes over the reference the caller holds.
    explicit UICairoSurface(cairo_surface_t* surface) : _surface(surface) {}
    UICairoSurface(const UICairoSurface& other)
        : _surface(other._surface ? cairo_surface_reference(other._surface) : nullptr) {}
    UICairoSurface(UICairoSurface&& other) noexcept : _surface(other._surface) { other._surface = nullptr; }
    UICairoSurface& operator=(UICairoSurface other) noexcept {
        std::swap(_surface, other._surface);
        return *this;
    }
    ~UICairoSurface() {
        if (_surface) {
            cairo_surface_destroy(_surface);
        }
    }
    cairo_surface_t* get() const { return _surface; }
    explicit operator bool() const { return _surface != nullptr; }

private:
    cairo_surface_t* _surface = nullptr;
};

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
