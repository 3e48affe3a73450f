#pragma once

#include "Foundation/NSCollections.h"
#include "Foundation/NSObject.h"

class UIGestureRecognizer;
class UIView;
class UIWindow;

enum UIEventType : NSInteger {
    UIEventTypeTouches = 0,
    UIEventTypeMotion = 1,
    UIEventTypeRemoteControl = 2,
};

// An event delivered to responders. Touch events are instances of the
// touches-event class (registered by the name "UITouchesEvent").
class UIEvent : public NSObject {
public:
    Ptr<UIEvent> init();

    virtual UIEventType type() const { return UIEventTypeTouches; }
    // When the event happened, in seconds.
    NSTimeInterval timestamp() const { return _timestamp; }
    // Every touch of the event; nil for an event that carries no touches.
    virtual Ptr<NSSet> allTouches() const { return nullptr; }
    // The event's touches that began over `view`, in `window`, or that
    // `recognizer` sees; an empty set when there are none.
    Ptr<NSSet> touchesForView(const Ptr<UIView>& view) const;
    Ptr<NSSet> touchesForWindow(const Ptr<UIWindow>& window) const;
    Ptr<NSSet> touchesForGestureRecognizer(const Ptr<UIGestureRecognizer>& recognizer) const;

    // The touches-event class's private initialiser, reachable from a plain event
    // made through the runtime registry: wraps the 128-byte hardware-event record
    // at `record` and `touches`. Events of other classes do not answer it (nil).
    virtual Ptr<UIEvent> _initWithEvent(const void* record, const Ptr<NSSet>& touches) { return nullptr; }

protected:
    NSTimeInterval _timestamp = 0;
};
