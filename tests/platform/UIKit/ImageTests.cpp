#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "UIKit/UIGraphics.h"
#include "UIKit/UIImage.h"
#include "UIKit/UIScreen.h"
#include "support/SampleTree.h"
#include "support/TestSupport.h"

namespace {

class ImageTest : public PlatformTest {
protected:
    void TearDown() override {
        UIScreen::mainScreen()->setScale(1);
        PlatformTest::TearDown();
    }
    // Writes a PNG of `width` x `height` pixels named `name`; answers its path.
    std::string writePNG(const std::string& name, int width, int height) {
        const UICairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
        EXPECT_EQ(cairo_surface_write_to_png(surface.get(), files.file(name).c_str()), CAIRO_STATUS_SUCCESS);
        return files.file(name);
    }
    Ptr<UIImage> load(const std::string& path) { return UIImage::imageWithContentsOfFile(NSStr(path)); }

    TemporaryDirectory files;
};

TEST_F(ImageTest, ImagesPreferTheVariantOfTheScreensScaleAndMeasureInPoints) {
    writePNG("pause.png", 16, 20);
    writePNG("pause@2x.png", 32, 40);
    writePNG("pause@3x.png", 48, 60);
    writePNG("play@2x.png", 32, 40);
    writePNG("play.png", 16, 20);
    writePNG("stop.png", 16, 20);
    // File, screen scale, the image's scale and its width in pixels.
    const std::vector<std::tuple<const char*, CGFloat, CGFloat, int>> cases = {
        {"pause.png", 1, 1, 16},    {"pause.png", 1.25, 2, 32},
        {"pause.png", 2.5, 3, 48},  {"pause.png", 4, 3, 48},
        {"pause@2x.png", 1, 2, 32}, {"play.png", 3, 2, 32}, // no @3x variant: the next sharpest
        {"stop.png", 2, 1, 16},                             // no sharp variant: the named file
    };
    for (const auto& [file, screenScale, scale, pixelWidth] : cases) {
        SCOPED_TRACE(std::string(file) + " at screen scale " + std::to_string(screenScale));
        UIScreen::mainScreen()->setScale(screenScale);
        const auto image = load(files.file(file));
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->scale(), scale);
        EXPECT_EQ(image->size(), CGSizeMake(16, 20));
        EXPECT_EQ(cairo_image_surface_get_width(image->cairoSurface()), pixelWidth);
    }
}

TEST_F(ImageTest, WhatIsNoReadablePNGGivesNil) {
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"an empty path", ""},
        {"a missing file", files.file("missing.png")},
        {"a directory", files.path()},
        {"an empty file", files.write("empty.png", "")},
        {"text", files.write("text.png", "not an image at all")},
        {"a JPEG", files.write("jpeg.png", "\xFF\xD8\xFF\xE0 JFIF")},
        {"a PNG signature and garbage", files.write("broken.png", "\x89PNG\r\n\x1A\n garbage")},
        {"a PNG signature alone", files.write("signature@2x.png", "\x89PNG\r\n\x1A\n")},
    };
    for (const auto& [name, path] : cases) {
        EXPECT_EQ(load(path), nullptr) << name;
    }
    EXPECT_EQ(UIImage::imageWithContentsOfFile(nullptr), nullptr);
    EXPECT_EQ(UIImage::imageWithSurface(UICairoSurface()), nullptr);
}

TEST_F(ImageTest, AStretchableCopyKeepsThePixelsAndClampsItsCaps) {
    auto image = load(writePNG("slider_bg.png", 10, 6));
    ASSERT_NE(image, nullptr);
    const auto stretchable = image->stretchableImageWithLeftCapWidth(50, -3);
    image.reset(); // the pixels outlive the image that loaded them
    EXPECT_EQ(cairo_surface_status(stretchable->cairoSurface()), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(stretchable->size(), CGSizeMake(10, 6));
    EXPECT_EQ(stretchable->capInsets(), (UIEdgeInsets{0, 10, 0, 0}));
}

// Drawn again at another size or place, an image (which keeps what it resampled)
// gives the pixels a fresh copy of it gives.
TEST_F(ImageTest, DrawnAgainAtAnotherSizeOrPlaceItLooksAsAFreshCopyWould) {
    const auto draw = [](const Ptr<UIImage>& image, CGRect rect) {
        const UICairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 48, 48));
        const auto context = UICairoContextCreate(surface.get());
        cairo_scale(context.get(), 2, 2);
        UIGraphicsPushContext(context.get());
        UIImageDrawInRect(*image, rect);
        UIGraphicsPopContext();
        cairo_surface_flush(surface.get());
        const unsigned char* data = cairo_image_surface_get_data(surface.get());
        return std::vector<unsigned char>(data, data + cairo_image_surface_get_stride(surface.get()) * 48);
    };
    const Ptr<UIImage> kept = sample::artworkImage(10, 2)->stretchableImageWithLeftCapWidth(3, 0);
    for (const CGRect rect : {CGRectMake(1, 1, 10, 10), CGRectMake(1, 1, 16, 8), CGRectMake(2.5, 1, 10, 10),
                              CGRectMake(2.25, 1, 10, 10), CGRectMake(1, 1, 10, 10)}) {
        EXPECT_EQ(draw(kept, rect),
                  draw(sample::artworkImage(10, 2)->stretchableImageWithLeftCapWidth(3, 0), rect))
            << rect.origin.x << " " << rect.size.width;
    }
}

} // namespace
