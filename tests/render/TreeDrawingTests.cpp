// Trees drawn and compared with stored images (clipping, rounded corners, masks,
// opacity, animation, images, text and controls; rows that share a stored image
// must draw the same), with trees that must draw the same, and with the sane
// counterparts of broken values.
#include <limits>

#include <pango/pangocairo.h>

#include "Foundation/NSCollections.h"
#include "Foundation/NSNumber.h"
#include "MediaPlayer/MPVolumeView.h"
#include "QuartzCore/CAGradientLayer.h"
#include "UIKit/UIFont.h"
#include "UIKit/UILabel.h"
#include "UIKit/UITextMeasurement.h"
#include "render/RenderTestSupport.h"
#include "support/SampleTree.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

using Change = void (*)(const Ptr<UIView>& box);

// A 40 x 20 white canvas with a red 20 x 10 box at (10, 5) holding a black 4-point
// square, and a black 4-point square drawn after the box. `change` alters the box;
// without one the box is taken out.
Ptr<UIView> canvasWithBox(Change change) {
    auto canvas = makeView(CGRectMake(0, 0, 40, 20), UIColor::whiteColor());
    auto box = makeView(CGRectMake(10, 5, 20, 10), UIColor::colorWithRed(1, 0, 0, 1), canvas);
    makeView(CGRectMake(2, 2, 4, 4), UIColor::blackColor(), box);
    makeView(CGRectMake(0, 0, 4, 4), UIColor::blackColor(), canvas);
    if (change) {
        change(box);
    } else {
        box->removeFromSuperview();
    }
    return canvas;
}

// A 60 x 40 white canvas with an image view at `frame`, clipped to `radius` if positive.
Ptr<UIView> canvasWithImage(const Ptr<UIImage>& image, UIViewContentMode mode, CGRect frame, double radius) {
    auto canvas = makeView(CGRectMake(0, 0, 60, 40), UIColor::whiteColor());
    auto view = alloc<UIImageView>()->initWithFrame(frame);
    view->setImage(image);
    view->setContentMode(mode);
    view->setClipsToBounds(radius > 0);
    view->layer()->setCornerRadius(radius);
    canvas->addSubview(view);
    return canvas;
}

Ptr<UILabel> addLabel(const char* text, CGRect frame, const Ptr<UIView>& parent = nullptr) {
    auto label = alloc<UILabel>()->initWithFrame(frame);
    label->setText(NSStr(text));
    label->setFont(UIFont::systemFontOfSize(16));
    if (parent) {
        parent->addSubview(label);
    }
    return label;
}

Ptr<UIView> slider(float value) {
    auto slider = alloc<UISlider>()->initWithFrame(CGRectMake(0, 0, 100, 20));
    slider->setMinimumTrackImage(sample::sliderTrackImage(0, 0, 1, 2), UIControlStateNormal);
    slider->setMaximumTrackImage(sample::sliderTrackImage(0.5, 0.5, 0.5, 2), UIControlStateNormal);
    slider->setThumbImage(sample::sliderThumbImage(2), UIControlStateNormal);
    slider->setValue(value);
    return slider;
}

Ptr<UIView> button(bool highlighted) {
    auto button = UIButton::buttonWithType(UIButtonTypeCustom);
    button->setFrame(CGRectMake(0, 0, 40, 30));
    button->setImage(sample::buttonGlyph(true, 2), UIControlStateNormal);
    button->setHighlighted(highlighted);
    return button;
}

Ptr<UIView> fadedLabel() {
    auto strip = makeView(CGRectMake(0, 0, 160, 20), nullptr);
    strip->setClipsToBounds(true);
    auto label = addLabel("WWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", CGRectMake(0, 0, 160, 20), strip);
    label->setFont(nullptr);
    label->setLineBreakMode(NSLineBreakByClipping);
    label->setBackgroundColor(UIColor::colorWithRed(0.9, 0.9, 1, 1));
    strip->layer()->setMask(sample::fadeMask(CGSizeMake(160, 20), 20));
    return strip;
}

Ptr<UIView> alignedAndShadowedLabels() {
    auto canvas = makeView(CGRectMake(0, 0, 160, 84), UIColor::whiteColor());
    const NSTextAlignment alignments[] = {NSTextAlignmentLeft, NSTextAlignmentCenter, NSTextAlignmentRight};
    for (int row = 0; row < 3; ++row) {
        auto label = addLabel("Song - Artist", CGRectMake(4, 4 + 20 * row, 152, 18), canvas);
        label->setTextAlignment(alignments[row]);
        label->setTextColor(UIColor::colorWithRed(0.1, 0.2, 0.6, 1));
    }
    auto shadowed = addLabel("Shadowed and truncated text", CGRectMake(4, 64, 152, 18), canvas);
    shadowed->setTextColor(UIColor::whiteColor());
    shadowed->setShadowColor(UIColor::blackColor());
    shadowed->setShadowOffset(CGSizeMake(1, 1));
    return canvas;
}

