#pragma once

#include "UIKit/UIView.h"

class UIEvent;
class UIScreen;
class UIViewController;

// The root of a view hierarchy, shown on a screen. It hit-tests touches and
// delivers them to gesture recognizers and views.
class UIWindow : public UIView {
public:
    Ptr<UIWindow> init();
    Ptr<UIWindow> initWithFrame(CGRect frame);

    Ptr<UIWindow> window() const override;
    // The screen the window is on: the main screen unless set.
    Ptr<UIScreen> screen() const;
    void setScreen(const Ptr<UIScreen>& screen);
    // The scale of the screen the window is on (points to pixels).
    CGFloat screenScale() const;

    // The controller whose view fills the window. Setting one puts its view (loading
    // it if needed) in the window with the window's bounds, replacing the previous
    // controller's view.
    void setRootViewController(const Ptr<UIViewController>& controller);

    // Shows the window.
    void makeKeyAndVisible();

    // Delivers a touches event: on a touch's began phase the window hit-tests for
    // the touch's view; gesture recognizers on that view and its ancestors see the
    // touches first, then the view gets touchesBegan/Moved/Ended/Cancelled.
    virtual void sendEvent(const Ptr<UIEvent>& event);

    // Rotates the window to an interface orientation (1, 2 portrait; 3, 4
    // landscape): posts UIApplicationWillChangeStatusBarOrientationNotification
    // (userInfo "UIApplicationStatusBarOrientationUserInfoKey"), animates the bounds
    // to the orientation's shape over kUIWindowRotationDuration and, when that
    // animation ends, posts "UIViewAnimationDidStopNotification" with the window as
    // "delegate". A rotation started before the last one ended supersedes it: only
    // the newest posts the end.
    void rotateToInterfaceOrientation(NSInteger orientation);
    static constexpr NSTimeInterval kUIWindowRotationDuration = 0.4;

private:
    // Counts rotations, so that a superseded rotation's end posts nothing.
    NSUInteger _rotationCount = 0;
    Ptr<UIScreen> _screen;
    Ptr<UIViewController> _rootViewController;
};
