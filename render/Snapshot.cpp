#include "render/Snapshot.h"

#include <cmath>
#include <cstdio>

#include "UIKit/UIGraphicsHandles.h"
#include "UIKit/UIView.h"
#include "render/LayerPainter.h"

namespace render {

namespace {

cairo_status_t appendBytes(void* closure, const unsigned char* data, unsigned int length) {
    auto* bytes = static_cast<std::vector<unsigned char>*>(closure);
    bytes->insert(bytes->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

bool isUsableSurface(const UICairoSurface& surface) {
    return surface && cairo_surface_status(surface.get()) == CAIRO_STATUS_SUCCESS &&
           cairo_surface_get_type(surface.get()) == CAIRO_SURFACE_TYPE_IMAGE &&
           cairo_image_surface_get_width(surface.get()) > 0 &&
           cairo_image_surface_get_height(surface.get()) > 0;
}

} // namespace

PixelSize pixelSizeFor(CGSize size, CGFloat scale) {
    if (!std::isfinite(scale) || scale <= 0 || !std::isfinite(size.width) || !std::isfinite(size.height)) {
        return {};
    }
    const double width = std::ceil(size.width * scale - 1e-9);
    const double height = std::ceil(size.height * scale - 1e-9);
    if (!(width >= 1) || !(height >= 1) || width > kLargestSnapshotSide || height > kLargestSnapshotSide) {
        return {};
    }
    return {static_cast<int>(width), static_cast<int>(height)};
}

UICairoSurface snapshot(UIView& view, CGFloat scale) {
    const CGRect bounds = view.layer() ? view.layer()->presentationBounds() : CGRectZero;
    const PixelSize pixels = pixelSizeFor(CGRectStandardize(bounds).size, scale);
    if (pixels.isEmpty()) {
        return {};
    }
    UICairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, pixels.width, pixels.height));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
        return {};
    }
    auto context = UICairoContextCreate(surface.get());
    cairo_scale(context.get(), scale, scale);
    paintLayerTree(context.get(), view);
    cairo_surface_flush(surface.get());
    return surface;
}

UICairoSurface snapshot(const Ptr<UIView>& view, CGFloat scale) {
    if (!view) {
        return {};
    }
    return snapshot(*view, scale);
}

std::vector<unsigned char> encodePNG(const UICairoSurface& surface) {
    std::vector<unsigned char> bytes;
    if (!isUsableSurface(surface)) {
        return bytes;
    }
    if (cairo_surface_write_to_png_stream(surface.get(), appendBytes, &bytes) != CAIRO_STATUS_SUCCESS) {
        bytes.clear();
    }
    return bytes;
}

bool writePNG(const UICairoSurface& surface, const std::string& path) {
    const auto bytes = encodePNG(surface);
    if (bytes.empty()) {
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

} // namespace render
