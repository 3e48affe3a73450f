#include "legacy/UIEvent+Trillbox__TouchFix.h"

#include "Foundation/NSRuntime.h"
#include "UIKit/UITouch.h"
#include "UIKit/UITouchesEvent.h"
#include "UIKit/UIWindow.h"
#include "legacy/Trillbox__GSEvent.h"

static_assert(sizeof(Trillbox__GSEvent) == UITouchesEvent::kEventRecordSize);

namespace Trillbox__TouchFix {

Ptr<UIEvent> initWithTouch(const Ptr<UIEvent>& event, const Ptr<UITouch>& touch) {
    if (!event) {
        return nullptr;
    }
    const CGPoint location = touch ? touch->locationInView(touch->window()) : CGPointZero;
    Trillbox__GSEvent record;
    record.setLocation(location);
    record.setTouchPhase(touch ? touch->phase() : UITouchPhaseBegan);

    // The touches event is a private class: it is found by name and made with its
    // private initialiser, which copies the record.
    const Class touchesEventClass = NSClassFromString("UITouchesEvent");
    if (!touchesEventClass || !touchesEventClass->allocate) {
        return nullptr;
    }
    const Ptr<UIEvent> touchesEvent = as<UIEvent>(touchesEventClass->allocate());
    if (!touchesEvent) {
        return nullptr;
    }
    return touchesEvent->_initWithEvent(&record, NSSet::setWithObject(touch));
}

} // namespace Trillbox__TouchFix
