// Trees drawn at scale 2 and compared with stored images: clipping, rounded corners,
// masks, opacity, animation, images, text and controls. Rows that share a stored
// image must draw the same.
#include "MediaPlayer/MPVolumeView.h"
#include "RenderTestSupport.h"
#include "UIKit/UIFont.h"
#include "support/SampleTree.h"

namespace {

// A 40 x 20 white canvas with a red 20 x 10 box at (10, 5) holding a black
// 4-point square; `change` alters the box.
Ptr<UIView> canvasWithBox(void (*change)(const Ptr<UIView>& box)) {
    auto canvas = makeView(CGRectMake(0, 0, 40, 20), UIColor::whiteColor());
    auto box = makeView(CGRectMake(10, 5, 20, 10), UIColor::colorWithRed(1, 0, 0, 1), canvas);
    makeView(CGRectMake(2, 2, 4, 4), UIColor::blackColor(), box);
    change(box);
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

Ptr<UILabel> addLabel(const char* text, CGRect frame, const Ptr<UIView>& parent) {
    auto label = alloc<UILabel>()->initWithFrame(frame);
    label->setText(NSStr(text));
    label->setFont(UIFont::systemFontOfSize(16));
    parent->addSubview(label);
    return label;
}

Ptr<UIView> slider(bool withImages, float value) {
    auto slider = alloc<UISlider>()->initWithFrame(CGRectMake(0, 0, 100, 20));
    if (withImages) {
        slider->setMinimumTrackImage(sample::sliderTrackImage(0, 0, 1, 2), UIControlStateNormal);
        slider->setMaximumTrackImage(sample::sliderTrackImage(0.5, 0.5, 0.5, 2), UIControlStateNormal);
        slider->setThumbImage(sample::sliderThumbImage(2), UIControlStateNormal);
    }
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

Ptr<UIView> wrappedLabels() {
    auto canvas = makeView(CGRectMake(0, 0, 150, 44), UIColor::whiteColor());
    for (const int lines : {0, 1}) {
        auto label = addLabel("one two three four five six seven eight nine",
                              CGRectMake(2 + 76 * lines, 2, 70, 40), canvas);
        label->setNumberOfLines(lines);
        label->setLineBreakMode(NSLineBreakByWordWrapping);
    }
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
    {"WrappedLinesStopAtTheLineLimitAndTheBoundsHeight", "label-wrapping", wrappedLabels},
    {"ImageClippedToRoundedCorners", "image-rounded-clip",
     [] {
         return canvasWithImage(sample::artworkImage(30, 2), UIViewContentModeScaleToFill,
                                CGRectMake(10, 5, 40, 30), 10);
     }},
    {"AspectFitLetterboxes", "image-aspect-fit",
     [] {
         return canvasWithImage(sample::wideImage(2), UIViewContentModeScaleAspectFit,
                                CGRectMake(10, 15, 40, 10), 0);
     }},
    {"StretchableTrackKeepsItsCaps", "image-stretchable-track",
     [] {
         auto view = alloc<UIImageView>()->initWithFrame(CGRectMake(0, 0, 50, 6));
         view->setImage(sample::trackImage(2)->stretchableImageWithLeftCapWidth(4, 0));
         return Ptr<UIView>(view);
     }},
    {"SliderWithImagesAtZero", "slider-images-0", [] { return slider(true, 0); }},
    {"SliderWithImagesAtHalf", "slider-images-50", [] { return slider(true, 0.5f); }},
    {"SliderWithImagesAtFull", "slider-images-100", [] { return slider(true, 1); }},
    {"PlainSliderAtHalf", "slider-plain-50", [] { return slider(false, 0.5f); }},
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

} // namespace
