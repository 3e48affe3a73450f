// Values from outside that must not break a frame: non-finite or huge geometry,
// broken masks, corner radii and gradients draw as their sane counterparts, and
// what is drawn after them still draws.
#include <limits>

#include "Foundation/NSCollections.h"
#include "Foundation/NSNumber.h"
#include "QuartzCore/CAGradientLayer.h"
#include "RenderTestSupport.h"
#include "support/SampleTree.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

using Change = void (*)(UIView& box);

// A 40 x 20 white canvas with a red box at (10, 5, 20, 10) changed by `change` (or
// taken out when there is none), and a black square drawn after it.
UICairoSurface drawBox(Change change) {
    auto canvas = makeView(CGRectMake(0, 0, 40, 20), UIColor::whiteColor());
    auto box = makeView(CGRectMake(10, 5, 20, 10), UIColor::colorWithRed(1, 0, 0, 1), canvas);
    makeView(CGRectMake(0, 0, 4, 4), UIColor::blackColor(), canvas);
    if (change) {
        change(*box);
    } else {
        box->removeFromSuperview();
    }
    return render::snapshot(canvas, 2);
}

void clipToRadius(UIView& box, double radius) {
    box.setClipsToBounds(true);
    box.layer()->setCornerRadius(radius);
}

void setMaskWidth(UIView& box, double width) {
    auto mask = sample::fadeMask(CGSizeMake(20, 10), 5);
    mask->setBounds(CGRectMake(0, 0, width, 10));
    box.layer()->setMask(mask);
}

// A gradient over the whole box, from its left edge to `end` (unit coordinates).
void addGradient(UIView& box, std::vector<Ptr<NSObject>> colors, std::vector<double> locations = {},
                 CGPoint start = CGPointMake(0, 0.5), CGPoint end = CGPointMake(1, 0.5)) {
    auto gradient = CAGradientLayer::layer();
    gradient->setBounds(CGRectMake(0, 0, 20, 10));
    gradient->setPosition(CGPointMake(10, 5));
    gradient->setColors(NSArray::arrayWithObjects(colors));
    if (!locations.empty()) {
        std::vector<Ptr<NSObject>> numbers;
        for (double location : locations) {
            numbers.push_back(NSNumber::numberWithDouble(location));
        }
        gradient->setLocations(NSArray::arrayWithObjects(numbers));
    }
    gradient->setStartPoint(start);
    gradient->setEndPoint(end);
    box.layer()->addSublayer(gradient);
}

Ptr<NSObject> black() {
    return UIColor::blackColor()->CGColor();
}

struct BrokenInput {
    const char* name;
    Change broken;
    // What it must look like; nothing of the box when null.
    Change sane;
};

const BrokenInput kBrokenInputs[] = {
    {"NaN position", [](UIView& box) { box.layer()->setPosition(CGPointMake(kNaN, 10)); }, nullptr},
    {"NaN width", [](UIView& box) { box.layer()->setBounds(CGRectMake(0, 0, kNaN, 10)); }, nullptr},
    {"huge position", [](UIView& box) { box.layer()->setPosition(CGPointMake(1e300, 10)); }, nullptr},
    {"huge size", [](UIView& box) { box.layer()->setBounds(CGRectMake(0, 0, 1e300, 1e300)); }, nullptr},
    {"NaN opacity", [](UIView& box) { box.layer()->setOpacity(static_cast<float>(kNaN)); }, nullptr},
    {"zero-width mask", [](UIView& box) { setMaskWidth(box, 0); }, nullptr},
    {"NaN-width mask", [](UIView& box) { setMaskWidth(box, kNaN); }, nullptr},
    {"mask without colours",
     [](UIView& box) {
         setMaskWidth(box, 20);
         as<CAGradientLayer>(box.layer()->mask())->setColors(nullptr);
     },
     nullptr},
    {"NaN corner radius", [](UIView& box) { clipToRadius(box, kNaN); },
     [](UIView& box) { clipToRadius(box, 0); }},
    {"negative corner radius", [](UIView& box) { clipToRadius(box, -kInfinity); },
     [](UIView& box) { clipToRadius(box, 0); }},
    {"corner radius beyond half the shorter side", [](UIView& box) { clipToRadius(box, 1e9); },
     [](UIView& box) { clipToRadius(box, 5); }},
    {"gradient stops out of range, out of order or not colours",
     [](UIView& box) {
         addGradient(box, {black(), UIColor::whiteColor(), NSStr("not a colour"), black()},
                     {-2, 0.7, 0.3, 9});
     },
     [](UIView& box) {
         addGradient(box, {black(), UIColor::whiteColor(), UIColor::clearColor(), black()}, {0, 0.7, 0.7, 1});
     }},
    {"gradient with equal end points",
     [](UIView& box) {
         addGradient(box, {black(), UIColor::whiteColor()}, {}, CGPointMake(0.5, 0.5), CGPointMake(0.5, 0.5));
     },
     [](UIView& box) { addGradient(box, {UIColor::whiteColor()}); }},
};

using DrawingInputTest = RenderTest;

TEST_F(DrawingInputTest, BrokenValuesDrawAsTheirSaneCounterpartAndTheFrameGoesOn) {
    for (const BrokenInput& input : kBrokenInputs) {
        SCOPED_TRACE(input.name);
        EXPECT_TRUE(samePixels(drawBox(input.broken), drawBox(input.sane)));
    }
}

TEST_F(DrawingInputTest, SnapshotOfAnUnusableSizeOrScaleIsEmpty) {
    const std::pair<CGSize, double> unusable[] = {
        {CGSizeMake(20, 10), 0}, {CGSizeMake(20, 10), kNaN}, {CGSizeZero, 2}, {CGSizeMake(1e7, 10), 2}};
    for (const auto& [size, scale] : unusable) {
        EXPECT_FALSE(render::snapshot(makeView(CGRectMake(0, 0, size.width, size.height), nullptr), scale));
    }
    const auto drawn = render::snapshot(makeView(CGRectMake(0, 0, 20, 10), nullptr), 1.5);
    EXPECT_EQ(cairo_image_surface_get_width(drawn.get()), 30);
    EXPECT_EQ(cairo_image_surface_get_height(drawn.get()), 15);
    EXPECT_TRUE(render::encodePNG(UICairoSurface()).empty());
    EXPECT_FALSE(render::writePNG(drawn, "/nonexistent-directory/image.png"));
}

} // namespace
