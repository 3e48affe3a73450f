#include "UIKit/UIControl.h"

#include <algorithm>

#include "UIKit/UIEvent.h"
#include "UIKit/UITouch.h"

Ptr<UIControl> UIControl::init() {
    return initWithFrame(CGRectZero);
}

Ptr<UIControl> UIControl::initWithFrame(CGRect frame) {
    if (!UIView::initWithFrame(frame)) {
        return nullptr;
    }
    return self<UIControl>();
}

void UIControl::addAction(UIAction action, UIControlEvents events) {
    std::erase_if(_registrations,
                  [](const Registration& registration) { return registration.action.isTargetGone(); });
    for (auto& registration : _registrations) {
        if (registration.action.sameAs(action)) {
            registration.events |= events;
            return;
        }
    }
    if (events != 0) {
        _registrations.push_back({std::move(action), events});
    }
}

void UIControl::removeTarget(const NSObject* target, UIControlEvents events) {
    removeActions([&](const UIAction& pair) { return !target || pair.hasTarget(target); }, events);
}

UIControlEvents UIControl::allControlEvents() const {
    UIControlEvents all = 0;
    for (const auto& registration : _registrations) {
        if (!registration.action.isTargetGone()) {
            all |= registration.events;
        }
    }
    return all;
}

NSUInteger UIControl::actionCountForControlEvents(UIControlEvents events) const {
    return static_cast<NSUInteger>(
        std::count_if(_registrations.begin(), _registrations.end(), [&](const auto& entry) {
            return !entry.action.isTargetGone() && (entry.events & events) != 0;
        }));
}

void UIControl::sendActionsForControlEvents(UIControlEvents events, const Ptr<UIEvent>& event) {
    auto keepAlive = self<UIControl>();
    for (UIControlEvents bit = 1; bit != 0 && bit <= events; bit <<= 1) {
        if ((events & bit) == 0) {
            continue;
        }
        // An action may register or remove actions; this event goes to the pairs
        // registered when it was sent.
        const auto registrations = _registrations;
        for (const auto& registration : registrations) {
            if (registration.events & bit) {
                registration.action.send(keepAlive, event);
            }
        }
    }
    std::erase_if(_registrations,
                  [](const Registration& registration) { return registration.action.isTargetGone(); });
}

void UIControl::setEnabled(BOOL enabled) {
    if (_enabled == enabled) {
        return;
    }
    _enabled = enabled;
    setNeedsDisplay();
    if (!enabled && _tracking) {
        auto keepAlive = self<UIControl>();
        stopTracking();
        cancelTrackingWithEvent(nullptr);
        sendActionsForControlEvents(UIControlEventTouchCancel, nullptr);
    }
}

void UIControl::setHighlighted(BOOL highlighted) {
    if (_highlighted == highlighted) {
        return;
    }
    _highlighted = highlighted;
    setNeedsDisplay();
}

void UIControl::setSelected(BOOL selected) {
    if (_selected == selected) {
        return;
    }
    _selected = selected;
    setNeedsDisplay();
}

UIControlState UIControl::state() const {
    UIControlState state = UIControlStateNormal;
    if (_highlighted) {
        state |= UIControlStateHighlighted;
    }
    if (!_enabled) {
        state |= UIControlStateDisabled;
    }
    if (_selected) {
        state |= UIControlStateSelected;
    }
    return state;
}

Ptr<UITouch> UIControl::trackedTouchIn(const Ptr<NSSet>& touches) const {
    if (!_tracking || !touches || !touches->containsObject(_trackingTouch)) {
        return nullptr;
    }
    return _trackingTouch;
}

void UIControl::stopTracking() {
    _tracking = false;
    _trackingTouch.reset();
    setHighlighted(false);
}

void UIControl::touchesBegan(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event) {
    auto touch = touches ? as<UITouch>(touches->anyObject()) : nullptr;
    if (!_enabled || _tracking || !touch) {
        return;
    }
    auto keepAlive = self<UIControl>();
    if (!beginTrackingWithTouch(touch, event)) {
        return;
    }
    _tracking = true;
    _trackingTouch = touch;
    _touchInside = true;
    setHighlighted(true);
    UIControlEvents events = UIControlEventTouchDown;
    if (touch->tapCount() > 1) {
        events |= UIControlEventTouchDownRepeat;
    }
    sendActionsForControlEvents(events, event);
}

void UIControl::touchesMoved(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event) {
    auto touch = trackedTouchIn(touches);
    if (!touch) {
        return;
    }
    auto keepAlive = self<UIControl>();
    const bool wasInside = _touchInside;
    _touchInside = pointInside(touch->locationInView(keepAlive), event);
    setHighlighted(_touchInside);
    if (!continueTrackingWithTouch(touch, event)) {
        // The subclass let go of the touch: it ends without a touch up.
        stopTracking();
        return;
    }
    if (!_tracking) {
        return; // an action of the subclass's tracking disabled the control
    }
    UIControlEvents events = _touchInside ? UIControlEventTouchDragInside : UIControlEventTouchDragOutside;
    if (_touchInside != wasInside) {
        events |= _touchInside ? UIControlEventTouchDragEnter : UIControlEventTouchDragExit;
    }
    sendActionsForControlEvents(events, event);
}

void UIControl::touchesEnded(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event) {
    auto touch = trackedTouchIn(touches);
    if (!touch) {
        return;
    }
    auto keepAlive = self<UIControl>();
    _touchInside = pointInside(touch->locationInView(keepAlive), event);
    endTrackingWithTouch(touch, event);
    if (!_tracking) {
        return;
    }
    stopTracking();
    sendActionsForControlEvents(_touchInside ? UIControlEventTouchUpInside : UIControlEventTouchUpOutside,
                                event);
}

void UIControl::touchesCancelled(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event) {
    if (!trackedTouchIn(touches)) {
        return;
    }
    auto keepAlive = self<UIControl>();
    stopTracking();
    cancelTrackingWithEvent(event);
    sendActionsForControlEvents(UIControlEventTouchCancel, event);
}
