#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

#include "support/TestSupport.h"
#include "UIKit/UIEvent.h"
#include "UIKit/UITouch.h"
#include "UIKit/UITouchesEvent.h"
#include "UIKit/UIWindow.h"

namespace legacy_test {

// One touchesBegan / touchesEnded that a RecordingView got, with the phase its
// touch had at that moment.
struct Delivery {
    UITouchPhase deliveredAs;
    Ptr<NSSet> touches;
    Ptr<UIEvent> event;
    Ptr<UITouch> touch;
    UITouchPhase touchPhase;
};

// Records every touch delivery it gets and passes none on.
template <class Base> class Recording : public Base {
public:
    std::vector<Delivery> deliveries;
    // Runs inside touchesBegan, after recording.
    std::function<void()> onBegan;

    void touchesBegan(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event) override {
        record(UITouchPhaseBegan, touches, event);
        if (onBegan) {
            onBegan();
        }
    }
    void touchesMoved(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event) override {
        record(UITouchPhaseMoved, touches, event);
    }
    void touchesEnded(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event) override {
        record(UITouchPhaseEnded, touches, event);
    }
    void touchesCancelled(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event) override {
        record(UITouchPhaseCancelled, touches, event);
    }

private:
    void record(UITouchPhase as, const Ptr<NSSet>& touches, const Ptr<UIEvent>& event) {
        Ptr<UITouch> touch;
        if (touches && touches->count() == 1) {
            touch = ::as<UITouch>(touches->anyObject());
        }
        deliveries.push_back({as, touches, event, touch, touch ? touch->phase() : UITouchPhaseCancelled});
    }
};
using RecordingView = Recording<UIView>;

// A field of a hardware-event record, read as the platform reads it.
template <class T> T recordField(const UITouchesEvent::EventRecord& record, std::size_t offset) {
    T value;
    std::memcpy(&value, record.data() + offset, sizeof value);
    return value;
}

// Every 32-bit word of [begin, end) is zero.
inline bool recordWordsAreZero(const UITouchesEvent::EventRecord& record, std::size_t begin,
                               std::size_t end) {
    for (std::size_t offset = begin; offset < end; offset += 4) {
        if (recordField<std::uint32_t>(record, offset) != 0) {
            return false;
        }
    }
    return true;
}

// Checks a synthesised touch event's record for a touch at `location` (window
// coordinates) whose phase was `phase` when the event was built.
inline void expectTouchRecord(const Ptr<UIEvent>& event, CGPoint location, UITouchPhase phase) {
    const auto touchesEvent = as<UITouchesEvent>(event);
    ASSERT_NE(touchesEvent, nullptr);
    ASSERT_TRUE(touchesEvent->hasEventRecord());
    const auto& record = touchesEvent->eventRecord();
    EXPECT_EQ(recordField<std::uint32_t>(record, 0), 0u);
    EXPECT_EQ(recordField<std::uint32_t>(record, 4), phase == UITouchPhaseEnded ? 0x01010180u : 0x03010180u);
    EXPECT_EQ(recordField<std::uint32_t>(record, 8), 3001u);
    const auto x = static_cast<float>(location.x);
    const auto y = static_cast<float>(location.y);
    for (const std::size_t offset : {16, 24, 108}) {
        EXPECT_EQ(recordField<float>(record, offset), x) << "x at " << offset;
        EXPECT_EQ(recordField<float>(record, offset + 4), y) << "y at " << offset + 4;
    }
    EXPECT_EQ(recordField<float>(record, 100), 1.0f);
    EXPECT_EQ(recordField<float>(record, 104), 1.0f);
    EXPECT_TRUE(recordWordsAreZero(record, 12, 16));
    EXPECT_TRUE(recordWordsAreZero(record, 32, 100));
    EXPECT_TRUE(recordWordsAreZero(record, 116, 128));
}

// Unregisters the touches-event class for its lifetime, as a platform without it
// would be.
class WithoutTouchesEventClass {
public:
    WithoutTouchesEventClass() { objc_unregisterClass("UITouchesEvent"); }
    WithoutTouchesEventClass(const WithoutTouchesEventClass&) = delete;
    WithoutTouchesEventClass& operator=(const WithoutTouchesEventClass&) = delete;
    ~WithoutTouchesEventClass() { UITouchesEvent::registerClass(); }
};

} // namespace legacy_test
