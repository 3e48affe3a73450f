#include "Foundation/NSTimer.h"
#include "SpringBoard/SBMediaController.h"
#include "UIKit/UIButton.h"
#include "UIKit/UIImageView.h"
#include "UIKit/UILabel.h"
#include "UIKit/UISlider.h"
#include "marquee/MarqueeLabel.h"
#include "widget/TrillboxViewControllerNew.h"

namespace {

const char* const kNothingPlayingText = "Not Playing";
const char* const kNoTimeText = "-_-";

} // namespace

void TrillboxViewControllerNew::togglePlay(const Ptr<NSObject>& sender) {
    if (SBMController) {
        SBMController->togglePlayPause();
    }
    // The media controller applies the toggle later: this is the state before it.
    const BOOL wasPlaying = SBMController ? SBMController->isPlaying() : NO;
    if (!wasPlaying) {
        if (_playButton) {
            _playButton->setImage(bundleImage("pause"), UIControlStateNormal);
        }
        startTimeTimer();
    } else {
        if (_playButton) {
            _playButton->setImage(bundleImage("play"), UIControlStateNormal);
        }
        stopTimeTimer();
    }
    if (_playButton) {
        _playButton->setNeedsDisplay();
    }
    sharingAllowed = YES;
}

void TrillboxViewControllerNew::goTrackBack() {
    if (SBMController) {
        SBMController->changeTrack(-1);
    }
    setInfoLabelTextWithString(nullptr);
    setArtworkImageWithUIImage(nullptr);
    if (_timeSlider) {
        _timeSlider->setValue(0);
    }
}

void TrillboxViewControllerNew::goTrackForward() {
    if (SBMController) {
        SBMController->changeTrack(1);
    }
    setInfoLabelTextWithString(nullptr);
    setArtworkImageWithUIImage(nullptr);
    if (_timeSlider) {
        _timeSlider->setValue(0);
    }
}

void TrillboxViewControllerNew::updateAllDatShit() {
    setArtworkImageWithUIImage(nullptr);
    setInfoLabelTextWithString(nullptr);
    // The play state may have changed elsewhere (another remote, the player itself):
    // the button says what a press will do next, and the time row shows the new
    // track or the paused position at once instead of at the next tick.
    const BOOL playing = SBMController ? SBMController->isPlaying() : NO;
    if (_playButton) {
        _playButton->setImage(bundleImage(playing ? "pause" : "play"), UIControlStateNormal);
        _playButton->setNeedsDisplay();
    }
    if (hasNowPlayingTitle()) {
        updateTiming(nullptr);
    }
    if (playing && isPresentedByHost() && !(timeTimer && timeTimer->isValid())) {
        startTimeTimer();
    }
}

void TrillboxViewControllerNew::setInfoLabelTextWithString(const Ptr<NSString>& string) {
    if (hasNowPlayingTitle()) {
        const Ptr<NSString> freshTitle = SBMController->nowPlayingTitle();
        const Ptr<NSString> artist = SBMController->nowPlayingArtist();
        // A player that names no artist (or drops the title meanwhile) shows an
        // empty part rather than "(null)".
        if (_infoLabel) {
            _infoLabel->setText(NSString::stringWithFormat("%@ - %@", freshTitle ? freshTitle : NSStr(""),
                                                           artist ? artist : NSStr("")));
        }
        sharingAllowed = YES;
        return;
    }
    if (_elapsedLabel) {
        _elapsedLabel->setText(NSStr(kNoTimeText));
    }
    if (_lengthLabel) {
        _lengthLabel->setText(NSStr(kNoTimeText));
    }
    if (_infoLabel) {
        _infoLabel->setText(NSStr(kNothingPlayingText));
    }
    sharingAllowed = NO;
}

BOOL TrillboxViewControllerNew::hasNowPlayingTitle() const {
    const Ptr<NSString> title = SBMController ? SBMController->nowPlayingTitle() : nullptr;
    return title && title->length() > 0;
}

void TrillboxViewControllerNew::setArtworkImageWithUIImage(const Ptr<UIImage>& image) {
    if (_artworkImageView) {
        _artworkImageView->setImage(nullptr);
    }
    artworkImage = SBMController ? SBMController->artwork() : nullptr;
    if (!artworkImage) {
        artworkImage = bundleImage("no_cover");
        noCover = YES;
    } else {
        noCover = NO;
    }
    if (_artworkImageView) {
        _artworkImageView->setImage(artworkImage);
        _artworkImageView->setContentMode(UIViewContentModeScaleAspectFit);
        _artworkImageView->setNeedsDisplay();
    }
}
