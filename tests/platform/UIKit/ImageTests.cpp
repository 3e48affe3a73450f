#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "UIKit/UIImage.h"
#include "UIKit/UIImageView.h"
#include "UIKit/UIScreen.h"

namespace {

// A directory of test files removed afterwards.
class ImageTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "uikit-images-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        _directory = pattern;
    }
    void TearDown() override {
        UIScreen::mainScreen()->setScale(1);
        std::filesystem::remove_all(_directory);
    }

    // Writes a PNG of `width` x `height` pixels named `name`; answers its path.
    std::string writePNG(const std::string& name, int width, int height) {
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
        cairo_t* cairo = cairo_create(surface);
        cairo_set_source_rgba(cairo, 1, 0, 0, 1);
        cairo_paint(cairo);
        cairo_destroy(cairo);
        const auto path = (_directory / name).string();
        EXPECT_EQ(cairo_surface_write_to_png(surface, path.c_str()), CAIRO_STATUS_SUCCESS);
        cairo_surface_destroy(surface);
        return path;
    }
    std::string writeFile(const std::string& name, const std::string& contents) {
        const auto path = (_directory / name).string();
        std::ofstream(path, std::ios::binary) << contents;
        return path;
    }

    std::filesystem::path _directory;
};

TEST_F(ImageTest, APNGLoadsWithItsSizeInPoints) {
    const auto image = UIImage::imageWithContentsOfFile(NSStr(writePNG("play.png", 16, 20)));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->size(), CGSizeMake(16, 20));
    EXPECT_EQ(image->scale(), 1);
    ASSERT_NE(image->cairoSurface(), nullptr);
    EXPECT_EQ(cairo_image_surface_get_width(image->cairoSurface()), 16);
    EXPECT_FALSE(image->isStretchable());
}

TEST_F(ImageTest, ADoubleScaleFileKnowsItsScale) {
    const auto image = UIImage::imageWithContentsOfFile(NSStr(writePNG("play@2x.png", 32, 40)));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->scale(), 2);
    EXPECT_EQ(image->size(), CGSizeMake(16, 20));
}

TEST_F(ImageTest, ASharpScreenPrefersTheDoubleScaleVariant) {
    const auto path = writePNG("pause.png", 16, 20);
    writePNG("pause@2x.png", 32, 40);
    UIScreen::mainScreen()->setScale(2);
    auto image = UIImage::imageWithContentsOfFile(NSStr(path));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->scale(), 2);
    EXPECT_EQ(image->size(), CGSizeMake(16, 20));
    EXPECT_EQ(cairo_image_surface_get_width(image->cairoSurface()), 32);

    UIScreen::mainScreen()->setScale(1);
    image = UIImage::imageWithContentsOfFile(NSStr(path));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->scale(), 1);
}

TEST_F(ImageTest, UnreadableFilesGiveNil) {
    EXPECT_EQ(UIImage::imageWithContentsOfFile(nullptr), nullptr);
    EXPECT_EQ(UIImage::imageWithContentsOfFile(NSStr("")), nullptr);
    EXPECT_EQ(UIImage::imageWithContentsOfFile(NSStr((_directory / "missing.png").string())), nullptr);
    EXPECT_EQ(UIImage::imageWithContentsOfFile(NSStr(_directory.string())), nullptr);
    EXPECT_EQ(UIImage::imageWithContentsOfFile(NSStr(writeFile("empty.png", ""))), nullptr);
    EXPECT_EQ(UIImage::imageWithContentsOfFile(NSStr(writeFile("text.png", "not an image at all"))), nullptr);
    EXPECT_EQ(UIImage::imageWithContentsOfFile(NSStr(writeFile("jpeg.png", "\xFF\xD8\xFF\xE0 JFIF"))),
              nullptr);
    // A PNG signature followed by garbage.
    EXPECT_EQ(UIImage::imageWithContentsOfFile(NSStr(writeFile("broken.png", "\x89PNG\r\n\x1A\n garbage"))),
              nullptr);
    EXPECT_EQ(UIImage::imageWithSurface(UICairoSurface()), nullptr);
}

