#pragma once

#include <array>
#include <cstdint>

#include "UIKit/UIEvent.h"

class UITouch;

// The platform's touch event: a set of touches, and the hardware-event record it
// was made from when it was made from one. Registered with the runtime under the
// name "UITouchesEvent".
class UITouchesEvent : public UIEvent {
public:
    static constexpr std::size_t kEventRecordSize = 128;
    using EventRecord = std::array<std::uint8_t, kEventRecordSize>;

    // An event with no touches.
    Ptr<UITouchesEvent> init();
    // An event carrying `touches`, stamped `timestamp`.
    Ptr<UITouchesEvent> initWithTouches(const Ptr<NSSet>& touches, NSTimeInterval timestamp);
    // An event built around a hardware-event record: the record's 128 bytes are
    // copied (a null record reads as all zeros) and the event carries `touches`
    // (nil reads as none), stamped with their latest timestamp.
    Ptr<UIEvent> _initWithEvent(const void* record, const Ptr<NSSet>& touches) override;

    Ptr<NSSet> allTouches() const override { return _touches; }
    // The record the event was made from; all zeros when it was made without one.
    const EventRecord& eventRecord() const { return _record; }
    BOOL hasEventRecord() const { return _hasRecord; }

    // Registers the class under "UITouchesEvent" (done when the platform loads;
    // call again after clearing the registry).
    static void registerClass();

private:
    Ptr<NSSet> _touches;
    EventRecord _record{};
    bool _hasRecord = false;
};
