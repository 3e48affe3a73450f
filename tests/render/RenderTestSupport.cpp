#include "RenderTestSupport.h"
#include "support/TestPaths.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace {

bool updatingGoldens() {
    const char* value = std::getenv("TRILLBOX_UPDATE_GOLDEN");
    return value && std::string(value) == "1";
}

int channel(std::uint32_t argb, int shift) {
    return static_cast<int>((argb >> shift) & 0xFF);
}

UICairoSurface readPNG(const std::string& path) {
    UICairoSurface surface(cairo_image_surface_create_from_png(path.c_str()));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
        return {};
    }
    return surface;
}

} // namespace

Pixel pixelAt(const UICairoSurface& surface, int x, int y) {
    cairo_surface_t* image = surface.get();
    if (!image || x < 0 || y < 0 || x >= cairo_image_surface_get_width(image) ||
        y >= cairo_image_surface_get_height(image)) {
        return {};
    }
    cairo_surface_flush(image);
    const auto* row = cairo_image_surface_get_data(image) + y * cairo_image_surface_get_stride(image);
    const std::uint32_t argb = reinterpret_cast<const std::uint32_t*>(row)[x];
    Pixel pixel;
    pixel.alpha = channel(argb, 24);
    if (pixel.alpha == 0) {
        return pixel;
    }
    auto unpremultiply = [&](int value) {
        return std::min(255, (value * 255 + pixel.alpha / 2) / pixel.alpha);
    };
    pixel.red = unpremultiply(channel(argb, 16));
    pixel.green = unpremultiply(channel(argb, 8));
    pixel.blue = unpremultiply(channel(argb, 0));
    return pixel;
}

::testing::AssertionResult samePixels(const UICairoSurface& a, const UICairoSurface& b, int tolerance) {
    if (!a || !b) {
        return ::testing::AssertionFailure() << "an image is missing";
    }
    const int width = cairo_image_surface_get_width(a.get());
    const int height = cairo_image_surface_get_height(a.get());
    if (width != cairo_image_surface_get_width(b.get()) ||
        height != cairo_image_surface_get_height(b.get())) {
        return ::testing::AssertionFailure()
               << "sizes differ: " << width << "x" << height << " and "
               << cairo_image_surface_get_width(b.get()) << "x" << cairo_image_surface_get_height(b.get());
    }
    cairo_surface_flush(a.get());
    cairo_surface_flush(b.get());
    int worst = 0;
    int differing = 0;
    int firstX = -1;
    int firstY = -1;
    for (int y = 0; y < height; ++y) {
        const auto* rowA = reinterpret_cast<const std::uint32_t*>(
            cairo_image_surface_get_data(a.get()) + y * cairo_image_surface_get_stride(a.get()));
        const auto* rowB = reinterpret_cast<const std::uint32_t*>(
            cairo_image_surface_get_data(b.get()) + y * cairo_image_surface_get_stride(b.get()));
        for (int x = 0; x < width; ++x) {
            int difference = 0;
            for (int shift : {0, 8, 16, 24}) {
                difference =
                    std::max(difference, std::abs(channel(rowA[x], shift) - channel(rowB[x], shift)));
            }
            if (difference > tolerance) {
                if (differing++ == 0) {
                    firstX = x;
                    firstY = y;
                }
            }
            worst = std::max(worst, difference);
        }
    }
    if (differing > 0) {
        return ::testing::AssertionFailure()
               << differing << " pixels differ by more than " << tolerance << " (worst " << worst
               << "), first at (" << firstX << ", " << firstY << ")";
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult matchesGolden(const UICairoSurface& surface, const std::string& name,
                                         int tolerance) {
    const std::string stored = std::string(TRILLBOX_GOLDEN_DIR) + "/" + name + ".png";
    if (updatingGoldens()) {
        if (!render::writePNG(surface, stored)) {
            return ::testing::AssertionFailure() << "could not write " << stored;
        }
        return ::testing::AssertionSuccess();
    }
    const UICairoSurface expected = readPNG(stored);
    if (!expected) {
        return ::testing::AssertionFailure()
               << "no stored image " << stored << " (run with TRILLBOX_UPDATE_GOLDEN=1 to create it)";
    }
    auto result = samePixels(surface, expected, tolerance);
    if (!result) {
        std::filesystem::create_directories(TRILLBOX_GOLDEN_FAILURE_DIR);
        const std::string drawn = std::string(TRILLBOX_GOLDEN_FAILURE_DIR) + "/" + name + ".png";
        render::writePNG(surface, drawn);
        result << "; drawn image written to " << drawn;
    }
    return result;
}
