#include <gtest/gtest.h>

#include "UIKit/UIImage.h"
#include "host/ViewDump.h"

namespace {

// A player's artwork was never a file: its pixels, not its points, tell one from another.
TEST(ViewDumpTest, AnImageThatWasNeverAFileIsDescribedByItsPixels) {
    const auto image = UIImage::imageWithSurface(
        UICairoSurface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 200, 100)), 2);
    EXPECT_EQ(NSStringText(as<NSString>(host::imageNameForDump(image, "/b"))), "artwork 200x100");
}

} // namespace
