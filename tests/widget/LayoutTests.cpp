#include <cmath>

#include "Foundation/NSNumber.h"
#include "MediaPlayer/MPVolumeView.h"
#include "UIKit/UIButton.h"
#include "UIKit/UIColor.h"
#include "UIKit/UIFont.h"
#include "UIKit/UIImageView.h"
#include "UIKit/UILabel.h"
#include "UIKit/UILongPressGestureRecognizer.h"
#include "UIKit/UISlider.h"
#include "UIKit/UITapGestureRecognizer.h"
#include "WidgetTestSupport.h"
#include "marquee/MarqueeLabel.h"

namespace widget_test {
namespace {

// Frames live in the layer as position and bounds, so fractions come back rounded.
bool sameFrame(const Ptr<UIView>& view, CGRect frame) {
    const CGRect actual = view->frame();
    const auto near = [](CGFloat a, CGFloat b) { return std::abs(a - b) < 1e-9; };
    return near(actual.origin.x, frame.origin.x) && near(actual.origin.y, frame.origin.y) &&
           near(actual.size.width, frame.size.width) && near(actual.size.height, frame.size.height);
}

void expectStretchableTrack(const Ptr<UIImage>& image) {
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(isBundleImage(image, "slider_bg"));
    EXPECT_TRUE(image->isStretchable());
    EXPECT_EQ(image->leftCapWidth(), 1);
    EXPECT_EQ(image->topCapHeight(), 0);
}

void expectTimeLabel(const Ptr<UILabel>& label, CGRect frame) {
    EXPECT_EQ(label->className(), "UILabel");
    EXPECT_TRUE(sameFrame(label, frame));
    EXPECT_TRUE(NSObjectsEqual(label->font(), UIFont::systemFontOfSize(8)));
    EXPECT_EQ(label->textAlignment(), NSTextAlignmentCenter);
    EXPECT_TRUE(NSObjectsEqual(label->textColor(), UIColor::whiteColor()));
    EXPECT_EQ(NSStringText(label->text()), "-_-");
}

using LayoutTest = WidgetTest;

TEST_F(LayoutTest, DefaultBuildPlacesEveryControlWithItsImagesAndWiring) {
    makeController();
    const auto& c = *controller;
    const std::vector<Ptr<UIView>> expectedOrder{c.artworkImageView(), c.infoLabel(),    c.lastButton(),
                                                 c.playButton(),       c.nextButton(),   c.myVolumeView(),
                                                 c.timeSlider(),       c.elapsedLabel(), c.lengthLabel()};
    EXPECT_EQ(controller->view()->subviews(), expectedOrder);

    const Ptr<UIImageView> artwork = c.artworkImageView();
    EXPECT_EQ(artwork->className(), "UIImageView");
    EXPECT_TRUE(sameFrame(artwork, CGRectMake(10, 10, 85, 85)));
    EXPECT_TRUE(isBundleImage(artwork->image(), "not_playing"));
    EXPECT_EQ(artwork->contentMode(), UIViewContentModeScaleAspectFit);
    EXPECT_TRUE(artwork->isUserInteractionEnabled());
    EXPECT_TRUE(artwork->isMultipleTouchEnabled());
    EXPECT_TRUE(artwork->layer()->masksToBounds());
    EXPECT_DOUBLE_EQ(artwork->layer()->cornerRadius(), 0);
    const auto& recognizers = artwork->gestureRecognizers();
    ASSERT_EQ(recognizers.size(), 3u);
    EXPECT_EQ(as<UITapGestureRecognizer>(recognizers[0])->numberOfTapsRequired(), 2u);
    EXPECT_EQ(as<UITapGestureRecognizer>(recognizers[1])->numberOfTapsRequired(), 1u);
    const auto longPress = as<UILongPressGestureRecognizer>(recognizers[2]);
    ASSERT_NE(longPress, nullptr);
    EXPECT_DOUBLE_EQ(longPress->minimumPressDuration(), kUILongPressMinimumDuration);

    const Ptr<MarqueeLabel> info = c.infoLabel();
    EXPECT_TRUE(sameFrame(info, CGRectMake(110, 10, 200, 20)));
    EXPECT_DOUBLE_EQ(info->rate(), 50);
    EXPECT_DOUBLE_EQ(info->fadeLength(), 20);
    EXPECT_EQ(info->marqueeType(), MarqueeTypeContinuousLeft);
    EXPECT_EQ(info->animationCurve(), 0x30000u);
    EXPECT_DOUBLE_EQ(info->continuousMarqueeExtraBuffer(), 20);
    EXPECT_EQ(NSStringText(info->text()), "Not Playing");
    EXPECT_TRUE(NSObjectsEqual(info->font(), UIFont::systemFontOfSize(16)));
    EXPECT_TRUE(NSObjectsEqual(info->textColor(), UIColor::whiteColor()));

    const struct {
        Ptr<UIButton> button;
        CGRect frame;
        const char* image;
    } buttons[]{{c.lastButton(), CGRectMake(120, 42, 32, 20), "backward"},
                {c.playButton(), CGRectMake(202, 42, 16, 20), "play"},
                {c.nextButton(), CGRectMake(268, 42, 32, 20), "forward"}};
    for (const auto& expected : buttons) {
        SCOPED_TRACE(expected.image);
        EXPECT_EQ(expected.button->buttonType(), UIButtonTypeCustom);
        EXPECT_TRUE(sameFrame(expected.button, expected.frame));
        EXPECT_TRUE(isBundleImage(expected.button->imageForState(UIControlStateNormal), expected.image));
        EXPECT_EQ(expected.button->allControlEvents(), UIControlEventTouchUpInside);
        EXPECT_EQ(expected.button->actionCountForControlEvents(UIControlEventTouchUpInside), 1u);
        EXPECT_FALSE(expected.button->isHidden());
    }

    const Ptr<MPVolumeView> volume = c.myVolumeView();
    EXPECT_TRUE(sameFrame(volume, CGRectMake(130, 75, 160, 20)));
    EXPECT_TRUE(isBundleImage(volume->volumeThumbImageForState(UIControlStateNormal), "volume_knob"));
    expectStretchableTrack(volume->minimumVolumeSliderImageForState(UIControlStateNormal));
    expectStretchableTrack(volume->maximumVolumeSliderImageForState(UIControlStateNormal));
    EXPECT_TRUE(volume->isHidden());

    const Ptr<UISlider> slider = c.timeSlider();
    EXPECT_EQ(slider->className(), "UISlider");
    EXPECT_TRUE(sameFrame(slider, CGRectMake(150, 75, 120, 20)));
    EXPECT_FLOAT_EQ(slider->minimumValue(), 0);
    EXPECT_TRUE(isBundleImage(slider->thumbImageForState(UIControlStateNormal), "slider_thumb"));
    expectStretchableTrack(slider->minimumTrackImageForState(UIControlStateNormal));
    expectStretchableTrack(slider->maximumTrackImageForState(UIControlStateNormal));
    EXPECT_EQ(slider->allControlEvents(), UIControlEventValueChanged | UIControlEventTouchDown |
                                              UIControlEventTouchUpInside | UIControlEventTouchUpOutside |
                                              UIControlEventTouchCancel);
    EXPECT_FALSE(slider->isHidden());

    expectTimeLabel(c.elapsedLabel(), CGRectMake(111, 75, 40, 20));
    expectTimeLabel(c.lengthLabel(), CGRectMake(270, 75, 40, 20));
    EXPECT_FALSE(c.elapsedLabel()->isHidden());
    EXPECT_FALSE(c.lengthLabel()->isHidden());
}

TEST_F(LayoutTest, SettingsAddSeparatorsRoundTheArtworkAndStartWithTheVolumeSlider) {
    writeSettings(
        NSDictionary::dictionaryWithEntries({{"startView", NSStr("volume")},
                                             {"showSeperators", NSNumber::numberWithBool(true)},
                                             {"roundedCornersValue", NSNumber::numberWithInteger(10)}}));
    makeController();
    const auto& subviews = controller->view()->subviews();
    ASSERT_EQ(subviews.size(), 11u);
    const CGRect lines[]{CGRectMake(0, 0.1, 320, 0.5), CGRectMake(0, 103.5, 320, 0.5)};
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(subviews[i]->className(), "UIView");
        EXPECT_TRUE(sameFrame(subviews[i], lines[i]));
        EXPECT_TRUE(NSObjectsEqual(subviews[i]->backgroundColor(), UIColor::grayColor()));
    }
    EXPECT_EQ(subviews[2], controller->artworkImageView());
    EXPECT_DOUBLE_EQ(controller->artworkImageView()->layer()->cornerRadius(), 10);
    EXPECT_TRUE(controller->artworkImageView()->layer()->masksToBounds());
    EXPECT_FALSE(controller->myVolumeView()->isHidden());
    EXPECT_TRUE(controller->timeSlider()->isHidden());
    EXPECT_TRUE(controller->elapsedLabel()->isHidden());
    EXPECT_TRUE(controller->lengthLabel()->isHidden());
}

TEST_F(LayoutTest, ButtonsActOnARealTapAndNotOnAReleaseOutside) {
    makeController();
    tap(CGPointMake(136, 52));
    tap(CGPointMake(284, 52));
    EXPECT_EQ(media->trackChanges, (std::vector<std::int32_t>{-1, 1}));

    press(CGPointMake(136, 52), 0.1, CGPointMake(136, 100));
    press(CGPointMake(210, 52), 0.1, CGPointMake(250, 100));
    EXPECT_EQ(media->trackChanges.size(), 2u);
    EXPECT_EQ(media->count("togglePlayPause"), 0u);
}

TEST_F(LayoutTest, ImagesFollowTheScreenScale) {
    NSBundle::setPreferredImageScale(2);
    makeController();
    const Ptr<UIImage> play = controller->playButton()->imageForState(UIControlStateNormal);
    ASSERT_NE(play, nullptr);
    EXPECT_DOUBLE_EQ(play->scale(), 2);
    EXPECT_TRUE(isBundleImage(play, "play"));
}

} // namespace
} // namespace widget_test
