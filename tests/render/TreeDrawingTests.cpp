// The layer tree: visibility, opacity, clipping, masks, animation and values from
// outside that must not break a frame.
#include <cmath>
#include <limits>

#include "Foundation/NSCollections.h"
#include "Foundation/NSNumber.h"
#include "QuartzCore/CAGradientLayer.h"
#include "RenderTestSupport.h"
#include "support/SampleTree.h"
#include "UIKit/UIColor.h"
#include "UIKit/UILabel.h"
#include "render/CairoHandles.h"
#include "render/Gradient.h"
#include "render/LayerPainter.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

Ptr<UIView> makeBox(CGRect frame, const Ptr<UIColor>& color) {
    auto view = alloc<UIView>()->initWithFrame(frame);
    view->setBackgroundColor(color);
    return view;
}

Ptr<NSArray> numbers(std::initializer_list<double> values) {
    std::vector<Ptr<NSObject>> objects;
    for (double value : values) {
        objects.push_back(NSNumber::numberWithDouble(value));
    }
    return NSArray::arrayWithObjects(objects);
}

// The fade of a scrolling title: clear, black, black, clear over the layer's
// width, with the platform's start and end points in unit coordinates.
Ptr<CAGradientLayer> makeFade(CGSize size, double fadeLength, double midY) {
    auto fade = CAGradientLayer::layer();
    fade->setBounds(CGRectMake(0, 0, size.width, size.height));
    fade->setPosition(CGPointMake(size.width / 2, size.height / 2));
    fade->setStartPoint(CGPointMake(0, midY));
    fade->setEndPoint(CGPointMake(1, midY));
    fade->setColors(
        NSArray::arrayWithObjects({UIColor::clearColor()->CGColor(), UIColor::blackColor()->CGColor(),
                                   UIColor::blackColor()->CGColor(), UIColor::clearColor()->CGColor()}));
    const double ratio = fadeLength / size.width;
    fade->setLocations(numbers({0, ratio, 1 - ratio, 1}));
    return fade;
}

class TreeDrawingTest : public RenderTest {
protected:
    // A 40 x 20 white canvas with a red 20 x 10 box at (10, 5).
    void SetUp() override {
        RenderTest::SetUp();
        _canvas = makeBox(CGRectMake(0, 0, 40, 20), UIColor::whiteColor());
        _box = makeBox(CGRectMake(10, 5, 20, 10), UIColor::colorWithRed(1, 0, 0, 1));
        _canvas->addSubview(_box);
    }
    Ptr<UIView> _canvas;
    Ptr<UIView> _box;
};

TEST_F(TreeDrawingTest, HiddenViewIsNotDrawnWithItsSubviews) {
    _box->addSubview(makeBox(CGRectMake(2, 2, 4, 4), UIColor::blackColor()));
    auto bare = makeBox(CGRectMake(0, 0, 40, 20), UIColor::whiteColor());
    const auto withBox = render::snapshot(_canvas, 2);
    EXPECT_TRUE(matchesGolden(withBox, "tree-visible-box"));
    _box->setHidden(true);
    const auto hidden = render::snapshot(_canvas, 2);
    EXPECT_TRUE(matchesGolden(hidden, "tree-hidden-box"));
    EXPECT_TRUE(samePixels(hidden, render::snapshot(bare, 2)));
    _box->setHidden(false);
    _box->setAlpha(0);
    EXPECT_TRUE(samePixels(render::snapshot(_canvas, 2), hidden));
}

TEST_F(TreeDrawingTest, OpacityAppliesToTheViewAndItsSubviewsAsOne) {
    // A blue child covering the red box: at half opacity the box shows blue over
    // white, with no red shining through the child.
    _box->addSubview(makeBox(CGRectMake(0, 0, 20, 10), UIColor::colorWithRed(0, 0, 1, 1)));
    _box->setAlpha(0.5);
    const auto drawn = render::snapshot(_canvas, 1);
    const Pixel inside = pixelAt(drawn, 20, 10);
    EXPECT_NEAR(inside.red, 128, 1);
    EXPECT_NEAR(inside.green, 128, 1);
    EXPECT_EQ(inside.blue, 255);
}

TEST_F(TreeDrawingTest, SubviewsDrawInOrderAndClipToRoundedBounds) {
    auto child = makeBox(CGRectMake(-5, -5, 30, 20), UIColor::colorWithRed(0, 1, 0, 1));
    _box->addSubview(child);
    const auto unclipped = render::snapshot(_canvas, 1);
    EXPECT_EQ(pixelAt(unclipped, 6, 1).green, 255);
    EXPECT_EQ(pixelAt(unclipped, 6, 1).red, 0);

    _box->setClipsToBounds(true);
    _box->layer()->setCornerRadius(5);
    const auto clipped = render::snapshot(_canvas, 1);
    EXPECT_EQ(pixelAt(clipped, 6, 1).red, 255) << "the canvas outside the box";
    EXPECT_EQ(pixelAt(clipped, 10, 5).green, 255) << "the rounded corner is cut";
    EXPECT_EQ(pixelAt(clipped, 10, 5).blue, 255);
    EXPECT_EQ(pixelAt(clipped, 20, 10).green, 255);
    EXPECT_EQ(pixelAt(clipped, 20, 10).red, 0);
}

