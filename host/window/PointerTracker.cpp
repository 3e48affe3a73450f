#include "window/PointerTracker.h"

namespace host {

std::optional<TouchChange> PointerTracker::press(CGPoint widgetPoint, bool onWidget) {
    // A second press while the finger is down (another window's grab let a release
    // go unseen) is not a second finger: the first one goes on.
    if (_touching || !onWidget) {
        return std::nullopt;
    }
    _touching = true;
    _lastPoint = widgetPoint;
    return TouchChange{UITouchPhaseBegan, widgetPoint};
}

std::optional<TouchChange> PointerTracker::move(CGPoint widgetPoint) {
    if (!_touching || widgetPoint == _lastPoint) {
        return std::nullopt;
    }
    _lastPoint = widgetPoint;
    return TouchChange{UITouchPhaseMoved, widgetPoint};
}

std::optional<TouchChange> PointerTracker::release(CGPoint widgetPoint) {
    if (!_touching) {
        return std::nullopt;
    }
    _touching = false;
    _lastPoint = widgetPoint;
    return TouchChange{UITouchPhaseEnded, widgetPoint};
}

std::optional<TouchChange> PointerTracker::cancel() {
    if (!_touching) {
        return std::nullopt;
    }
    _touching = false;
    return TouchChange{UITouchPhaseCancelled, _lastPoint};
}

} // namespace host
