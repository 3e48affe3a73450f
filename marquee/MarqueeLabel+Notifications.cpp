// The label's reactions to its view controller's notifications, to navigation, to
// the application's state and to rotations, and the class operations that post
// the controller notifications.
#include "Foundation/NSWhileAlive.h"
#include "UIKit/UIApplication.h"
#include "UIKit/UIViewController.h"
#include "UIKit/UIWindow.h"
#include "marquee/MarqueeLabel.h"

namespace {

constexpr const char* kRestartNotification = "MarqueeLabelViewControllerRestart";
constexpr const char* kLabelizeNotification = "MarqueeLabelShouldLabelizeNotification";
constexpr const char* kAnimateNotification = "MarqueeLabelShouldAnimateNotification";
constexpr const char* kControllerKey = "controller";
constexpr const char* kNavigationDidShowNotification =
    "UINavigationControllerDidShowViewControllerNotification";
constexpr const char* kLastVisibleControllerKey = "UINavigationControllerLastVisibleViewController";
constexpr const char* kNextVisibleControllerKey = "UINavigationControllerNextVisibleViewController";
constexpr const char* kAnimationDidStopNotification = "UIViewAnimationDidStopNotification";
constexpr const char* kAnimationDelegateKey = "delegate";

Ptr<NSObject> userInfoEntry(const Ptr<NSNotification>& notification, const char* key) {
    if (!notification || !notification->userInfo()) {
        return nullptr;
    }
    return notification->userInfo()->objectForKey(key);
}

// Whether a controller notification names this very controller.
BOOL sentToController(const Ptr<NSNotification>& notification, const Ptr<UIViewController>& mine) {
    return mine && userInfoEntry(notification, kControllerKey).get() == mine.get();
}

} // namespace

// --- Class operations ---------------------------------------------------------------

void MarqueeLabel::restartLabelsOfController(const Ptr<UIViewController>& controller) {
    notifyController(controller, NSStr(kRestartNotification));
}

void MarqueeLabel::controllerViewWillAppear(const Ptr<UIViewController>& controller) {
    restartLabelsOfController(controller);
}

void MarqueeLabel::controllerViewDidAppear(const Ptr<UIViewController>& controller) {
    restartLabelsOfController(controller);
}

void MarqueeLabel::controllerViewAppearing(const Ptr<UIViewController>& controller) {
    restartLabelsOfController(controller);
}

void MarqueeLabel::controllerLabelsShouldLabelize(const Ptr<UIViewController>& controller) {
    notifyController(controller, NSStr(kLabelizeNotification));
}

void MarqueeLabel::controllerLabelsShouldAnimate(const Ptr<UIViewController>& controller) {
    notifyController(controller, NSStr(kAnimateNotification));
}

void MarqueeLabel::notifyController(const Ptr<UIViewController>& controller, const Ptr<NSString>& message) {
    if (!controller || !message) {
        return;
    }
    NSNotificationCenter::defaultCenter()->postNotificationName(
        message->UTF8String(), nullptr, NSDictionary::dictionaryWithEntries({{kControllerKey, controller}}));
}

// --- Handlers -----------------------------------------------------------------------

void MarqueeLabel::viewControllerShouldRestart(const Ptr<NSNotification>& notification) {
    if (sentToController(notification, MarqueeLabelHelpers::firstAvailableViewController(this))) {
        restartLabel();
    }
}

void MarqueeLabel::labelsShouldLabelize(const Ptr<NSNotification>& notification) {
    if (sentToController(notification, MarqueeLabelHelpers::firstAvailableViewController(this))) {
        setLabelize(YES);
    }
}

void MarqueeLabel::labelsShouldAnimate(const Ptr<NSNotification>& notification) {
    if (sentToController(notification, MarqueeLabelHelpers::firstAvailableViewController(this))) {
        setLabelize(NO);
    }
}

void MarqueeLabel::observedViewControllerChange(const Ptr<NSNotification>& notification) {
    const auto mine = MarqueeLabelHelpers::firstAvailableViewController(this);
    if (!mine) {
        return;
    }
    const auto last = userInfoEntry(notification, kLastVisibleControllerKey);
    const auto next = userInfoEntry(notification, kNextVisibleControllerKey);
    if (last && last->isEqual(mine.get())) {
        shutdownLabel();
    } else if (next && next->isEqual(mine.get())) {
        restartLabel();
    }
}

// --- Registration and rotations -----------------------------------------------------

void MarqueeLabel::registerObservers() {
    auto* center = NSNotificationCenter::defaultCenter();
    const auto label = self<MarqueeLabel>();
    center->addObserver(label, &MarqueeLabel::viewControllerShouldRestart, kRestartNotification, nullptr);
    center->addObserver(label, &MarqueeLabel::labelsShouldLabelize, kLabelizeNotification, nullptr);
    center->addObserver(label, &MarqueeLabel::labelsShouldAnimate, kAnimateNotification, nullptr);
    center->addObserver(label, &MarqueeLabel::observedViewControllerChange, kNavigationDidShowNotification,
                        nullptr);
    center->addObserver(label, &MarqueeLabel::restartLabel, UIApplicationWillEnterForegroundNotification,
                        nullptr);
    center->addObserver(label, &MarqueeLabel::restartLabel, UIApplicationDidBecomeActiveNotification,
                        nullptr);
    center->addObserver(label, &MarqueeLabel::shutdownLabel, UIApplicationWillResignActiveNotification,
                        nullptr);
    center->addObserver(label, &MarqueeLabel::shutdownLabel, UIApplicationDidEnterBackgroundNotification,
                        nullptr);

    // Held weakly: the observer never keeps the label alive.
    setOrientationObserver(center->addObserverForName(
        UIApplicationWillChangeStatusBarOrientationNotification, nullptr,
        NSWhileAlive(label, [](const Ptr<MarqueeLabel>& alive, const Ptr<NSNotification>&) {
            alive->orientationWillChangeStarted();
        })));
}

void MarqueeLabel::orientationWillChangeStarted() {
    _orientationWillChange = YES;
    returnLabelToOriginImmediately();

    auto* center = NSNotificationCenter::defaultCenter();
    // One pending end-of-rotation observer at a time: a rotation that starts before
    // the last one ended replaces it.
    if (*_rotationEndObserver) {
        center->removeObserver(*_rotationEndObserver);
        _rotationEndObserver->reset();
    }
    *_rotationEndObserver = center->addObserverForName(
        kAnimationDidStopNotification, nullptr,
        NSWhileAlive(weakSelf<MarqueeLabel>(), &MarqueeLabel::rotationAnimationDidStop));
}

void MarqueeLabel::rotationAnimationDidStop(const Ptr<NSNotification>& notification) {
    const auto window = this->window();
    if (!window || userInfoEntry(notification, kAnimationDelegateKey).get() != window.get()) {
        return;
    }
    _orientationWillChange = NO;
    // Keep the holder alive across the restart: the label may let go of itself.
    const auto holder = _rotationEndObserver;
    restartLabel();
    if (*holder) {
        NSNotificationCenter::defaultCenter()->removeObserver(*holder);
        holder->reset();
    }
}
