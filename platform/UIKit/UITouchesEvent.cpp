#include "UIKit/UITouchesEvent.h"

#include <algorithm>
#include <cstring>

#include "Foundation/NSRuntime.h"
#include "UIKit/UITouch.h"

namespace {

// The class is found by name (the older host's touch synthesis looks it up), so
// it is registered as soon as the platform is loaded.
const bool kRegistered = (UITouchesEvent::registerClass(), true);

NSTimeInterval latestTimestamp(const Ptr<NSSet>& touches) {
    NSTimeInterval latest = 0;
    if (touches) {
        for (const auto& object : touches->allObjects()) {
            if (auto touch = as<UITouch>(object)) {
                latest = std::max(latest, touch->timestamp());
            }
        }
    }
    return latest;
}

} // namespace

void UITouchesEvent::registerClass() {
    objc_registerClass(objc_describeClass<UITouchesEvent>("UITouchesEvent"));
}

Ptr<UITouchesEvent> UITouchesEvent::init() {
    return initWithTouches(nullptr, 0);
}

Ptr<UITouchesEvent> UITouchesEvent::initWithTouches(const Ptr<NSSet>& touches, NSTimeInterval timestamp) {
    if (!UIEvent::init()) {
        return nullptr;
    }
    _touches = touches ? touches : NSSet::setWithObjects({});
    _timestamp = timestamp;
    return self<UITouchesEvent>();
}

Ptr<UIEvent> UITouchesEvent::_initWithEvent(const void* record, const Ptr<NSSet>& touches) {
    if (!initWithTouches(touches, latestTimestamp(touches))) {
        return nullptr;
    }
    if (record) {
        std::memcpy(_record.data(), record, _record.size());
        _hasRecord = true;
    }
    return self<UITouchesEvent>();
}