TEST_F(TreeDrawingTest, BackgroundFollowsCornerRadiusWithoutClipping) {
    _box->layer()->setCornerRadius(5);
    const auto drawn = render::snapshot(_canvas, 1);
    EXPECT_EQ(pixelAt(drawn, 10, 5).green, 255) << "corner of the background is round";
    EXPECT_EQ(pixelAt(drawn, 20, 10).green, 0);
}

TEST_F(TreeDrawingTest, LabelFadedAtBothEdgesByGradientMask) {
    auto strip = alloc<UIView>()->initWithFrame(CGRectMake(0, 0, 160, 20));
    strip->setClipsToBounds(true);
    auto label = alloc<UILabel>()->initWithFrame(CGRectMake(0, 0, 160, 20));
    label->setText(NSStr("WWWWWWWWWWWWWWWWWWWWWWWWWWWWWW"));
    label->setLineBreakMode(NSLineBreakByClipping);
    label->setBackgroundColor(UIColor::colorWithRed(0.9, 0.9, 1, 1));
    strip->addSubview(label);
    strip->layer()->setMask(makeFade(CGSizeMake(160, 20), 20, 10));
    const auto drawn = render::snapshot(strip, 2);
    EXPECT_TRUE(matchesGolden(drawn, "label-fade-mask"));
    // The background shows the mask's alpha: 0 at the edges, ramping over 20 points,
    // full in between.
    EXPECT_LE(pixelAt(drawn, 0, 1).alpha, 4);
    EXPECT_NEAR(pixelAt(drawn, 20, 1).alpha, 128, 4);
    EXPECT_EQ(pixelAt(drawn, 40, 1).alpha, 255);
    EXPECT_EQ(pixelAt(drawn, 270, 1).alpha, 255);
    EXPECT_NEAR(pixelAt(drawn, 299, 1).alpha, 128, 4);
    EXPECT_LE(pixelAt(drawn, 319, 1).alpha, 4);
}

TEST_F(TreeDrawingTest, MaskFrameLimitsWhatShows) {
    // A mask covering the box's left half only.
    auto mask = CAGradientLayer::layer();
    mask->setColors(NSArray::arrayWithObjects({UIColor::blackColor()->CGColor()}));
    mask->setBounds(CGRectMake(0, 0, 10, 10));
    mask->setPosition(CGPointMake(5, 5));
    _box->layer()->setMask(mask);
    const auto drawn = render::snapshot(_canvas, 1);
    EXPECT_EQ(pixelAt(drawn, 12, 10).green, 0);
    EXPECT_EQ(pixelAt(drawn, 25, 10).green, 255);
}

TEST_F(TreeDrawingTest, ZeroWidthOrEmptyMaskDrawsNothingOfTheMaskedLayer) {
    const auto bare = render::snapshot(makeBox(CGRectMake(0, 0, 40, 20), UIColor::whiteColor()), 1);
    auto fade = makeFade(CGSizeMake(0, 10), 10, 5);
    _box->layer()->setMask(fade);
    // A sibling drawn after the masked box shows that the frame went on.
    auto after = makeBox(CGRectMake(0, 0, 4, 4), UIColor::blackColor());
    _canvas->addSubview(after);
    auto bareWithAfter = makeBox(CGRectMake(0, 0, 40, 20), UIColor::whiteColor());
    bareWithAfter->addSubview(makeBox(CGRectMake(0, 0, 4, 4), UIColor::blackColor()));
    const auto expected = render::snapshot(bareWithAfter, 1);
    EXPECT_TRUE(samePixels(render::snapshot(_canvas, 1), expected));

    fade->setBounds(CGRectMake(0, 0, kNaN, 10));
    EXPECT_TRUE(samePixels(render::snapshot(_canvas, 1), expected));
    fade->setBounds(CGRectMake(0, 0, 20, 10));
    fade->setColors(nullptr);
    EXPECT_TRUE(samePixels(render::snapshot(_canvas, 1), expected));
    EXPECT_FALSE(samePixels(bare, expected));
}

TEST_F(TreeDrawingTest, GradientStopsAreClampedAndKeptInOrder) {
    auto gradient = CAGradientLayer::layer();
    gradient->setColors(NSArray::arrayWithObjects({UIColor::blackColor()->CGColor(), UIColor::whiteColor(),
                                                   NSStr("not a colour"), UIColor::blackColor()->CGColor()}));
    gradient->setLocations(numbers({-2, 0.7, 0.3, 9}));
    const auto stops = render::gradientStops(*gradient);
    ASSERT_EQ(stops.size(), 4u);
    EXPECT_EQ(stops[0].location, 0);
    EXPECT_EQ(stops[1].location, 0.7);
    EXPECT_EQ(stops[2].location, 0.7) << "a stop before its predecessor moves up to it";
    EXPECT_EQ(stops[3].location, 1);
    EXPECT_EQ(stops[1].red, 1);
    EXPECT_EQ(stops[2].alpha, 0) << "something that is not a colour is clear";

    gradient->setLocations(numbers({0, kNaN, 0.5, 1}));
    EXPECT_NEAR(render::gradientStops(*gradient)[1].location, 1.0 / 3, 1e-12);
}

