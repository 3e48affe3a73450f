#pragma once

#include <map>
#include <vector>

#include "UIKit/UITargetAction.h"
#include "UIKit/UIView.h"

class UITouch;

using UIControlEvents = NSUInteger;
inline constexpr UIControlEvents UIControlEventTouchDown = 1 << 0;
inline constexpr UIControlEvents UIControlEventTouchDownRepeat = 1 << 1;
inline constexpr UIControlEvents UIControlEventTouchDragInside = 1 << 2;
inline constexpr UIControlEvents UIControlEventTouchDragOutside = 1 << 3;
inline constexpr UIControlEvents UIControlEventTouchDragEnter = 1 << 4;
inline constexpr UIControlEvents UIControlEventTouchDragExit = 1 << 5;
inline constexpr UIControlEvents UIControlEventTouchUpInside = 1 << 6;
inline constexpr UIControlEvents UIControlEventTouchUpOutside = 1 << 7;
inline constexpr UIControlEvents UIControlEventTouchCancel = 1 << 8;
inline constexpr UIControlEvents UIControlEventValueChanged = 1 << 12;
inline constexpr UIControlEvents UIControlEventAllTouchEvents = 0x0FFF;
inline constexpr UIControlEvents UIControlEventAllEvents = 0xFFFFFFFF;

using UIControlState = NSUInteger;
inline constexpr UIControlState UIControlStateNormal = 0;
inline constexpr UIControlState UIControlStateHighlighted = 1 << 0;
inline constexpr UIControlState UIControlStateDisabled = 1 << 1;
inline constexpr UIControlState UIControlStateSelected = 1 << 2;

// A view that tracks one touch from down to up and sends actions to its targets
// for control events:
//
// - touch down (with touch down repeat for a second quick tap) when tracking
//   starts; a subclass may refuse to track a touch (beginTrackingWithTouch), and
//   then the control sends nothing for it;
// - drag inside / outside on every move, drag enter / exit when the finger crosses
//   the control's bounds;
// - touch up inside or touch up outside when the finger lifts within or beyond
//   the bounds;
// - touch cancel when the touch is cancelled (a gesture recognizer took it, the
//   window lost it, or the control was disabled meanwhile).
//
// Nothing follows the touch up or cancel of a touch. A disabled control tracks nothing.
class UIControl : public UIView {
public:
    Ptr<UIControl> init();
    Ptr<UIControl> initWithFrame(CGRect frame);

    // Sends `action` to `target` (held weakly) for each of `events`. The action
    // takes nothing, the sender, or the sender and the event. Adding a pair that is
    // already registered adds the events to it; the actions of one event run in the
    // order their pairs were first added.
    template <class T, class Method>
    void addTarget(const Ptr<T>& target, Method action, UIControlEvents events) {
        addAction(UIAction::make(target, action), events);
    }
    // Stops sending `action` to `target` for `events`.
    template <class T, class Method>
    void removeTarget(const T* target, Method action, UIControlEvents events) {
        removeActions([&](const UIAction& pair) { return pair.matches(target, action); }, events);
    }
    // Stops sending any action to `target` (nil: to every target) for `events`.
    void removeTarget(const NSObject* target, UIControlEvents events);
    // The events that have at least one action.
    UIControlEvents allControlEvents() const;
    // How many target-action pairs `events` (any of them) would reach.
    NSUInteger actionCountForControlEvents(UIControlEvents events) const;

    // Sends the actions of `events`, event by event in ascending order, each
    // event's actions in the order added.
    void sendActionsForControlEvents(UIControlEvents events) { sendActionsForControlEvents(events, nullptr); }

    BOOL isEnabled() const { return _enabled; }
    virtual void setEnabled(BOOL enabled);
    BOOL isHighlighted() const { return _highlighted; }
    virtual void setHighlighted(BOOL highlighted);
    BOOL isSelected() const { return _selected; }
    virtual void setSelected(BOOL selected);
    // Normal, or a combination of highlighted, disabled and selected.
    UIControlState state() const;
    BOOL isTracking() const { return _tracking; }

    // Tracking hooks for subclasses. beginTracking answers whether to track the
    // touch; continueTracking whether to go on tracking it.
    virtual BOOL beginTrackingWithTouch(const Ptr<UITouch>& touch, const Ptr<UIEvent>& event) { return YES; }
    virtual BOOL continueTrackingWithTouch(const Ptr<UITouch>& touch, const Ptr<UIEvent>& event) {
        return YES;
    }
    virtual void endTrackingWithTouch(const Ptr<UITouch>& touch, const Ptr<UIEvent>& event) {}
    virtual void cancelTrackingWithEvent(const Ptr<UIEvent>& event) {}

    void touchesBegan(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event) override;
    void touchesMoved(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event) override;
    void touchesEnded(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event) override;
    void touchesCancelled(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event) override;

protected:
    void sendActionsForControlEvents(UIControlEvents events, const Ptr<UIEvent>& event);

private:
    struct Registration {
        UIAction action;
        UIControlEvents events;
    };
    void addAction(UIAction action, UIControlEvents events);
    template <class Predicate> void removeActions(Predicate matches, UIControlEvents events) {
        for (auto& registration : _registrations) {
            if (matches(registration.action)) {
                registration.events &= ~events;
            }
        }
        std::erase_if(_registrations,
                      [](const Registration& registration) { return registration.events == 0; });
    }
    // The tracked touch among `touches`, or nil.
    Ptr<UITouch> trackedTouchIn(const Ptr<NSSet>& touches) const;
    void stopTracking();

    std::vector<Registration> _registrations;
    Ptr<UITouch> _trackingTouch;
    bool _enabled = true;
    bool _highlighted = false;
    bool _selected = false;
    bool _tracking = false;
    bool _touchInside = false;
};
