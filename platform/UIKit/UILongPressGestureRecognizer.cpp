#include "UIKit/UILongPressGestureRecognizer.h"

#include "Foundation/NSWhileAlive.h"
#include "UIKit/UIInputConstants.h"
#include "UIKit/UITouch.h"

Ptr<UILongPressGestureRecognizer> UILongPressGestureRecognizer::init() {
    if (!UIGestureRecognizer::init()) {
        return nullptr;
    }
    return self<UILongPressGestureRecognizer>();
}

UILongPressGestureRecognizer::~UILongPressGestureRecognizer() {
    cancelTimer();
}

void UILongPressGestureRecognizer::touchesBegan(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event) {
    if (state() != UIGestureRecognizerStatePossible) {
        return;
    }
    if (numberOfTouches() > _numberOfTouchesRequired) {
        setState(UIGestureRecognizerStateFailed);
        return;
    }
    if (numberOfTouches() == touches->count()) {
        // The first finger(s) of the press: the hold starts now.
        _originInWindow = locationInView(nullptr);
        cancelTimer();
        _timer = NSRunLoop::mainRunLoop()->scheduleAfter(
            kUILongPressMinimumDuration,
            NSWhileAlive(weakSelf<UILongPressGestureRecognizer>(), &UILongPressGestureRecognizer::pressHeld));
    }
}

void UILongPressGestureRecognizer::pressHeld() {
    _timer = 0;
    if (state() != UIGestureRecognizerStatePossible) {
        return;
    }
    setState(numberOfTouches() == _numberOfTouchesRequired ? UIGestureRecognizerStateBegan
                                                           : UIGestureRecognizerStateFailed);
}

void UILongPressGestureRecognizer::touchesMoved(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event) {
    switch (state()) {
    case UIGestureRecognizerStatePossible: {
        const CGPoint now = locationInView(nullptr);
        if (UIInputDistance(now, _originInWindow) > kUILongPressAllowableMovement) {
            setState(UIGestureRecognizerStateFailed);
        }
        break;
    }
    case UIGestureRecognizerStateBegan:
    case UIGestureRecognizerStateChanged:
        setState(UIGestureRecognizerStateChanged);
        break;
    default:
        break;
    }
}

void UILongPressGestureRecognizer::touchesEnded(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event) {
    switch (state()) {
    case UIGestureRecognizerStatePossible:
        // Lifted before the press was long enough.
        setState(UIGestureRecognizerStateFailed);
        break;
    case UIGestureRecognizerStateBegan:
    case UIGestureRecognizerStateChanged:
        setState(UIGestureRecognizerStateEnded);
        break;
    default:
        break;
    }
}

void UILongPressGestureRecognizer::touchesCancelled(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event) {
    setState(state() == UIGestureRecognizerStatePossible ? UIGestureRecognizerStateFailed
                                                         : UIGestureRecognizerStateCancelled);
}

void UILongPressGestureRecognizer::reset() {
    cancelTimer();
    UIGestureRecognizer::reset();
}

void UILongPressGestureRecognizer::cancelTimer() {
    if (_timer) {
        NSRunLoop::mainRunLoop()->cancel(_timer);
        _timer = 0;
    }
}
