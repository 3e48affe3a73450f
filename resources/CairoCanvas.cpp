#include "resources/CairoCanvas.h"

#include <cassert>
#include <cmath>
#include <utility>

CairoCanvas::CairoCanvas(double width, double height, double scale)
    : _scale(scale), _pixelWidth(static_cast<int>(std::lround(width * scale))),
      _pixelHeight(static_cast<int>(std::lround(height * scale))) {
    assert(width > 0 && height > 0 && scale > 0);
    _surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, _pixelWidth, _pixelHeight);
    _context = cairo_create(_surface);
    cairo_scale(_context, scale, scale);
}

CairoCanvas::~CairoCanvas() {
    release();
}

CairoCanvas::CairoCanvas(CairoCanvas&& other) noexcept
    : _surface(std::exchange(other._surface, nullptr)), _context(std::exchange(other._context, nullptr)),
      _scale(other._scale), _pixelWidth(other._pixelWidth), _pixelHeight(other._pixelHeight) {}

CairoCanvas& CairoCanvas::operator=(CairoCanvas&& other) noexcept {
    if (this != &other) {
        release();
        _surface = std::exchange(other._surface, nullptr);
        _context = std::exchange(other._context, nullptr);
        _scale = other._scale;
        _pixelWidth = other._pixelWidth;
        _pixelHeight = other._pixelHeight;
    }
    return *this;
}

void CairoCanvas::release() {
    if (_context) {
        cairo_destroy(_context);
        _context = nullptr;
    }
    if (_surface) {
        cairo_surface_destroy(_surface);
        _surface = nullptr;
    }
}

std::string CairoCanvas::error() const {
    if (!_surface || !_context) {
        return "no surface";
    }
    if (cairo_surface_status(_surface) != CAIRO_STATUS_SUCCESS) {
        return cairo_status_to_string(cairo_surface_status(_surface));
    }
    if (cairo_status(_context) != CAIRO_STATUS_SUCCESS) {
        return cairo_status_to_string(cairo_status(_context));
    }
    return {};
}

std::string CairoCanvas::writePng(const std::filesystem::path& path) const {
    if (auto failure = error(); !failure.empty()) {
        return path.string() + ": " + failure;
    }
    cairo_surface_flush(_surface);
    cairo_status_t status = cairo_surface_write_to_png(_surface, path.c_str());
    if (status != CAIRO_STATUS_SUCCESS) {
        return path.string() + ": " + cairo_status_to_string(status);
    }
    return {};
}
