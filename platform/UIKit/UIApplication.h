#pragma once

#include "UIKit/UIResponder.h"

// The application's state notifications (object: the shared application).
inline constexpr const char* UIApplicationDidBecomeActiveNotification =
    "UIApplicationDidBecomeActiveNotification";
inline constexpr const char* UIApplicationWillResignActiveNotification =
    "UIApplicationWillResignActiveNotification";
inline constexpr const char* UIApplicationDidEnterBackgroundNotification =
    "UIApplicationDidEnterBackgroundNotification";
inline constexpr const char* UIApplicationWillEnterForegroundNotification =
    "UIApplicationWillEnterForegroundNotification";
// Posted when the interface is about to rotate.
inline constexpr const char* UIApplicationWillChangeStatusBarOrientationNotification =
    "UIApplicationWillChangeStatusBarOrientationNotification";

enum UIApplicationState : NSInteger {
    UIApplicationStateActive = 0,
    UIApplicationStateInactive = 1,
    UIApplicationStateBackground = 2,
};

// The application the widget runs in (the host's). It starts active; the host
// moves it between states when the host application itself changes state (a
// minimised window goes to the background), and the move posts the platform's
// notifications.
class UIApplication : public UIResponder {
public:
    static Ptr<UIApplication> sharedApplication();

    // Moves the application to `state` step by step, posting each step's
    // notification on the default centre, synchronously:
    //   active -> inactive: UIApplicationWillResignActiveNotification
    //   inactive -> background: UIApplicationDidEnterBackgroundNotification
    //   background -> inactive: UIApplicationWillEnterForegroundNotification
    //   inactive -> active: UIApplicationDidBecomeActiveNotification
    // So active -> background posts will-resign-active then did-enter-background,
    // and background -> active will-enter-foreground then did-become-active.
    // Nothing is posted when the state does not change.
    void setApplicationState(UIApplicationState state);

private:
    void step(UIApplicationState next, const char* notification, BOOL announcesChange);

    UIApplicationState _state = UIApplicationStateActive;
};
