// Images in image views: clipping with corner radii, content modes and stretchable caps.
#include <cmath>
#include <limits>

#include "RenderTestSupport.h"
#include "support/SampleTree.h"
#include "UIKit/UIColor.h"
#include "UIKit/UIGraphics.h"
#include "UIKit/UIImageView.h"

namespace {

class ImageDrawingTest : public RenderTest {
protected:
    // A 60 x 40 white canvas with an image view at (10, 5, 40, 30) showing `image`.
    Ptr<UIImageView> placeImage(const Ptr<UIImage>& image, UIViewContentMode mode) {
        _canvas = alloc<UIView>()->initWithFrame(CGRectMake(0, 0, 60, 40));
        _canvas->setBackgroundColor(UIColor::whiteColor());
        auto view = alloc<UIImageView>()->initWithFrame(CGRectMake(10, 5, 40, 30));
        view->setImage(image);
        view->setContentMode(mode);
        _canvas->addSubview(view);
        return view;
    }
    Ptr<UIView> _canvas;
};

TEST_F(ImageDrawingTest, SquareAndRoundedClipsMatchStoredImages) {
    auto view = placeImage(sample::artworkImage(30, 2), UIViewContentModeScaleToFill);
    view->setClipsToBounds(true);
    EXPECT_TRUE(matchesGolden(render::snapshot(_canvas, 2), "image-square-clip"));

    view->layer()->setCornerRadius(10);
    const auto rounded = render::snapshot(_canvas, 2);
    EXPECT_TRUE(matchesGolden(rounded, "image-rounded-clip"));
    // The corner is the canvas, the middle of each edge still the image.
    EXPECT_EQ(pixelAt(rounded, 21, 11).red, 255);
    EXPECT_EQ(pixelAt(rounded, 21, 11).green, 255);
    EXPECT_NE(pixelAt(rounded, 50, 11).green, 255);
}

TEST_F(ImageDrawingTest, CornerRadiusFromOutsideIsClampedAndNaNIsSquare) {
    auto view = placeImage(sample::artworkImage(30, 1), UIViewContentModeScaleToFill);
    view->setClipsToBounds(true);
    view->layer()->setCornerRadius(15);
    const auto halfShorterSide = render::snapshot(_canvas, 1);
    view->layer()->setCornerRadius(1e9);
    EXPECT_TRUE(samePixels(render::snapshot(_canvas, 1), halfShorterSide));

    view->layer()->setCornerRadius(0);
    const auto square = render::snapshot(_canvas, 1);
    for (double radius :
         {std::numeric_limits<double>::quiet_NaN(), -5.0, -std::numeric_limits<double>::infinity()}) {
        view->layer()->setCornerRadius(radius);
        EXPECT_TRUE(samePixels(render::snapshot(_canvas, 1), square)) << radius;
    }
    EXPECT_EQ(UIGraphicsClampedCornerRadius(CGSizeMake(40, 30), std::numeric_limits<double>::infinity()), 15);
}

TEST_F(ImageDrawingTest, AspectFitLettersAndAspectFillCropsWhenClipped) {
    auto view = placeImage(sample::wideImage(2), UIViewContentModeScaleAspectFit);
    // 4 x 3 into 40 x 10 is 13.3 wide, centred: white bars beside it.
    view->setFrame(CGRectMake(10, 15, 40, 10));
    EXPECT_TRUE(matchesGolden(render::snapshot(_canvas, 2), "image-aspect-fit"));
    const auto letterboxed = render::snapshot(_canvas, 1);
    EXPECT_EQ(pixelAt(letterboxed, 15, 20).green, 255);
    EXPECT_EQ(pixelAt(letterboxed, 25, 20).red, 230);
    EXPECT_EQ(pixelAt(letterboxed, 32, 20).blue, 230);
    EXPECT_EQ(pixelAt(letterboxed, 45, 20).green, 255);

    view->setContentMode(UIViewContentModeScaleAspectFill);
    view->setClipsToBounds(true);
    EXPECT_TRUE(matchesGolden(render::snapshot(_canvas, 2), "image-aspect-fill"));
    const auto fill = render::snapshot(_canvas, 1);
    EXPECT_EQ(pixelAt(fill, 11, 20).red, 230);
    EXPECT_EQ(pixelAt(fill, 48, 20).blue, 230);
    EXPECT_EQ(pixelAt(fill, 30, 12).green, 255) << "nothing above the clipped bounds";
}

TEST_F(ImageDrawingTest, StretchableTrackKeepsCapsAndStretchesTheStripAfterTheLeftCap) {
    const auto track = sample::trackImage(2)->stretchableImageWithLeftCapWidth(4, 0);
    auto canvas = alloc<UIView>()->initWithFrame(CGRectMake(0, 0, 50, 6));
    auto view = alloc<UIImageView>()->initWithFrame(CGRectMake(0, 0, 50, 6));
    view->setImage(track);
    canvas->addSubview(view);
    const auto drawn = render::snapshot(canvas, 2);
    EXPECT_TRUE(matchesGolden(drawn, "image-stretchable-track"));
    // Left cap 8 pixels red, the strip green up to the right cap's 8 blue pixels, no blending at the seams.
    for (int x : {0, 7}) {
        EXPECT_EQ(pixelAt(drawn, x, 6).red, 255) << x;
    }
    for (int x : {8, 50, 91}) {
        EXPECT_EQ(pixelAt(drawn, x, 6).green, 255) << x;
        EXPECT_EQ(pixelAt(drawn, x, 6).red, 0) << x;
    }
    for (int x : {92, 99}) {
        EXPECT_EQ(pixelAt(drawn, x, 6).blue, 255) << x;
    }

    // A cap of 0 stretches the whole image: each colour grows in proportion.
    view->setImage(sample::trackImage(2)->stretchableImageWithLeftCapWidth(0, 0));
    const auto whole = render::snapshot(canvas, 2);
    EXPECT_EQ(pixelAt(whole, 40, 6).red, 255);
    EXPECT_EQ(pixelAt(whole, 50, 6).green, 255);
    EXPECT_EQ(pixelAt(whole, 60, 6).blue, 255);
}

TEST_F(ImageDrawingTest, StretchableImageNarrowerThanItsCapsShrinksTheCaps) {
    auto canvas = alloc<UIView>()->initWithFrame(CGRectMake(0, 0, 4, 6));
    auto view = alloc<UIImageView>()->initWithFrame(CGRectMake(0, 0, 4, 6));
    view->setImage(sample::trackImage(1)->stretchableImageWithLeftCapWidth(4, 0));
    canvas->addSubview(view);
    const auto drawn = render::snapshot(canvas, 1);
    EXPECT_EQ(pixelAt(drawn, 0, 3).red, 255);
    EXPECT_EQ(pixelAt(drawn, 3, 3).blue, 255);
}

TEST_F(ImageDrawingTest, ContextStackNestsAndDrawingWithoutContextDoesNothing) {
    EXPECT_EQ(UIGraphicsGetCurrentContext(), nullptr);
    UIImageDrawInRect(*sample::wideImage(1), CGRectMake(0, 0, 4, 3));

    UICairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 4, 3));
    cairo_t* outer = cairo_create(surface.get());
    cairo_t* inner = cairo_create(surface.get());
    UIGraphicsPushContext(outer);
    UIGraphicsPushContext(inner);
    EXPECT_EQ(UIGraphicsGetCurrentContext(), inner);
    UIGraphicsPopContext();
    EXPECT_EQ(UIGraphicsGetCurrentContext(), outer);
    UIImageDrawInRect(*sample::wideImage(1), CGRectMake(0, 0, std::numeric_limits<double>::quiet_NaN(), 3));
    UIImageDrawInRect(*sample::wideImage(1), CGRectMake(0, 0, 4, 3));
    UIGraphicsPopContext();
    EXPECT_EQ(UIGraphicsGetCurrentContext(), nullptr);
    EXPECT_EQ(cairo_status(outer), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(pixelAt(surface, 0, 0).red, 230);
    EXPECT_EQ(pixelAt(surface, 3, 2).blue, 230);
    cairo_destroy(inner);
    cairo_destroy(outer);
}

} // namespace
