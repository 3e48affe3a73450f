#include "Foundation/NSNotificationCenter.h"
#include "MediaPlayer/MPVolumeView.h"
#include "SpringBoard/SBMediaController.h"
#include "UIKit/UIButton.h"
#include "UIKit/UIColor.h"
#include "UIKit/UIFont.h"
#include "UIKit/UIImage.h"
#include "UIKit/UIImageView.h"
#include "UIKit/UILabel.h"
#include "UIKit/UILongPressGestureRecognizer.h"
#include "UIKit/UISlider.h"
#include "UIKit/UITapGestureRecognizer.h"
#include "marquee/MarqueeLabel.h"
#include "widget/TrillboxViewControllerNew.h"

namespace {

constexpr CGRect kTopSeparatorFrame{{0, 0.1}, {320, 0.5}};
constexpr CGRect kBottomSeparatorFrame{{0, 103.5}, {320, 0.5}};
constexpr CGFloat kInfoLabelRate = 50;
constexpr CGFloat kInfoLabelFadeLength = 20;
constexpr CGFloat kInfoLabelExtraBuffer = 20;
constexpr CGFloat kInfoLabelFontSize = 16;
constexpr CGFloat kTimeLabelFontSize = 8;
// The track images stretch everything right of their first point.
constexpr NSInteger kTrackLeftCapWidth = 1;
constexpr NSInteger kTrackTopCapHeight = 0;

Ptr<UIView> separatorLine(CGRect frame) {
    auto line = alloc<UIView>()->initWithFrame(frame);
    line->setBackgroundColor(UIColor::grayColor());
    return line;
}

Ptr<UIImage> stretchableTrack(const Ptr<UIImage>& image) {
    return image ? image->stretchableImageWithLeftCapWidth(kTrackLeftCapWidth, kTrackTopCapHeight) : nullptr;
}

Ptr<UILabel> timeLabel(CGRect frame) {
    auto label = alloc<UILabel>()->initWithFrame(frame);
    label->setFont(UIFont::systemFontOfSize(kTimeLabelFontSize));
    // Up to 99 hours fits at the label's font; longer times shrink to the frame.
    label->setAdjustsFontSizeToFitWidth(YES);
    label->setTextAlignment(NSTextAlignmentCenter);
    label->setTextColor(UIColor::whiteColor());
    label->setText(NSStr("-_-"));
    label->setHidden(YES);
    return label;
}

} // namespace

