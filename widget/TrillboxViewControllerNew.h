#pragma once

#include <cstdint>

#include "CoreGraphics/CGGeometry.h"
#include "Foundation/NSObject.h"
#include "Foundation/NSRuntime.h"
#include "Foundation/NSString.h"
#include "SpringBoard/_SBUIWidgetViewController.h"
#include "widget/TrillboxSettings.h"

class MPVolumeView;
class MarqueeLabel;
class NSBundle;
class NSTimer;
class SBMediaController;
class UIButton;
class UIImage;
class UIImageView;
class UILabel;
class UILongPressGestureRecognizer;
class UISlider;

// The now-playing widget under the newer Notification Center host: artwork, a
// scrolling title line, previous / play-pause / next, and a bottom row that shows
// either the system volume slider or the track time. Every playback query and
// command goes to the host's shared SBMediaController; with no media controller
// in the host every query answers NO, 0 or nil.
class TrillboxViewControllerNew : public _SBUIWidgetViewController {
public:
    // --- Host-facing ------------------------------------------------------------

    // Takes the host's shared media controller; nil when the base class fails.
    Ptr<TrillboxViewControllerNew> init();
    // Installs a transparent TrillboxView of preferredViewSize at (0, 0).
    void loadView() override;
    // 320 x 105 points on every device.
    CGSize preferredViewSize() override;
    // Clears the root view's background and builds the controls (loadTheView).
    void viewDidLoad() override;
    // Stops the track-time timer.
    void hostDidDismiss() override;
    // Starts the track-time timer and, while music plays, shows the pause image and
    // refreshes the title line and artwork.
    void hostDidPresent() override;

    // --- Layout -----------------------------------------------------------------

    // Reads the settings, registers for now-playing changes and builds every
    // control into the root view. Runs once per view build.
    void loadTheView();

    // --- Artwork actions --------------------------------------------------------

    // Single tap: brings the playing application to the front and logs it.
    void artworkImageViewPressedLaunch();
    // Long press: shares the now-playing message (and artwork when allowed), or
    // explains that nothing plays yet. Acts only when the press begins.
    void artworkImageViewLongPress(const Ptr<UILongPressGestureRecognizer>& recognizer);

    // --- Track time -------------------------------------------------------------

    // The time slider moved: seeks to its value and holds the slider for the user.
    void sliderDidInteractionByUser(const Ptr<UISlider>& slider);
    // A drag of the time slider began: ticks leave the slider alone.
    void sliderDidInteractionByUserStarted();
    // A drag of the time slider ended (inside, outside or cancelled): ticks move
    // the slider again.
    void sliderDidInteractionByUserStoped();
    // The track-time timer's tick: slider, elapsed and remaining time.
    void updateTiming(const Ptr<NSTimer>& timer);
    // "mm:ss" below an hour, negative values with signed fields ("-01:-05");
    // "h:mm:ss" from an hour on, negative values with one leading "-" ("-1:02:05").
    // NaN reads as 0; values beyond the 32-bit range saturate.
    Ptr<NSString> doubleToTimeString(double seconds);

    // Double tap: switches the bottom row between volume slider and track time.
    void artworkImageViewPressed();

    // --- Playback ---------------------------------------------------------------

    void goTrackBack();
    void goTrackForward();
    // Play/pause: toggles playback, swaps the button image, starts or stops the
    // track-time timer and allows sharing.
    void togglePlay(const Ptr<NSObject>& sender);
    // The now-playing change notification: artwork, then title line; the play
    // button follows the play state, the time row is refreshed at once while a
    // title shows, and while presented a playing track gets its timer.
    void updateAllDatShit();
    // Refreshes the title line from the media controller; `string` is not read.
    void setInfoLabelTextWithString(const Ptr<NSString>& string);
    // Refreshes the artwork view from the media controller; `image` is not read.
    void setArtworkImageWithUIImage(const Ptr<UIImage>& image);

    // --- Settings ---------------------------------------------------------------

    // Reads TrillboxPreferencesPath afresh into the settings fields; a missing or
    // unusable file gives the defaults.
    void getAndSetSettingsFromPlist();

    // --- Properties -------------------------------------------------------------