Ptr<UIView> movingBox() {
    auto canvas = makeView(CGRectMake(0, 0, 40, 20), UIColor::whiteColor());
    auto box = makeView(CGRectMake(0, 5, 10, 10), UIColor::colorWithRed(1, 0, 0, 1), canvas);
    UIView::animateWithDuration(
        1, 0, UIViewAnimationOptionCurveLinear, [box] { box->setFrame(CGRectMake(30, 5, 10, 10)); }, nullptr);
    return canvas;
}

Ptr<UIView> volumeView() {
    auto volume = alloc<MPVolumeView>()->initWithFrame(CGRectMake(0, 0, 100, 20));
    volume->setMinimumVolumeSliderImage(sample::sliderTrackImage(0, 0, 1, 2), UIControlStateNormal);
    volume->setMaximumVolumeSliderImage(sample::sliderTrackImage(0.5, 0.5, 0.5, 2), UIControlStateNormal);
    volume->setVolumeThumbImage(sample::sliderThumbImage(2), UIControlStateNormal);
    volume->volumeSlider()->setValue(0.5f);
    volume->layoutIfNeeded();
    return volume;
}

// A title in scripts the system font lacks, drawn by the fallback fonts.
constexpr const char* kMixedScriptTitle = "Tokyo 東京の夜 - مرحبا 🎶🌙";

struct GoldenCase {
    const char* name;
    const char* golden;
    Ptr<UIView> (*build)();
    // How long the clock runs between building and drawing.
    double seconds = 0;
};

const GoldenCase kGoldenCases[] = {
    {"HiddenBoxHidesItsSubviews", "tree-hidden-box",
     [] { return canvasWithBox([](auto& box) { box->setHidden(true); }); }},
    {"TransparentBoxDrawsNothing", "tree-hidden-box",
     [] { return canvasWithBox([](auto& box) { box->setAlpha(0); }); }},
    {"OpacityAppliesToTheBoxAndSubviewsAsOne", "tree-group-opacity",
     [] {
         return canvasWithBox([](auto& box) {
             makeView(CGRectMake(0, 0, 20, 10), UIColor::colorWithRed(0, 0, 1, 1), box);
             box->setAlpha(0.5);
         });
     }},
    {"SubviewsClipToRoundedBounds", "tree-rounded-clip",
     [] {
         return canvasWithBox([](auto& box) {
             makeView(CGRectMake(-5, -5, 30, 20), UIColor::colorWithRed(0, 1, 0, 1), box);
             box->setClipsToBounds(true);
             box->layer()->setCornerRadius(5);
         });
     }},
    {"BackgroundFollowsCornerRadiusWithoutClipping", "tree-rounded-background",
     [] { return canvasWithBox([](auto& box) { box->layer()->setCornerRadius(5); }); }},
    {"MaskFrameLimitsWhatShows", "tree-mask-frame",
     [] {
         return canvasWithBox([](auto& box) {
             auto mask = CAGradientLayer::layer();
             mask->setColors(NSArray::arrayWithObjects({UIColor::blackColor()->CGColor()}));
             mask->setBounds(CGRectMake(0, 0, 10, 10));
             mask->setPosition(CGPointMake(5, 5));
             box->layer()->setMask(mask);
         });
     }},
    {"PresentationHalfwayThroughAMove", "tree-animation-halfway", movingBox, 0.5},
    {"WidgetPanelWithScrollingTitle", "widget-tree-scrolling",
     [] { return sample::makeWidgetTree(true).root; }, 3},
    {"LabelFadedAtBothEdgesByGradientMask", "label-fade-mask", fadedLabel},
    {"LabelAlignmentColourAndShadow", "label-alignment-shadow", alignedAndShadowedLabels},
    {"TitleMixingScriptsAndEmoji", "label-mixed-scripts",
     [] {
         auto title = addLabel(kMixedScriptTitle, CGRectMake(0, 0, 220, 24));
         title->setBackgroundColor(UIColor::colorWithWhite(0.13, 1));
         title->setTextColor(UIColor::whiteColor());
         return Ptr<UIView>(title);
     }},
    {"ImageClippedToRoundedCorners", "image-rounded-clip",
     [] {
         return canvasWithImage(sample::artworkImage(30, 2), UIViewContentModeScaleToFill,
                                CGRectMake(10, 5, 40, 30), 10);
     }},
    {"AspectFitLetterboxes", "image-aspect-fit",
     [] {
         return canvasWithImage(sample::trackImage(2), UIViewContentModeScaleAspectFit,
                                CGRectMake(10, 15, 40, 10), 0);
     }},
    {"StretchableTrackKeepsItsCaps", "image-stretchable-track",
     [] {
         auto view = alloc<UIImageView>()->initWithFrame(CGRectMake(0, 0, 50, 6));
         view->setImage(sample::trackImage(2)->stretchableImageWithLeftCapWidth(4, 0));
         return Ptr<UIView>(view);
     }},
    {"SliderWithImagesAtZero", "slider-images-0", [] { return slider(0); }},
    {"SliderWithImagesAtHalf", "slider-images-50", [] { return slider(0.5f); }},
    {"SliderWithImagesAtFull", "slider-images-100", [] { return slider(1); }},
    {"VolumeViewDrawsItsSlider", "slider-images-50", volumeView},
    {"ButtonCentresItsImage", "button-normal", [] { return button(false); }},
    {"HighlightedButtonDarkensItsImage", "button-highlighted", [] { return button(true); }},
};

