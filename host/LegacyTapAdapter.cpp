#include "host/LegacyTapAdapter.h"

#include <cmath>

#include "Foundation/NSRunLoop.h"
#include "UIKit/UIInputConstants.h"

namespace host {

void LegacyTapAdapter::pointer(UITouchPhase phase, CGPoint point) {
    const double now = NSRunLoop::mainRunLoop()->now();
    switch (phase) {
    case UITouchPhaseBegan:
        _press = std::make_pair(point, now);
        break;
    case UITouchPhaseMoved:
        if (_press &&
            std::hypot(point.x - _press->first.x, point.y - _press->first.y) > kUITapAllowableMovement) {
            _press.reset();
        }
        break;
    case UITouchPhaseEnded:
        if (const auto press = std::exchange(_press, std::nullopt);
            press && now - press->second <= kUITapMaximumDuration) {
            _onTap(press->first);
        }
        break;
    default:
        _press.reset();
        break;
    }
}

} // namespace host