    const Ptr<NSBundle>& bundle() const { return _bundle; }
    void setBundle(const Ptr<NSBundle>& bundle) { _bundle = bundle; }
    const Ptr<UIButton>& playButton() const { return _playButton; }
    void setPlayButton(const Ptr<UIButton>& button) { _playButton = button; }
    const Ptr<UIImageView>& artworkImageView() const { return _artworkImageView; }
    void setArtworkImageView(const Ptr<UIImageView>& view) { _artworkImageView = view; }
    const Ptr<MarqueeLabel>& infoLabel() const { return _infoLabel; }
    void setInfoLabel(const Ptr<MarqueeLabel>& label) { _infoLabel = label; }
    const Ptr<UIButton>& lastButton() const { return _lastButton; }
    void setLastButton(const Ptr<UIButton>& button) { _lastButton = button; }
    const Ptr<UIButton>& nextButton() const { return _nextButton; }
    void setNextButton(const Ptr<UIButton>& button) { _nextButton = button; }
    const Ptr<UISlider>& timeSlider() const { return _timeSlider; }
    void setTimeSlider(const Ptr<UISlider>& slider) { _timeSlider = slider; }
    const Ptr<MPVolumeView>& myVolumeView() const { return _myVolumeView; }
    void setMyVolumeView(const Ptr<MPVolumeView>& view) { _myVolumeView = view; }
    const Ptr<UILabel>& elapsedLabel() const { return _elapsedLabel; }
    void setElapsedLabel(const Ptr<UILabel>& label) { _elapsedLabel = label; }
    const Ptr<UILabel>& lengthLabel() const { return _lengthLabel; }
    void setLengthLabel(const Ptr<UILabel>& label) { _lengthLabel = label; }

    // --- State ------------------------------------------------------------------
    // Open for the host's diagnostics and for tests; the widget alone writes them.

    // The host's shared media controller; nil when the host has none.
    Ptr<SBMediaController> SBMController;
    // The user is dragging the time slider: ticks leave it alone.
    BOOL sliderIsTouched = NO;
    // The volume slider shows (YES) or the track-time row does (NO).
    BOOL isVolume = NO;
    // A shared message carries the artwork.
    BOOL shareArtwork = NO;
    // The image last put into the artwork view, artwork or placeholder.
    Ptr<UIImage> artworkImage;
    CGRect artworkImageViewFrame{};
    CGRect infoLabelFrame{};
    CGRect lastButtonFrame{};
    CGRect playButtonFrame{};
    CGRect nextButtonFrame{};
    CGRect myVolumeViewFrame{};
    CGRect timeSliderFrame{};
    CGRect elapsedLabelFrame{};
    CGRect lengthLabelFrame{};
    // Something is known to play, so a long press may share.
    BOOL sharingAllowed = NO;
    // The artwork view shows the placeholder.
    BOOL noCover = NO;
    // The artwork view's layer gets artworkCornerRadius.
    BOOL roundedCover = NO;
    // The build adds the separator lines.
    BOOL showSeperators = NO;
    CGFloat artworkCornerRadius = 0;
    // The track-time timer; kept after invalidation until the next start.
    Ptr<NSTimer> timeTimer;

private:
    // The host's media controller class, found by name; the last one found while
    // the host has none registered now, nil while it never had one.
    static Class mediaControllerClass();
    // The bundle image `name`.png; nil when it is missing.
    Ptr<UIImage> bundleImage(const char* name) const;
    // The media controller names a non-empty title.
    BOOL hasNowPlayingTitle() const;
    // Starts the track-time timer, stopping one still held.
    void startTimeTimer();
    void stopTimeTimer();

    Ptr<NSBundle> _bundle;
    Ptr<UIButton> _playButton;
    Ptr<UIImageView> _artworkImageView;
    Ptr<MarqueeLabel> _infoLabel;
    Ptr<UIButton> _lastButton;
    Ptr<UIButton> _nextButton;
    Ptr<UISlider> _timeSlider;
    Ptr<MPVolumeView> _myVolumeView;
    Ptr<UILabel> _elapsedLabel;
    Ptr<UILabel> _lengthLabel;
};