void PrintTo(const GoldenCase& golden, std::ostream* out) {
    *out << golden.golden;
}

class GoldenImageTest : public RenderTest, public ::testing::WithParamInterface<GoldenCase> {};

TEST_P(GoldenImageTest, DrawsTheStoredImage) {
    const Ptr<UIView> root = GetParam().build();
    advance(GetParam().seconds);
    EXPECT_TRUE(matchesGolden(render::snapshot(root, 2), GetParam().golden));
}

INSTANTIATE_TEST_SUITE_P(Trees, GoldenImageTest, ::testing::ValuesIn(kGoldenCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Reports the background and text of its sublabel as its own, as a scrolling label does.
class ForwardingLabel : public UILabel {
public:
    Ptr<ForwardingLabel> initWithFrame(CGRect frame) {
        UILabel::initWithFrame(frame);
        _inner = addLabel("Inner", CGRectMake(0, 0, frame.size.width, frame.size.height));
        addSubview(_inner);
        return self<ForwardingLabel>();
    }
    Ptr<NSString> text() const override { return _inner->text(); }
    Ptr<UIColor> backgroundColor() const override { return UIColor::colorWithRed(1, 0, 0, 1); }
    void drawRect(CGRect) override {}
    Ptr<UILabel> _inner;
};

using TextDrawingTest = RenderTest;

TEST_F(TextDrawingTest, LabelSizedToItsMeasuredWidthDrawsTheWholeTextAtEveryScale) {
    auto label = addLabel("Song Title - Artist", CGRectZero);
    label->sizeToFit();
    // With room to spare, nothing is cut: a tail-truncating label must draw the same.
    auto roomy = addLabel("Song Title - Artist", label->frame());
    roomy->setLineBreakMode(NSLineBreakByClipping);
    for (double scale : {1.0, 2.0, 3.0}) {
        EXPECT_TRUE(samePixels(render::snapshot(label, scale), render::snapshot(roomy, scale))) << scale;
    }
    // One point narrower, the text is cut short with an ellipsis.
    const CGSize measured = label->frame().size;
    label->setFrame(CGRectMake(0, 0, measured.width - 1, measured.height));
    roomy->setFrame(label->frame());
    EXPECT_FALSE(samePixels(render::snapshot(label, 2), render::snapshot(roomy, 2)));
}

TEST_F(TextDrawingTest, EveryScriptHasAGlyphForEachCharacter) {
    const UICairoContextPtr cairo =
        UICairoContextCreate(render::snapshot(makeView(CGRectMake(0, 0, 1, 1), nullptr), 1).get());
    for (const char* title :
         {"夜に駆ける - ヨアソビ", "أغنية المساء", "שיר הלילה", "🎵 Drive 🚗💨", kMixedScriptTitle}) {
        const auto layout = UITextMeasurement::createLayout(cairo.get());
        UITextMeasurement::configureLayout(layout.get(), *UIFont::systemFontOfSize(16), title, std::nullopt,
                                           NSLineBreakByClipping);
        EXPECT_EQ(pango_layout_get_unknown_glyphs_count(layout.get()), 0) << title;
    }
}

TEST_F(TextDrawingTest, ViewThatDrawsNothingShowsOnlyItsSubviews) {
    auto outer = alloc<ForwardingLabel>()->initWithFrame(CGRectMake(0, 0, 80, 20));
    // Neither the background its getter reports nor the text a second time.
    EXPECT_TRUE(samePixels(render::snapshot(outer, 1), render::snapshot(outer->_inner, 1)));
}

// Values from outside that must not break a frame: each draws as its sane
// counterpart, and what is drawn after it still draws.
void clip(const Ptr<UIView>& box, double radius) {
    box->setClipsToBounds(true);
    box->layer()->setCornerRadius(radius);
}

// A fading mask over the box, `width` wide, with or without its colours.
void mask(const Ptr<UIView>& box, double width, bool withColors = true) {
    auto mask = sample::fadeMask(CGSizeMake(20, 10), 5);
    mask->setBounds(CGRectMake(0, 0, width, 10));
    mask->setColors(withColors ? mask->colors() : nullptr);
    box->layer()->setMask(mask);
}

// A gradient over the box from its left edge to `end` (unit coordinates).
void addGradient(const Ptr<UIView>& box, std::vector<Ptr<NSObject>> colors, std::vector<double> locations,
                 CGPoint end = CGPointMake(1, 0.5)) {
    auto gradient = CAGradientLayer::layer();
    gradient->setBounds(CGRectMake(0, 0, 20, 10));
    gradient->setPosition(CGPointMake(10, 5));
    gradient->setStartPoint(CGPointMake(0, 0.5));
    gradient->setEndPoint(end);
    gradient->setColors(NSArray::arrayWithObjects(colors));
    std::vector<Ptr<NSObject>> numbers;
    for (double location : locations) {
        numbers.push_back(NSNumber::numberWithDouble(location));
    }
    gradient->setLocations(locations.empty() ? nullptr : NSArray::arrayWithObjects(numbers));
    box->layer()->addSublayer(gradient);
}

// Colours of both kinds a gradient takes.
const auto black = []() -> Ptr<NSObject> { return UIColor::blackColor(); };
const auto white = []() -> Ptr<NSObject> { return UIColor::whiteColor()->CGColor(); };

struct BrokenInput {
    const char* name;
    Change broken;
    // What it must look like; nothing of the box when null.
    Change sane;
};

const BrokenInput kBrokenInputs[] = {
    {"NaN position", [](auto& box) { box->layer()->setPosition(CGPointMake(kNaN, 10)); }, nullptr},
    {"NaN width", [](auto& box) { box->layer()->setBounds(CGRectMake(0, 0, kNaN, 10)); }, nullptr},
    {"huge position", [](auto& box) { box->layer()->setPosition(CGPointMake(1e300, 10)); }, nullptr},
    {"huge size", [](auto& box) { box->layer()->setBounds(CGRectMake(0, 0, 1e300, 1e300)); }, nullptr},
    {"NaN opacity", [](auto& box) { box->layer()->setOpacity(static_cast<float>(kNaN)); }, nullptr},
    {"zero-width mask", [](auto& box) { mask(box, 0); }, nullptr},
    {"NaN-width mask", [](auto& box) { mask(box, kNaN); }, nullptr},
    {"mask without colours", [](auto& box) { mask(box, 20, false); }, nullptr},
    {"NaN corner radius", [](auto& box) { clip(box, kNaN); }, [](auto& box) { clip(box, 0); }},
    {"negative corner radius", [](auto& box) { clip(box, -kInfinity); }, [](auto& box) { clip(box, 0); }},
    {"corner radius beyond half the shorter side", [](auto& box) { clip(box, 1e9); },
     [](auto& box) { clip(box, 5); }},
    {"gradient stops out of range, out of order or not colours",
     [](auto& box) {
         addGradient(box, {black(), white(), NSStr("not a colour"), black()}, {-2, 0.7, 0.3, 9});
     },
     [](auto& box) {
         addGradient(box, {black(), white(), UIColor::clearColor(), black()}, {0, 0.7, 0.7, 1});
     }},
    {"gradient with equal end points",
     [](auto& box) {
         addGradient(box, {black(), white()}, {}, {0, 0.5});
     },
     [](auto& box) { addGradient(box, {white()}, {}); }},
};

using DrawingInputTest = RenderTest;

TEST_F(DrawingInputTest, BrokenValuesDrawAsTheirSaneCounterpartAndTheFrameGoesOn) {
    for (const BrokenInput& input : kBrokenInputs) {
        SCOPED_TRACE(input.name);
        EXPECT_TRUE(samePixels(render::snapshot(canvasWithBox(input.broken), 2),
                               render::snapshot(canvasWithBox(input.sane), 2)));
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
}

} // namespace
