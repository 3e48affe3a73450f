#pragma once

#include <optional>

#include "CoreGraphics/CGGeometry.h"
#include "UIKit/UITouch.h"

namespace host {

// One change of the finger the mouse stands for, in the widget's points.
struct TouchChange {
    UITouchPhase phase = UITouchPhaseBegan;
    CGPoint point;
    bool operator==(const TouchChange&) const = default;
};

// Turns the primary mouse button into one finger on the widget. A press on the
// widget puts the finger down; moves and the release continue it wherever the
// pointer goes (a finger may slide off a control); a press elsewhere is no touch.
// When the window loses the pointer or the focus, or is hidden, the finger in
// progress is cancelled, so that no control or gesture is left tracking it.
class PointerTracker {
public:
    // Each answers the change to deliver, or nothing.
    std::optional<TouchChange> press(CGPoint widgetPoint, bool onWidget);
    std::optional<TouchChange> move(CGPoint widgetPoint);
    std::optional<TouchChange> release(CGPoint widgetPoint);
    std::optional<TouchChange> cancel();

    bool isTouching() const { return _touching; }

private:
    bool _touching = false;
    CGPoint _lastPoint;
};

} // namespace host
