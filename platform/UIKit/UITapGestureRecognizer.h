#pragma once

#include <utility>
#include <vector>

#include "Foundation/NSRunLoop.h"
#include "UIKit/UIGestureRecognizer.h"

// Recognizes a number of taps in quick succession (a discrete gesture). Each tap
// lifts within kUITapMaximumDuration of touching down; each next tap comes down
// within kUITapMaximumInterval of the previous release; every touch stays within
// kUITapAllowableMovement of where the gesture's first tap came down. Anything
// else fails the gesture (see UIInputConstants.h).
class UITapGestureRecognizer : public UIGestureRecognizer {
public:
    Ptr<UITapGestureRecognizer> init();
    template <class T, class Method>
    Ptr<UITapGestureRecognizer> initWithTarget(const Ptr<T>& target, Method action) {
        if (!UIGestureRecognizer::initWithTarget(target, action)) {
            return nullptr;
        }
        return self<UITapGestureRecognizer>();
    }
    ~UITapGestureRecognizer() override;

    // Taps needed to recognize; at least 1 (default 1).
    void setNumberOfTapsRequired(NSUInteger taps) { _numberOfTapsRequired = taps > 0 ? taps : 1; }
    // Fingers per tap; at least 1 (default 1).
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
    void startTimer(NSTimeInterval seconds);
    void cancelTimer();
    BOOL strayed(const Ptr<NSSet>& touches) const;

    NSUInteger _numberOfTapsRequired = 1;
    NSUInteger _numberOfTouchesRequired = 1;
    NSUInteger _tapsCompleted = 0;
    // Fingers that came down during the current tap.
    NSUInteger _touchesInTap = 0;
    CGPoint _gestureOriginInWindow{};
    // The hold limit while a tap is down, the wait for the next tap between taps.
    NSRunLoop::TaskId _timer = 0;
};