TEST_F(TreeDrawingTest, GradientWithEqualOrNonFinitePointsPaintsWithoutError) {
    auto gradient = CAGradientLayer::layer();
    gradient->setColors(
        NSArray::arrayWithObjects({UIColor::blackColor()->CGColor(), UIColor::whiteColor()->CGColor()}));
    gradient->setBounds(CGRectMake(0, 0, 10, 10));
    gradient->setStartPoint(CGPointMake(0.5, 0.5));
    gradient->setEndPoint(CGPointMake(0.5, 0.5));
    UICairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 10, 10));
    auto context = render::makeContext(surface.get());
    render::paintLayerTree(context.get(), *gradient);
    EXPECT_EQ(pixelAt(surface, 5, 5).red, 255) << "equal points paint the last colour";
    gradient->setEndPoint(CGPointMake(kNaN, std::numeric_limits<double>::infinity()));
    render::paintLayerTree(context.get(), *gradient);
    EXPECT_EQ(cairo_status(context.get()), CAIRO_STATUS_SUCCESS);
}

TEST_F(TreeDrawingTest, NonFiniteOrHugeGeometryHidesOnlyThatView) {
    auto bareWithBox = render::snapshot(_canvas, 1);
    auto broken = makeBox(CGRectMake(0, 0, 10, 10), UIColor::blackColor());
    _canvas->insertSubview(broken, 0);
    for (CGRect frame : {CGRectMake(kNaN, 0, 10, 10), CGRectMake(0, 0, kNaN, 10),
                         CGRectMake(1e300, 0, 10, 10), CGRectMake(0, 0, 1e300, 1e300)}) {
        broken->layer()->setPosition(CGPointMake(frame.origin.x, frame.origin.y));
        broken->layer()->setBounds(CGRectMake(0, 0, frame.size.width, frame.size.height));
        EXPECT_TRUE(samePixels(render::snapshot(_canvas, 1), bareWithBox));
    }
}

TEST_F(TreeDrawingTest, FrameHalfwayThroughAnAnimationShowsThePresentation) {
    _box->setFrame(CGRectMake(0, 5, 10, 10));
    UIView::animateWithDuration(
        1, 0, UIViewAnimationOptionCurveLinear, [&] { _box->setFrame(CGRectMake(30, 5, 10, 10)); }, nullptr);
    advance(0.5);
    const auto halfway = render::snapshot(_canvas, 2);
    EXPECT_TRUE(matchesGolden(halfway, "tree-animation-halfway"));
    auto still = makeBox(CGRectMake(0, 0, 40, 20), UIColor::whiteColor());
    still->addSubview(makeBox(CGRectMake(15, 5, 10, 10), UIColor::colorWithRed(1, 0, 0, 1)));
    EXPECT_TRUE(samePixels(halfway, render::snapshot(still, 2)));
    advance(1);
    EXPECT_EQ(pixelAt(render::snapshot(_canvas, 1), 35, 10).green, 0);
}

TEST_F(TreeDrawingTest, SnapshotSizeFollowsBoundsAndScale) {
    const auto drawn = render::snapshot(_box, 1.5);
    EXPECT_EQ(cairo_image_surface_get_width(drawn.get()), 30);
    EXPECT_EQ(cairo_image_surface_get_height(drawn.get()), 15);
    EXPECT_FALSE(render::snapshot(_box, 0));
    EXPECT_FALSE(render::snapshot(_box, kNaN));
    EXPECT_FALSE(render::snapshot(makeBox(CGRectZero, nullptr), 2));
    EXPECT_FALSE(render::snapshot(makeBox(CGRectMake(0, 0, 1e7, 10), nullptr), 2));
    EXPECT_TRUE(render::encodePNG(UICairoSurface()).empty());
    EXPECT_FALSE(render::writePNG(drawn, "/nonexistent-directory/image.png"));
}

TEST_F(TreeDrawingTest, SameTreeGivesSameBytes) {
    auto first = sample::makeWidgetTree(true);
    advance(3);
    const auto bytes = render::encodePNG(render::snapshot(first.root, 2));
    EXPECT_TRUE(matchesGolden(render::snapshot(first.root, 2), "widget-tree-scrolling"));
    auto second = sample::makeWidgetTree(false);
    second.title->setFrame(first.title->layer()->presentationFrame());
    EXPECT_EQ(render::encodePNG(render::snapshot(second.root, 2)), bytes);
    EXPECT_EQ(render::encodePNG(render::snapshot(first.root, 2)), bytes);
    EXPECT_FALSE(bytes.empty());
}

} // namespace
