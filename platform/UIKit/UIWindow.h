#pragma once

#include "UIKit/UIView.h"

class UIEvent;
class UIScreen;

// The root of a view hierarchy, shown on a screen. It hit-tests touches and
// delivers them to gesture recognizers and views.
class UIWindow : public UIView {
public:
    Ptr<UIWindow> initWithFrame(CGRect frame);

    Ptr<UIWindow> window() const override;
    // The scale of the screen the window is on (points to pixels).
    CGFloat screenScale() const;

    void makeKeyAndVisible();
    bool isKeyWindow() const { return _keyWindow; }

    // Delivers a touches event: on a touch's began phase the window hit-tests for
    // the touch's view; gesture recognizers on that view and its ancestors see the
    // touches first, then the view gets touchesBegan/Moved/Ended/Cancelled.
    virtual void sendEvent(const Ptr<UIEvent>& event);

private:
    bool _keyWindow = false;
};
