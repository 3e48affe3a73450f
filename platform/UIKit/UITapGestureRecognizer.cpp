#include "UIKit/UITapGestureRecognizer.h"

#include <cmath>

#include "Foundation/NSWhileAlive.h"
#include "UIKit/UIInputConstants.h"
#include "UIKit/UITouch.h"

Ptr<UITapGestureRecognizer> UITapGestureRecognizer::init() {
    if (!UIGestureRecognizer::init()) {
        return nullptr;
    }
    return self<UITapGestureRecognizer>();
}

UITapGestureRecognizer::~UITapGestureRecognizer() {
    cancelTimer();
}

void UITapGestureRecognizer::touchesBegan(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event) {
    if (state() != UIGestureRecognizerStatePossible) {
        return;
    }
    const bool firstTouchOfTap = _touchesInTap == 0;
    if (firstTouchOfTap && _tapsCompleted == 0) {
        _gestureOriginInWindow = as<UITouch>(touches->anyObject())->_locationInWindow;
    }
    if (strayed(touches)) {
        setState(UIGestureRecognizerStateFailed);
        return;
    }
    _touchesInTap += touches->count();
    if (_touchesInTap > _numberOfTouchesRequired) {
        setState(UIGestureRecognizerStateFailed);
        return;
    }
    if (firstTouchOfTap) {
        startTimer(kUITapMaximumDuration);
    }
}

void UITapGestureRecognizer::touchesMoved(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event) {
    if (state() == UIGestureRecognizerStatePossible && strayed(touches)) {
        setState(UIGestureRecognizerStateFailed);
    }
}

void UITapGestureRecognizer::touchesEnded(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event) {
    if (state() != UIGestureRecognizerStatePossible) {
        return;
    }
    if (strayed(touches)) {
        setState(UIGestureRecognizerStateFailed);
        return;
    }
    // The tap is complete when its last finger lifts.
    if (numberOfTouches() > touches->count()) {
        return;
    }
    cancelTimer();
    if (_touchesInTap != _numberOfTouchesRequired) {
        setState(UIGestureRecognizerStateFailed);
        return;
    }
    _touchesInTap = 0;
    ++_tapsCompleted;
    if (_tapsCompleted >= _numberOfTapsRequired) {
        setState(UIGestureRecognizerStateRecognized);
    } else {
        startTimer(kUITapMaximumInterval);
    }
}

void UITapGestureRecognizer::touchesCancelled(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event) {
    setState(UIGestureRecognizerStateFailed);
}

void UITapGestureRecognizer::reset() {
    cancelTimer();
    _tapsCompleted = 0;
    _touchesInTap = 0;
    UIGestureRecognizer::reset();
}

BOOL UITapGestureRecognizer::strayed(const Ptr<NSSet>& touches) const {
    for (const auto& object : touches->allObjects()) {
        if (auto touch = as<UITouch>(object);
            touch &&
            UIInputDistance(touch->_locationInWindow, _gestureOriginInWindow) > kUITapAllowableMovement) {
            return YES;
        }
    }
    return NO;
}

void UITapGestureRecognizer::startTimer(NSTimeInterval seconds) {
    cancelTimer();
    // Either limit running out (a tap held too long, no next tap in time) fails
    // the gesture; the timer is cancelled whenever the gesture moves on.
    _timer = NSRunLoop::mainRunLoop()->scheduleAfter(
        seconds,
        NSWhileAlive(weakSelf<UITapGestureRecognizer>(), [](const Ptr<UITapGestureRecognizer>& recognizer) {
            recognizer->_timer = 0;
            recognizer->setState(UIGestureRecognizerStateFailed);
        }));
}

void UITapGestureRecognizer::cancelTimer() {
    if (_timer) {
        NSRunLoop::mainRunLoop()->cancel(_timer);
        _timer = 0;
    }
}
