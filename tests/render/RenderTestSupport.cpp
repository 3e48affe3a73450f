#include "render/RenderTestSupport.h"
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

::testing::AssertionResult samePixels(const UICairoSurface& a, const UICairoSurface& b, int tolerance) {
    if (!a || !b) {
        return ::testing::AssertionFailure() << "an image is missing";
    }
    const int width = cairo_image_surface_get_width(a.get());
    const int height = cairo_image_surface_get_height(a.get());
    if (width != cairo_image_surface_get_width(b.get()) ||
        height != cairo_image_surface_get_height(b.get())) {
        return ::testing::AssertionFailure() << "sizes differ";
    }
    cairo_surface_flush(a.get());
    cairo_surface_flush(b.get());
    int differing = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int shift : {0, 8, 16, 24}) {
                if (std::abs(channel(wordAt(a.get(), x, y), shift) - channel(wordAt(b.get(), x, y), shift)) >
                    tolerance) {
                    ++differing;
                    break;
                }
            }
        }
    }
    if (differing > 0) {
        return ::testing::AssertionFailure() << differing << " pixels differ by more than " << tolerance;
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
