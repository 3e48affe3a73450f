#include "UIKit/UITouchInjector.h"

#include <cmath>

#include "Foundation/NSRunLoop.h"
#include "UIKit/UIInputConstants.h"
#include "UIKit/UITouchesEvent.h"
#include "UIKit/UIWindow.h"

Ptr<UITouchInjector> UITouchInjector::initWithWindow(const Ptr<UIWindow>& window) {
    if (!NSObject::init()) {
        return nullptr;
    }
    _window = window;
    return self<UITouchInjector>();
}

Ptr<UITouch> UITouchInjector::injectTouch(UITouchPhase phase, CGPoint pointInWindow,
                                          NSTimeInterval timestamp) {
    const auto window = _window.lock();
    if (!window) {
        _touch.reset();
        return nullptr;
    }
    if (!std::isfinite(pointInWindow.x) || !std::isfinite(pointInWindow.y)) {
        // A pointer position that is no position: keep the last one.
        pointInWindow = _touch ? _touch->_locationInWindow : CGPointZero;
    }
    switch (phase) {
    case UITouchPhaseBegan: {
        if (_touch) {
            // The end of the previous touch was lost: it is cancelled, not released.
            deliver(window, UITouchPhaseCancelled, _touch->_locationInWindow, timestamp);
        }
        const NSTimeInterval now = NSRunLoop::mainRunLoop()->now();
        const bool continuesTaps = _lastTapCount > 0 && now - _lastTapRelease <= kUITapMaximumInterval &&
                                   UIInputDistance(pointInWindow, _lastTapPoint) <= kUITapAllowableMovement;
        _touch = alloc<UITouch>()->init();
        _touch->_tapCount = continuesTaps ? _lastTapCount + 1 : 1;
        _touch->_touchFlags.firstByte |= UITouchFlagFirstTouchForView | UITouchFlagIsTap;
        _touch->_locationInWindow = pointInWindow;
        _touchOrigin = pointInWindow;
        deliver(window, UITouchPhaseBegan, pointInWindow, timestamp);
        break;
    }
    case UITouchPhaseMoved:
    case UITouchPhaseEnded:
    case UITouchPhaseCancelled:
        if (!_touch) {
            return nullptr;
        }
        if (UIInputDistance(pointInWindow, _touchOrigin) > kUITapAllowableMovement) {
            _touch->_touchFlags.firstByte &= static_cast<std::uint8_t>(~UITouchFlagIsTap);
        }
        deliver(window, phase, pointInWindow, timestamp);
        break;
    default:
        return nullptr;
    }
    auto delivered = _touch;
    if (phase == UITouchPhaseEnded || phase == UITouchPhaseCancelled) {
        const bool wasTap =
            phase == UITouchPhaseEnded && (delivered->_touchFlags.firstByte & UITouchFlagIsTap);
        _lastTapCount = wasTap ? delivered->_tapCount : 0;
        _lastTapPoint = delivered->_locationInWindow;
        _lastTapRelease = NSRunLoop::mainRunLoop()->now();
        _touch.reset();
    }
    return delivered;
}

void UITouchInjector::deliver(const Ptr<UIWindow>& window, UITouchPhase phase, CGPoint point,
                              NSTimeInterval timestamp) {
    auto touch = _touch;
    touch->_previousLocationInWindow = phase == UITouchPhaseBegan ? point : touch->_locationInWindow;
    touch->_locationInWindow = point;
    touch->_timestamp = timestamp;
    touch->setPhase(phase);
    auto event = alloc<UITouchesEvent>()->initWithTouches(NSSet::setWithObject(touch), timestamp);
    window->sendEvent(event);
}