TEST_F(ImageTest, AStretchableCopyCarriesItsCaps) {
    const auto image = UIImage::imageWithContentsOfFile(NSStr(writePNG("slider_bg.png", 10, 6)));
    ASSERT_NE(image, nullptr);
    const auto stretchable = image->stretchableImageWithLeftCapWidth(1, 0);
    ASSERT_NE(stretchable, nullptr);
    EXPECT_NE(stretchable, image);
    EXPECT_FALSE(image->isStretchable());
    EXPECT_TRUE(stretchable->isStretchable());
    EXPECT_EQ(stretchable->cairoSurface(), image->cairoSurface());
    EXPECT_EQ(stretchable->size(), image->size());
    EXPECT_EQ(stretchable->leftCapWidth(), 1);
    EXPECT_EQ(stretchable->topCapHeight(), 0);
    // Left cap 1, one stretched point, right cap the rest; no vertical caps.
    EXPECT_EQ(stretchable->capInsets(), (UIEdgeInsets{0, 1, 0, 8}));

    const auto clamped = image->stretchableImageWithLeftCapWidth(50, -3);
    EXPECT_EQ(clamped->leftCapWidth(), 10);
    EXPECT_EQ(clamped->topCapHeight(), 0);
    EXPECT_EQ(clamped->capInsets(), (UIEdgeInsets{0, 10, 0, 0}));
}

TEST_F(ImageTest, TheSurfaceOutlivesTheImageThatLoadedIt) {
    auto image = UIImage::imageWithContentsOfFile(NSStr(writePNG("a.png", 4, 4)));
    ASSERT_NE(image, nullptr);
    const auto stretchable = image->stretchableImageWithLeftCapWidth(1, 1);
    image.reset();
    ASSERT_NE(stretchable->cairoSurface(), nullptr);
    EXPECT_EQ(cairo_surface_status(stretchable->cairoSurface()), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(cairo_image_surface_get_width(stretchable->cairoSurface()), 4);
}

TEST(ImageViewTest, ContentModesPlaceTheImage) {
    const CGRect bounds = CGRectMake(0, 0, 85, 85);
    const CGSize wide = CGSizeMake(200, 100);
    EXPECT_TRUE(CGRectEqualToRect(UIImageViewImageRect(bounds, wide, UIViewContentModeScaleToFill), bounds));
    EXPECT_TRUE(CGRectEqualToRect(UIImageViewImageRect(bounds, wide, UIViewContentModeScaleAspectFit),
                                  CGRectMake(0, 21.25, 85, 42.5)));
    EXPECT_TRUE(CGRectEqualToRect(UIImageViewImageRect(bounds, wide, UIViewContentModeScaleAspectFill),
                                  CGRectMake(-42.5, 0, 170, 85)));
    EXPECT_TRUE(CGRectEqualToRect(UIImageViewImageRect(bounds, CGSizeMake(5, 5), UIViewContentModeCenter),
                                  CGRectMake(40, 40, 5, 5)));
    EXPECT_TRUE(
        CGRectEqualToRect(UIImageViewImageRect(bounds, CGSizeMake(5, 5), UIViewContentModeBottomRight),
                          CGRectMake(80, 80, 5, 5)));
    // An empty image never divides by zero.
    const CGRect empty = UIImageViewImageRect(bounds, CGSizeZero, UIViewContentModeScaleAspectFit);
    EXPECT_EQ(empty.size, CGSizeZero);
}

TEST_F(ImageTest, AnImageViewShowsItsImageWithoutTakingTouches) {
    const auto image = UIImage::imageWithContentsOfFile(NSStr(writePNG("art.png", 40, 20)));
    auto view = alloc<UIImageView>()->initWithFrame(CGRectMake(10, 10, 85, 85));
    EXPECT_FALSE(view->isUserInteractionEnabled());
    EXPECT_TRUE(CGRectEqualToRect(view->imageRect(), CGRectZero));
    view->setImage(image);
    view->setContentMode(UIViewContentModeScaleAspectFit);
    EXPECT_TRUE(CGRectEqualToRect(view->imageRect(), CGRectMake(0, 21.25, 85, 42.5)));
    EXPECT_EQ(view->intrinsicContentSize(), CGSizeMake(40, 20));

    auto fitted = alloc<UIImageView>()->initWithImage(image);
    EXPECT_TRUE(CGRectEqualToRect(fitted->frame(), CGRectMake(0, 0, 40, 20)));
    EXPECT_EQ(fitted->image(), image);
    EXPECT_EQ(alloc<UIImageView>()->init()->hitTest(CGPointZero, nullptr), nullptr);
}

} // namespace
