#include "Foundation/NSBundle.h"
#include "Foundation/NSTimer.h"
#include "SpringBoard/SBMediaController.h"
#include "UIKit/UIButton.h"
#include "UIKit/UIColor.h"
#include "UIKit/UIImage.h"
#include "widget/TrillboxView.h"
#include "widget/TrillboxViewControllerNew.h"

namespace {

constexpr CGFloat kWidgetWidth = 320;
constexpr CGFloat kWidgetHeight = 105;
constexpr NSTimeInterval kTrackTimeInterval = 0.5;

// Makes the widget's classes known by name as soon as its code is loaded, in the
// bundle's library as in any program the code is linked into; a library that is
// unloaded takes them away again.
class TrillboxClassRegistrar {
public:
    TrillboxClassRegistrar() {
        objc_registerClass(objc_describeClass<TrillboxViewControllerNew>("TrillboxViewControllerNew"));
        objc_registerClass(objc_describeClass<TrillboxView>("TrillboxView"));
    }
    ~TrillboxClassRegistrar() {
        objc_unregisterClass("TrillboxViewControllerNew");
        objc_unregisterClass("TrillboxView");
    }
    TrillboxClassRegistrar(const TrillboxClassRegistrar&) = delete;
    TrillboxClassRegistrar& operator=(const TrillboxClassRegistrar&) = delete;
};

const TrillboxClassRegistrar registrar;

} // namespace

Class TrillboxViewControllerNew::mediaControllerClass() {
    // Looked up each time, so that the class a host registers later (a new
    // session, a new player) is the one used. The last one found is kept for a
    // host that has since unregistered it.
    static Class lastFound;
    if (Class found = NSClassFromString("SBMediaController")) {
        lastFound = std::move(found);
    }
    return lastFound;
}

Ptr<TrillboxViewControllerNew> TrillboxViewControllerNew::init() {
    if (!_SBUIWidgetViewController::init()) {
        return nullptr;
    }
    setBundle(NSBundle::bundleForClass(object_getClass(this)));
    if (const Class media = mediaControllerClass(); media && media->sharedInstance) {
        SBMController = as<SBMediaController>(media->sharedInstance());
    }
    sliderIsTouched = NO;
    sharingAllowed = NO;
    noCover = YES;
    artworkImageViewFrame = CGRectMake(10, 10, 85, 85);
    infoLabelFrame = CGRectMake(110, 10, 200, 20);
    lastButtonFrame = CGRectMake(120, 42, 32, 20);
    playButtonFrame = CGRectMake(202, 42, 16, 20);
    nextButtonFrame = CGRectMake(268, 42, 32, 20);
    myVolumeViewFrame = CGRectMake(130, 75, 160, 20);
    timeSliderFrame = CGRectMake(150, 75, 120, 20);
    elapsedLabelFrame = CGRectMake(111, 75, 40, 20);
    lengthLabelFrame = CGRectMake(270, 75, 40, 20);
    return self<TrillboxViewControllerNew>();
}

void TrillboxViewControllerNew::loadView() {
    const CGSize size = preferredViewSize();
    setView(alloc<TrillboxView>()->initWithFrame(CGRectMake(0, 0, size.width, size.height)));
}

CGSize TrillboxViewControllerNew::preferredViewSize() {
    return CGSizeMake(kWidgetWidth, kWidgetHeight);
}

void TrillboxViewControllerNew::viewDidLoad() {
    _SBUIWidgetViewController::viewDidLoad();
    view()->setBackgroundColor(UIColor::clearColor());
    loadTheView();
}

void TrillboxViewControllerNew::hostDidDismiss() {
    _SBUIWidgetViewController::hostDidDismiss();
    stopTimeTimer();
}

void TrillboxViewControllerNew::hostDidPresent() {
    _SBUIWidgetViewController::hostDidPresent();
    startTimeTimer();
    if (SBMController && SBMController->isPlaying()) {
        if (_playButton) {
            _playButton->setImage(bundleImage("pause"), UIControlStateNormal);
        }
        setInfoLabelTextWithString(nullptr);
        setArtworkImageWithUIImage(nullptr);
        sharingAllowed = YES;
    } else if (_playButton) {
        _playButton->setImage(bundleImage("play"), UIControlStateNormal);
    }
    if (_playButton) {
        _playButton->setNeedsDisplay();
    }
}

void TrillboxViewControllerNew::startTimeTimer() {
    // At most one track-time timer runs.
    stopTimeTimer();
    timeTimer =
        NSTimer::scheduledTimerWithTimeInterval(kTrackTimeInterval, self<TrillboxViewControllerNew>(),
                                                &TrillboxViewControllerNew::updateTiming, nullptr, YES);
}

void TrillboxViewControllerNew::stopTimeTimer() {
    if (timeTimer) {
        timeTimer->invalidate();
    }
}

Ptr<UIImage> TrillboxViewControllerNew::bundleImage(const char* name) const {
    if (!_bundle) {
        return nullptr;
    }
    return UIImage::imageWithContentsOfFile(_bundle->pathForResource(NSStr(name), NSStr("png")));
}
