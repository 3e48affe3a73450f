#pragma once

#include <cairo.h>

#include <filesystem>
#include <string>

// An ARGB image surface and its drawing context. Drawing is in points: the
// context is pre-scaled so that one point covers `scale` pixels. Move-only.
class CairoCanvas {
public:
    // A fully transparent canvas of width x height points at `scale` pixels per point.
    CairoCanvas(double width, double height, double scale);
    ~CairoCanvas();
    CairoCanvas(CairoCanvas&& other) noexcept;
    CairoCanvas& operator=(CairoCanvas&& other) noexcept;
    CairoCanvas(const CairoCanvas&) = delete;
    CairoCanvas& operator=(const CairoCanvas&) = delete;

    cairo_t* context() const { return _context; }
    cairo_surface_t* surface() const { return _surface; }
    double scale() const { return _scale; }
    int pixelWidth() const { return _pixelWidth; }
    int pixelHeight() const { return _pixelHeight; }

    // Empty when the canvas can be drawn on; otherwise what Cairo reported.
    std::string error() const;

    // Writes the canvas as a PNG with alpha. Returns an empty string on success,
    // otherwise a message naming the file and the failure.
    std::string writePng(const std::filesystem::path& path) const;

private:
    void release();

    cairo_surface_t* _surface = nullptr;
    cairo_t* _context = nullptr;
    double _scale = 1;
    int _pixelWidth = 0;
    int _pixelHeight = 0;
};
