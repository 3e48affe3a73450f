#include "Foundation/NSCollections.h"
#include "Foundation/NSLog.h"
#include "MediaPlayer/MPVolumeView.h"
#include "SpringBoard/SBMediaController.h"
#include "SpringBoard/SBUIController.h"
#include "UIKit/UIActivityViewController.h"
#include "UIKit/UIAlertView.h"
#include "UIKit/UIImage.h"
#include "UIKit/UILabel.h"
#include "UIKit/UILongPressGestureRecognizer.h"
#include "UIKit/UISlider.h"
#include "widget/TrillboxViewControllerNew.h"

namespace {

// The host's UI controller, looked up afresh at each use; nil when the host has none.
Ptr<SBUIController> sharedUIController() {
    const Class controllerClass = NSClassFromString("SBUIController");
    if (!controllerClass || !controllerClass->sharedInstance) {
        return nullptr;
    }
    return as<SBUIController>(controllerClass->sharedInstance());
}

// A string entry of the now-playing dictionary, nil when missing or not a string.
Ptr<NSString> stringEntry(const Ptr<NSDictionary>& info, const char* key) {
    return info ? as<NSString>(info->objectForKey(key)) : nullptr;
}

} // namespace

void TrillboxViewControllerNew::artworkImageViewPressedLaunch() {
    if (const Ptr<SBUIController> controller = sharedUIController()) {
        controller->activateApplicationAnimated(SBMController ? SBMController->nowPlayingApplication()
                                                              : nullptr);
    }
    const Ptr<SBApplication> application = SBMController ? SBMController->nowPlayingApplication() : nullptr;
    NSLog("********************* [Trillbox] nowPlayingApplication -> %@", application);
}

void TrillboxViewControllerNew::artworkImageViewPressed() {
    // The row shown flips; the timer and the settings file are left alone.
    const BOOL showVolume = !isVolume;
    if (_timeSlider) {
        _timeSlider->setHidden(showVolume);
    }
    if (_elapsedLabel) {
        _elapsedLabel->setHidden(showVolume);
    }
    if (_lengthLabel) {
        _lengthLabel->setHidden(showVolume);
    }
    if (_myVolumeView) {
        _myVolumeView->setHidden(!showVolume);
    }
    isVolume = showVolume;
}

void TrillboxViewControllerNew::artworkImageViewLongPress(
    const Ptr<UILongPressGestureRecognizer>& recognizer) {
    if (!recognizer || recognizer->state() != UIGestureRecognizerStateBegan) {
        return;
    }
    if (!sharingAllowed) {
        auto alert = alloc<UIAlertView>()->initWithTitle(
            NSStr("Trillbox"), NSStr("Please start playing a track first before you share."), nullptr,
            NSStr("Ok"));
        alert->show();
        return;
    }

    Ptr<NSDictionary> info;
    if (SBMController) {
        // The handle keeps the variable it describes valid.
        const Class mediaClass = mediaControllerClass();
        const Ivar variable = class_getInstanceVariable(mediaClass, "_nowPlayingInfo");
        info = as<NSDictionary>(object_getIvar(SBMController.get(), variable));
    }
    // A player that gives no title shares an empty one rather than "(null)".
    const Ptr<NSString> title = stringEntry(info, "title");
    const Ptr<NSString> artist = stringEntry(info, "artist");
    const Ptr<NSString> artistPart =
        artist && artist->length() > 0 ? NSString::stringWithFormat("by %@ ", artist) : NSStr(" ");
    const Ptr<NSString> message =
        NSString::stringWithFormat("#np %@ %@via Trillbox", title ? title : NSStr(""), artistPart);

    std::vector<Ptr<NSObject>> items{message};
    if (shareArtwork && !noCover && artworkImage) {
        items.push_back(artworkImage);
    }
    auto sheet =
        alloc<UIActivityViewController>()->initWithActivityItems(NSArray::arrayWithObjects(items), nullptr);
    sheet->setModalTransitionStyle(UIModalTransitionStyleCoverVertical);
    presentViewController(sheet, YES, nullptr);
}