void TrillboxViewControllerNew::loadTheView() {
    using Self = TrillboxViewControllerNew;
    const Ptr<Self> me = self<Self>();
    const Ptr<UIView> root = view();

    getAndSetSettingsFromPlist();

    // One registration however often the view is built, so that a change
    // refreshes the widget once.
    NSNotificationCenter* const center = NSNotificationCenter::defaultCenter();
    center->removeObserver(this, SBMediaNowPlayingChangedNotification, nullptr);
    center->addObserver(me, &Self::updateAllDatShit, SBMediaNowPlayingChangedNotification, nullptr);

    if (showSeperators) {
        root->addSubview(separatorLine(kTopSeparatorFrame));
        root->addSubview(separatorLine(kBottomSeparatorFrame));
    }

    setArtworkImageView(alloc<UIImageView>()->initWithFrame(artworkImageViewFrame));
    _artworkImageView->setImage(bundleImage("not_playing"));
    _artworkImageView->setContentMode(UIViewContentModeScaleAspectFit);
    _artworkImageView->setUserInteractionEnabled(YES);
    _artworkImageView->setMultipleTouchEnabled(YES);

    auto doubleTap = alloc<UITapGestureRecognizer>()->initWithTarget(me, &Self::artworkImageViewPressed);
    doubleTap->setNumberOfTapsRequired(2);
    _artworkImageView->addGestureRecognizer(doubleTap);
    auto singleTap =
        alloc<UITapGestureRecognizer>()->initWithTarget(me, &Self::artworkImageViewPressedLaunch);
    singleTap->setNumberOfTapsRequired(1);
    _artworkImageView->addGestureRecognizer(singleTap);
    auto longPress = alloc<UILongPressGestureRecognizer>()->init();
    longPress->addTarget(me, &Self::artworkImageViewLongPress);
    _artworkImageView->addGestureRecognizer(longPress);
    singleTap->requireGestureRecognizerToFail(doubleTap);

    if (roundedCover) {
        _artworkImageView->layer()->setCornerRadius(artworkCornerRadius);
    }
    _artworkImageView->layer()->setMasksToBounds(YES);
    root->addSubview(_artworkImageView);

    setInfoLabel(alloc<MarqueeLabel>()->initWithFrameRateAndFadeLength(infoLabelFrame, kInfoLabelRate,
                                                                       kInfoLabelFadeLength));
    _infoLabel->setMarqueeType(MarqueeTypeContinuousLeft);
    _infoLabel->setAnimationCurve(UIViewAnimationOptionCurveLinear);
    _infoLabel->setContinuousMarqueeExtraBuffer(kInfoLabelExtraBuffer);
    _infoLabel->setText(NSStr("Not Playing"));
    _infoLabel->setFont(UIFont::systemFontOfSize(kInfoLabelFontSize));
    _infoLabel->setTextColor(UIColor::whiteColor());
    root->addSubview(_infoLabel);

    setLastButton(UIButton::buttonWithType(UIButtonTypeCustom));
    _lastButton->setFrame(lastButtonFrame);
    _lastButton->setImage(bundleImage("backward"), UIControlStateNormal);
    _lastButton->addTarget(me, &Self::goTrackBack, UIControlEventTouchUpInside);
    root->addSubview(_lastButton);

    setPlayButton(UIButton::buttonWithType(UIButtonTypeCustom));
    _playButton->setFrame(playButtonFrame);
    _playButton->setImage(bundleImage("play"), UIControlStateNormal);
    _playButton->addTarget(me, &Self::togglePlay, UIControlEventTouchUpInside);
    root->addSubview(_playButton);

    setNextButton(UIButton::buttonWithType(UIButtonTypeCustom));
    _nextButton->setFrame(nextButtonFrame);
    _nextButton->setImage(bundleImage("forward"), UIControlStateNormal);
    _nextButton->addTarget(me, &Self::goTrackForward, UIControlEventTouchUpInside);
    root->addSubview(_nextButton);

    setMyVolumeView(alloc<MPVolumeView>()->initWithFrame(myVolumeViewFrame));
    _myVolumeView->setVolumeThumbImage(bundleImage("volume_knob"), UIControlStateNormal);
    _myVolumeView->setMaximumVolumeSliderImage(stretchableTrack(bundleImage("slider_bg")),
                                               UIControlStateNormal);
    _myVolumeView->setMinimumVolumeSliderImage(stretchableTrack(bundleImage("slider_bg")),
                                               UIControlStateNormal);
    _myVolumeView->setHidden(YES);
    root->addSubview(_myVolumeView);

    setTimeSlider(alloc<UISlider>()->initWithFrame(timeSliderFrame));
    _timeSlider->setMinimumValue(0);
    _timeSlider->setThumbImage(bundleImage("slider_thumb"), UIControlStateNormal);
    _timeSlider->setMinimumTrackImage(stretchableTrack(bundleImage("slider_bg")), UIControlStateNormal);
    _timeSlider->setMaximumTrackImage(stretchableTrack(bundleImage("slider_bg")), UIControlStateNormal);
    _timeSlider->addTarget(me, &Self::sliderDidInteractionByUser, UIControlEventValueChanged);
    // Every way a drag can end lets the ticks move the slider again, so a release
    // outside the slider cannot leave it frozen.
    _timeSlider->addTarget(me, &Self::sliderDidInteractionByUserStarted, UIControlEventTouchDown);
    _timeSlider->addTarget(me, &Self::sliderDidInteractionByUserStoped,
                           UIControlEventTouchUpInside | UIControlEventTouchUpOutside |
                               UIControlEventTouchCancel);
    _timeSlider->setHidden(YES);
    root->addSubview(_timeSlider);

    setElapsedLabel(timeLabel(elapsedLabelFrame));
    root->addSubview(_elapsedLabel);
    setLengthLabel(timeLabel(lengthLabelFrame));
    root->addSubview(_lengthLabel);

    _timeSlider->setHidden(isVolume);
    _elapsedLabel->setHidden(isVolume);
    _lengthLabel->setHidden(isVolume);
    _myVolumeView->setHidden(!isVolume);
}
