#pragma once

#include "UIKit/UIEvent.h"

class UITouch;

namespace Trillbox__TouchFix {

// A touches event for `touch` alone, built around a hardware-event record made
// from it: the touch's location in its window in every location pair, and flags
// for its phase at this moment. `event` (fresh from alloc<UIEvent>()) is only the
// receiver and is not used: the answer is a new instance of the class registered
// as "UITouchesEvent". Nil for a nil receiver, or when that class is not
// registered or cannot be made. A nil touch gives an event without touches whose
// record lies at (0, 0).
Ptr<UIEvent> initWithTouch(const Ptr<UIEvent>& event, const Ptr<UITouch>& touch);

} // namespace Trillbox__TouchFix
