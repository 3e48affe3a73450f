#include "UIKit/UIApplication.h"

#include "Foundation/NSNotificationCenter.h"

Ptr<UIApplication> UIApplication::sharedApplication() {
    static const Ptr<UIApplication> application = [] {
        auto created = alloc<UIApplication>();
        created->init();
        return created;
    }();
    return application;
}

void UIApplication::step(UIApplicationState next, const char* notification, BOOL announcesChange) {
    // As on the platform, observers of a "will" notification still read the old
    // state and observers of a "did" notification already read the new one.
    if (!announcesChange) {
        _state = next;
    }
    const UIApplicationState before = _state;
    NSNotificationCenter::defaultCenter()->postNotificationName(notification, self<UIApplication>());
    if (announcesChange && _state == before) {
        _state = next;
    }
}

void UIApplication::setApplicationState(UIApplicationState state) {
    auto keepAlive = self<UIApplication>();
    if (state != UIApplicationStateActive && state != UIApplicationStateInactive &&
        state != UIApplicationStateBackground) {
        return;
    }
    // One step per pass; an observer that moves the state meanwhile is followed
    // from wherever it left it.
    for (int guard = 0; _state != state && guard < 8; ++guard) {
        switch (_state) {
        case UIApplicationStateActive:
            step(UIApplicationStateInactive, UIApplicationWillResignActiveNotification, true);
            break;
        case UIApplicationStateInactive:
            if (state == UIApplicationStateActive) {
                step(UIApplicationStateActive, UIApplicationDidBecomeActiveNotification, false);
            } else {
                step(UIApplicationStateBackground, UIApplicationDidEnterBackgroundNotification, false);
            }
            break;
        case UIApplicationStateBackground:
            step(UIApplicationStateInactive, UIApplicationWillEnterForegroundNotification, true);
            break;
        }
    }
}
