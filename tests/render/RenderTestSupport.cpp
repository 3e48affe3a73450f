#include "RenderTestSupport.h"
#include "support/TestPaths.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>

namespace {

int channel(std::uint32_t argb, int shift) {
    return static_cast<int>((argb >> shift) & 0xFF);
}

std::uint32_t wordAt(cairo_surface_t* image, int x, int y) {
    const auto* row = cairo_image_surface_get_data(image) + y * cairo_image_surface_get_stride(image);
    return reinterpret_cast<const std::uint32_t*>(row)[x];
}

} // namespace

Ptr<UIView> makeView(CGRect frame, const Ptr<UIColor>& color, const Ptr<UIView>& parent) {
    auto view = alloc<UIView>()->initWithFrame(frame);
    view->setBackgroundColor(color);
    if (parent) {
        parent->addSubview(view);
    }
    return view;
}

Pixel pixelAt(const UICairoSurface& surface, int x, int y) {
    cairo_surface_t* image = surface.get();
    if (!image || x < 0 || y < 0 || x >= cairo_image_surface_get_width(image) ||
        y >= cairo_image_surface_get_height(image)) {
        return {};
    }
    cairo_surface_flush(image);
    const std::uint32_t argb = wordAt(image, x, y);
    const int alpha = channel(argb, 24);
    auto unpremultiply = [&](int shift) {
        return alpha == 0 ? 0 : std::min(255, (channel(argb, shift) * 255 + alpha / 2) / alpha);
    };
    return {alpha, unpremultiply(16), unpremultiply(8), unpremultiply(0)};
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
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            int difference = 0;
            for (int shift : {0, 8, 16, 24}) {
                difference = std::max(difference, std::abs(channel(wordAt(a.get(), x, y), shift) -
                                                           channel(wordAt(b.get(), x, y), shift)));
            }
            differing += difference > tolerance ? 1 : 0;
            worst = std::max(worst, difference);
        }
    }
    if (differing > 0) {
        return ::testing::AssertionFailure()
               << differing << " pixels differ by more than " << tolerance << " (worst " << worst << ")";
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult matchesGolden(const UICairoSurface& surface, const std::string& name) {
    const std::string stored = std::string(TRILLBOX_GOLDEN_DIR) + "/" + name + ".png";
    const char* update = std::getenv("TRILLBOX_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        return render::writePNG(surface, stored)
                   ? ::testing::AssertionSuccess()
                   : ::testing::AssertionFailure() << "could not write " << stored;
    }
    const UICairoSurface expected(cairo_image_surface_create_from_png(stored.c_str()));
    if (cairo_surface_status(expected.get()) != CAIRO_STATUS_SUCCESS) {
        return ::testing::AssertionFailure()
               << "no stored image " << stored << " (run with TRILLBOX_UPDATE_GOLDEN=1 to create it)";
    }
    auto result = samePixels(surface, expected, kGoldenChannelTolerance);
    if (!result) {
        std::filesystem::create_directories(TRILLBOX_GOLDEN_FAILURE_DIR);
        const std::string drawn = std::string(TRILLBOX_GOLDEN_FAILURE_DIR) + "/" + name + ".png";
        render::writePNG(surface, drawn);
        result << "; drawn image written to " << drawn;
    }
    return result;
}
