#pragma once

#include "Foundation/NSRunLoop.h"
#include "UIKit/UIGestureRecognizer.h"
#include "UIKit/UIInputConstants.h"

// Recognizes a press held in place (a continuous gesture): it begins once the
// fingers have been down for kUILongPressMinimumDuration without moving farther
// than kUILongPressAllowableMovement, changes whenever they move afterwards, and
// ends when they lift. Lifting or straying before then fails it.
class UILongPressGestureRecognizer : public UIGestureRecognizer {
public:
    Ptr<UILongPressGestureRecognizer> init();
    template <class T, class Method>
    Ptr<UILongPressGestureRecognizer> initWithTarget(const Ptr<T>& target, Method action) {
        if (!UIGestureRecognizer::initWithTarget(target, action)) {
            return nullptr;
        }
        return self<UILongPressGestureRecognizer>();
    }
    ~UILongPressGestureRecognizer() override;

    // Fingers that must be held (default 1).
    NSUInteger numberOfTouchesRequired() const { return _numberOfTouchesRequired; }
    void setNumberOfTouchesRequired(NSUInteger touches) {
        _numberOfTouchesRequired = touches > 0 ? touches : 1;
    }

    void touchesBegan(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event) override;
    void touchesMoved(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event) override;
    void touchesEnded(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event) override;
    void touchesCancelled(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event) override;
    void reset() override;

private:
    // The hold timer fired: the press begins, or fails with the wrong number of touches.
    void pressHeld();
    void cancelTimer();

    NSUInteger _numberOfTouchesRequired = 1;
    CGPoint _originInWindow{};
    NSRunLoop::TaskId _timer = 0;
};
