#include "legacy/UITouch+Trillbox__TouchFix.h"

#include "Foundation/NSDate.h"
#include "UIKit/UIWindow.h"

namespace Trillbox__TouchFix {

Ptr<UITouch> initWithPoint(const Ptr<UITouch>& touch, CGPoint point, const Ptr<UIView>& view) {
    // UITouch's own initialiser stamps and phases the touch its way; every field
    // it would set is written below instead.
    if (!touch || !touch->NSObject::init()) {
        return nullptr;
    }
    touch->_tapCount = 1;
    touch->_locationInWindow = point;
    touch->_previousLocationInWindow = point;
    const Ptr<UIWindow> window = view ? view->window() : nullptr;
    touch->_view = window ? window->hitTest(touch->_locationInWindow, nullptr) : nullptr;
    touch->_window = window;
    touch->_phase = UITouchPhaseBegan;
    touch->_touchFlags.firstByte |= UITouchFlagFirstTouchForView | UITouchFlagIsTap;
    touch->_timestamp = NSDate::timeIntervalSinceReferenceDate();
    return touch;
}

} // namespace Trillbox__TouchFix
