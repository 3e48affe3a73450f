#pragma once

#include "CoreGraphics/CGGeometry.h"
#include "UIKit/UITouch.h"

class UIView;

// Touches made by hand, for a host that reports taps only as locations.
namespace Trillbox__TouchFix {

// Initialises `touch` (fresh from alloc<UITouch>()) as one tap beginning at
// `point` in `view`'s window: tap count 1, current and previous location `point`,
// the began phase, the window's view under the point (nil when the point lies
// over no view, or `view` has no window), that window, the first-touch and is-tap
// flags added to whatever flags the touch has, and a timestamp of the current
// date in seconds since the reference date. Nil for a nil touch.
Ptr<UITouch> initWithPoint(const Ptr<UITouch>& touch, CGPoint point, const Ptr<UIView>& view);

} // namespace Trillbox__TouchFix
