#pragma once

#include "CoreGraphics/CGGeometry.h"
#include "Foundation/NSObject.h"
#include "UIKit/UITouch.h"

class UIWindow;

// Turns pointer input into touches for one window. A front-end (the desktop
// window, a headless script) reports each change of its pointer: phase, position
// in window coordinates and time; the injector keeps the UITouch, wraps it in a
// touches event and hands it to the window's sendEvent. One pointer at a time.
//
// Tap counts: a touch that comes down within kUITapMaximumInterval (run-loop
// time) of the previous tap's release and within kUITapAllowableMovement of it
// counts one more tap than that one.
class UITouchInjector : public NSObject {
public:
    Ptr<UITouchInjector> initWithWindow(const Ptr<UIWindow>& window);

    // Delivers one pointer change and answers the touch delivered, or nil when the
    // change was ignored. Began starts a touch (cancelling one still down first);
    // moved, ended and cancelled continue the touch that is down and are ignored
    // when none is; stationary is ignored. Nothing is delivered once the window
    // has gone away.
    Ptr<UITouch> injectTouch(UITouchPhase phase, CGPoint pointInWindow, NSTimeInterval timestamp);

    BOOL isTouching() const { return _touch != nullptr; }

private:
    void deliver(const Ptr<UIWindow>& window, UITouchPhase phase, CGPoint point, NSTimeInterval timestamp);

    WeakPtr<UIWindow> _window;
    Ptr<UITouch> _touch;
    CGPoint _touchOrigin{};
    CGPoint _lastTapPoint{};
    NSTimeInterval _lastTapRelease = 0;
    std::int32_t _lastTapCount = 0;
};
